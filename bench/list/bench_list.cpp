// The task list's painting and keyboard scrolling on long lists with long titles,
// and one tick from the key press to the repainted list and to the durable file.
#include "app/task_file.h"
#include "core/list_ordering.h"
#include "core/live_options.h"
#include "core/task_store.h"
#include "null_host.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "support/temp_dir.h"
#include "ui/fit_text.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>

using namespace quill;

namespace {

QPixmap Solid(int w, int h, QColor c) {
    QPixmap p(w, h);
    p.fill(c);
    return p;
}

std::string LongTitle(int seed) {
    std::string s;
    for (int i = 0; i < 300; ++i)
        s += static_cast<char>(i % 9 == 8 ? ' ' : 'a' + (i * 7 + seed) % 26);
    return s;
}

// The main window's part in a tick: the sort, then the save it starts.
class TickHost : public NullHost {
public:
    std::function<void()> sortAndSave;
    void SortTaskList() override {
        if (sortAndSave)
            sortAndSave();
    }
};

// CPU time of the calling thread: the machine is shared, and wall time counts the
// moments other programs had the processor.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// A list of `count` tasks, 1000 x 700 pixels, all columns and grid lines on.
struct Bench {
    TaskStore store;
    SkinParams params;
    SkinPictures pictures;
    FixedOptions options;
    TickHost host;
    std::unique_ptr<QWidget> window;
    TTaskList* list = nullptr;
    QImage target{1000, 700, QImage::Format_ARGB32_Premultiplied};

