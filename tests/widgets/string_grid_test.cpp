// The grid's event order: the list's handlers rely on it.
#include "widgets/string_grid.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStringList>
#include <QTest>
#include <QWheelEvent>

using namespace quill;

namespace {

// Records every notification as a short text, in order.
struct Recorder {
    QStringList events;
    bool handleWheel = false;
    void attach(TStringGrid& grid) {
        QObject::connect(&grid, &TStringGrid::SelectCell, [this](int c, int r, bool*) {
            events << QStringLiteral("select %1,%2").arg(c).arg(r);
        });
        QObject::connect(&grid, &TStringGrid::MouseDown,
                         [this](Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
                             events << (b == Qt::RightButton ? QStringLiteral("down right")
                                                             : QStringLiteral("down left"));
                         });
        QObject::connect(&grid, &TStringGrid::Click, [this] { events << QStringLiteral("click"); });
        QObject::connect(&grid, &TStringGrid::DblClick,
                         [this] { events << QStringLiteral("dblclick"); });
        QObject::connect(&grid, &TStringGrid::KeyDown, [this](int* key, Qt::KeyboardModifiers) {
            events << QStringLiteral("key %1").arg(*key);
        });
        QObject::connect(&grid, &TStringGrid::MouseWheelDown,
                         [this](Qt::KeyboardModifiers, const QPoint&, bool* handled) {
                             events << QStringLiteral("wheel down");
                             *handled = handleWheel;
                         });
        QObject::connect(&grid, &TStringGrid::MouseWheelUp,
                         [this](Qt::KeyboardModifiers, const QPoint&, bool* handled) {
                             events << QStringLiteral("wheel up");
                             *handled = handleWheel;
                         });
    }
    QStringList take() {
        QStringList out = events;
        events.clear();
        return out;
    }
};

// What a real double-click delivers: press, release, double-click press, release.
void DoubleClick(QWidget* target, QPoint pos) {
    QTest::mouseClick(target, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(target, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(target, Qt::LeftButton, {}, pos);
}

void SendWheel(QWidget* target, int deltaY) {
    const QPointF pos(5, 5);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestStringGrid : public QObject {
    Q_OBJECT

    TStringGrid* grid = nullptr;
    Recorder rec;

    QPoint center(int col, int row) { return grid->CellRect(col, row).center(); }

private Q_SLOTS:
    void init() {
        grid = new TStringGrid;
        grid->resize(300, 200);
        grid->SetColCount(3);
        grid->SetColWidth(0, 20);
        grid->SetColWidth(1, 200);
        grid->SetColWidth(2, 40);
        grid->SetDefaultRowHeight(20);
        grid->SetRowCount(5);
        rec = Recorder();
        rec.attach(*grid);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid));
    }
    void cleanup() { delete grid; }

    void shouldKeepAtLeastOneRowAndColumn() {
        grid->SetRowCount(0);
        QCOMPARE(grid->RowCount(), 1);
        grid->SetColCount(0);
        QCOMPARE(grid->ColCount(), 1);
        QCOMPARE(grid->Col(), 0);
    }

    void shouldReportSelectionPressThenClickForLeftClick() {
        QTest::mouseClick(grid, Qt::LeftButton, {}, center(1, 2));
        QCOMPARE(rec.take(), QStringList({"select 1,2", "down left", "select 1,2", "click"}));
        QCOMPARE(grid->Row(), 2);
    }

    void shouldNotReselectAnchorOnReleaseInLastColumn() {
        QTest::mouseClick(grid, Qt::LeftButton, {}, center(2, 3));
        QCOMPARE(rec.take(), QStringList({"select 2,3", "down left", "click"}));
    }

    void shouldReportOnlyPressBelowLastRow() {
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(50, 150));
        QCOMPARE(rec.take(), QStringList({"down left"}));
        QCOMPARE(grid->Row(), 0);
    }

    void shouldReportDoubleClickBeforePressWithoutClick() {
        DoubleClick(grid, center(1, 1));
        // The first click, then the second press: double-click, press; no click after it.
        QCOMPARE(rec.take(), QStringList({"select 1,1", "down left", "select 1,1", "click",
                                          "dblclick", "down left"}));
    }

    void shouldReselectWhileDragging() {
        QTest::mousePress(grid, Qt::LeftButton, {}, center(1, 0));
        QMouseEvent move(QEvent::MouseMove, QPointF(center(1, 3)),
                         grid->mapToGlobal(QPointF(center(1, 3))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(grid, &move);
        QTest::mouseRelease(grid, Qt::LeftButton, {}, center(1, 3));
        QCOMPARE(rec.take(),
                 QStringList({"select 1,0", "down left", "select 1,3", "select 1,3", "click"}));
        QCOMPARE(grid->Row(), 3);
    }

    void shouldMoveByKeysWithSelectionThenClick() {
        grid->resize(300, 60); // two full rows: a page is two rows
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(rec.take(),
                 QStringList({QString("key %1").arg(int(Qt::Key_Down)), "select 0,1", "click"}));
        QTest::keyClick(grid, Qt::Key_End);
        QCOMPARE(grid->Row(), 4);
        rec.take();
        QTest::keyClick(grid, Qt::Key_Down); // already last: no move
        QCOMPARE(rec.take(), QStringList({QString("key %1").arg(int(Qt::Key_Down))}));
        QTest::keyClick(grid, Qt::Key_Home);
        QCOMPARE(grid->Row(), 0);
        QTest::keyClick(grid, Qt::Key_PageDown);
        QCOMPARE(grid->Row(), grid->VisibleRowCount());
        QTest::keyClick(grid, Qt::Key_PageUp);
        QCOMPARE(grid->Row(), 0);
    }

    void shouldLetKeyDownHandlerConsumeKey() {
        QObject::connect(grid, &TStringGrid::KeyDown,
                         [](int* key, Qt::KeyboardModifiers) { *key = 0; });
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->Row(), 0);
    }

    void shouldMoveOneRowPerWheelNotchUnlessHandled() {
        SendWheel(grid, -120);
        QCOMPARE(rec.take(), QStringList({"wheel down", "select 0,1", "click"}));
        SendWheel(grid, -240);
        QCOMPARE(grid->Row(), 3);
        SendWheel(grid, -60); // half a notch: nothing yet
        QCOMPARE(grid->Row(), 3);
        SendWheel(grid, -60);
        QCOMPARE(grid->Row(), 4);
        rec.take();
        SendWheel(grid, -120); // stops at the last row
        QCOMPARE(rec.take(), QStringList({"wheel down"}));
        rec.handleWheel = true;
        SendWheel(grid, 120);
        QCOMPARE(grid->Row(), 4);
        rec.handleWheel = false;
        SendWheel(grid, 120);
        QCOMPARE(grid->Row(), 3);
    }

    void shouldReportSelectionThenClickForRowFromCode() {
        grid->SetRow(2);
        QCOMPARE(rec.take(), QStringList({"select 0,2", "click"}));
        grid->SetRow(2);
        QVERIFY(rec.take().isEmpty());
    }

    void shouldOpenMenuOnRightReleaseAfterOnlyAPress() {
        QMenu menu;
        menu.addAction("x");
        grid->SetPopupMenu(&menu);
        QTest::mousePress(grid, Qt::RightButton, {}, center(1, 1));
        QCOMPARE(rec.take(), QStringList({"down right"}));
        QVERIFY(!menu.isVisible());
        QTest::mouseRelease(grid, Qt::RightButton, {}, center(1, 1));
        QVERIFY(menu.isVisible());
        menu.hide();
    }

    void shouldOpenMenuForKeyboardMenuKey() {
        QMenu menu;
        menu.addAction("x");
        grid->SetPopupMenu(&menu);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0),
                                grid->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(grid, &event);
        QVERIFY(menu.isVisible());
        menu.hide();
        QContextMenuEvent mouse(QContextMenuEvent::Mouse, center(1, 1),
                                grid->mapToGlobal(center(1, 1)));
        QApplication::sendEvent(grid, &mouse);
        QVERIFY(!menu.isVisible()); // the release opens it, not the event
    }

    void shouldRunQueuedLeftClickAfterPressHandler() {
        QObject::connect(grid, &TStringGrid::MouseDown,
                         [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
                             if (b == Qt::RightButton)
                                 grid->QueueLeftClick(QPoint(x, y));
                         });
        QTest::mouseClick(grid, Qt::RightButton, {}, center(0, 3));
        QCOMPARE(rec.take(),
                 QStringList({"down right", "select 0,3", "down left", "select 0,3", "click"}));
    }

    void shouldScrollToKeepCurrentRowFullyVisible() {
        grid->resize(300, 60); // two full rows and the last pixel row
        grid->SetRow(4);
        QCOMPARE(grid->VisibleRowCount(), 2);
        QCOMPARE(grid->TopRow(), 3);
        QCOMPARE(grid->CellRect(0, 4).top(), 20);
        grid->SetRow(0);
        QCOMPARE(grid->TopRow(), 0);
    }

    void shouldPassSelectedAndFocusedStates() {
        QList<std::tuple<int, int, bool, bool>> states;
        QObject::connect(grid, &TStringGrid::DrawCell,
                         [&](QPainter&, int c, int r, const QRect&, GridDrawState s) {
                             if (r <= 1)
                                 states.append({c, r, s.selected, s.focused});
                         });
        grid->setFocus();
        grid->grab();
        QVERIFY(states.contains(std::make_tuple(0, 0, true, true)));
        QVERIFY(states.contains(std::make_tuple(1, 0, true, false)));
        QVERIFY(states.contains(std::make_tuple(0, 1, false, false)));
    }
};

QTEST_MAIN(TestStringGrid)
#include "string_grid_test.moc"
