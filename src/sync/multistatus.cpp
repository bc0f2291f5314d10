#include "multistatus.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace quill {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

// "HTTP/1.1 404 Not Found" -> 404.
int StatusOf(const QString& line) {
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

} // namespace

bool ReadMultistatus(const QByteArray& body, std::vector<DavResponse>& responses,
                     QString* syncToken) {
    responses.clear();
    QXmlStreamReader xml(body);
    bool multistatus = false;
    bool inPropstat = false;
    DavResponse current;
    int propstatStatus = 0;
    QByteArray etag;
    QByteArray data;
    while (!xml.atEnd()) {
        xml.readNext();
        const bool dav = xml.namespaceUri() == kDav;
        const auto name = xml.name();
        if (xml.isStartElement()) {
            if (dav && name == QLatin1String("multistatus")) {
                multistatus = true;
            } else if (dav && name == QLatin1String("response")) {
                current = DavResponse{};
            } else if (dav && name == QLatin1String("propstat")) {
                inPropstat = true;
                propstatStatus = 0;
                etag.clear();
                data.clear();
            } else if (dav && name == QLatin1String("sync-token")) {
                const QString token = xml.readElementText().trimmed();
                if (syncToken != nullptr) {
                    *syncToken = token;
                }
            } else if (dav && name == QLatin1String("href")) {
                current.href = xml.readElementText().trimmed();
            } else if (dav && name == QLatin1String("status")) {
                // Inside a propstat it tells about those properties; outside,
                // about the resource (404: removed, in a sync report).
                (inPropstat ? propstatStatus : current.status) = StatusOf(xml.readElementText());
            } else if (dav && name == QLatin1String("getetag")) {
                etag = xml.readElementText().trimmed().toUtf8();
            } else if (xml.namespaceUri() == kCalDav && name == QLatin1String("calendar-data")) {
                data = xml.readElementText().toUtf8();
            } else if (xml.namespaceUri() == kCalDav && name == QLatin1String("calendar")) {
                current.calendar = true; // only a resource type holds this element
            }
        } else if (xml.isEndElement() && dav) {
            if (name == QLatin1String("propstat")) {
                inPropstat = false;
                if (propstatStatus == 200) {
                    current.etag = etag;
                    current.calendarData = data;
                    current.status = current.status == 0 ? 200 : current.status;
                }
            } else if (name == QLatin1String("response")) {
                responses.push_back(current);
            }
        }
    }
    return multistatus && !xml.hasError();
}

} // namespace quill