    explicit Bench(int count) {
        params.GridLineColor = 0xCCCCCC;
        params.DoneTaskColor = 0x666666;
        params.OverdueColor = 0x0000FF;
        params.SellectBarColor = 0xE4E4E4;
        pictures.Check = Solid(16, 16, Qt::green);
        pictures.NCheck = Solid(16, 16, Qt::gray);
        pictures.Height = Solid(12, 12, Qt::red);
        pictures.Low = Solid(12, 12, Qt::blue);
        pictures.Reminder = Solid(12, 12, Qt::yellow);
        for (auto& mark : pictures.CategoryMarks)
            mark = Solid(12, 12, Qt::magenta);
        store.Categories = {{"Personal", 0}, {"Business", 1}, {"Other", 2}};
        for (int i = 0; i < count; ++i) {
            TTASK_ITEM t;
            t.Title = LongTitle(i);
            t.Priority = i % kPriorityCount;
            t.CategoryIndex = i % 3;
            t.HasDueDate = i % 2;
            t.DueDate = 46000 + i % 50;
            t.NotOverdue = i % 5 != 0;
            t.Done = i % 7 == 0;
            t.ReminderOn = i % 4 == 0;
            store.Tasks.push_back(t);
        }
        store.VisibleTaskCount = count;
        window = std::make_unique<QWidget>();
        window->resize(1040, 800);
        list = new TTaskList(window.get(), store, params, pictures, options, host);
        list->SetBackgroundColor(Qt::white);
        MainLayout layout;
        layout.list = QRect(7, 4, 1000, 700);
        layout.scrollBar = QRect(1010, 4, 15, 700);
        list->ApplyLayout(layout);
        list->SetupGridColumns();
        window->show();
        list->StringGrid1->setFocus();
        QCoreApplication::processEvents();
    }
    void Paint() { list->StringGrid1->render(&target); }
};

void BM_FullRepaint(benchmark::State& state) {
    Bench b(1000);
    for (auto _ : state) {
        b.Paint();
        benchmark::DoNotOptimize(b.target.constBits());
    }
    state.counters["rows"] = b.list->StringGrid1->VisibleRowCount();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

// One Down key on the list followed by the repaint it causes.
void BM_KeyboardScrollStep(benchmark::State& state) {
    Bench b(10000);
    TStringGrid* grid = b.list->StringGrid1;
    for (auto _ : state) {
        const bool atEnd = grid->Row() == grid->RowCount() - 1;
        QKeyEvent press(QEvent::KeyPress, atEnd ? Qt::Key_Home : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(grid, &press);
        b.Paint();
    }
}
BENCHMARK(BM_KeyboardScrollStep)->Unit(benchmark::kMicrosecond);

// The key handling alone (selection, scroll-bar position, click) while walking
// through all 10,000 tasks; the repaint it causes is measured above.
void BM_KeyStepWithoutPaint(benchmark::State& state) {
    Bench b(10000);
    TStringGrid* grid = b.list->StringGrid1;
    for (auto _ : state) {
        const bool atEnd = grid->Row() == grid->RowCount() - 1;
        QKeyEvent press(QEvent::KeyPress, atEnd ? Qt::Key_Home : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(grid, &press);
    }
    state.counters["row"] = grid->Row();
}
BENCHMARK(BM_KeyStepWithoutPaint)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// One Space key on the list (the current task ticked or unticked) in the main
// window's order: the sort, the save, the list repainted. "Time" is from the key
// to the repainted list; durable_ms from the key to the data file flushed and
// renamed into place; sort_ms the sort's part; copy_ms what the user-interface
// thread spends after the repaint on the copy the save writes; screen_cpu_ms and
// copy_cpu_ms the same two spans in that thread's CPU time. Argument 1: the save as it was
// before, on the user-interface thread, waiting for the disk before the repaint.
void BM_TickToScreenAndDisk(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Bench b(static_cast<int>(state.range(0)));
    // Titles of a real list (distinct, about 45 bytes) and its file (descriptions
    // of 200 bytes).
    for (size_t i = 0; i < b.store.Tasks.size(); ++i) {
        TTASK_ITEM& task = b.store.Tasks[i];
        task.Title =
            std::to_string(i * 7919 % b.store.Tasks.size()) + " " + task.Title.substr(0, 40);
        task.Description = std::string(200, 'd');
    }
    const bool inPlace = state.range(1) == 1;
    test::TempDir folder;
    TaskFile file(QString::fromStdString(folder.File("quillnote.dat")));
    double sort = 0;
    b.host.sortAndSave = [&] {
        const Clock::time_point start = Clock::now();
        SortTaskList(b.store, b.options.SortBy(), b.options.DoneTaskPutInBottom());
        sort += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        inPlace ? file.Save(b.store) : file.SaveInBackground(b.store);
    };
    TStringGrid* grid = b.list->StringGrid1;
    double durable = 0;
    double copy = 0;
    double screenCpu = 0;
    double copyCpu = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const double startCpu = ThreadCpuMs();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(grid, &press);
        b.Paint();
        const Clock::time_point shown = Clock::now();
        const double shownCpu = ThreadCpuMs();
        // What the event loop runs next: the copy of the store for the save.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::User);
        const Clock::time_point copied = Clock::now();
        screenCpu += shownCpu - startCpu;
        copyCpu += ThreadCpuMs() - shownCpu;
        file.WaitForSaves();
        const Clock::time_point written = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        copy += std::chrono::duration<double, std::milli>(copied - shown).count();
        durable += std::chrono::duration<double, std::milli>(written - start).count();
    }
    state.counters["durable_ms"] = durable / static_cast<double>(state.iterations());
    state.counters["sort_ms"] = sort / static_cast<double>(state.iterations());
    state.counters["copy_ms"] = copy / static_cast<double>(state.iterations());
    state.counters["screen_cpu_ms"] = screenCpu / static_cast<double>(state.iterations());
    state.counters["copy_cpu_ms"] = copyCpu / static_cast<double>(state.iterations());
    state.SetLabel(inPlace ? "save in place (before)" : "save in the background");
}
BENCHMARK(BM_TickToScreenAndDisk)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One title cell: the literal search against the one used for painting.
void BM_FitTitleLiteral(benchmark::State& state) {
    Bench b(1);
    const QFont font = b.list->ListFont();
    const QFontMetrics metrics(font);
    const QString title = DecodeTitle(LongTitle(0));
    const int width = b.list->StringGrid1->ColWidth(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(FitTextToWidth(title, metrics, width));
}
BENCHMARK(BM_FitTitleLiteral)->Unit(benchmark::kMicrosecond);

void BM_FitTitleFast(benchmark::State& state) {
    Bench b(1);
    const QFont font = b.list->ListFont();
    const QFontMetrics metrics(font);
    const QString title = DecodeTitle(LongTitle(0));
    const int width = b.list->StringGrid1->ColWidth(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(FitTextToWidthFast(title, font, metrics, width));
}
BENCHMARK(BM_FitTitleFast)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE"))
        qputenv("FONTCONFIG_FILE", QUILLNOTE_FONTS_CONF);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
