// Mouse, keys, wheel, scroll bar and menu on the task list.
#include "task_list_fixture.h"

#include <QAction>
#include <algorithm>

using namespace quill;
using namespace quill::test;

class TestTaskListInput : public QObject {
    Q_OBJECT
    std::unique_ptr<ListFixture> f;

private Q_SLOTS:
    void init() { f = std::make_unique<ListFixture>(); }
    void cleanup() { f.reset(); }

    void shouldTickAndUntickByClickInCheckColumn() {
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(0, 1));
        QCOMPARE(f->store.Tasks[1].Done, 1);
        QCOMPARE(f->host->calls, QStringList({"sort"}));
        QCOMPARE(f->list->CurrentTaskIndex, 1);
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(0, 1));
        QCOMPARE(f->store.Tasks[1].Done, 0);
        QCOMPARE(f->DoneCount(), 0);
    }

    void shouldMoveTickedTaskDownWithDoneToBottom() {
        f->options.doneTaskPutInBottom = true;
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(0, 0));
        QCOMPARE(f->TitleAt(0), std::string("b"));
        QCOMPARE(f->TitleAt(2), std::string("a"));
        QCOMPARE(f->store.Tasks[2].Done, 1);
        // The current row still is row 0, which now shows another task.
        QCOMPARE(f->grid()->Row(), 0);
        QCOMPARE(f->store.Tasks[0].Done, 0);
    }

    void shouldOnlySelectRowOnClickInOtherColumn() {
        f->Build({"a", "b", "c"});
        for (int col = 1; col < f->grid()->ColCount(); ++col) {
            QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(col, 2));
            QCOMPARE(f->grid()->Row(), 2);
            QCOMPARE(f->list->CurrentTaskIndex, 2);
        }
        QCOMPARE(f->DoneCount(), 0);
        QVERIFY(f->host->calls.isEmpty());
    }

    void shouldSelectRowAndOpenTaskMenuOnRightClick() {
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::RightButton, {}, f->Cell(1, 2));
        QCOMPARE(f->grid()->Row(), 2);
        QCOMPARE(f->list->CurrentTaskIndex, 2);
        QCOMPARE(f->DoneCount(), 0);
        QVERIFY(f->list->PopupMenu2->isVisible());
        QVERIFY(!f->host->mainMenu.isVisible());
        f->list->PopupMenu2->hide();
    }

    void shouldTickOnRightClickInCheckCell() {
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::RightButton, {}, f->Cell(0, 1));
        QCOMPARE(f->store.Tasks[1].Done, 1);
        QVERIFY(f->list->PopupMenu2->isVisible());
        f->list->PopupMenu2->hide();
        QTest::mouseClick(f->grid(), Qt::RightButton, {}, f->Cell(0, 1));
        QCOMPARE(f->store.Tasks[1].Done, 0);
        f->list->PopupMenu2->hide();
    }

    void shouldOpenMainMenuOnRightClickBelowLastRow() {
        f->Build({"a", "b"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 1));
        QTest::mouseClick(f->grid(), Qt::RightButton, {}, f->BelowLastRow());
        QVERIFY(f->host->mainMenu.isVisible());
        QVERIFY(!f->list->PopupMenu2->isVisible());
        QCOMPARE(f->grid()->Row(), 1);
        f->host->mainMenu.hide();
        // A later right-click on a row gives the task menu again.
        QTest::mouseClick(f->grid(), Qt::RightButton, {}, f->Cell(1, 0));
        QVERIFY(f->list->PopupMenu2->isVisible());
        f->list->PopupMenu2->hide();
    }

    void shouldTickCurrentRowBySpace() {
        f->Build({"a", "b", "c"});
        QTest::keyClick(f->grid(), Qt::Key_Down);
        QTest::keyClick(f->grid(), Qt::Key_Space);
        QCOMPARE(f->store.Tasks[1].Done, 1);
        QCOMPARE(f->host->calls, QStringList({"sort"}));
        QTest::keyClick(f->grid(), Qt::Key_Space);
        QCOMPARE(f->store.Tasks[1].Done, 0);
    }

    void shouldIgnoreSpaceOnEmptyList() {
        f->Build({});
        QTest::keyClick(f->grid(), Qt::Key_Space);
        QVERIFY(f->host->calls.isEmpty());
        QCOMPARE(f->grid()->RowCount(), 1);
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(0, 0));
        QVERIFY(f->host->calls.isEmpty());
    }

    void shouldNotTickWhenKeysMoveTheRow() {
        f->Build({"a", "b", "c"});
        QTest::keyClick(f->grid(), Qt::Key_Down);
        QTest::keyClick(f->grid(), Qt::Key_End);
        QCOMPARE(f->list->CurrentTaskIndex, 2);
        QCOMPARE(f->DoneCount(), 0);
    }

    void shouldAskBeforeDeleting_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void shouldAskBeforeDeleting() {
        QFETCH(bool, yes);
        f->answerYes = yes;
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 0));
        QVERIFY(f->list->FormKeyUp(Qt::Key_Delete));
        QCOMPARE(f->confirmations,
                 QStringList({"Are you sure you want to delete this task?", "Confirm!"}));
        if (yes) {
            QCOMPARE(f->store.TaskCount(), 2);
            QCOMPARE(f->TitleAt(0), std::string("c")); // the last record took its place
            QCOMPARE(f->host->calls, QStringList({"filter", "sort"}));
            QCOMPARE(f->grid()->RowCount(), 2);
        } else {
            QCOMPARE(f->store.TaskCount(), 3);
            QCOMPARE(f->TitleAt(0), std::string("a"));
            QVERIFY(f->host->calls.isEmpty());
        }
    }

    // A reminder or the tray menu may change the list while the question is open.
    void shouldDeleteTheTaskAskedAboutNotItsRow_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("re-sorted") << "re-sorted" << QStringList({"a", "b"});
        QTest::newRow("shortened") << "shortened" << QStringList({"b"});
        QTest::newRow("asked task gone") << "gone" << QStringList({"a", "b"});
    }
    void shouldDeleteTheTaskAskedAboutNotItsRow() {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, left);
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 2)); // asks about "c"
        f->whileAsking = [&] {
            auto& tasks = f->store.Tasks;
            if (meanwhile == "re-sorted")
                std::reverse(tasks.begin(), tasks.end()); // "c" now in row 0
            else if (meanwhile == "shortened")
                RemoveTaskAt(f->store, 0); // "c" moves to row 0; row 2 is past the end
            else
                RemoveTaskAt(f->store, 2);
        };
        f->list->DeleteTask();
        QStringList titles;
        for (const TTASK_ITEM& t : f->store.Tasks)
            titles << QString::fromStdString(t.Title);
        titles.sort();
        QCOMPARE(titles, left);
        QCOMPARE(f->notices.size(), meanwhile == "gone" ? 1 : 0);
    }

    void shouldStepBackWhenDeletingLastRowAndStopAtEmpty() {
        f->Build({"a", "b"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 1));
        f->list->DeleteTask();
        QCOMPARE(f->list->CurrentTaskIndex, 0);
        f->list->DeleteTask();
        QCOMPARE(f->list->CurrentTaskIndex, -1);
        QCOMPARE(f->store.TaskCount(), 0);
        f->confirmations.clear();
        f->list->DeleteTask(); // nothing left: no question
        QVERIFY(f->confirmations.isEmpty());
        f->list->ChangeTask1->trigger();
        QVERIFY(!f->host->calls.contains("edit -1"));
    }

    void shouldNotDeleteTaskOutsideTheVisibleRows() {
        f->Build({"a", "b", "c"});
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 2));
        f->store.VisibleTaskCount = 1; // another category is shown now
        f->list->SetupGridColumns();
        f->list->DeleteTask();
        QVERIFY(f->confirmations.isEmpty());
        QCOMPARE(f->store.TaskCount(), 3);
    }

    void shouldRunInsertAndHelpKeys() {
        f->Build({"a"});
        // The editor added a task; the relayout after it shows the new row.
        f->store.Tasks.push_back(MakeTask("added"));
        f->store.VisibleTaskCount = 2;
        QVERIFY(f->list->FormKeyUp(Qt::Key_Insert));
        QVERIFY(f->list->FormKeyUp(Qt::Key_F1));
        QVERIFY(!f->list->FormKeyUp(Qt::Key_A));
        QCOMPARE(f->host->calls, QStringList({"add", "help"}));
        QCOMPARE(f->grid()->RowCount(), 2);
    }

    void shouldRunMenuItems() {
        f->Build({"a", "b"});
        QCOMPARE(f->list->PopupMenu2->actions().size(), 5);
        QCOMPARE(f->list->AddTask1->text(), QString("Add Task..."));
        QCOMPARE(f->list->ChangeTask1->text(), QString("Edit Task..."));
        QCOMPARE(f->list->DeleteTask1->text(), QString("Delete Task..."));
        QVERIFY(f->list->N6->isSeparator());
        QCOMPARE(f->list->Print2->text(), QString("Print Tasks..."));
        QTest::mouseClick(f->grid(), Qt::LeftButton, {}, f->Cell(1, 1));
        f->list->AddTask1->trigger();
        f->list->ChangeTask1->trigger();
        f->list->Print2->trigger();
        QCOMPARE(f->host->calls, QStringList({"add", "edit 1", "print"}));
        f->answerYes = false;
        f->list->DeleteTask1->trigger();
        QCOMPARE(f->confirmations.size(), 2);
    }

    void shouldDoNothingForEditOnEmptyList() {
        f->Build({});
        f->list->ChangeTask1->trigger();
        QVERIFY(f->host->calls.isEmpty());
    }

    void shouldMoveOneRowPerWheelNotchAndStopAtEnds() {
        f->Build({"a", "b", "c"});
        SendWheel(f->grid(), -120);
        QCOMPARE(f->grid()->Row(), 1);
        SendWheel(f->grid(), -120);
        SendWheel(f->grid(), -120);
        SendWheel(f->grid(), -120);
        QCOMPARE(f->grid()->Row(), 2);
        SendWheel(f->grid(), 120);
        QCOMPARE(f->grid()->Row(), 1);
        SendWheel(f->grid(), 120);
        SendWheel(f->grid(), 120);
        QCOMPARE(f->grid()->Row(), 0);
        QCOMPARE(f->list->CurrentTaskIndex, 0);
        QCOMPARE(f->DoneCount(), 0);
    }

    void shouldMoveOneRowPerWindowWheelEvent() {
        f->Build({"a", "b", "c"});
        QVERIFY(f->list->FormMouseWheel(-360));
        QCOMPARE(f->grid()->Row(), 1);
        f->list->FormMouseWheel(-120);
        f->list->FormMouseWheel(-120);
        QCOMPARE(f->grid()->Row(), 2);
        f->list->FormMouseWheel(480);
        QCOMPARE(f->grid()->Row(), 1);
        QCOMPARE(f->list->LastListInput, int32_t(liNone));
    }

    void shouldOpenEditorOnDoubleClickOnTask() {
        f->Build({"a", "b", "c"});
        DoubleClick(f->grid(), f->Cell(1, 1));
        QCOMPARE(f->host->calls, QStringList({"edit 1"}));
    }

    void shouldIgnoreDoubleClickBelowLastRow() {
        f->Build({"a", "b"});
        DoubleClick(f->grid(), f->BelowLastRow());
        QVERIFY(f->host->calls.isEmpty());
    }

    void shouldIgnoreDoubleClickPressedAndReleasedInLastColumn() {
        f->Build({"a", "b"});
        const int last = f->grid()->ColCount() - 1;
        DoubleClick(f->grid(), f->Cell(last, 1));
        QVERIFY(f->host->calls.isEmpty());
        QCOMPARE(f->grid()->Row(), 1);
    }

    void shouldNotTickOnScrollBarOrWheelAfterDoubleClick() {
        std::vector<std::string> titles;
        for (int i = 0; i < 15; ++i)
            titles.push_back("task " + std::to_string(i));
        f->Build(titles);
        // A double-click on the check cell ticks once (its first click) and leaves the
        // last input at "mouse".
        DoubleClick(f->grid(), f->Cell(0, 0));
        QCOMPARE(f->DoneCount(), 1);
        QVERIFY(f->ScrollBar1Visible());
        f->list->ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f->grid()->Row(), 1);
        QCOMPARE(f->list->CurrentTaskIndex, 1);
        QCOMPARE(f->DoneCount(), 1);

        DoubleClick(f->grid(), f->Cell(0, 3));
        QCOMPARE(f->DoneCount(), 2);
        SendWheel(f->grid(), -120);
        QCOMPARE(f->grid()->Row(), 4);
        QCOMPARE(f->DoneCount(), 2);

        DoubleClick(f->grid(), f->Cell(0, 5));
        f->list->FormMouseWheel(-120);
        QCOMPARE(f->DoneCount(), 3);
        QCOMPARE(f->grid()->Row(), 6);
    }

    void shouldFollowScrollBarDrag() {
        std::vector<std::string> titles(40, "t");
        f->Build(titles);
        f->list->ScrollBar1->setSliderPosition(30); // a drag of the thumb
        QCOMPARE(f->grid()->Row(), 30);
        QVERIFY(f->grid()->TopRow() > 0);
        QTest::keyClick(f->grid(), Qt::Key_Home);
        QCOMPARE(f->list->ScrollBar1->value(), 0);
    }

    void shouldShowScrollBarOnlyAboveTenTasks() {
        f->Build(std::vector<std::string>(10, "t"));
        QVERIFY(!f->ScrollBar1Visible());
        f->store.Tasks.push_back(MakeTask("eleven"));
        f->store.VisibleTaskCount = 11;
        f->list->SetupGridColumns();
        QVERIFY(f->ScrollBar1Visible());
        QVERIFY(f->list->ScrollBar1->isEnabled());
        QCOMPARE(f->list->ScrollBar1->maximum(), 10);
        QCOMPARE(f->list->ScrollBar1->minimum(), 0);
    }

    void shouldSelectWhileDraggingAndClickOnRelease() {
        f->Build({"a", "b", "c"});
        QTest::mousePress(f->grid(), Qt::LeftButton, {}, f->Cell(1, 0));
        QMouseEvent move(QEvent::MouseMove, QPointF(f->Cell(1, 2)),
                         f->grid()->mapToGlobal(QPointF(f->Cell(1, 2))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->grid(), &move);
        QTest::mouseRelease(f->grid(), Qt::LeftButton, {}, f->Cell(1, 2));
        QCOMPARE(f->list->CurrentTaskIndex, 2);
        QCOMPARE(f->list->SelectedRow, 2);
    }

    void shouldResetListInput() {
        f->Build({"a"});
        f->list->LastListInput = liMouse;
        f->list->ResetListInput();
        QCOMPARE(f->list->LastListInput, int32_t(liNone));
    }
};

QTEST_MAIN(TestTaskListInput)
#include "task_list_input_test.moc"
