// Printing long task lists with descriptions to a PDF file: time per job, the
// pages it made and the process's peak memory after it.
#include "core/date_time.h"
#include "print/print_job.h"
#include "print_samples.h"
#include "skin/skin.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

quill::SkinPictures* gPictures = nullptr;

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_PrintToPdf(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const quill::TaskStore store = quill::printtest::ManyTasks(count, quill::Today());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    const quill::PrintJobInput input{&store, false, gPictures, quill::PrintChoices{}};
    int pages = 0;
    for (auto _ : state) {
        const quill::PrintJobResult result = quill::PrintToPdfFile(path, input);
        if (!result.ok())
            state.SkipWithError(qPrintable(result.error));
        pages = result.pages;
    }
    state.counters["pages"] = pages;
    state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
}
// Largest last, so the peak memory of the smaller lists is their own.
BENCHMARK(BM_PrintToPdf)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

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
