// quillnote-print [options] [--] DATAFILE OUT.pdf
// Prints a data file's tasks to a PDF file with the program's own page
// rendering, without a window or a display. The data file is only read: nothing
// is ever written to it or beside it, and the output may never replace it.

#include "core/data_file.h"
#include "core/reminder_pass.h"
#include "platform/data_location.h"
#include "platform/install_paths.h"
#include "print/print_job.h"
#include "skin/skin.h"
#include "skin/skin_list.h"
#include "skin/skin_pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>

#ifndef QUILLNOTE_VERSION
#define QUILLNOTE_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: quillnote-print [options] [--] DATAFILE OUT.pdf\n"
    "Prints a Quillnote data file's tasks to a PDF file, with the pages the program's\n"
    "print dialog makes, without a window or a display. DATAFILE is only read.\n"
    "\n"
    "Options:\n"
    "  --sort due|priority      order within each category (default due)\n"
    "  --no-separate            one table for all categories, with a category column\n"
    "  --new-page               each category on a new page\n"
    "  --only-uncompleted       leave out done tasks and tasks overdue now\n"
    "  --no-descriptions        titles only\n"
    "  --landscape              landscape pages (default portrait)\n"
    "  --skin NAME|FILE.skn     pictures from this skin (default: the built-in skin)\n"
    "  --done-to-bottom         done tasks after the others in each category\n"
    "  --force                  replace OUT.pdf even when it is not a PDF file\n"
    "  --damaged-ok             print what can be read of a damaged data file\n"
    "  --                       the arguments after it are DATAFILE and OUT.pdf,\n"
    "                           even when they start with '-'\n"
    "  -h, --help               this usage\n"
    "  --version                the version\n"
    "\n"
    "Exit status: 0 printed (the page count is written out), 1 refused or failed,\n"
    "2 wrong arguments.\n";

struct Options {
    const char* dataPath = nullptr;
    const char* outPath = nullptr;
    const char* skin = nullptr;
    quill::PrintChoices choices;
    bool doneToBottom = false;
    bool force = false;
    bool damagedOk = false;
    bool help = false;
    bool version = false;
};

// False when the arguments are wrong.
bool ParseArguments(int argc, char** argv, Options& o) {
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const auto is = [a](const char* name) { return std::strcmp(a, name) == 0; };
        const bool option = !filesOnly && a[0] == '-' && a[1] != '\0';
        if (!option) {
            if (o.dataPath && o.outPath)
                return false;
            (o.dataPath ? o.outPath : o.dataPath) = a;
        } else if (is("--")) {
            filesOnly = true;
        } else if (is("--help") || is("-h")) {
            o.help = true;
        } else if (is("--version")) {
            o.version = true;
        } else if (is("--sort") && i + 1 < argc) {
            const char* v = argv[++i];
            if (std::strcmp(v, "due") != 0 && std::strcmp(v, "priority") != 0)
                return false;
            o.choices.SortBy = std::strcmp(v, "priority") == 0 ? 1 : 0;
        } else if (is("--skin") && i + 1 < argc) {
            o.skin = argv[++i];
        } else {
            const struct {
                const char* name;
                bool* flag;
                bool value;
            } flags[] = {
                {"--no-separate", &o.choices.SeparateCategories, false},
                {"--new-page", &o.choices.NewPagePerCategory, true},
                {"--only-uncompleted", &o.choices.OnlyUncompleted, true},
                {"--no-descriptions", &o.choices.Descriptions, false},
                {"--landscape", &o.choices.Landscape, true},
                {"--done-to-bottom", &o.doneToBottom, true},
                {"--force", &o.force, true},
                {"--damaged-ok", &o.damagedOk, true},
            };
            const auto* flag = std::find_if(std::begin(flags), std::end(flags),
                                            [&is](const auto& f) { return is(f.name); });
            if (flag == std::end(flags))
                return false;
            *flag->flag = flag->value;
        }
    }
    return o.help || o.version || (o.dataPath && o.outPath);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "quillnote-print: %s\n", qPrintable(message));
    return 1;
}

QString Quoted(const char* path) {
    return QLatin1Char('"') + QString::fromLocal8Bit(path) + QLatin1Char('"');
}

