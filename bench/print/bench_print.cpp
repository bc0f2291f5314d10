// Printing long task lists with descriptions to a PDF file: time per job, the
// pages it made and the process's peak memory after it.
#include "core/date_time.h"
#include "print/print_job.h"
#include "print_samples.h"
#include "skin/skin.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <string>
#include <sys/resource.h>

namespace {

quill::SkinPictures* gPictures = nullptr;

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Bytes the program holds on the heap right now.
double HeapInUse() {
    return static_cast<double>(mallinfo2().uordblks);
}

void BM_PrintToPdf(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const double heapBefore = HeapInUse();
    const quill::TaskStore store = quill::printtest::ManyTasks(count, quill::Today());
    const double listBytes = HeapInUse() - heapBefore;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    const quill::PrintJobInput input{&store, false, gPictures, quill::PrintChoices{}};
    int pages = 0;
    // The heap at a tenth of the job and at its end: what the job keeps per page
    // it has drawn (the list itself and its sorted copy are there at both points).
    double heapAtTenth = 0;
    double heapAtEnd = 0;
    double heapAtStart = 0;
    const quill::PrintProgress watch = [&](int done, int total) {
        if (done == 1)
            heapAtStart = HeapInUse();
        if (done == total / 10)
            heapAtTenth = HeapInUse();
        if (done == total)
            heapAtEnd = HeapInUse();
        return true;
    };
    for (auto _ : state) {
        const quill::PrintJobResult result = quill::PrintToPdfFile(path, input, watch);
        if (!result.ok())
            state.SkipWithError(qPrintable(result.error));
        pages = result.pages;
    }
    state.counters["pages"] = pages;
    state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
    state.counters["heap_per_page_KB"] = (heapAtEnd - heapAtTenth) / 1024.0 / (pages * 0.9);
    // The list, and what the job holds besides it once it has started (the sorted
    // copy, the print plan, the writer).
    state.counters["list_MB"] = listBytes / (1024.0 * 1024.0);
    state.counters["job_MB"] = (heapAtStart - heapBefore - listBytes) / (1024.0 * 1024.0);
}
// Largest last, so the peak memory of the smaller lists is their own.
BENCHMARK(BM_PrintToPdf)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Tasks whose descriptions hold 80,000 characters without a line break: each
// is wrapped only as far as a page shows. The waits between two chances to
// cancel, which is what Cancel takes to answer at worst: `first_step_ms` from the
// job's start to its first task, `longest_step_ms` the longest from one task to
// the next.
void BM_PrintLongDescriptions(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::string text;
    while (text.size() < 80000)
        text += "a description that never ends with words of every length ";
    text.resize(80000);
    quill::TaskStore store = quill::printtest::ManyTasks(count, quill::Today());
    for (quill::TTASK_ITEM& task : store.Tasks)
        task.Description = text;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    const quill::PrintJobInput input{&store, false, gPictures, quill::PrintChoices{}};
    int pages = 0;
    double firstStep = 0;
    double longestStep = 0;
    for (auto _ : state) {
        QElapsedTimer step;
        step.start();
        const quill::PrintProgress watch = [&](int done, int) {
            const double ms = static_cast<double>(step.nsecsElapsed()) / 1e6;
            if (done == 1)
                firstStep = std::max(firstStep, ms);
            else
                longestStep = std::max(longestStep, ms);
            step.restart();
            return true;
        };
        const quill::PrintJobResult result = quill::PrintToPdfFile(path, input, watch);
        if (!result.ok())
            state.SkipWithError(qPrintable(result.error));
        pages = result.pages;
    }
    state.counters["pages"] = pages;
    state.counters["first_step_ms"] = firstStep;
    state.counters["longest_step_ms"] = longestStep;
}
BENCHMARK(BM_PrintLongDescriptions)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

// Qt's PDF writer alone: pages of thirteen lines of text and a few rules each, the
// heap it keeps per page measured as above. The printing job's own figure is to be
// read against this one.
void BM_PdfWriterAlone(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    double heapAtTenth = 0;
    double heapAtEnd = 0;
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath(QStringLiteral("writer.pdf")));
        QPainter painter(&writer);
        painter.setFont(QFont(QStringLiteral("Verdana"), 9));
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            for (int line = 0; line < 13; ++line) {
                const int y = 400 + line * 500;
                painter.drawText(300, y,
                                 QStringLiteral("Task number %1 on the long list, line %2")
                                     .arg(page * 13 + line)
                                     .arg(line));
                painter.drawLine(300, y + 100, 9000, y + 100);
            }
            if (page == pages / 10)
                heapAtTenth = HeapInUse();
        }
        painter.end();
        heapAtEnd = HeapInUse();
    }
    state.counters["pages"] = pages;
    state.counters["heap_per_page_KB"] = (heapAtEnd - heapAtTenth) / 1024.0 / (pages - pages / 10);
}
BENCHMARK(BM_PdfWriterAlone)->Arg(100)->Arg(770)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("FONTCONFIG_FILE", QUILLNOTE_FONTS_CONF);
    QGuiApplication app(argc, argv);
    quill::TSkin skin;
    quill::SkinPictures pictures;
    if (skin.LoadSkin(QStringLiteral(QUILLNOTE_SKINS_DIR "/Default.skn")))
        quill::LoadSkinPictures(skin, pictures);
    gPictures = &pictures;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
