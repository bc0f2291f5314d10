// SingleInstance: the first start claims, a later one is refused and hands over
// with "show", and a lock and socket left by a dead instance do not block.

#include "platform/single_instance.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <future>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quill;

namespace {

// A later start, run on its own thread so this thread's event loop can answer.
std::future<bool> NotifyFromAnotherThread(const QString& dir, int timeoutMs) {
    return std::async(std::launch::async, [dir, timeoutMs] {
        SingleInstance later(dir);
        return later.NotifyRunning(timeoutMs);
    });
}

bool WaitFor(std::future<bool>& result, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldLetOnlyTheFirstInstanceClaim() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.Claim());
        SingleInstance second(dir.path());
        QVERIFY(!second.Claim());
        QVERIFY(first.Claim()); // claiming again is harmless
    }

    void shouldNameTheFilesAfterTheUser() {
        QTemporaryDir dir;
        SingleInstance instance(dir.path());
        const QString uid = QString::number(::getuid());
        QCOMPARE(instance.ServerPath(), dir.path() + "/quillnote-" + uid + ".sock");
        QCOMPARE(instance.LockPath(), dir.path() + "/quillnote-" + uid + ".lock");
    }

    void shouldMakeTheSocketReachableByTheUserOnly() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.Claim());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(first.ServerPath()).constData(), &st), 0);
        QVERIFY(S_ISSOCK(st.st_mode));
        QCOMPARE(int(st.st_mode & 0077), 0);
    }

    void shouldDeliverShowToTheRunningInstance() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.Claim());
        QSignalSpy shown(&first, &SingleInstance::ShowRequested);

        auto delivered = NotifyFromAnotherThread(dir.path(), 3000);
        QVERIFY(WaitFor(delivered, 5000));
        QVERIFY(delivered.get());
        QTRY_COMPARE(shown.count(), 1);

        auto again = NotifyFromAnotherThread(dir.path(), 3000);
        QVERIFY(WaitFor(again, 5000));
        QVERIFY(again.get());
        QTRY_COMPARE(shown.count(), 2);
    }

    void shouldIgnoreOtherRequests() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.Claim());
        QSignalSpy shown(&first, &SingleInstance::ShowRequested);
        QLocalSocket socket;
        socket.connectToServer(first.ServerPath());
        QVERIFY(socket.waitForConnected(1000));
        socket.write("quit\nshowme\n");
        socket.flush();
        QTest::qWait(200);
        QCOMPARE(shown.count(), 0);
    }

    void shouldReportFailureWhenNothingRuns() {
        QTemporaryDir dir;
        SingleInstance later(dir.path());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!later.NotifyRunning(300));
        QVERIFY(timer.elapsed() < 2000);
    }

    void shouldRecoverTheLockAndSocketOfACrashedInstance() {
        QTemporaryDir dir;
        const SingleInstance names(dir.path());
        // A child claims the lock and binds the socket, then dies without cleaning up.
        const pid_t child = ::fork();
        if (child == 0) {
            QLockFile lock(names.LockPath());
            bool ok = lock.tryLock(0);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(names.ServerPath());
            std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
            ok = ok && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                 ::listen(fd, 1) == 0;
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QFileInfo::exists(names.LockPath()));
        QVERIFY(QFileInfo::exists(names.ServerPath()));

        SingleInstance next(dir.path());
        QVERIFY(next.Claim());
        QSignalSpy shown(&next, &SingleInstance::ShowRequested);
        auto delivered = NotifyFromAnotherThread(dir.path(), 3000);
        QVERIFY(WaitFor(delivered, 5000));
        QVERIFY(delivered.get());
        QTRY_COMPARE(shown.count(), 1);
    }

    void shouldFreeTheClaimWhenTheInstanceEnds() {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());
            QVERIFY(first.Claim());
        }
        SingleInstance next(dir.path());
        QVERIFY(next.Claim());
    }

    void shouldRunUnguardedWhenTheFolderIsUnusable() {
        // A claim that cannot even create its lock must not stop the program.
        SingleInstance instance("/proc/no-such-folder");
        QVERIFY(instance.Claim());
    }

    void shouldFallBackToAPrivateTemporaryFolder() {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString dir = SingleInstance::DefaultRuntimeDir();
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(dir, QDir::tempPath() + "/quillnote-" + QString::number(::getuid()));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(dir).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0700);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
