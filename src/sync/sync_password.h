#pragma once
// The sync password in the desktop's keyring (QtKeychain: the Secret Service
// or KWallet), under "<user>@<task list address>". Asynchronous, as the
// keyring may take its time to open.

#include <QObject>
#include <QString>

#include <functional>

namespace quill {

// The keyring's name for the account.
QString SyncPasswordKey(const QString& user, const QString& url);

// `done(password, error)` runs once: the password, or an empty one and why.
void ReadSyncPassword(const QString& user, const QString& url, QObject* context,
                      std::function<void(const QString&, const QString&)> done);

// Keeps `password` in the keyring; `done(error)` runs once, error empty on success.
void WriteSyncPassword(const QString& user, const QString& url, const QString& password,
                       QObject* context, std::function<void(const QString&)> done);

// Without a keyring, and only when the user chose it knowing the password is
// not encrypted there: a file readable only by the user (0600), the key on its
// first line and the password on the second. Empty when the file has none for `key`.
QString ReadSyncPasswordFile(const QString& path, const QString& key);
// Empty on success, else why it could not be kept.
QString WriteSyncPasswordFile(const QString& path, const QString& key, const QString& password);

} // namespace quill
