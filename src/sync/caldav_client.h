#pragma once
// Requests to a CalDAV server on Qt Network, never blocking: each answer comes
// back through a callback on the caller's thread. Redirects are followed by
// hand with the same request (Qt would turn a PROPFIND or REPORT into a GET),
// the password goes only over https or to this machine, and certificates are
// checked as Qt checks them.

#include "multistatus.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <utility>
#include <vector>

class QNetworkAccessManager;

namespace quill {

struct DavAnswer {
    int status = 0; // the HTTP status; 0 when no answer came
    QString error;  // when no answer came: why, in the user's words
    QByteArray body;
    QByteArray etag; // the ETag header, quotes included
    QUrl url;        // the address that answered, after redirects
    // When the server's certificate was not trusted: its SHA-256, for the user
    // to compare and confirm.
    QByteArray certificate;
};

// "AB:CD:..." for a SHA-256 digest, as certificate viewers show it.
QString FingerprintText(const QByteArray& sha256);

// What a failed answer means to the user.
QString DescribeFailure(const DavAnswer& answer, const QUrl& url);

class CalDavClient : public QObject {
    Q_OBJECT
public:
    CalDavClient(QString user, QString password, QObject* parent = nullptr);

    using Headers = QList<std::pair<QByteArray, QByteArray>>;
    using Done = std::function<void(const DavAnswer&)>;

    // Sends `verb` to `url`; `done` runs once with the answer.
    void Send(const QByteArray& verb, const QUrl& url, const Headers& headers,
              const QByteArray& body, Done done);

    // The SHA-256 of a certificate the user confirmed: a server showing it is
    // trusted although Qt's checks fail (a self-signed one). Never all errors.
    void SetPinnedCertificate(const QByteArray& sha256) { pinned_ = sha256; }

    // Whether the password may be sent to `url`: https, or this machine.
    static bool MaySendPassword(const QUrl& url);

private:
    void SendHop(const QByteArray& verb, const QUrl& url, const Headers& headers,
                 const QByteArray& body, int hops, Done done);

    QNetworkAccessManager* network_;
    QString user_;
    QString password_;
    QByteArray pinned_;
};

} // namespace quill
