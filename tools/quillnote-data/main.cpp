// quillnote-data: shows what a Quillnote data file holds and rescues damaged ones.
//   quillnote-data dump FILE [--raw]   print the file as JSON
//   quillnote-data repair FILE OUT     load FILE as the program does, write OUT
//   quillnote-data export FILE OUT [--category NAME]
//                                      write the tasks as iCalendar (.ics) or CSV
//   quillnote-data import FILE IN      add or update the tasks of a calendar file
//   quillnote-data sync FILE [--url URL --user NAME] [--save-password] [--allow-deletions]
//                                      one two-way sync with a CalDAV task list
//   quillnote-data --where             print the data file the Quillnote installed
//                                      beside this tool uses for this user
//   quillnote-data --help              the usage, on standard output
//   quillnote-data --version           "quillnote-data <version>"
// Options may stand before or after the file names; "--" ends the options.
// Exit codes: 0 success, 1 the file is damaged, 2 bad arguments or unreadable file.

#include "calendar/task_exchange.h"
#include "core/data_file.h"
#include "core/date_time.h"
#include "core/file_io.h"
#include "core/task_store.h"
#include "json_dump.h"
#include "platform/data_location.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "sync/sync_password.h"
#include "sync/sync_run.h"
#include "sync/sync_state.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kOk = 0;
constexpr int kDamaged = 1;
constexpr int kFailed = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillnote-data: %s\n", message.c_str());
    return kFailed;
}

constexpr const char* kUsage =
    "usage: quillnote-data dump FILE [--raw] | quillnote-data repair FILE OUT | quillnote-data "
    "export FILE OUT [--category NAME] | quillnote-data import FILE IN | quillnote-data sync FILE "
    "[--url URL --user NAME] [--save-password] [--allow-deletions] | quillnote-data --where";

#ifndef QUILLNOTE_VERSION
#define QUILLNOTE_VERSION "unknown"
#endif

// `--help`; the tool's manual page is made from it.
constexpr const char* kHelp =
    "Usage: quillnote-data dump FILE [--raw]\n"
    "  or:  quillnote-data repair FILE OUT\n"
    "  or:  quillnote-data export FILE OUT [--category NAME]\n"
    "  or:  quillnote-data import FILE IN\n"
    "  or:  quillnote-data sync FILE [--url URL --user NAME] [--save-password]\n"
    "                               [--allow-deletions]\n"
    "  or:  quillnote-data --where\n"
    "Shows what a Quillnote data file (quillnote.dat) holds, rescues a damaged one,\n"
    "and moves tasks to and from calendar files.\n"
    "\n"
    "Commands:\n"
    "  dump FILE        print FILE as JSON, exactly as the program reads it; writes\n"
    "                   nothing\n"
    "  repair FILE OUT  load FILE as the program does at start-up (default\n"
    "                   categories, repair rules) and write OUT with the program's\n"
    "                   own saver; when OUT is a damaged FILE, FILE's bytes are\n"
    "                   copied aside first\n"
    "  export FILE OUT  write FILE's tasks to OUT: iCalendar when OUT ends in .ics,\n"
    "                   CSV when it ends in .csv; tasks without an identity get one\n"
    "                   in FILE first (refused while Quillnote runs on FILE)\n"
    "  import FILE IN   add the tasks of the iCalendar file IN to FILE (made when\n"
    "                   missing); a task already in FILE is updated when IN's copy\n"
    "                   was changed later; all or nothing (refused while Quillnote\n"
    "                   runs on FILE)\n"
    "  sync FILE        one two-way sync of FILE's tasks with a CalDAV task list:\n"
    "                   those --url and --user give, else the list and user of\n"
    "                   FILE's last sync, else the account of Quillnote's Sync\n"
    "                   window; the password from QUILLNOTE_SYNC_PASSWORD,\n"
    "                   else from the desktop's keyring. Prints what was sent and\n"
    "                   received; exit status 1 when the sync failed (refused\n"
    "                   while Quillnote runs on FILE)\n"
    "\n"
    "Options:\n"
    "  --category NAME  with export: only the tasks of that category\n"
    "  --url URL        with sync: the task list's address (a collection URL)\n"
    "  --user NAME      with sync: the user name on that server\n"
    "  --allow-deletions  with sync: go ahead when the sync would delete more\n"
    "                   than a quarter of the tasks (else it stops)\n"
    "  --save-password  with sync: read the password from standard input (one\n"
    "                   line) and keep it in the desktop's keyring first\n"
    "  --raw            with dump: strings and date-times as the hexadecimal of\n"
    "                   their stored bytes, so nothing is lost in printing\n"
    "  --where          print the data file the Quillnote beside this tool uses for\n"
    "                   this user, and whether that copy is portable or installed\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "  --               end of options: later arguments are file names\n"
    "\n"
    "Exit status: 0 success; 1 FILE is damaged (dump still prints what it read,\n"
    "repair still writes OUT), or the sync failed; 2 bad arguments, a FILE that is missing or\n"
    "unreadable, or an OUT that cannot be written. Every failure is one line on\n"
    "standard error.\n";

