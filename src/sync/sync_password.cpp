#include "sync_password.h"

#include <qt6keychain/keychain.h>

namespace quill {

namespace {

const QString kService = QStringLiteral("Quillnote");

} // namespace

QString SyncPasswordKey(const QString& user, const QString& url) {
    return user + QLatin1Char('@') + url;
}

void ReadSyncPassword(const QString& user, const QString& url, QObject* context,
                      std::function<void(const QString&, const QString&)> done) {
    auto* job = new QKeychain::ReadPasswordJob(kService, context);
    job->setKey(SyncPasswordKey(user, url));
    QObject::connect(
        job, &QKeychain::Job::finished, context, [job, done = std::move(done)](QKeychain::Job*) {
            if (job->error() == QKeychain::NoError) {
                done(job->textData(), QString());
            } else if (job->error() == QKeychain::EntryNotFound) {
                done(QString(), QStringLiteral("the keyring holds no password for "
                                               "this account"));
            } else {
                done(QString(),
                     QStringLiteral("the keyring cannot be read: %1").arg(job->errorString()));
            }
        });
    job->start();
}

void WriteSyncPassword(const QString& user, const QString& url, const QString& password,
                       QObject* context, std::function<void(const QString&)> done) {
    auto* job = new QKeychain::WritePasswordJob(kService, context);
    job->setKey(SyncPasswordKey(user, url));
    job->setTextData(password);
    QObject::connect(
        job, &QKeychain::Job::finished, context, [job, done = std::move(done)](QKeychain::Job*) {
            done(job->error() == QKeychain::NoError
                     ? QString()
                     : QStringLiteral("the keyring cannot keep it: %1").arg(job->errorString()));
        });
    job->start();
}

} // namespace quill
