// From the Insert key on the main window's list to the task editor's first paint,
// on the offscreen platform: the first opening (the editor takes its skin and
// fills its lists then) and later openings. The editor is cancelled as soon as it
// has painted; the time to close it is not counted.
//   QT_QPA_PLATFORM=offscreen bench_editor
#include "app/main_form.h"
#include "app/quillnote_application.h"
#include "app_fixture.h"
#include "ui/edit_task_form.h"
#include "ui/task_list.h"
#include "widgets/string_grid.h"

#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>

using namespace quill;
using SteadyClock = std::chrono::steady_clock;

namespace {

// Notes the editor's first paint of an opening and cancels it right after.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(TEditTaskForm* editor) : editor_(editor) {
        editor->installEventFilter(this);
    }
    void Arm() { painted_.reset(); }
    std::optional<SteadyClock::time_point> Painted() const { return painted_; }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == editor_ && event->type() == QEvent::Paint && !painted_) {
            painted_ = SteadyClock::now();
            QTimer::singleShot(0, editor_, [e = editor_] { e->CancelButtonClick(); });
        }
        return false;
    }

private:
    TEditTaskForm* editor_;
    std::optional<SteadyClock::time_point> painted_;
};

// A started program: its windows made, the main window shown and activated.
struct Program {
    AppFixture fixture;
    TMainForm* main = nullptr;
    std::unique_ptr<PaintWatch> watch;

    Program() {
        main = fixture.CreateWindows();
        fixture.ShowAndActivate();
        // The editor is made by the first opening: that is part of what is measured.
        main->Windows().EditTaskForm.WhenMade(
            [this](TEditTaskForm* editor) { watch = std::make_unique<PaintWatch>(editor); });
    }

    // Seconds from the Insert key to the editor's first paint.
    double OpenEditor() {
        if (watch)
            watch->Arm();
        const SteadyClock::time_point start = SteadyClock::now();
        QTest::keyClick(Part<TTaskList>(main)->StringGrid1, Qt::Key_Insert);
        const auto painted = watch ? watch->Painted() : std::nullopt;
        return painted ? std::chrono::duration<double>(*painted - start).count() : -1.0;
    }
};

void BM_FirstOpening(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>();
        state.ResumeTiming();
        const double seconds = program->OpenEditor();
        if (seconds < 0) {
            state.SkipWithError("the editor did not paint");
            return;
        }
        state.SetIterationTime(seconds);
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstOpening)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LaterOpening(benchmark::State& state) {
    Program program;
    program.OpenEditor(); // the first opening is measured above
    for (auto _ : state) {
        const double seconds = program.OpenEditor();
        if (seconds < 0) {
            state.SkipWithError("the editor did not paint");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_LaterOpening)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("FONTCONFIG_FILE", QUILLNOTE_FONTS_CONF, 0);
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
