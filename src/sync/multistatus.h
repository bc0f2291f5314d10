#pragma once
// The body of a WebDAV 207 Multi-Status answer, read into what a sync needs:
// each resource's path, status, ETag and calendar text. Qt Core only.

#include <QByteArray>
#include <QString>

#include <vector>

namespace quill {

// One <response> of a multistatus answer.
struct DavResponse {
    QString href; // the path, as the server wrote it
    int status = 0;
    QByteArray etag;
    QByteArray calendarData;
    bool calendar = false; // its resource type says it is a calendar collection
};

// The responses of a 207 answer's body; false when it is not a multistatus.
// `syncToken`, when given, gets the token a sync-collection report ends with.
bool ReadMultistatus(const QByteArray& body, std::vector<DavResponse>& responses,
                     QString* syncToken = nullptr);

} // namespace quill
