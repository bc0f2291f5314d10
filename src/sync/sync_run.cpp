#include "sync_run.h"

#include <QTimer>

namespace quill {

namespace {

// A write that met a changed copy sends the run round again, this often at most.
constexpr int kMaxRounds = 3;
// Writes on their way at once: each task is its own resource, so their order
// does not matter, and the server's time per write overlaps.
constexpr size_t kWritesAtOnce = 4;
// Hrefs per fetch: small enough for any server's request limit.
constexpr size_t kFetchBatch = 40;

const QByteArray kXml = "application/xml; charset=utf-8";

const QByteArray kListBody =
    "<c:calendar-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
    "<d:prop><d:getetag/></d:prop>"
    "<c:filter><c:comp-filter name=\"VCALENDAR\"><c:comp-filter name=\"VTODO\"/>"
    "</c:comp-filter></c:filter></c:calendar-query>";

QByteArray FetchBody(const std::vector<std::string>& hrefs, size_t from, size_t to) {
    QByteArray body = "<c:calendar-multiget xmlns:d=\"DAV:\" "
                      "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                      "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (size_t i = from; i < to; ++i) {
        body +=
            "<d:href>" + QString::fromStdString(hrefs[i]).toHtmlEscaped().toUtf8() + "</d:href>";
    }
    return body + "</c:calendar-multiget>";
}

// Hrefs compared as paths, however the server wrote them.
std::string PathOf(const QString& href) {
    return QUrl(href).path(QUrl::FullyEncoded).toStdString();
}

bool Success(int status) {
    return status >= 200 && status < 300;
}

} // namespace

QString SummaryText(const SyncSummary& s) {
    QStringList parts{QStringLiteral("%1 sent").arg(s.sent),
                      QStringLiteral("%1 received").arg(s.received)};
    if (s.deletedHere > 0) {
        parts << QStringLiteral("%1 removed here").arg(s.deletedHere);
    }
    if (s.conflicts > 0) {
        parts << QStringLiteral("%1 conflict cop%2")
                     .arg(s.conflicts)
                     .arg(s.conflicts == 1 ? "y" : "ies");
    }
    if (s.unreadable > 0) {
        parts << QStringLiteral("%1 left alone on the server (unreadable)").arg(s.unreadable);
    }
    return parts.join(QStringLiteral(", "));
}

SyncRun::SyncRun(TaskStore store, SyncState state, const QString& password, SyncOptions options,
                 QObject* parent)
    : QObject(parent), store_(std::move(store)), state_(std::move(state)), options_(options),
      collection_(QString::fromStdString(state_.collectionUrl)),
      client_(new CalDavClient(QString::fromStdString(state_.user), password, this)) {}

void SyncRun::Start() {
    QTimer::singleShot(0, this, &SyncRun::Check);
}

void SyncRun::Check() {
    const QByteArray body =
        "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/></d:prop></d:propfind>";
    client_->Send("PROPFIND", collection_, {{"Depth", "0"}, {"Content-Type", kXml}}, body,
                  [this](const DavAnswer& answer) {
                      std::vector<DavResponse> responses;
                      if (answer.status != 207 || !ReadMultistatus(answer.body, responses)) {
                          Fail(answer);
                          return;
                      }
                      if (responses.empty() || !responses.front().calendar) {
                          Finish(false,
                                 QStringLiteral("%1 is not a task list: give the address "
                                                "of the list itself (a calendar "
                                                "collection).")
                                     .arg(collection_.toDisplayString(QUrl::RemoveUserInfo)));
                          return;
                      }
                      // Where the server sent the request is where the list lives.
                      collection_ = answer.url;
                      List();
                  });
}

QUrl SyncRun::UrlOf(const std::string& href) const {
    return collection_.resolved(QUrl(QString::fromStdString(href)));
}

void SyncRun::List() {
    ++rounds_;
    stale_ = false;
    // Without synced tasks a token says nothing about what this side knows.
    ListChanges(state_.items.empty() ? QString() : QString::fromStdString(state_.syncToken));
}

void SyncRun::ListChanges(const QString& token) {
    const QByteArray body = "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
                            token.toHtmlEscaped().toUtf8() +
                            "</d:sync-token><d:sync-level>1</d:sync-level>"
                            "<d:prop><d:getetag/></d:prop></d:sync-collection>";
    client_->Send("REPORT", collection_, {{"Depth", "0"}, {"Content-Type", kXml}}, body,
                  [this, token](const DavAnswer& answer) {
                      std::vector<DavResponse> responses;
                      QString next;
                      if (answer.status == 207 && ReadMultistatus(answer.body, responses, &next)) {
                          // What changed since the token, laid over what the last sync listed.
                          listing_.clear();
                          if (!token.isEmpty()) {
                              for (const auto& [uid, item] : state_.items) {
                                  listing_[item.href] = item.etag;
                              }
                          }
                          std::string self = PathOf(collection_.toString());
                          while (!self.empty() && self.back() == '/') {
                              self.pop_back();
                          }
                          bool truncated = false;
                          for (const DavResponse& response : responses) {
                              std::string path = PathOf(response.href);
                              if (path == self || path == self + "/") {
                                  truncated = truncated || response.status == 507;
                              } else if (response.status == 404) {
                                  listing_.erase(path);
                              } else if (response.status == 200 && !response.etag.isEmpty()) {
                                  listing_[path] = response.etag.toStdString();
                              }
                          }
                          if (truncated) {
                              ListAll();
                              return;
                          }
                          nextToken_ = next.toStdString();
                          texts_.clear();
                          Fetch(HrefsToFetch(state_, listing_), 0);
                      } else if (answer.status == 0 || answer.status == 401) {
                          Fail(answer);
                      } else if (!token.isEmpty()) {
                          ListChanges(QString()); // a token the server forgot: everything, anew
                      } else {
                          ListAll(); // no sync reports on this server
                      }
                  });
}

void SyncRun::ListAll() {
    nextToken_.clear();
    client_->Send("REPORT", collection_, {{"Depth", "1"}, {"Content-Type", kXml}}, kListBody,
                  [this](const DavAnswer& answer) {
                      std::vector<DavResponse> responses;
                      if (answer.status != 207 || !ReadMultistatus(answer.body, responses)) {
                          Fail(answer);
                          return;
                      }
                      listing_.clear();
                      for (const DavResponse& response : responses) {
                          if (response.status == 200 && !response.etag.isEmpty()) {
                              listing_[PathOf(response.href)] = response.etag.toStdString();
                          }
                      }
                      texts_.clear();
                      Fetch(HrefsToFetch(state_, listing_), 0);
                  });
}

void SyncRun::Fetch(std::vector<std::string> hrefs, size_t from) {
    if (from >= hrefs.size()) {
        Reconcile();
        return;
    }
    const size_t to = std::min(hrefs.size(), from + kFetchBatch);
    const QByteArray body = FetchBody(hrefs, from, to);
    client_->Send("REPORT", collection_, {{"Depth", "1"}, {"Content-Type", kXml}}, body,
                  [this, hrefs = std::move(hrefs), to](const DavAnswer& answer) mutable {
                      std::vector<DavResponse> responses;
                      if (answer.status != 207 || !ReadMultistatus(answer.body, responses)) {
                          Fail(answer);
                          return;
                      }
                      for (const DavResponse& response : responses) {
                          if (response.status == 200 && !response.calendarData.isEmpty()) {
                              const std::string path = PathOf(response.href);
                              texts_[path] = response.calendarData.toStdString();
                              // The copy fetched is the one to compare with next time.
                              if (!response.etag.isEmpty()) {
                                  listing_[path] = response.etag.toStdString();
                              }
                          }
                      }
                      Fetch(std::move(hrefs), to);
                  });
}

void SyncRun::Reconcile() {
    plan_ = ReconcileSync(store_, state_, listing_, texts_, options_);
    if (!plan_.ok) {
        summary_.tooManyDeletions = plan_.tooManyDeletions;
        Finish(false, QString::fromStdString(plan_.error));
        return;
    }
    summary_.reconciled = true;
    // A copy left alone must be listed again next time, so the token stays.
    if (plan_.unreadable.empty()) {
        state_.syncToken = nextToken_;
    }
    summary_.received += plan_.received;
    summary_.deletedHere += plan_.deletedHere;
    summary_.conflicts += plan_.conflicts;
    summary_.unreadable = static_cast<int>(plan_.unreadable.size());
    nextOp_ = 0;
    SendMore();
}

void SyncRun::SendMore() {
    if (nextOp_ >= plan_.ops.size() && inFlight_ == 0) {
        if (stale_ && rounds_ < kMaxRounds) {
            List();
        } else if (stale_) {
            Finish(false, QStringLiteral("The task list kept changing while it was synced; "
                                         "sync again in a moment."));
        } else {
            Finish(sendError_.isEmpty(), sendError_);
        }
        return;
    }
    while (nextOp_ < plan_.ops.size() && inFlight_ < kWritesAtOnce) {
        Send(nextOp_++);
    }
}

void SyncRun::Send(size_t index) {
    const SyncOp& op = plan_.ops[index];
    CalDavClient::Headers headers;
    QByteArray verb = "PUT";
    QByteArray body;
    if (op.kind == SyncOp::Kind::Delete) {
        verb = "DELETE";
    } else {
        headers.push_back(
            std::pair<QByteArray, QByteArray>("Content-Type", "text/calendar; charset=utf-8"));
        body = QByteArray::fromStdString(op.body);
    }
    if (op.kind == SyncOp::Kind::Create) {
        headers.push_back(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
    } else {
        headers.push_back(
            std::pair<QByteArray, QByteArray>("If-Match", QByteArray::fromStdString(op.etag)));
    }
    const QUrl url = UrlOf(op.href);
    ++inFlight_;
    client_->Send(verb, url, headers, body, [this, index, url](const DavAnswer& answer) {
        --inFlight_;
        const SyncOp& sent = plan_.ops[index];
        // Removing what is already gone leaves the wanted result.
        const bool ok =
            Success(answer.status) || (sent.kind == SyncOp::Kind::Delete && answer.status == 404);
        RecordSyncOp(state_, sent, ok, answer.etag.toStdString());
        if (ok) {
            ++summary_.sent;
        } else if (answer.status == 412) {
            stale_ = true;
        } else if (sendError_.isEmpty()) {
            sendError_ = DescribeFailure(answer, url);
        }
        SendMore();
    });
}

void SyncRun::Fail(const DavAnswer& answer) {
    summary_.status = answer.status;
    summary_.certificate = answer.certificate;
    Finish(false, DescribeFailure(answer, collection_));
}

void SyncRun::Finish(bool ok, const QString& error) {
    summary_.ok = ok;
    summary_.error = error;
    Q_EMIT Finished(summary_);
}

} // namespace quill
