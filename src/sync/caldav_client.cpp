#include "caldav_client.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>

#include <memory>

namespace quill {

namespace {

constexpr int kMaxRedirects = 5;
// A server that stops answering for this long costs a failed sync, no more. A
// small server's first listing of a large task list can say nothing for
// minutes (Radicale: two at 10,000 tasks on a busy machine), so this is long:
// the wait blocks nothing but the next sync.
constexpr int kTransferTimeoutMs = 300000;

} // namespace

QString DescribeFailure(const DavAnswer& answer, const QUrl& url) {
    const QString where = url.toDisplayString(QUrl::RemoveUserInfo);
    switch (answer.status) {
    case 0:
        return answer.error;
    case 401:
        return QStringLiteral("The server %1 did not accept the user name or password.").arg(where);
    case 403:
        return QStringLiteral("The server refused access to %1.").arg(where);
    case 404:
        return QStringLiteral("There is no task list at %1.").arg(where);
    default:
        return QStringLiteral("The server answered %1 for %2.").arg(answer.status).arg(where);
    }
}

QString FingerprintText(const QByteArray& sha256) {
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

CalDavClient::CalDavClient(QString user, QString password, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), user_(std::move(user)),
      password_(std::move(password)) {}

bool CalDavClient::MaySendPassword(const QUrl& url) {
    if (url.scheme() == QLatin1String("https")) {
        return true;
    }
    const QString host = url.host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

void CalDavClient::Send(const QByteArray& verb, const QUrl& url, const Headers& headers,
                        const QByteArray& body, Done done) {
    SendHop(verb, url, headers, body, 0, std::move(done));
}

void CalDavClient::SendHop(const QByteArray& verb, const QUrl& url, const Headers& headers,
                           const QByteArray& body, int hops, Done done) {
    if (!MaySendPassword(url)) {
        DavAnswer refused;
        refused.error = QStringLiteral("The password would cross the network unencrypted to %1: "
                                       "use the server's https address.")
                            .arg(url.host());
        done(refused);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setRawHeader("Authorization",
                         "Basic " + (user_ + QLatin1Char(':') + password_).toUtf8().toBase64());
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network_->sendCustomRequest(request, verb, body);
    // A certificate Qt does not trust passes only when it is the one the user
    // confirmed; otherwise the answer carries it for the user to look at.
    auto untrusted = std::make_shared<QByteArray>();
    connect(reply, &QNetworkReply::sslErrors, this,
            [this, reply, untrusted](const QList<QSslError>& errors) {
                const QSslCertificate peer = reply->sslConfiguration().peerCertificate();
                const QByteArray digest = peer.digest(QCryptographicHash::Sha256);
                if (!pinned_.isEmpty() && !peer.isNull() && digest == pinned_) {
                    reply->ignoreSslErrors(errors);
                } else {
                    *untrusted = digest;
                }
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, verb, url, headers, body, hops, untrusted, done = std::move(done)]() {
                reply->deleteLater();
                DavAnswer answer;
                answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                answer.body = reply->readAll();
                answer.etag = reply->rawHeader("ETag");
                answer.url = url;
                if (answer.status == 0 && !untrusted->isEmpty()) {
                    answer.certificate = *untrusted;
                    answer.error =
                        QStringLiteral("The certificate of %1 is not trusted (%2). If this is "
                                       "your own server, compare its fingerprint SHA-256 %3 "
                                       "and trust it in the Sync window.")
                            .arg(url.host(), reply->errorString(), FingerprintText(*untrusted));
                } else if (answer.status == 0) {
                    answer.error = QStringLiteral("Cannot reach the server %1: %2.")
                                       .arg(url.host(), reply->errorString());
                }
                const QUrl target =
                    reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
                const bool redirect = answer.status == 301 || answer.status == 302 ||
                                      answer.status == 307 || answer.status == 308;
                if (redirect && target.isValid()) {
                    const QUrl next = url.resolved(target);
                    if (hops >= kMaxRedirects) {
                        answer.status = 0;
                        answer.error =
                            QStringLiteral("The server %1 redirects too often.").arg(url.host());
                    } else if (url.scheme() == QLatin1String("https") &&
                               next.scheme() != QLatin1String("https")) {
                        answer.status = 0;
                        answer.error =
                            QStringLiteral("The server %1 redirects to an unencrypted address.")
                                .arg(url.host());
                    } else {
                        SendHop(verb, next, headers, body, hops + 1, done);
                        return;
                    }
                }
                done(answer);
            });
}

} // namespace quill
