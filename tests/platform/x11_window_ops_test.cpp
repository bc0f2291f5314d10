// The window operations and the tray icon on a real X server with a window
// manager and a tray (run by tests/e2e/with-x-session.sh).

#include "platform/tray_icon.h"
#include "platform/window_ops.h"

#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>

using namespace quill;

namespace {

QString Helper(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QUILLNOTE_E2E_XHELPER), args);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString WindowId(const QWidget& w) {
    return QStringLiteral("0x%1").arg(w.winId(), 0, 16);
}

QStringList States(const QWidget& w) {
    return Helper({"state", WindowId(w)}).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class X11WindowOpsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QGuiApplication::platformName() == "xcb", "needs an X server"); }

    void shouldKeepTheWindowOffTheTaskbarAcrossHideAndShow() {
        QWidget window;
        window.setGeometry(200, 200, 300, 200);
        WindowOps::SetSkipTaskbar(&window, WindowOps::SkipTaskbar::Always);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(States(window).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(States(window).contains("_NET_WM_STATE_SKIP_PAGER"));
        window.hide();
        QTest::qWait(200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(States(window).contains("_NET_WM_STATE_SKIP_TASKBAR"));
    }

    void shouldStayOnTopWithoutMovingOrActivating() {
        QWidget other;
        other.setGeometry(600, 300, 200, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QWidget window;
        window.setWindowFlag(Qt::FramelessWindowHint);
        window.setGeometry(150, 120, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QTest::qWait(200);
        const QRect before = window.frameGeometry();

        WindowOps::SetStayOnTop(&window, true);
        QTRY_VERIFY(States(window).contains("_NET_WM_STATE_ABOVE"));
        QTest::qWait(200);
        QCOMPARE(window.frameGeometry(), before);
        QVERIFY(window.isVisible());
        QVERIFY(other.isActiveWindow());

        WindowOps::SetStayOnTop(&window, false);
        QTRY_VERIFY(!States(window).contains("_NET_WM_STATE_ABOVE"));
        QCOMPARE(window.frameGeometry(), before);
    }

    void shouldSetTheOpacityPropertyAtOnce() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowOps::SetOpacity(&window, 0.5);
        // Read by another client right away: the change must have left our buffer.
        QProcess xprop;
        xprop.start("xprop", {"-id", WindowId(window), "_NET_WM_WINDOW_OPACITY"});
        QVERIFY(xprop.waitForFinished(5000));
        const QString out = QString::fromLocal8Bit(xprop.readAllStandardOutput());
        // "_NET_WM_WINDOW_OPACITY(CARDINAL) = <n>", n / 2^32 being the opacity.
        bool ok = false;
        const double value = out.section('=', 1).trimmed().toDouble(&ok);
        QVERIFY2(ok, qPrintable(out));
        QVERIFY2(qAbs(value / 4294967295.0 - 0.5) < 0.01, qPrintable(out));
    }

    void shouldReportTheWorkAreaWithoutThePanel() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(WindowOps::WorkArea(&window), QRect(0, 0, 1280, 994));
    }

    void shouldBringAHiddenOrMinimisedWindowToTheFront() {
        QWidget other;
        other.setGeometry(600, 300, 200, 200);
        QWidget window;
        window.setGeometry(100, 100, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());

        window.hide();
        WindowOps::BringToFront(&window);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isActiveWindow());

        window.showMinimized();
        QTRY_VERIFY(!window.isActiveWindow());
        WindowOps::BringToFront(&window);
        QTRY_VERIFY(window.isActiveWindow());
        QVERIFY(!window.isMinimized());
    }

    void shouldFollowTheTrayRuleForTheTaskbarEntry() {
        const bool tray = !qEnvironmentVariableIsSet("E2E_NO_TRAY");
        QTRY_COMPARE(QSystemTrayIcon::isSystemTrayAvailable(), tray);
        // Without a tray the window keeps its entry; with one it has none.
        QWidget followsTray;
        WindowOps::SetSkipTaskbar(&followsTray);
        followsTray.show();
        QVERIFY(QTest::qWaitForWindowExposed(&followsTray));
        QTest::qWait(200);
        QTRY_COMPARE(States(followsTray).contains("_NET_WM_STATE_SKIP_TASKBAR"), tray);

        QWidget always;
        WindowOps::SetSkipTaskbar(&always, WindowOps::SkipTaskbar::Always);
        always.show();
        QVERIFY(QTest::qWaitForWindowExposed(&always));
        QTRY_VERIFY(States(always).contains("_NET_WM_STATE_SKIP_TASKBAR"));

        // A window already shown is changed through the window manager.
        QWidget shown;
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QVERIFY(!States(shown).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        WindowOps::SetSkipTaskbar(&shown, WindowOps::SkipTaskbar::Always);
        QTRY_VERIFY(States(shown).contains("_NET_WM_STATE_SKIP_PAGER"));
        QVERIFY(States(shown).contains("_NET_WM_STATE_SKIP_TASKBAR"));
    }

    void shouldEmbedTheTrayIcon() {
        if (qEnvironmentVariableIsSet("E2E_NO_TRAY"))
            QSKIP("no tray in this session");
        TrayIcon tray;
        QTRY_VERIFY(tray.IsAvailable());
        tray.SetIcon(NormalTrayIcon());
        tray.SetToolTip("Tolva Quillnote");
        tray.Add();
        const QString pid = QString::number(QCoreApplication::applicationPid());
        const auto embedded = [&] {
            for (const QString& line : Helper({"tray-clients"}).split('\n', Qt::SkipEmptyParts))
                if (line.section(' ', 1, 1) == pid)
                    return true;
            return false;
        };
        QTRY_VERIFY(embedded());
        tray.Remove();
        QTRY_VERIFY(!embedded());
    }
};

QTEST_MAIN(X11WindowOpsTest)
#include "x11_window_ops_test.moc"