// Why the output may not be written, or an empty string. The output is never
// the data file (also not through a link), and a file that is not a PDF is
// replaced only when forced.
QString RefuseOutput(const Options& o) {
    std::error_code ec;
    const std::filesystem::path out(o.outPath);
    if (!std::filesystem::exists(out, ec))
        return QString();
    if (std::filesystem::equivalent(o.dataPath, out, ec))
        return QStringLiteral("%1 is the data file itself; it is never written over")
            .arg(Quoted(o.outPath));
    if (o.force || !std::filesystem::is_regular_file(out, ec))
        return QString(); // a folder or a device fails when the PDF is written
    QFile existing(QFile::decodeName(o.outPath));
    if (!existing.open(QIODevice::ReadOnly))
        return QString(); // writing it fails with the system's reason
    const QByteArray head = existing.read(5);
    if (existing.size() == 0 || head == "%PDF-")
        return QString();
    return QStringLiteral("%1 exists and is not a PDF file; --force replaces it")
        .arg(Quoted(o.outPath));
}

// Reads the data file without writing anything (no copy of a damaged file is
// made: that is the program's business when it is about to save). The overdue
// marks are worked out for now, as the program's reminder pass would.
bool ReadTasks(const Options& o, quill::TaskStore& store, QString& error) {
    const quill::FileContents file = quill::ReadWholeFile(o.dataPath);
    if (file.status == quill::ReadStatus::NoFile) {
        error = QStringLiteral("no data file at %1").arg(Quoted(o.dataPath));
        return false;
    }
    if (file.status == quill::ReadStatus::Failed) {
        error = QString::fromStdString(file.error);
        return false;
    }
    const quill::ParseResult parsed = quill::ParseTasks(file.bytes, store);
    if (parsed.damaged) {
        QString what = QString::fromStdString(parsed.problem);
        if (what.endsWith(QLatin1Char('.')))
            what.chop(1);
        const QString problem = QStringLiteral("%1 is damaged or not a Quillnote data file (%2)")
                                    .arg(Quoted(o.dataPath), what);
        if (!o.damagedOk) {
            error = problem + QStringLiteral("; --damaged-ok prints what can be read");
            return false;
        }
        std::fprintf(stderr, "quillnote-print: %s; printing what could be read\n",
                     qPrintable(problem));
    }
    quill::AddDefaultCategories(store);
    quill::RepairInvariants(store);
    const quill::TDateTime now = quill::Now();
    for (quill::TTASK_ITEM& task : store.Tasks)
        quill::UpdateOverdue(task, now);
    return true;
}

// The skin: a file, a name looked up where the program looks (the user's skins,
// then the shipped ones), or the skin built into the program.
bool LoadPictures(const Options& o, quill::SkinPictures& pictures, QString& error) {
    QTemporaryDir scratch;
    QString path;
    if (o.skin) {
        const QString arg = QString::fromLocal8Bit(o.skin);
        path = QFileInfo(arg).isFile()
                   ? arg
                   : quill::FindSkinFileIn(quill::CurrentDataLocation().SkinFolders(), arg);
    } else {
        path = scratch.filePath(QStringLiteral("Default.skn"));
        QFile::copy(QStringLiteral(":/skins/Default.skn"), path);
    }
    quill::TSkin skin;
    if (!skin.LoadSkin(path, &error))
        return false;
    quill::LoadSkinPictures(skin, pictures);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArguments(argc, argv, o))
        return std::fputs(kUsage, stderr), 2;
    if (o.help)
        return std::fputs(kUsage, stdout), 0;
    if (o.version)
        return std::puts("quillnote-print " QUILLNOTE_VERSION), 0;
    if (const QString refused = RefuseOutput(o); !refused.isEmpty())
        return Fail(refused);

    quill::UseShippedFontAliases(argv[0]);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    quill::TaskStore store;
    quill::SkinPictures pictures;
    QString error;
    if (!ReadTasks(o, store, error) || !LoadPictures(o, pictures, error))
        return Fail(error);
    const quill::PrintJobInput input{&store, o.doneToBottom, &pictures, o.choices};
    const quill::PrintJobResult result =
        quill::PrintToPdfFile(QString::fromLocal8Bit(o.outPath), input);
    if (!result.ok())
        return Fail(result.error);
    std::printf("%d\n", result.pages);
    return 0;
}
