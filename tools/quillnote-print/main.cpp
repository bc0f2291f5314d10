// quillnote-print DATAFILE OUT.pdf [options]
// Prints a data file's tasks to a PDF file with the program's own page
// rendering, without a window or a display.

#include "core/data_file.h"
#include "print/print_job.h"
#include "skin/skin.h"
#include "skin/skin_pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#ifndef QUILLNOTE_VERSION
#define QUILLNOTE_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: quillnote-print DATAFILE OUT.pdf [options]\n"
    "Prints a Quillnote data file's tasks to a PDF file, with the pages the program's\n"
    "print dialog makes, without a window or a display.\n"
    "\n"
    "Options:\n"
    "  --sort due|priority      order within each category (default due)\n"
    "  --no-separate            one table for all categories, with a category column\n"
    "  --new-page               each category on a new page\n"
    "  --only-uncompleted       leave out done and overdue tasks\n"
    "  --no-descriptions        titles only\n"
    "  --landscape              landscape pages (default portrait)\n"
    "  --skin NAME|FILE.skn     pictures from this skin (default: the built-in skin)\n"
    "  --done-to-bottom         done tasks after the others in each category\n"
    "  -h, --help               this usage\n"
    "  --version                the version\n";

// The program's font aliases, when the tool sits beside them.
void UseShippedFontConfig() {
    if (std::getenv("FONTCONFIG_FILE") != nullptr)
        return;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return;
    const std::filesystem::path conf = exe.parent_path() / "fonts" / "quillnote-fonts.conf";
    if (std::filesystem::exists(conf, ec))
        ::setenv("FONTCONFIG_FILE", conf.c_str(), 0);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "quillnote-print: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const char* dataPath = nullptr;
    const char* outPath = nullptr;
    const char* skinArg = nullptr;
    quill::PrintChoices choices;
    bool doneToBottom = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            return std::fputs(kUsage, stdout), 0;
        } else if (std::strcmp(a, "--version") == 0) {
            return std::puts("quillnote-print " QUILLNOTE_VERSION), 0;
        } else if (std::strcmp(a, "--sort") == 0 && i + 1 < argc) {
            const char* v = argv[++i];
            if (std::strcmp(v, "due") == 0)
                choices.SortBy = 0;
            else if (std::strcmp(v, "priority") == 0)
                choices.SortBy = 1;
            else
                return std::fputs(kUsage, stderr), 2;
        } else if (std::strcmp(a, "--no-separate") == 0) {
            choices.SeparateCategories = false;
        } else if (std::strcmp(a, "--new-page") == 0) {
            choices.NewPagePerCategory = true;
        } else if (std::strcmp(a, "--only-uncompleted") == 0) {
            choices.OnlyUncompleted = true;
        } else if (std::strcmp(a, "--no-descriptions") == 0) {
            choices.Descriptions = false;
        } else if (std::strcmp(a, "--landscape") == 0) {
            choices.Landscape = true;
        } else if (std::strcmp(a, "--done-to-bottom") == 0) {
            doneToBottom = true;
        } else if (std::strcmp(a, "--skin") == 0 && i + 1 < argc) {
            skinArg = argv[++i];
        } else if (a[0] == '-' && a[1] != '\0') {
            return std::fputs(kUsage, stderr), 2;
        } else if (!dataPath) {
            dataPath = a;
        } else if (!outPath) {
            outPath = a;
        } else {
            return std::fputs(kUsage, stderr), 2;
        }
    }
    if (!dataPath || !outPath)
        return std::fputs(kUsage, stderr), 2;

    UseShippedFontConfig();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    quill::TaskStore store;
    const quill::LoadResult loaded = quill::LoadTasks(store, dataPath);
    switch (loaded.outcome) {
    case quill::LoadOutcome::NoFile:
        return Fail(QStringLiteral("no data file at \"%1\"").arg(QString::fromLocal8Bit(dataPath)));
    case quill::LoadOutcome::Unreadable:
        return Fail(QString::fromStdString(loaded.error));
    case quill::LoadOutcome::Damaged:
        std::fprintf(stderr, "quillnote-print: %s; printing what could be read\n",
                     loaded.problem.c_str());
        break;
    case quill::LoadOutcome::Good:
        break;
    }
    quill::RepairInvariants(store);

    // The skin: a file, a name from the Skins folder beside the tool, or the
    // skin built into the program.
    QString skinPath;
    QTemporaryDir scratch;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (skinArg) {
        const QString arg = QString::fromLocal8Bit(skinArg);
        skinPath = QFileInfo::exists(arg)
                       ? arg
                       : exeDir + QStringLiteral("/Skins/") + arg + QStringLiteral(".skn");
    } else {
        skinPath = scratch.filePath(QStringLiteral("Default.skn"));
        QFile::copy(QStringLiteral(":/skins/Default.skn"), skinPath);
    }
    quill::TSkin skin;
    QString error;
    if (!skin.LoadSkin(skinPath, &error))
        return Fail(error);
    quill::SkinPictures pictures;
    quill::LoadSkinPictures(skin, pictures);

    const quill::PrintJobInput input{&store, doneToBottom, &pictures, choices};
    const quill::PrintJobResult result =
        quill::PrintToPdfFile(QString::fromLocal8Bit(outPath), input);
    if (!result.ok())
        return Fail(result.error);
    std::printf("%d\n", result.pages);
    return 0;
}