int Usage() {
    return Fail(kUsage);
}

// Reads FILE the way the program does; a missing file is an error here.
bool ReadInto(const std::string& path, quill::TaskStore& store, quill::ParseResult& parsed,
              std::string& bytes, std::string& error) {
    quill::FileContents file = quill::ReadWholeFile(path);
    if (file.status == quill::ReadStatus::NoFile) {
        error = "Cannot open file \"" + path + "\". No such file or directory";
        return false;
    }
    if (file.status == quill::ReadStatus::Failed) {
        error = file.error;
        return false;
    }
    bytes = std::move(file.bytes);
    parsed = quill::ParseTasks(bytes, store);
    return true;
}

int Dump(const std::string& path, bool raw) {
    quill::TaskStore store;
    quill::ParseResult parsed;
    std::string bytes;
    std::string error;
    if (!ReadInto(path, store, parsed, bytes, error)) {
        return Fail(error);
    }
    const std::string json = quill::DumpJson(store, parsed.problem, quill::JsonOptions{raw});
    std::fwrite(json.data(), 1, json.size(), stdout);
    if (parsed.damaged) {
        std::fprintf(stderr, "quillnote-data: \"%s\" is damaged: %s\n", path.c_str(),
                     parsed.problem.c_str());
        return kDamaged;
    }
    return kOk;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int Repair(const std::string& path, const std::string& out) {
    quill::TaskStore store;
    quill::ParseResult parsed;
    std::string bytes;
    std::string error;
    if (!ReadInto(path, store, parsed, bytes, error)) {
        return Fail(error);
    }
    // Repairing a damaged file in place: keep its bytes first, as start-up does.
    if (parsed.damaged && SameFile(path, out)) {
        quill::TaskStore scratch;
        const quill::LoadResult copy = quill::LoadTasks(scratch, path);
        if (!quill::MaySaveOver(copy)) {
            return Fail("cannot keep a copy of \"" + path + "\": " + copy.backupError);
        }
    }
    quill::AddDefaultCategories(store);
    const quill::RepairReport repaired = quill::RepairInvariants(store);
    const quill::SaveResult saved = quill::SaveTasks(store, out);
    if (!saved.ok) {
        return Fail(saved.error);
    }
    std::printf("wrote \"%s\": %zu categories, %zu tasks; %d categories and %d tasks repaired\n",
                out.c_str(), store.Categories.size(), store.Tasks.size(),
                repaired.categoriesChanged, repaired.tasksChanged);
    if (parsed.damaged) {
        std::fprintf(stderr, "quillnote-data: \"%s\" is damaged: %s\n", path.c_str(),
                     parsed.problem.c_str());
        return kDamaged;
    }
    return kOk;
}

// Whether a running Quillnote of this user keeps `path` as its data file: it
// would write its own tasks over what the tool saved. Its data file is the one
// beside it, else this user's (as --where says).
bool RunningProgramUses(const std::string& path) {
    QLockFile lock(quill::SingleInstance().LockPath());
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0 ||
        (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)) {
        return false;
    }
    const QFileInfo program(QStringLiteral("/proc/%1/exe").arg(pid));
    const QString beside = QFileInfo(program.symLinkTarget()).absolutePath() + QStringLiteral("/") +
                           quill::kDataFileName;
    return SameFile(path, beside.toStdString()) ||
           SameFile(path, quill::CurrentDataLocation().DataFilePath().toStdString());
}

