#include "sync_password.h"

#include <QFile>
#include <QSaveFile>

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

QString ReadSyncPasswordFile(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    return lines.size() >= 2 && QString::fromUtf8(lines[0]) == key ? QString::fromUtf8(lines[1])
                                                                   : QString();
}

QString WriteSyncPasswordFile(const QString& path, const QString& key, const QString& password) {
    QSaveFile file(path);
    // Nobody else may read it, from the moment it exists.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString());
    }
    file.write((key + QLatin1Char('\n') + password + QLatin1Char('\n')).toUtf8());
    if (!file.commit()) {
        return QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString());
    }
    return QString();
}

} // namespace quill
