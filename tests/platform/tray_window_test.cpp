// The tray icon pictures, the fake tray icon and the window operations on the
// offscreen platform.

#include "platform/tray_icon.h"
#include "platform/window_ops.h"
#include "support/fake_tray_icon.h"

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>

using namespace quill;

namespace {

bool IsGreen(QColor c) {
    return c.alpha() > 200 && c.green() > c.red() + 40 && c.green() > c.blue() + 40;
}

} // namespace

class TrayWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldOfferBothIconsAt16And32Pixels() {
        for (const QIcon& icon : {NormalTrayIcon(), BlinkTrayIcon()}) {
            QVERIFY(!icon.isNull());
            const QList<QSize> sizes = icon.availableSizes();
            QVERIFY(sizes.contains(QSize(16, 16)));
            QVERIFY(sizes.contains(QSize(32, 32)));
        }
    }

    void shouldDrawAGreenDiamondOutline() {
        for (int size : {16, 32}) {
            const QImage image = NormalTrayIcon().pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            const int c = size / 2;
            // Inside the outline and the corners outside the diamond are clear.
            QCOMPARE(image.pixelColor(c, c).alpha(), 0);
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size - 1, size - 1).alpha(), 0);
            // The band: green on the way from the centre to each tip.
            const int band = size * 3 / 16;
            QVERIFY2(IsGreen(image.pixelColor(c, band)), qPrintable(QString::number(size)));
            QVERIFY(IsGreen(image.pixelColor(band, c)));
            QVERIFY(IsGreen(image.pixelColor(size - 1 - band, c)));
        }
    }

    void shouldDrawAWhiteClockWithADarkRedRimWhenBlinking() {
        const QImage image = BlinkTrayIcon().pixmap(32, 32).toImage();
        // White face beside the hands, dark red rim, the diamond still around it.
        const QColor face = image.pixelColor(16, 22);
        QVERIFY2(face.red() > 230 && face.green() > 230 && face.blue() > 230,
                 qPrintable(face.name()));
        const QColor rim = image.pixelColor(16, 16 + 9);
        QVERIFY2(rim.red() > 100 && rim.green() < 80 && rim.blue() < 80, qPrintable(rim.name()));
        QVERIFY(IsGreen(image.pixelColor(3, 16)));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    }

    void shouldRecordCallsOnTheFake() {
        FakeTrayIcon tray(false);
        QVERIFY(!tray.IsAvailable());
        tray.SetIcon(NormalTrayIcon());
        tray.SetToolTip("Tolva Quillnote");
        tray.Add();
        QVERIFY(tray.IsAdded());
        tray.Remove();
        QVERIFY(!tray.IsAdded());
        QCOMPARE(tray.addCount, 1);
        QCOMPARE(tray.removeCount, 1);
        QCOMPARE(tray.setIconCount, 1);
        QCOMPARE(tray.ToolTip(), QString("Tolva Quillnote"));
        QSignalSpy right(&tray, &TrayIcon::RightButtonDown);
        Q_EMIT tray.RightButtonDown(QPoint(5, 6));
        QCOMPARE(right.count(), 1);
    }

    void shouldKeepTheRealIconsState() {
        TrayIcon tray;
        tray.SetToolTip("Tolva Quillnote");
        tray.SetIcon(BlinkTrayIcon());
        tray.Add();
        QVERIFY(tray.IsAdded());
        QCOMPARE(tray.ToolTip(), QString("Tolva Quillnote"));
        tray.Remove();
        QVERIFY(!tray.IsAdded());
        // No tray exists on the offscreen platform.
        QVERIFY(!tray.IsAvailable());
    }

    void shouldReportLeftAndRightPressesOnly() {
        TrayIcon tray;
        QVERIFY(!tray.findChild<QSystemTrayIcon*>()); // made when it goes to the tray
        tray.Add();
        auto* sys = tray.findChild<QSystemTrayIcon*>();
        QVERIFY(sys);
        QSignalSpy left(&tray, &TrayIcon::LeftButtonDown);
        QSignalSpy right(&tray, &TrayIcon::RightButtonDown);
        QCursor::setPos(40, 50);
        Q_EMIT sys->activated(QSystemTrayIcon::Trigger);
        Q_EMIT sys->activated(QSystemTrayIcon::DoubleClick);
        Q_EMIT sys->activated(QSystemTrayIcon::MiddleClick);
        QCOMPARE(left.count(), 1);
        QCOMPARE(right.count(), 0);
        Q_EMIT sys->activated(QSystemTrayIcon::Context);
        QCOMPARE(left.count(), 1);
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.at(0).at(0).toPoint(), QPoint(40, 50));
    }

    void shouldSwitchStayOnTopWithoutMovingTheWindow() {
        QWidget window;
        window.setGeometry(100, 120, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect before = window.geometry();
        WindowOps::SetStayOnTop(&window, true);
        QVERIFY(WindowOps::IsStayOnTop(&window));
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);
        WindowOps::SetStayOnTop(&window, false);
        QVERIFY(!WindowOps::IsStayOnTop(&window));
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);
    }

    void shouldSetStayOnTopOnAWindowNotShownYet() {
        QWidget window;
        WindowOps::SetStayOnTop(&window, true);
        QVERIFY(WindowOps::IsStayOnTop(&window));
        QVERIFY(!window.isVisible());
    }

    void shouldSetTheOpacity() {
        QWidget window;
        window.show();
        WindowOps::SetOpacity(&window, 0.5);
        // Stored in 8 bits: 0.5 reads back as 127/255.
        QVERIFY(qAbs(window.windowOpacity() - 0.5) < 0.01);
        WindowOps::SetOpacity(&window, 1.0);
        QCOMPARE(window.windowOpacity(), 1.0);
    }

    void shouldSkipTheTaskbarHarmlesslyWithoutX11() {
        QWidget window;
        WindowOps::SetSkipTaskbar(&window);
        WindowOps::SetSkipTaskbar(&window); // once is enough; twice does no harm
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void shouldReportTheScreensWorkArea() {
        QWidget window;
        QCOMPARE(WindowOps::WorkArea(&window), QRect(0, 0, 1280, 1024));
        QCOMPARE(WindowOps::WorkArea(nullptr), QRect(0, 0, 1280, 1024));
    }

    void shouldCountTicksForward() {
        const std::uint32_t first = WindowOps::TickCount();
        QTest::qWait(30);
        const std::uint32_t later = WindowOps::TickCount();
        QVERIFY(std::uint32_t(later - first) >= 25);
        QVERIFY(std::uint32_t(later - first) < 5000);
    }

    void shouldFollowTheCursor() {
        QCursor::setPos(321, 234);
        QCOMPARE(WindowOps::CursorPos(), QPoint(321, 234));
    }

    void shouldBringAMinimisedOrHiddenWindowBack() {
        QWidget window;
        window.show();
        window.showMinimized();
        WindowOps::BringToFront(&window);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        window.hide();
        WindowOps::BringToFront(&window);
        QVERIFY(window.isVisible());
        QTRY_VERIFY(window.isActiveWindow());
    }
};

QTEST_MAIN(TrayWindowTest)
#include "tray_window_test.moc"
