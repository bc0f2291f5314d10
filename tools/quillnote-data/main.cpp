// quillnote-data: shows what a Quillnote data file holds and rescues damaged ones.
//   quillnote-data dump FILE [--raw]   print the file as JSON
//   quillnote-data repair FILE OUT     load FILE as the program does, write OUT
//   quillnote-data --where             print the data file the Quillnote installed
//                                      beside this tool uses for this user
// Exit codes: 0 success, 1 the file is damaged, 2 bad arguments or unreadable file.

#include "core/data_file.h"
#include "core/task_store.h"
#include "json_dump.h"
#include "platform/data_location.h"

#include <QCoreApplication>

#include <cstdio>
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

int Usage() {
    return Fail("usage: quillnote-data dump FILE [--raw] | quillnote-data repair FILE OUT | "
                "quillnote-data --where");
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
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--where") {
        return Where(argc, argv);
    }
    if (args.size() >= 2 && args[0] == "dump") {
        if (args.size() == 2) {
            return Dump(args[1], false);
        }
        if (args.size() == 3 && args[2] == "--raw") {
            return Dump(args[1], true);
        }
        return Usage();
    }
    if (args.size() == 3 && args[0] == "repair") {
        return Repair(args[1], args[2]);
    }
    return Usage();
}