// Reads FILE for a change: damaged files and a running program on it are
// refused. A missing FILE is an empty store when `missingIsEmpty`.
int ReadForChange(const std::string& path, bool missingIsEmpty, quill::TaskStore& store) {
    quill::ParseResult parsed;
    std::string bytes;
    std::string error;
    if (!ReadInto(path, store, parsed, bytes, error)) {
        if (!missingIsEmpty || quill::ReadWholeFile(path).status != quill::ReadStatus::NoFile) {
            return Fail(error);
        }
    }
    if (parsed.damaged) {
        std::fprintf(stderr,
                     "quillnote-data: \"%s\" is damaged: %s; run quillnote-data repair first\n",
                     path.c_str(), parsed.problem.c_str());
        return kDamaged;
    }
    return kOk;
}

int Export(const std::string& path, const std::string& out, const std::string& category) {
    quill::TaskStore store;
    if (const int read = ReadForChange(path, false, store); read != kOk) {
        return read;
    }
    // Identities first, kept in FILE, so a second export names the same tasks.
    if (quill::GiveMissingUids(store) > 0) {
        if (RunningProgramUses(path)) {
            return Fail("\"" + path +
                        "\" has tasks without an identity and Quillnote is "
                        "running on it: export from its menu, or close it first");
        }
        const quill::SaveResult saved = quill::SaveTasks(store, path);
        if (!saved.ok) {
            return Fail(saved.error);
        }
    }
    const quill::ExportResult result =
        quill::ExportTasksToFile(store, category, out, quill::UtcNow());
    if (!result.ok) {
        return Fail(result.error);
    }
    std::printf("wrote \"%s\": %d task%s\n", out.c_str(), result.tasksWritten,
                result.tasksWritten == 1 ? "" : "s");
    return kOk;
}

int Import(const std::string& path, const std::string& in) {
    quill::TaskStore store;
    if (const int read = ReadForChange(path, true, store); read != kOk) {
        return read;
    }
    if (RunningProgramUses(path)) {
        return Fail("Quillnote is running on \"" + path +
                    "\": import from its menu, or close it first");
    }
    const quill::CalendarRead calendar = quill::ReadCalendarFile(in, quill::Today());
    if (!calendar.ok) {
        return Fail(calendar.error);
    }
    // As the program has the store after start-up.
    quill::AddDefaultCategories(store);
    quill::RepairInvariants(store);
    quill::GiveMissingUids(store);
    const quill::ImportSummary summary = quill::ApplyImport(store, calendar);
    const quill::SaveResult saved = quill::SaveTasks(store, path);
    if (!saved.ok) {
        return Fail(saved.error);
    }
    std::printf("%s\n", quill::ImportSummaryText(summary).c_str());
    return kOk;
}

struct SyncArguments {
    std::string url;
    std::string user;
    bool allowDeletions = false;
    bool savePassword = false;
};

// Waits in the event loop until `answered` (a keyring job may answer at once).
void WaitFor(const bool& answered) {
    if (!answered) {
        QCoreApplication::exec();
    }
}

