// The categories window and the category dialog on the real windows: deleting
// with its refusals, adding and editing through the dialog, cancelling, the
// list's scroll bar and painting, the mouse and key rules, and names that are
// not valid UTF-8.
#include "app/category_commands.h"
#include "app/quillnote_application.h"
#include "app_fixture.h"
#include "support/window_parts.h"

#include "core/data_file.h"
#include "platform/settings_store.h"
#include "skin/skin_colors.h"
#include "support/task_builder.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/mark_grid.h"
#include "ui/message_form.h"
#include "ui/task_list.h"
#include "widgets/string_grid.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace quill;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TaskStore Store(std::vector<TCATEGORY> categories, std::vector<TTASK_ITEM> tasks = {}) {
    TaskStore s;
    s.Categories = std::move(categories);
    s.Tasks = std::move(tasks);
    return s;
}

// Runs `act` once `form` is showing modally (from inside its modal loop).
void WhenShown(TForm* form, std::function<void()> act) {
    auto* timer = new QTimer(form);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, form, [form, timer, act] {
        if (!form->IsShowingModal())
            return;
        // Keys go to the focused control of the active window only.
        if (!form->isActiveWindow()) {
            form->activateWindow();
            return;
        }
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

// Answers the program's message dialog, one answer per showing, and keeps the texts.
struct MessageAnswers {
    QStringList texts;
    QList<bool> answers; // true: the first button ("OK"/"Yes")
    QTimer timer;
    explicit MessageAnswers(TMessageForm* form, QList<bool> a = {}) : answers(std::move(a)) {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, form] {
            if (!form->IsShowingModal() || form->GetModalResult() != mrNone)
                return;
            texts << Part<QLabel>(form, "Label1")->text();
            const bool yes = answers.isEmpty() ? true : answers.takeFirst();
            yes ? form->Button1Click() : form->Button2Click();
        });
        timer.start();
    }
};

std::vector<std::string> Names(const TaskStore& s) {
    std::vector<std::string> out;
    for (const TCATEGORY& c : s.Categories)
        out.push_back(c.Name);
    return out;
}

} // namespace

class CategoriesTest : public QObject {
    Q_OBJECT

    AppFixture* f = nullptr;

    // Writes `store` as the data file and starts the program on it.
    TMainForm* Start(const TaskStore& store, AppFixture& fixture) {
        f = &fixture;
        if (!store.Categories.empty() && !SaveTasks(store, fixture.DataPath().toStdString()).ok)
            qFatal("cannot write the data file");
        TMainForm* main = fixture.CreateWindows();
        if (!fixture.ShowAndActivate())
            qFatal("the main window did not activate");
        return main;
    }
    TCategoriesForm* Window() const { return f->Windows()->Others().CategoriesForm(); }
    TAddCategoryForm* Dialog() const { return f->Windows()->Others().AddCategoryForm(); }
    TMessageForm* Messages() const { return f->Windows()->Others().MessageForm(); }
    TaskStore& Data() const { return f->Services().store; }
    void ShowWindow() const {
        Window()->show();
        Window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window()));
    }
    void Click(const QString& button, const QString& templ) const {
        FakeSkinObject parent(templ, nullptr);
        FakeSkinObject source(button, &parent);
        f->Main()->Skin1SkinEvent(&source, QStringLiteral("OnClick"));
    }

