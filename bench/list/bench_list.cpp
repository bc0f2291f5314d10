// The task list's painting and keyboard scrolling on long lists with long titles.
#include "core/live_options.h"
#include "core/task_store.h"
#include "null_host.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "ui/fit_text.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <benchmark/benchmark.h>
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

// A list of `count` tasks, 1000 x 700 pixels, all columns and grid lines on.
struct Bench {
    TaskStore store;
    SkinParams params;
    SkinPictures pictures;
    FixedOptions options;
    NullHost host;
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