// Runs one sync to its end in this process's event loop.
int RunSync(const std::string& path, quill::TaskStore store, quill::SyncState state,
            const QString& password, bool allowDeletions, const QByteArray& pinned) {
    quill::SyncOptions options;
    options.now = quill::UtcNow();
    options.today = quill::Today();
    options.allowManyDeletions = allowDeletions;
    quill::SyncRun run(std::move(store), std::move(state), password, options);
    run.PinCertificate(pinned);
    quill::SyncSummary summary;
    QObject::connect(&run, &quill::SyncRun::Finished, [&](const quill::SyncSummary& result) {
        summary = result;
        QCoreApplication::exit(0);
    });
    run.Start();
    QCoreApplication::exec();
    // The data file first: the state must never claim what the file lacks.
    if (summary.reconciled) {
        const quill::SaveResult saved = quill::SaveTasks(run.Store(), path);
        std::string error;
        if (!saved.ok) {
            std::fprintf(stderr, "quillnote-data: %s\n", saved.error.c_str());
            return kDamaged;
        }
        if (!quill::SaveSyncState(path, run.State(), error)) {
            std::fprintf(stderr, "quillnote-data: %s\n", error.c_str());
            return kDamaged;
        }
    }
    const std::string text = quill::SummaryText(summary).toStdString();
    if (!summary.ok) {
        std::fprintf(stderr, "quillnote-data: sync failed: %s%s (%s)\n",
                     summary.error.toLocal8Bit().constData(),
                     summary.tooManyDeletions ? " with --allow-deletions" : "", text.c_str());
        return kDamaged;
    }
    std::printf("synced with %s: %s\n", run.State().collectionUrl.c_str(), text.c_str());
    return kOk;
}

int Sync(const std::string& path, const SyncArguments& args) {
    quill::TaskStore store;
    if (const int read = ReadForChange(path, true, store); read != kOk) {
        return read;
    }
    quill::SyncState state;
    bool found = false;
    std::string error;
    if (!quill::LoadSyncState(path, state, found, error)) {
        return Fail(error);
    }
    // Another task list or user: what was synced before says nothing about it.
    if ((!args.url.empty() && args.url != state.collectionUrl) ||
        (!args.user.empty() && args.user != state.user)) {
        const std::string url = args.url.empty() ? state.collectionUrl : args.url;
        const std::string user = args.user.empty() ? state.user : args.user;
        state = quill::SyncState{};
        state.collectionUrl = url;
        state.user = user;
    }
    // Never synced, nothing given: the account of the program's Sync window, and
    // the server certificate the user trusted there.
    const quill::SettingsStore settings;
    const QString settingsList = settings.ReadString(QStringLiteral("SyncTaskList"), {});
    if (state.collectionUrl.empty() && state.user.empty()) {
        state.collectionUrl = settingsList.toStdString();
        state.user = settings.ReadString(QStringLiteral("SyncUser"), {}).toStdString();
    }
    if (state.collectionUrl.empty() || state.user.empty()) {
        return Fail("\"" + path + "\" was never synced: give the task list with --url and --user");
    }
    const QByteArray pinned =
        state.collectionUrl == settingsList.toStdString()
            ? QByteArray::fromHex(
                  settings.ReadString(QStringLiteral("SyncCertificate"), {}).toLatin1())
            : QByteArray();
    if (RunningProgramUses(path)) {
        std::fprintf(stderr,
                     "quillnote-data: Quillnote is running on \"%s\": sync from its menu, or "
                     "close it first\n",
                     path.c_str());
        return kDamaged;
    }
    // Before the first sync of this file, its tasks are kept as they were.
    const quill::FileContents before = quill::ReadWholeFile(path);
    if (!found && before.status == quill::ReadStatus::Ok) {
        const quill::CopyResult copy = quill::WriteNewFile(path + ".before-sync", before.bytes);
        if (copy.path.empty()) {
            return Fail("cannot keep a copy of \"" + path +
                        "\" before the first sync: " + copy.error);
        }
    }
    // As the program has the store after start-up.
    quill::AddDefaultCategories(store);
    quill::RepairInvariants(store);
    quill::GiveMissingUids(store);

    const QString url = QString::fromStdString(state.collectionUrl);
    const QString user = QString::fromStdString(state.user);
    QString password = qEnvironmentVariable("QUILLNOTE_SYNC_PASSWORD");
    if (args.savePassword) {
        std::string line;
        for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
            line += static_cast<char>(c);
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            return Fail("--save-password reads the password from standard input: none came");
        }
        password = QString::fromStdString(line);
        QString keyringError;
        bool answered = false;
        quill::WriteSyncPassword(user, url, password, QCoreApplication::instance(),
                                 [&](const QString& error) {
                                     keyringError = error;
                                     answered = true;
                                     QCoreApplication::exit(0);
                                 });
        WaitFor(answered);
        if (!keyringError.isEmpty()) {
            std::fprintf(stderr, "quillnote-data: the password was not kept: %s\n",
                         keyringError.toLocal8Bit().constData());
            return kDamaged;
        }
    }
    if (password.isEmpty()) {
        QString keyringError;
        bool answered = false;
        quill::ReadSyncPassword(user, url, QCoreApplication::instance(),
                                [&](const QString& stored, const QString& error) {
                                    password = stored;
                                    keyringError = error;
                                    answered = true;
                                    QCoreApplication::exit(0);
                                });
        WaitFor(answered);
        if (password.isEmpty()) {
            std::fprintf(stderr,
                         "quillnote-data: no password for %s: %s; set QUILLNOTE_SYNC_PASSWORD\n",
                         quill::SyncPasswordKey(user, url).toLocal8Bit().constData(),
                         keyringError.toLocal8Bit().constData());
            return kDamaged;
        }
    }
    return RunSync(path, std::move(store), std::move(state), password, args.allowDeletions, pinned);
}

} // namespace

