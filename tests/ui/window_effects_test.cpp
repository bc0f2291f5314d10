// The main window's fade and edge snapping: the arithmetic on its own with
// injected ticks and pointer positions, then on a real skinned window.
#include "../skin/skin_test_util.h"
#include "skin/skin.h"
#include "skin/skin_frame.h"
#include "ui/edge_snap.h"
#include "ui/window_effects.h"
#include "ui/window_fade.h"
#include "widgets/form.h"

#include <QTest>

using namespace quill;
using quill::test::ShippedSkin;

namespace {
const QRect kWindow(100, 100, 400, 300); // right edge 500, bottom edge 400
const QPoint kAway(800, 700);
const QPoint kHome(300, 200);

FadeInput Input(QPoint cursor, std::uint32_t tick, bool active = true, bool transparency = true) {
    FadeInput in;
    in.transparency = transparency;
    in.activeForm = active;
    in.cursor = cursor;
    in.window = kWindow;
    in.tick = tick;
    return in;
}
} // namespace

class WindowEffectsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldFadeAfterASecondAwayAndComeBackInTwoRounds() {
        // GIVEN an opaque window whose pointer was last home at tick 5000
        FadeState s{5000, false, 255};
        // WHEN the pointer is away for less than a second THEN nothing changes
        s = FadeTick(s, Input(kAway, 5999));
        QCOMPARE(s, (FadeState{5000, false, 255}));
        // WHEN a full second has passed THEN blending goes on and alpha steps 205, 155, 155
        const int down[] = {205, 155, 155};
        std::uint32_t tick = 6000;
        for (int expected : down) {
            s = FadeTick(s, Input(kAway, tick));
            tick += 50;
            QVERIFY(s.alphaBlend);
            QCOMPARE(s.alphaValue, expected);
        }
        QCOMPARE(s.fadeStartTick, 5000u);
        // WHEN the pointer comes back THEN 205, 255, and blending stays on
        const int up[] = {205, 255, 255};
        for (int expected : up) {
            s = FadeTick(s, Input(kHome, tick));
            QCOMPARE(s.alphaValue, expected);
            QCOMPARE(s.fadeStartTick, tick);
            tick += 50;
        }
        QVERIFY(s.alphaBlend); // the resize handler switches it off at 255
    }

    void shouldCountTheWindowEdgesAsOnTheWindow_data() {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<bool>("on");
        QTest::newRow("left edge") << QPoint(100, 200) << true;
        QTest::newRow("right edge, x + width") << QPoint(500, 200) << true;
        QTest::newRow("bottom-right corner") << QPoint(500, 400) << true;
        QTest::newRow("top edge") << QPoint(300, 100) << true;
        QTest::newRow("left of it") << QPoint(99, 200) << false;
        QTest::newRow("right of it") << QPoint(501, 200) << false;
        QTest::newRow("below it") << QPoint(300, 401) << false;
        QTest::newRow("above it") << QPoint(300, 99) << false;
    }
    void shouldCountTheWindowEdgesAsOnTheWindow() {
        QFETCH(QPoint, cursor);
        QFETCH(bool, on);
        QCOMPARE(CursorOnWindow(cursor, kWindow), on);
        const FadeState s = FadeTick(FadeState{0, false, 255}, Input(cursor, 2000));
        QCOMPARE(s.alphaValue, on ? 255 : 205);
    }

    void shouldNotFadeAnInactiveWindowOrWithTransparencyOff() {
        const FadeState faded{1000, true, 155};
        // Another window of the program is active: the window comes back to opaque
        // and the grace second starts again.
        const FadeState inactive = FadeTick(faded, Input(kAway, 9000, false));
        QCOMPARE(inactive, (FadeState{9000, true, 205}));
        // "Transparency" off: the timer leaves everything alone.
        QCOMPARE(FadeTick(faded, Input(kAway, 9000, true, false)), faded);
    }

    void shouldMeasureTheGraceSecondAcrossTheTickWrap() {
        const FadeState s{0xFFFFFF00u, false, 255};
        QCOMPARE(FadeTick(s, Input(kAway, 0x000002E7u)).alphaValue, 255); // 999 ms
        QCOMPARE(FadeTick(s, Input(kAway, 0x000002E8u)).alphaValue, 205); // 1000 ms
    }

    void shouldSnapToTheWorkAreaEdges_data() {
        QTest::addColumn<QRect>("work");
        QTest::addColumn<QRect>("proposed");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1280, 994); // a 30-pixel panel at the bottom
        const QSize w(400, 300);
        for (int x : {-30, -10, 0, 10, 30})
            QTest::addRow("left %d snaps", x)
                << screen << QRect({x, 200}, w) << 1 << QPoint(0, 200);
        QTest::newRow("left 31 stays") << screen << QRect({31, 200}, w) << 1 << QPoint(31, 200);
        QTest::newRow("left -31 stays") << screen << QRect({-31, 200}, w) << 1 << QPoint(-31, 200);
        QTest::newRow("top 30 snaps") << screen << QRect({200, 30}, w) << 1 << QPoint(200, 0);
        QTest::newRow("far above the top snaps")
            << screen << QRect({200, -500}, w) << 1 << QPoint(200, 0);
        QTest::newRow("top 31 stays") << screen << QRect({200, 31}, w) << 1 << QPoint(200, 31);
        QTest::newRow("right within 30 inside")
            << screen << QRect({851, 200}, w) << 1 << QPoint(880, 200);
        QTest::newRow("right within 30 outside")
            << screen << QRect({909, 200}, w) << 1 << QPoint(880, 200);
        QTest::newRow("right 31 outside stays")
            << screen << QRect({911, 200}, w) << 1 << QPoint(911, 200);
        QTest::newRow("bottom within 30 inside")
            << screen << QRect({200, 665}, w) << 1 << QPoint(200, 694);
        QTest::newRow("bottom 10 below snaps")
            << screen << QRect({200, 704}, w) << 1 << QPoint(200, 694);
        QTest::newRow("bottom 11 below stays")
            << screen << QRect({200, 705}, w) << 1 << QPoint(200, 705);
        // A snap on one edge keeps the whole window inside the work area.
        QTest::newRow("keep inside after a top snap")
            << screen << QRect({1000, -40}, w) << 1 << QPoint(880, 0);
        QTest::newRow("wider than the work area")
            << QRect(0, 0, 300, 994) << QRect({5, 100}, w) << 1 << QPoint(-100, 100);
        QTest::newRow("zero size takes the window's")
            << screen << QRect(905, 200, 0, 0) << 1 << QPoint(880, 200);
        // A work area that does not start at 0: a panel on the left, a screen
        // left of the primary one.
        const QRect panelLeft(64, 0, 1216, 1024);
        QTest::newRow("panel left: 40 snaps")
            << panelLeft << QRect({40, 500}, w) << 1 << QPoint(64, 500);
        QTest::newRow("panel left: 94 snaps")
            << panelLeft << QRect({94, 500}, w) << 1 << QPoint(64, 500);
        QTest::newRow("panel left: 95 stays")
            << panelLeft << QRect({95, 500}, w) << 1 << QPoint(95, 500);
        const QRect leftScreen(-1280, 0, 1280, 1024);
        QTest::newRow("left screen: middle stays")
            << leftScreen << QRect({-900, 500}, w) << 1 << QPoint(-900, 500);
        QTest::newRow("left screen: its left edge snaps")
            << leftScreen << QRect({-1260, 500}, w) << 1 << QPoint(-1280, 500);
        QTest::newRow("left screen: its right edge snaps")
            << leftScreen << QRect({-420, 500}, w) << 1 << QPoint(-400, 500);
        // Only a moved window snaps.
        QTest::newRow("after a resize") << screen << QRect({10, 10}, w) << 2 << QPoint(10, 10);
        QTest::newRow("before any move") << screen << QRect({10, 10}, w) << 0 << QPoint(10, 10);
    }
    void shouldSnapToTheWorkAreaEdges() {
        QFETCH(QRect, work);
        QFETCH(QRect, proposed);
        QFETCH(int, mode);
        QFETCH(QPoint, expected);
        QCOMPARE(SnapToWorkArea(proposed, QSize(400, 300), work, mode), expected);
    }

    void shouldFadeARealWindowThroughItsOpacity() {
        // GIVEN an active window with the effects, the pointer and ticks injected
        QWidget window;
        window.setGeometry(100, 100, 400, 300);
        bool blend = false;
        int alpha = 255;
        bool transparency = true;
        WindowEffects effects(
            &window, [&] { return transparency; }, blend, alpha);
        effects.trnspTimer.stop(); // rounds are run by hand
        QPoint cursor = kHome;
        std::uint32_t tick = 10000;
        effects.cursorPos = [&] { return cursor; };
        effects.tickCount = [&] { return tick; };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(effects.trnspTimer.interval(), 50);

        effects.trnspTimerTimer();
        QCOMPARE(effects.FadeStartTick, 10000u);
        // WHEN the pointer leaves for a second THEN the window goes to 155/255
        cursor = QPoint(window.frameGeometry().right() + 40, 150);
        tick = 11000;
        effects.trnspTimerTimer();
        effects.trnspTimerTimer();
        QVERIFY(blend);
        QCOMPARE(alpha, 155);
        QVERIFY(qAbs(window.windowOpacity() - 155 / 255.0) < 0.01);
        // WHEN it returns THEN two rounds bring it back to opaque
        cursor = window.frameGeometry().center();
        effects.trnspTimerTimer();
        effects.trnspTimerTimer();
        QCOMPARE(alpha, 255);
        QVERIFY(qAbs(window.windowOpacity() - 1.0) < 0.01);

        // WHEN another window of the program is active THEN no fade
        QWidget other;
        other.setGeometry(700, 100, 200, 200);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        cursor = kAway;
        tick = 20000;
        effects.trnspTimerTimer();
        tick = 22000;
        effects.trnspTimerTimer();
        QCOMPARE(alpha, 255);
    }

    void shouldSnapTitleBarDragsAndStopAfterAResize() {
        // GIVEN the main window template on a window with the effects
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        TForm main;
        skin.ApplySkinByName(&main, QStringLiteral("MainForm"));
        main.SetClientSize(500, 300);
        main.move(200, 200);
        bool blend = false;
        int alpha = 255;
        WindowEffects effects(
            &main, [] { return false; }, blend, alpha);
        effects.workArea = [] { return QRect(0, 0, 1280, 994); };
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        SkinWindowFrame* frame = SkinWindowFrame::Of(&main);
        QVERIFY(frame);
        // The pointer is placed in screen coordinates: the frame moves under it.
        const auto pointerAt = [&](QPoint global) { return frame->mapFromGlobal(global); };
        const auto drag = [&](QPoint by) {
            const QPoint grip = frame->mapToGlobal(QPoint(60, 10));
            QTest::mousePress(frame, Qt::LeftButton, {}, pointerAt(grip));
            QTest::mouseMove(frame, pointerAt(grip + by / 2));
            QTest::mouseMove(frame, pointerAt(grip + by));
            QTest::mouseRelease(frame, Qt::LeftButton, {}, pointerAt(grip + by));
        };
        // Showing sizes the window: the first step of the first drag only moves it.

        // WHEN it is dragged to 20 pixels from the left edge THEN it lands on it
        drag(QPoint(-180, 0));
        QCOMPARE(main.pos(), QPoint(0, 200));
        QCOMPARE(effects.EdgeDockMode, int(kDockMoved));

        // WHEN it is resized THEN the next step of a drag does not snap...
        const QPoint corner(main.width() - 2, main.height() - 2);
        QTest::mousePress(frame, Qt::LeftButton, {}, corner);
        QTest::mouseMove(frame, corner + QPoint(20, 10));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(20, 10));
        QCOMPARE(effects.EdgeDockMode, int(kDockResized));
        const QPoint grip = frame->mapToGlobal(QPoint(60, 10));
        QTest::mousePress(frame, Qt::LeftButton, {}, pointerAt(grip));
        QTest::mouseMove(frame, pointerAt(grip + QPoint(15, 0)));
        QCOMPARE(main.pos(), QPoint(15, 200));
        // ...and the steps after the first move do
        QTest::mouseMove(frame, pointerAt(grip + QPoint(20, 0)));
        QCOMPARE(main.pos(), QPoint(0, 200));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, pointerAt(grip + QPoint(20, 0)));
    }
};

QTEST_MAIN(WindowEffectsTest)
#include "window_effects_test.moc"
