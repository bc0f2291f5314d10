#include "task_list_finder.h"

#include <QUuid>
#include <QXmlStreamReader>

namespace quill {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
const QByteArray kXml = "application/xml; charset=utf-8";

const QByteArray kPrincipalBody =
    "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
    "<d:prop><d:current-user-principal/><c:calendar-home-set/></d:prop></d:propfind>";

const QByteArray kHomeBody =
    "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
    "<d:prop><d:resourcetype/><d:displayname/><c:supported-calendar-component-set/>"
    "</d:prop></d:propfind>";

bool Is(const QXmlStreamReader& xml, const QString& ns, const char* name) {
    return xml.namespaceUri() == ns && xml.name() == QLatin1String(name);
}

// The text of the first <href> inside the element the reader stands on.
QString HrefInside(QXmlStreamReader& xml) {
    QString href;
    const auto depthName = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && Is(xml, kDav, "href") && href.isEmpty()) {
            href = xml.readElementText().trimmed();
        } else if (xml.isEndElement() && xml.name() == depthName) {
            break;
        }
    }
    return href;
}

QString LastSegment(const QUrl& url) {
    QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.toDisplayString() : parts.last();
}

} // namespace

PrincipalInfo ReadPrincipal(const QByteArray& body) {
    // A property the server does not have comes back empty (in a 404 propstat),
    // so an href found is one the server gave.
    PrincipalInfo info;
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (Is(xml, kDav, "current-user-principal") && info.principal.isEmpty()) {
            info.principal = HrefInside(xml);
        } else if (Is(xml, kCalDav, "calendar-home-set") && info.home.isEmpty()) {
            info.home = HrefInside(xml);
        }
    }
    return info;
}

std::vector<TaskListInfo> ReadTaskLists(const QByteArray& body, const QUrl& base) {
    std::vector<TaskListInfo> lists;
    QXmlStreamReader xml(body);
    QString href;
    QString name;
    bool calendar = false;
    bool componentSet = false;
    bool todo = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (Is(xml, kDav, "response")) {
                href.clear();
                name.clear();
                calendar = componentSet = todo = false;
            } else if (Is(xml, kDav, "href") && href.isEmpty()) {
                href = xml.readElementText().trimmed();
            } else if (Is(xml, kDav, "displayname")) {
                name = xml.readElementText().trimmed();
            } else if (Is(xml, kCalDav, "calendar")) {
                calendar = true;
            } else if (Is(xml, kCalDav, "supported-calendar-component-set")) {
                // An empty element (a 404 propstat) says nothing either way.
                componentSet = false;
            } else if (Is(xml, kCalDav, "comp")) {
                componentSet = true;
                todo = todo || xml.attributes()
                                       .value(QLatin1String("name"))
                                       .compare(QLatin1String("VTODO"), Qt::CaseInsensitive) == 0;
            }
        } else if (xml.isEndElement() && Is(xml, kDav, "response")) {
            if (calendar && !href.isEmpty() && (!componentSet || todo)) {
                const QUrl url = base.resolved(QUrl(href));
                lists.push_back({url, name.isEmpty() ? LastSegment(url) : name});
            }
        }
    }
    return lists;
}

TaskListFinder::TaskListFinder(const QString& user, const QString& password,
                               const QByteArray& pinned, QObject* parent)
    : QObject(parent), client_(new CalDavClient(user, password, this)) {
    client_->SetPinnedCertificate(pinned);
}

void TaskListFinder::Find(const QUrl& server, std::function<void(const FindResult&)> done) {
    done_ = std::move(done);
    std::vector<QUrl> candidates{server,
                                 server.resolved(QUrl(QStringLiteral("/.well-known/caldav")))};
    AskPrincipal(std::move(candidates), 0, false);
}

void TaskListFinder::AskPrincipal(std::vector<QUrl> candidates, size_t index, bool viaPrincipal) {
    if (index >= candidates.size()) {
        ListHome(candidates.front()); // perhaps the address is the home itself
        return;
    }
    const QUrl url = candidates[index];
    client_->Send("PROPFIND", url, {{"Depth", "0"}, {"Content-Type", kXml}}, kPrincipalBody,
                  [this, candidates = std::move(candidates), index,
                   viaPrincipal](const DavAnswer& answer) mutable {
                      if (answer.status == 0 || answer.status == 401) {
                          Fail(answer, candidates[index]);
                          return;
                      }
                      const PrincipalInfo info =
                          answer.status == 207 ? ReadPrincipal(answer.body) : PrincipalInfo{};
                      if (!info.home.isEmpty()) {
                          ListHome(answer.url.resolved(QUrl(info.home)));
                          return;
                      }
                      // The principal tells where the home is: ask it next.
                      if (!info.principal.isEmpty() && !viaPrincipal) {
                          const QUrl principal = answer.url.resolved(QUrl(info.principal));
                          candidates.insert(candidates.begin() + static_cast<long>(index) + 1,
                                            principal);
                          AskPrincipal(std::move(candidates), index + 1, true);
                          return;
                      }
                      AskPrincipal(std::move(candidates), index + 1, false);
                  });
}

void TaskListFinder::ListHome(const QUrl& home) {
    client_->Send("PROPFIND", home, {{"Depth", "1"}, {"Content-Type", kXml}}, kHomeBody,
                  [this, home](const DavAnswer& answer) {
                      if (answer.status != 207) {
                          Fail(answer, home);
                          return;
                      }
                      FindResult result;
                      result.ok = true;
                      result.home = answer.url;
                      result.lists = ReadTaskLists(answer.body, answer.url);
                      done_(result);
                  });
}

void TaskListFinder::Create(const QUrl& home, const QString& name,
                            std::function<void(const FindResult&)> done) {
    done_ = std::move(done);
    QString path = home.path();
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    QUrl url = home;
    url.setPath(path + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/'));
    const QByteArray body =
        "<c:mkcalendar xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
        "<d:displayname>" +
        name.toHtmlEscaped().toUtf8() +
        "</d:displayname><c:supported-calendar-component-set><c:comp name=\"VTODO\"/>"
        "</c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>";
    client_->Send("MKCALENDAR", url, {{"Content-Type", kXml}}, body,
                  [this, url, name, home](const DavAnswer& answer) {
                      if (answer.status != 201) {
                          Fail(answer, url);
                          return;
                      }
                      FindResult result;
                      result.ok = true;
                      result.home = home;
                      result.lists.push_back({answer.url, name});
                      done_(result);
                  });
}

void TaskListFinder::Fail(const DavAnswer& answer, const QUrl& url) {
    FindResult result;
    result.status = answer.status;
    result.certificate = answer.certificate;
    result.error = answer.status == 404
                       ? QStringLiteral("No task lists were found at %1: check the address "
                                        "(Nextcloud: https://host/remote.php/dav/).")
                             .arg(url.toDisplayString(QUrl::RemoveUserInfo))
                       : DescribeFailure(answer, url);
    done_(result);
}

} // namespace quill