// The data file of the program beside this tool, by the program's own rule.
int Where(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const quill::DataLocation location = quill::CurrentDataLocation();
    std::printf("%s\n", location.DataFilePath().toLocal8Bit().constData());
    std::printf("%s\n", location.portable ? "portable: kept beside the program"
                                          : "installed: kept in the user's data folder");
    return kOk;
}

int main(int argc, char** argv) {
    std::vector<std::string> operands;
    bool raw = false;
    bool where = false;
    bool optionsEnded = false;
    std::string category;
    bool hasCategory = false;
    SyncArguments sync;
    bool syncOption = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--category") {
            if (i + 1 >= argc || hasCategory) {
                return Usage();
            }
            category = argv[++i];
            hasCategory = true;
        } else if (!optionsEnded && (arg == "--url" || arg == "--user")) {
            std::string& value = arg == "--url" ? sync.url : sync.user;
            if (i + 1 >= argc || !value.empty() || argv[i + 1][0] == '\0') {
                return Usage();
            }
            value = argv[++i];
            syncOption = true;
        } else if (!optionsEnded && arg == "--save-password") {
            sync.savePassword = true;
            syncOption = true;
        } else if (!optionsEnded && arg == "--allow-deletions") {
            sync.allowDeletions = true;
            syncOption = true;
        } else if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return kOk;
        } else if (arg == "--version") {
            std::puts("quillnote-data " QUILLNOTE_VERSION);
            return kOk;
        } else if (arg == "--raw") {
            raw = true;
        } else if (arg == "--where") {
            where = true;
        } else {
            return Usage();
        }
    }
    if (!where && operands.size() == 2 && operands[0] == "sync" && !raw && !hasCategory) {
        const QCoreApplication app(argc, argv); // the network and the keyring need it
        return Sync(operands[1], sync);
    }
    if (syncOption) {
        return Usage();
    }
    if (where && operands.empty() && !raw) {
        return Where(argc, argv);
    }
    if (!where && operands.size() == 2 && operands[0] == "dump" && !hasCategory) {
        return Dump(operands[1], raw);
    }
    if (!where && operands.size() == 3 && operands[0] == "repair" && !raw && !hasCategory) {
        return Repair(operands[1], operands[2]);
    }
    if (!where && operands.size() == 3 && !raw &&
        (operands[0] == "export" || (operands[0] == "import" && !hasCategory))) {
        const QCoreApplication app(argc, argv); // where the running program keeps its file
        return operands[0] == "export" ? Export(operands[1], operands[2], category)
                                       : Import(operands[1], operands[2]);
    }
    return Usage();
}
