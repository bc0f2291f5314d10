// The find field on the real main window: narrowing as the user types, the
// list's keys on the narrowed rows, and the list given back on Escape.
#include "app_fixture.h"

#include "app/main_form.h"
#include "app/quillnote_application.h"
#include "core/data_file.h"
#include "core/task_store.h"
#include "ui/task_list.h"
#include "widgets/string_grid.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace quill;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Four tasks of the first category and one of the second.
void WriteTasks(const QString& path) {
    TaskStore store;
    AddDefaultCategories(store);
    const struct {
        const char* title;
        const char* description;
        int32_t category;
    } tasks[] = {{"Café order", "", 0},
                 {"buy milk", "at the cafe", 0},
                 {"Cafeteria plan", "", 1},
                 {"Write report", "", 0},
                 {"call Zoë", "", 0}};
    for (const auto& t : tasks) {
        TTASK_ITEM task;
        task.Title = t.title;
        task.Description = t.description;
        task.CategoryIndex = t.category;
        AddTask(store, task);
    }
    QVERIFY(SaveTasks(store, path.toStdString()).ok);
}

QStringList Titles(const TaskStore& store, int count) {
    QStringList titles;
    for (int i = 0; i < count; ++i)
        titles << QString::fromStdString(store.Tasks[static_cast<size_t>(i)].Title);
    return titles;
}

QStringList Rows(const TaskStore& store) {
    return Titles(store, store.VisibleTaskCount);
}

} // namespace

class FindTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldNarrowWithinTheCategoryAndGiveTheListBackOnEscape() {
        AppFixture f;
        WriteTasks(f.DataPath());
        f.Store("MainFormGroup", 0);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        const TaskStore& store = f.Services().store;
        TTaskList* list = Part<TTaskList>(main);
        const QStringList before = Titles(store, store.TaskCount());
        const QByteArray saved = ReadAll(f.DataPath());
        list->StringGrid1->SetRow(int(before.indexOf("Write report")));

        auto* edit = Part<QLineEdit>(main, "FindEdit");
        const struct {
            const char* text;
            QStringList rows;
        } finds[] = {{"CAFE", {"Café order", "buy milk"}}, // title or description
                     {"zoe", {"call Zoë"}},
                     {"plan", {}}}; // only in another category
        for (const auto& find : finds) {
            Part<QAction>(main, "Find1")->trigger(); // over the text typed before
            QVERIFY(edit->isVisible() && edit->hasFocus());
            QTest::keyClicks(edit, find.text);
            QCOMPARE(Rows(store), find.rows);
            QCOMPARE(list->StringGrid1->RowCount(),
                     qMax(1, int(find.rows.size()))); // a grid keeps a row
        }
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!edit->isVisible());
        QCOMPARE(Titles(store, store.TaskCount()), before);
        QCOMPARE(store.VisibleTaskCount, 4);
        QCOMPARE(list->StringGrid1->RowCount(), 4);
        QCOMPARE(Rows(store).value(list->CurrentTaskIndex), QStringLiteral("Write report"));
        QCOMPARE(ReadAll(f.DataPath()), saved);
    }

    void shouldActOnTheNarrowedRowsAsOnTheFullList() {
        AppFixture f;
        WriteTasks(f.DataPath());
        f.Store("MainFormGroup", 0);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        const TaskStore& store = f.Services().store;
        TTaskList* list = Part<TTaskList>(main);
        list->SetConfirm([](QWidget*, const QString&, const QString&) { return true; });

        QTest::keyClick(list->StringGrid1, Qt::Key_F, Qt::ControlModifier);
        auto* edit = Part<QLineEdit>(main, "FindEdit");
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, "cafe");
        QTest::keyClick(edit, Qt::Key_Delete); // edits the field only
        QCOMPARE(Rows(store), (QStringList{"Café order", "buy milk"}));
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(list->StringGrid1->hasFocus());
        QTest::keyClick(list->StringGrid1, Qt::Key_Delete);
        QCOMPARE(Rows(store), QStringList{"Café order"});
        QTest::keyClick(list->StringGrid1, Qt::Key_Space);
        QVERIFY(store.Tasks[0].Done);

        QTest::keyClick(list->StringGrid1, Qt::Key_Escape);
        QCOMPARE(store.VisibleTaskCount, 3);
        TaskStore reread;
        QCOMPARE(int(LoadTasks(reread, f.DataPath().toStdString()).outcome),
                 int(LoadOutcome::Good));
        QCOMPARE(Titles(reread, reread.TaskCount()), Titles(store, store.TaskCount()));
        QVERIFY(!Titles(reread, reread.TaskCount()).contains("buy milk"));
    }
};

int main(int argc, char** argv) {
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    FindTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "find_test.moc"
