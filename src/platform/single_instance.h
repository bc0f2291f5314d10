#pragma once
// One running instance per user. The first start claims a lock file and listens on
// a local socket; a later start finds the lock taken, connects, sends "show" and
// exits once the running instance has answered.
//
// Both files live in $XDG_RUNTIME_DIR (or, without it, a per-user folder of mode
// 0700 in the temporary directory); their names carry the user id. A lock left by a
// crashed instance is recognised by its dead process id, and its socket file is
// removed before listening again.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace quill {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // runtimeDir empty: DefaultRuntimeDir(). name: the base of the file names.
    explicit SingleInstance(QString runtimeDir = QString(), QString name = "quillnote",
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True: this is the first instance and now listens for later starts (or, if the
    // lock folder cannot be used at all, runs unguarded rather than not at all).
    // False: another live instance holds the lock.
    bool Claim();

    // For a later start: connects, sends "show" and waits for the answer, retrying
    // while the first instance is still starting. True if the request was delivered
    // within timeoutMs.
    bool NotifyRunning(int timeoutMs);

    QString ServerPath() const;
    QString LockPath() const;

    // $XDG_RUNTIME_DIR if set, else <temp>/quillnote-<uid> created with mode 0700.
    static QString DefaultRuntimeDir();

Q_SIGNALS:
    // A later start asked for the main window: show it restored, in front.
    void ShowRequested();

private:
    void OnNewConnection();

    QString dir_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace quill
