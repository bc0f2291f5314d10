#pragma once
// A task list on a plain window with a host that records what the list asks of it,
// pictures of known colours and skin colours that are easy to tell apart.

#include "core/list_ordering.h"
#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "support/task_builder.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"
#include "ui/task_list_host.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStringList>
#include <QTest>
#include <QWheelEvent>
#include <memory>

namespace quill::test {

// Colours as 0xBBGGRR.
constexpr TColor kGridColor = 0x0000FF;    // red
constexpr TColor kDoneColor = 0x008000;    // green
constexpr TColor kOverdueColor = 0xFF0000; // blue
constexpr TColor kSelectColor = 0x00FFFF;  // yellow
const QColor kBackground(250, 250, 250);

inline QPixmap Solid(int w, int h, QColor color) {
    QPixmap pixmap(w, h);
    pixmap.fill(color);
    return pixmap;
}

// Picture colours, each unique.
const QColor kCheckPic(200, 0, 200), kNCheckPic(0, 200, 200), kHighPic(120, 60, 0),
    kLowPic(0, 60, 120), kReminderPic(60, 120, 0);
inline QColor MarkColor(int i) {
    return QColor(10 + i * 20, 100, 30);
}

class FakeHost : public TaskListHost {
public:
    explicit FakeHost(TaskStore& store, const FixedOptions& options)
        : store_(store), options_(options) {
        mainMenu.addAction(QStringLiteral("Add Task..."));
    }
    void SortTaskList() override {
        calls << QStringLiteral("sort");
        quill::SortTaskList(store_, options_.SortBy(), options_.DoneTaskPutInBottom());
    }
    void FilterTaskList() override {
        calls << QStringLiteral("filter");
        store_.VisibleTaskCount = store_.TaskCount(); // "All"
    }
    void AddTask() override { calls << QStringLiteral("add"); }
    int EditTask(int index) override {
        calls << QStringLiteral("edit %1").arg(index);
        return 2;
    }
    void OpenHelpFile() override { calls << QStringLiteral("help"); }
    void ShowPrintDialog() override { calls << QStringLiteral("print"); }
    QMenu* MainPopupMenu() override { return &mainMenu; }
    QString ShownCategoryName() const override { return shownCategory; }

    QStringList calls;
    QString shownCategory;
    QMenu mainMenu;

private:
    TaskStore& store_;
    const FixedOptions& options_;
};

struct ListFixture {
    TaskStore store;
    SkinParams params;
    SkinPictures pictures;
    FixedOptions options;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<QWidget> window;
    QLineEdit* otherControl = nullptr;
    TTaskList* list = nullptr;
    QStringList confirmations;
    bool answerYes = true;
    std::function<void()> whileAsking; // what happens while the question is open
    QStringList notices;

    ListFixture() {
        params.GridLineColor = kGridColor;
        params.DoneTaskColor = kDoneColor;
        params.OverdueColor = kOverdueColor;
        params.SellectBarColor = kSelectColor;
        pictures.Check = Solid(16, 12, kCheckPic);
        pictures.NCheck = Solid(16, 12, kNCheckPic);
        pictures.Height = Solid(8, 8, kHighPic);
        pictures.Low = Solid(8, 8, kLowPic);
        pictures.Reminder = Solid(8, 8, kReminderPic);
        for (int i = 0; i < 10; ++i)
            pictures.CategoryMarks[static_cast<size_t>(i)] = Solid(8, 8, MarkColor(i));
        options.doneTaskPutInBottom = false;
        options.sortBy = 99; // no ordering unless a test asks for one
        store.Categories = {{"Personal", 0}, {"Business", 1}, {"Other", 2}};
        host = std::make_unique<FakeHost>(store, options);
    }

    // Builds the window with `titles` as visible tasks and a list height of `listHeight`.
    void Build(const std::vector<std::string>& titles, int listHeight = 300) {
        for (const auto& t : titles)
            store.Tasks.push_back(MakeTask(t));
        store.VisibleTaskCount = store.TaskCount();
        window = std::make_unique<QWidget>();
        window->resize(600, listHeight + 100);
        otherControl = new QLineEdit(window.get());
        otherControl->setGeometry(10, listHeight + 60, 100, 24);
        list = new TTaskList(window.get(), store, params, pictures, options, *host);
        list->SetBackgroundColor(kBackground);
        list->SetConfirm([this](QWidget*, const QString& text, const QString& caption) {
            confirmations << text << caption;
            if (whileAsking)
                whileAsking();
            return answerYes;
        });
        list->SetNotice([this](const QString& text) { notices << text; });
        // A client of 600 wide: list from 7 to 580 minus margins.
        MainLayout layout = ComputeMainLayout(600, listHeight + params.TaskBottomTab, params,
                                              QSize(100, 24), QSize(60, 14));
        layout.list.moveTop(0);
        layout.scrollBar.moveTop(0);
        list->ApplyLayout(layout);
        list->SetupGridColumns();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        list->StringGrid1->setFocus();
    }

    TStringGrid* grid() const { return list->StringGrid1; }
    QPoint Cell(int col, int row) const { return grid()->CellRect(col, row).center(); }
    QPoint BelowLastRow() const {
        const QRect last = grid()->CellRect(1, grid()->RowCount() - 1);
        return QPoint(last.center().x(), last.bottom() + 5);
    }
    std::string TitleAt(int row) const { return store.Tasks[static_cast<size_t>(row)].Title; }
    // Visible in its window (the window is shown while the tests run).
    bool ScrollBar1Visible() const { return list->ScrollBar1->isVisibleTo(window.get()); }
    int DoneCount() const {
        int n = 0;
        for (const auto& t : store.Tasks)
            n += t.Done;
        return n;
    }
};

// What a real double-click delivers: press, release, double-click press, release.
inline void DoubleClick(QWidget* target, QPoint pos) {
    QTest::mouseClick(target, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(target, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(target, Qt::LeftButton, {}, pos);
}

inline void SendWheel(QWidget* target, int deltaY) {
    const QPointF pos(20, 5);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace quill::test