private Q_SLOTS:
    void shouldDeleteACategoryMovingTheLastIntoItsPlace() {
        // GIVEN A, B, C, D with tasks in all four, B's also at the array's end
        AppFixture fixture;
        TMainForm* main = Start(Store({{"A", 0}, {"B", 1}, {"C", 2}, {"D", 3}},
                                      {test::MakeTask("a1", 1, 0), test::MakeTask("b1", 1, 1),
                                       test::MakeTask("d1", 1, 3), test::MakeTask("c1", 1, 2),
                                       test::MakeTask("b2", 1, 1), test::MakeTask("d2", 1, 3),
                                       test::MakeTask("b3", 1, 1)}),
                                fixture);
        MessageAnswers yes(Messages(), {true});
        // WHEN the user opens the window from the drop-down, picks B, presses Delete
        // and closes the window with Escape
        WhenShown(Window(), [this] {
            Part<TStringGrid>(Window(), "StringGrid1")->SetRow(1);
            QTest::keyClick(Part<TStringGrid>(Window(), "StringGrid1"), Qt::Key_Delete);
            QTest::keyClick(Part<TStringGrid>(Window(), "StringGrid1"), Qt::Key_Escape);
        });
        main->ComboBox1Change(Part<QComboBox>(main, "ComboBox1")->count() - 1);
        // THEN A, D, C remain, B's tasks are gone and D's now name position 1
        QCOMPARE(yes.texts, QStringList{QString::fromUtf8(kDeleteCategoryQuestion)});
        QCOMPARE(Names(Data()), (std::vector<std::string>{"A", "D", "C"}));
        std::map<std::string, int> byTitle;
        for (const TTASK_ITEM& t : Data().Tasks)
            byTitle[t.Title] = t.CategoryIndex;
        QCOMPARE(byTitle, (std::map<std::string, int>{{"a1", 0}, {"c1", 2}, {"d1", 1}, {"d2", 1}}));
        // ... the file holds the same, the drop-down shows "All" of the new list
        TaskStore saved;
        QVERIFY(LoadTasks(saved, fixture.DataPath().toStdString()).outcome == LoadOutcome::Good);
        QCOMPARE(Names(saved), Names(Data()));
        QCOMPARE(saved.Tasks.size(), size_t(4));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->count(), 5);
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentText(), QStringLiteral("All"));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->itemText(1), QStringLiteral("D"));
        QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->RowCount(), 3);
    }

    void shouldRefuseOrAskBeforeDeleting_data() {
        QTest::addColumn<int>("categories");
        QTest::addColumn<int>("edited");
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("text");
        QTest::newRow("only category, Delete key")
            << 1 << -1 << "key" << true << kDeleteLastCategoryText;
        QTest::newRow("only category, skin button")
            << 1 << -1 << "button" << true << kDeleteLastCategoryText;
        QTest::newRow("only category, menu")
            << 1 << -1 << "menu" << true << kDeleteLastCategoryText;
        QTest::newRow("category of the edited task")
            << 3 << 2 << "key" << true << kDeleteEditedCategoryText;
        QTest::newRow("answered No") << 3 << -1 << "button" << false << kDeleteCategoryQuestion;
    }
    void shouldRefuseOrAskBeforeDeleting() {
        QFETCH(int, categories);
        QFETCH(int, edited);
        QFETCH(QString, way);
        QFETCH(bool, answer);
        QFETCH(QString, text);
        AppFixture fixture;
        std::vector<TCATEGORY> cats{{"Home", 0}, {"Work", 1}, {"Club", 2}};
        cats.resize(size_t(categories));
        Start(Store(cats, {test::MakeTask("t0", 1, 0), test::MakeTask("t1", 1, categories - 1)}),
              fixture);
        const TaskStore before = Data();
        const QByteArray file = ReadAll(fixture.DataPath());
        Data().EditedTaskCategory = edited;
        ShowWindow();
        Part<TStringGrid>(Window(), "StringGrid1")->SetRow(categories - 1);
        MessageAnswers answers(Messages(), {answer});
        if (way == "key")
            QTest::keyClick(Part<TStringGrid>(Window(), "StringGrid1"), Qt::Key_Delete);
        else if (way == "button")
            Click("RemoveButton", "CategoriesForm");
        else
            Part<QAction>(Window(), "RemoveCategoriesMenu")->trigger();
        QCOMPARE(answers.texts, QStringList{text});
        QCOMPARE(Data().Categories, before.Categories);
        QCOMPARE(Data().Tasks, before.Tasks);
        QCOMPARE(ReadAll(fixture.DataPath()), file);
        Window()->hide();
    }

    void shouldShowTheScrollBarFromElevenCategories_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("10") << 10;
        QTest::newRow("11") << 11;
    }
    void shouldShowTheScrollBarFromElevenCategories() {
        QFETCH(int, count);
        AppFixture fixture;
        std::vector<TCATEGORY> cats;
        for (int i = 0; i < count; ++i)
            cats.push_back({"Category " + std::to_string(i), i % 10});
        TMainForm* main = Start(Store(cats), fixture);
        ShowWindow();
        QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->RowCount(), count);
        QCOMPARE(Part<QScrollBar>(Window(), "ScrollBar1")->isVisible(), count >= 11);
        QCOMPARE(Part<QScrollBar>(Window(), "ScrollBar1")->maximum(), count - 1);
        // The layout comes from the skin's margins; the mark column is a mark wide.
        const SkinParams& p = main->Params();
        const QRect grid = Part<TStringGrid>(Window(), "StringGrid1")->geometry();
        const QRect bar = Part<QScrollBar>(Window(), "ScrollBar1")->geometry();
        const QSize client = Window()->ClientSize();
        QCOMPARE(grid.topLeft(), QPoint(p.TaskLeftTab, p.TaskTopTab));
        QCOMPARE(grid.height(), client.height() - p.TaskBottomTab);
        QCOMPARE(bar.left(), client.width() - (15 + p.TaskRightTab));
        QCOMPARE(grid.width(), bar.left() - (p.TaskLeftTab + p.TabBetweenTS));
        const int mark = main->Pictures().CategoryMarks[0].deviceIndependentSize().toSize().width();
        QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->ColWidth(1), mark);
        QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->ColWidth(0), grid.width() - mark);
        // The scroll bar moves the current row.
        if (count == 11) {
            Part<QScrollBar>(Window(), "ScrollBar1")->setValue(10);
            QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->Row(), 10);
        }
        Window()->hide();
    }

    void shouldPaintTheCurrentRowInTheSelectionColourWithItsMarkCentred() {
        AppFixture fixture;
        TMainForm* main = Start(Store({{"Home", 0}, {"Work", 1}}), fixture);
        ShowWindow();
        Part<TStringGrid>(Window(), "StringGrid1")->SetRow(1);
        const QImage image = Part<TStringGrid>(Window(), "StringGrid1")->grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        const auto at = [&](QPoint p) { return image.pixelColor((QPointF(p) * dpr).toPoint()); };
        const QColor selection =
            SkinColorToQColor(main->Params().SellectBarColor,
                              Part<TStringGrid>(Window(), "StringGrid1")->palette(), Qt::black);
        const QRect name1 = Part<TStringGrid>(Window(), "StringGrid1")->CellRect(0, 1);
        const QRect mark1 = Part<TStringGrid>(Window(), "StringGrid1")->CellRect(1, 1);
        QCOMPARE(at(QPoint(name1.right() - 3, name1.top() + 1)), selection);
        QCOMPARE(at(QPoint(mark1.left() + 1, mark1.top() + 1)), selection);
        QCOMPARE(at(QPoint(name1.right() - 3, name1.top() - 2)),
                 Part<TStringGrid>(Window(), "StringGrid1")->Color());
        // The mark's centre shows the mark (the skin's dots are not the background).
        QVERIFY(at(mark1.center()) != selection);
        Window()->hide();
    }

    void shouldChooseTheMarkByKeysAndMouseAndCloseWithEnter() {
        AppFixture fixture;
        Start(Store({{"Home", 0}, {"Work", 1}, {"Club", 2}}), fixture);
        ShowWindow();
        QString proposed;
        QList<int> marks;
        QColor frame, other;
        WhenShown(Dialog(), [&] {
            TMarkGrid* grid = Part<TMarkGrid>(Dialog(), "StringGrid1");
            proposed = Part<QLineEdit>(Dialog(), "Edit1")->text();
            marks << Dialog()->Mark();
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Right);
            QTest::keyClick(grid, Qt::Key_Right);
            QTest::keyClick(grid, Qt::Key_Left);
            marks << Dialog()->Mark();
            QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(6).center());
            marks << Dialog()->Mark();
            QTest::keyClick(grid, Qt::Key_End);
            QTest::keyClick(grid, Qt::Key_Right); // stays on the last mark
            marks << Dialog()->Mark();
            const QImage image = grid->grab().toImage();
            const qreal dpr = image.devicePixelRatio();
            frame = image.pixelColor(QPoint(9 * 16, 0) * dpr);
            other = image.pixelColor(QPoint(6 * 16, 0) * dpr);
            Part<QLineEdit>(Dialog(), "Edit1")->setFocus();
            QTest::keyClicks(Part<QLineEdit>(Dialog(), "Edit1"), QStringLiteral("-x"));
            QTest::keyClick(Part<QLineEdit>(Dialog(), "Edit1"), Qt::Key_Return);
        });
        Click("AddButton", "CategoriesForm");
        QCOMPARE(proposed, QStringLiteral("Untitled-4"));
        QCOMPARE(marks, (QList<int>{0, 1, 6, 9}));
        QCOMPARE(frame, QColor(Qt::black));
        QCOMPARE(other, Part<TMarkGrid>(Dialog(), "StringGrid1")->Color());
        QCOMPARE(Data().Categories.back(), (TCATEGORY{"Untitled-4-x", 9}));
        QCOMPARE(Part<TStringGrid>(Window(), "StringGrid1")->RowCount(), 4);
        Window()->hide();
    }

    void shouldChangeNothingAndWriteNothingWhenCancelled_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("way");
        QTest::newRow("add, skin Cancel") << "add"
                                          << "button";
        QTest::newRow("add, Escape") << "add"
                                     << "escape";
        QTest::newRow("add, window closed") << "add"
                                            << "close";
        QTest::newRow("edit, skin Cancel") << "edit"
                                           << "button";
        QTest::newRow("edit, Escape") << "edit"
                                      << "escape";
    }
    void shouldChangeNothingAndWriteNothingWhenCancelled() {
        QFETCH(QString, command);
        QFETCH(QString, way);
        AppFixture fixture;
        Start(Store({{"Home", 0}, {"Work", 1}}, {test::MakeTask("t", 1, 1)}), fixture);
        const TaskStore before = Data();
        const QByteArray file = ReadAll(fixture.DataPath());
        ShowWindow();
        WhenShown(Dialog(), [&] {
            Part<QLineEdit>(Dialog(), "Edit1")->setText(QStringLiteral("Changed"));
            Part<TMarkGrid>(Dialog(), "StringGrid1")->SetCol(5);
            if (way == "button")
                Click("CancelButton", "AddCategoryForm");
            else if (way == "escape")
                QTest::keyClick(Part<QLineEdit>(Dialog(), "Edit1"), Qt::Key_Escape);
            else
                Dialog()->close();
        });
        if (command == "add")
            Part<QAction>(Window(), "AddCategoriesMenu")->trigger();
        else
            Click("EditButton", "CategoriesForm");
        QVERIFY(!Dialog()->isVisible());
        QCOMPARE(Data().Categories, before.Categories);
        QCOMPARE(Data().Tasks, before.Tasks);
        QCOMPARE(ReadAll(fixture.DataPath()), file);
        Window()->hide();
    }

    void shouldOfferTheRowItemsOnlyForARightClickOnARow() {
        AppFixture fixture;
        Start(Store({{"Home", 0}, {"Work", 1}, {"Club", 2}}), fixture);
        ShowWindow();
        TStringGrid* grid = Part<TStringGrid>(Window(), "StringGrid1");
        // A right click on row 2 makes it current before the menu opens.
        QTest::mouseClick(grid, Qt::RightButton, {}, grid->CellRect(0, 2).center());
        QCOMPARE(grid->Row(), 2);
        QVERIFY(QTest::qWaitFor([this] { return Part<QMenu>(Window(), "PopupMenu1")->isVisible(); },
                                2000));
        QVERIFY(Part<QAction>(Window(), "RemoveCategoriesMenu")->isVisible());
        QVERIFY(Part<QAction>(Window(), "EditCategoriesMenu")->isVisible());
        Part<QMenu>(Window(), "PopupMenu1")->hide();
        // Below the last row: only "Add Category...", and the current row stays.
        QTest::mouseClick(grid, Qt::RightButton, {}, QPoint(5, grid->height() - 3));
        QVERIFY(QTest::qWaitFor([this] { return Part<QMenu>(Window(), "PopupMenu1")->isVisible(); },
                                2000));
        QCOMPARE(grid->Row(), 2);
        QVERIFY(Part<QAction>(Window(), "AddCategoriesMenu")->isVisible());
        QVERIFY(!Part<QAction>(Window(), "RemoveCategoriesMenu")->isVisible());
        QVERIFY(!Part<QAction>(Window(), "EditCategoriesMenu")->isVisible());
        Part<QMenu>(Window(), "PopupMenu1")->hide();
        Window()->hide();
    }

    void shouldEditOnADoubleClickOnARowOnly() {
        AppFixture fixture;
        Start(Store({{"Home", 0}, {"Work", 1}}), fixture);
        ShowWindow();
        TStringGrid* grid = Part<TStringGrid>(Window(), "StringGrid1");
        int shown = 0;
        const auto countAndCancel = [&] {
            WhenShown(Dialog(), [&] {
                ++shown;
                Dialog()->SetModalResult(mrCancel);
            });
        };
        // On the mark of row 1 (a click, then the double-click's second press).
        countAndCancel();
        const QPoint onMark = grid->CellRect(1, 1).center();
        QTest::mouseClick(grid, Qt::LeftButton, {}, onMark);
        QTest::mouseDClick(grid, Qt::LeftButton, {}, onMark);
        QCOMPARE(shown, 1);
        QCOMPARE(Part<QLineEdit>(Dialog(), "Edit1")->text(), QStringLiteral("Work"));
        // Below the rows nothing opens.
        const QPoint below(5, grid->height() - 3);
        QTest::mouseClick(grid, Qt::LeftButton, {}, below);
        QTest::mouseDClick(grid, Qt::LeftButton, {}, below);
        QTest::qWait(50);
        QCOMPARE(shown, 1);
        Window()->hide();
    }

    void shouldWriteTheChosenGroupButNotForEditCategories() {
        AppFixture fixture;
        TMainForm* main = Start(Store({{"Home", 0}, {"Work", 1}}), fixture);
        Part<QComboBox>(main, "ComboBox1")->setCurrentIndex(1);
        main->ComboBox1Change(1);
        QCOMPARE(fixture.StoredValue("MainFormGroup"), QStringLiteral("1"));
        // "Edit Categories...": the window opens; its skin OK closes it.
        WhenShown(Window(), [this] { Click("OKButton", "CategoriesForm"); });
        main->ComboBox1Change(Part<QComboBox>(main, "ComboBox1")->count() - 1);
        QVERIFY(!Window()->isVisible());
        QCOMPARE(fixture.StoredValue("MainFormGroup"), QStringLiteral("1"));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentText(), QStringLiteral("All"));
    }

    void shouldKeepTheBytesOfANameThatIsNotUtf8UnlessEdited_data() {
        QTest::addColumn<QString>("typed"); // empty: the name is left as shown
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("only the mark changed") << QString() << QByteArray("Caf\xE9");
        QTest::newRow("name edited") << QStringLiteral("Caf\u00E9") << QByteArray("Caf\xC3\xA9");
    }
    void shouldKeepTheBytesOfANameThatIsNotUtf8UnlessEdited() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        // GIVEN a file whose first category's name is Latin-1 "Café"
        AppFixture fixture;
        TMainForm* main = Start(Store({{"Caf\xE9", 0}, {"Work", 1}}), fixture);
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->itemText(0), QStringLiteral("Caf\uFFFD"));
        ShowWindow();
        // WHEN the category is edited: a new mark, and the name as the row says
        QString shown;
        WhenShown(Dialog(), [this, &shown, typed] {
            shown = Part<QLineEdit>(Dialog(), "Edit1")->text();
            QTest::keyClick(Part<TMarkGrid>(Dialog(), "StringGrid1"), Qt::Key_Right);
            if (!typed.isEmpty())
                Part<QLineEdit>(Dialog(), "Edit1")->setText(typed);
            QTest::keyClick(Part<QLineEdit>(Dialog(), "Edit1"), Qt::Key_Return);
        });
        Click("EditButton", "CategoriesForm");
        QCOMPARE(shown, QStringLiteral("Caf\uFFFD"));
        main->SaveTasks();
        // THEN the file holds the name's bytes: the file's own, or the typed UTF-8
        TaskStore saved;
        QVERIFY(LoadTasks(saved, fixture.DataPath().toStdString()).outcome == LoadOutcome::Good);
        QCOMPARE(saved.Categories[0], (TCATEGORY{stored.toStdString(), 1}));
        Window()->hide();
    }
};

int main(int argc, char** argv) {
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    CategoriesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "categories_test.moc"
