// The task list as a screen reader reads it: the accessible table of the real
// grid, its cells, and the events that keep a reader from reading stale rows.
#include "print/print_form.h"
#include "skin/skin_button.h"
#include "task_list_fixture.h"
#include "ui/add_category_form.h"
#include "ui/edit_task_form.h"
#include "ui/options_form.h"
#include "ui/reminder_form.h"
#include "widgets/string_grid_accessible.h"

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace quill;
using namespace quill::test;

namespace {

QStringList g_events; // "<event> <child>", in order

void RecordEvent(QAccessibleEvent* event) {
    g_events << QStringLiteral("%1 %2").arg(event->type()).arg(event->child());
}

QString Ev(QAccessible::Event type, int child) {
    return QStringLiteral("%1 %2").arg(type).arg(child);
}

} // namespace

class TestTaskListAccess : public QObject {
    Q_OBJECT
    std::unique_ptr<ListFixture> f;
    QAccessibleInterface* table = nullptr;

    QString text(int row, int col) const {
        return table->tableInterface()->cellAt(row, col)->text(QAccessible::Name);
    }
    bool checked(int row) const { return table->tableInterface()->cellAt(row, 0)->state().checked; }
    // Builds with every column shown and a reader listening.
    void build(std::vector<TTASK_ITEM> tasks) {
        f->options.showPriority = f->options.showCategory = true;
        f->options.showReminder = f->options.showDueDate = true;
        f->store.Tasks = std::move(tasks);
        f->Build({});
        table = QAccessible::queryAccessibleInterface(f->grid());
        QCoreApplication::processEvents();
        g_events.clear();
    }

private Q_SLOTS:
    void initTestCase() {
        // As a screen reader on the bus would; the offscreen platform has no bus.
        QAccessible::installUpdateHandler(RecordEvent);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
    }
    void init() { f = std::make_unique<ListFixture>(); }
    void cleanup() { f.reset(); }

    void shouldReadRowsAsSighted() {
        build({Dated(MakeTask("Buy milk", 0, 0), 46000.5), Completed(MakeTask("Report", 2, 1)),
               WithReminder(MakeTask("Call", 1, 2))});
        auto* t = table->tableInterface();
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Tasks"));
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->columnCount(), 6);
        QCOMPARE(t->columnDescription(5), QStringLiteral("Due date"));
        const QStringList rows[] = {
            {"", "Buy milk", "High", "Personal", "No reminder", "9 Dec 2025"},
            {"", "Report", "Low", "Business", "No reminder", "none"},
            {"", "Call", "Normal", "Other", "Reminder", "none"}};
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 6; ++col)
                QCOMPARE(text(row, col), rows[row][col]);
            QCOMPARE(checked(row), row == 1);
        }
        QAccessibleInterface* check = t->cellAt(0, 0);
        QCOMPARE(check->actionInterface()->actionNames(), QStringList{"toggle"});
        QVERIFY(check->state().checkable && check->state().focused);
        QVERIFY(t->cellAt(0, 1)->actionInterface()->actionNames().isEmpty());
        QCOMPARE(table->indexOfChild(t->cellAt(2, 4)), 16);
    }

    void shouldReportMovesTicksTitlesDeletesAndResorts() {
        build({MakeTask("a"), MakeTask("b"), MakeTask("c")});
        QTest::keyClick(f->grid(), Qt::Key_Down);
        // Of the old row the reader has only the focused cell.
        QStringList moved{Ev(QAccessible::SelectionRemove, 0)};
        for (int col = 0; col < 6; ++col)
            moved << Ev(QAccessible::SelectionAdd, 6 + col);
        QCOMPARE(g_events, moved << Ev(QAccessible::Focus, 6));

        g_events.clear();
        text(1, 1);
        table->tableInterface()->cellAt(1, 0)->actionInterface()->doAction("toggle");
        QTRY_COMPARE(g_events, QStringList{Ev(QAccessible::StateChanged, 6)});
        QVERIFY(f->store.Tasks[1].Done && checked(1));

        g_events.clear();
        f->store.Tasks[1].Title = "b2";
        f->list->Repaint();
        QTRY_COMPARE(g_events, QStringList{Ev(QAccessible::NameChanged, 7)});

        // The current task goes: a model reset, the focus on the row's new task.
        g_events.clear();
        f->list->DeleteTask();
        QTRY_COMPARE(g_events, QStringList({Ev(QAccessible::TableModelChanged, -1),
                                            Ev(QAccessible::Focus, 6)}));
        QCOMPARE(grid_access::CachedCellCount(f->grid()), 1);
        const auto title1 = [this] { return QString::fromStdString(f->TitleAt(1)); };
        QCOMPARE(text(1, 1), title1());
        // The focus stayed in its row: the focused cell names the task now there.
        QCOMPARE(table->tableInterface()->cellAt(1, 0)->text(QAccessible::Description), title1());
        QCOMPARE(table->tableInterface()->rowCount(), 2);

        g_events.clear();
        std::swap(f->store.Tasks[0], f->store.Tasks[1]); // a re-sort
        f->list->Repaint();
        QTRY_COMPARE(g_events.value(0), Ev(QAccessible::TableModelChanged, -1));
        QCOMPARE(text(1, 1), title1());
    }

    void shouldMakeCellsOnlyWhenRead() {
        // Without a reader: moves, relayouts and paints make no cell.
        auto* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        platform->setActive(false);
        build(std::vector<TTASK_ITEM>(10000, MakeTask("t")));
        QTest::keyClick(f->grid(), Qt::Key_End);
        f->list->SetupGridColumns();
        f->grid()->repaint();
        platform->setActive(true);
        QCoreApplication::processEvents();
        QCOMPARE(table->childCount(), 60000);
        QCOMPARE(grid_access::CachedCellCount(f->grid()), 0);
        text(5000, 1);
        QCOMPARE(grid_access::CachedCellCount(f->grid()), 1);
    }

    // What a keyboard-only walk finds: every control Tab reaches says what it is.
    void shouldNameEveryControlOfTheDialogs() {
        std::unique_ptr<TForm> forms[] = {
            std::make_unique<TEditTaskForm>(), std::make_unique<TReminderForm>(),
            std::make_unique<TAddCategoryForm>(), std::make_unique<TOptionsForm>(),
            std::make_unique<TPrintForm>()};
        for (const auto& form : forms) {
            form->show(); // the labels take their captions on the first activation
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            for (QWidget* control : form->findChildren<QWidget*>()) {
                if (!(control->focusPolicy() & Qt::TabFocus) || control->focusProxy())
                    continue;
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
                QVERIFY2(!iface->text(QAccessible::Name).isEmpty() ||
                             !iface->text(QAccessible::Description).isEmpty(),
                         qPrintable(form->objectName() + "." + control->objectName()));
            }
        }
    }

    void shouldNameSkinButtonsInWords() {
        const char* cases[][4] = {// window, button, the skin's name, what is said
                                  {"MainForm", "AddButton", "Add", "Add"},
                                  {"EditTaskForm", "OKButton", "OKButton", "OK"},
                                  {"MainForm", "ButtonMinimize", "\u2013", "Minimize"},
                                  {"PrintForm", "ZoomOutButton", "+", "Zoom Out"}};
        for (const auto& c : cases) {
            SkinButtonLayout layout;
            layout.name = c[1];
            layout.accessibleName = c[2];
            QCOMPARE(ButtonAccessibleName(c[0], layout), QString::fromUtf8(c[3]));
        }
    }
};

QTEST_MAIN(TestTaskListAccess)
#include "task_list_access_test.moc"
