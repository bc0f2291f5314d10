// Saving replaces the file atomically; loading tells what it found and keeps a
// damaged file's bytes aside.

#include "core/data_file.h"
#include "test_support.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace quill {
namespace {

namespace fs = std::filesystem;
using test::MakeTask;
using test::TempDir;

TaskStore StoreWith(int tasks, size_t descriptionLength = 10) {
    TaskStore store;
    AddDefaultCategories(store);
    for (int i = 0; i < tasks; ++i) {
        TTASK_ITEM task = MakeTask("task " + std::to_string(i));
        task.Description = std::string(descriptionLength, 'd');
        store.Tasks.push_back(task);
    }
    return store;
}

std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Limits the size of files this process may write, for the duration of a scope:
// writes beyond it fail with EFBIG, as on a full disk. Works for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST(AtomicSave, ASuccessfulSaveLeavesOnlyTheDataFile) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(2), path).ok);
    ASSERT_TRUE(SaveTasks(StoreWith(3), path).ok);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"});
    TaskStore loaded;
    EXPECT_EQ(LoadTasks(loaded, path).outcome, LoadOutcome::Good);
    EXPECT_EQ(loaded.TaskCount(), 3);
}

TEST(AtomicSave, AMissingDirectoryIsReportedWithPathAndReason) {
    TempDir dir;
    const std::string path = dir.File("no-such-dir/quillnote.dat");
    const SaveResult result = SaveTasks(StoreWith(1), path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_TRUE(Entries(dir).empty());
}

TEST(AtomicSave, ADirectoryInTheWayIsReportedAndLeftAlone) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    fs::create_directory(path);
    const SaveResult result = SaveTasks(StoreWith(1), path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot create file \"" + path + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"});
}

TEST(AtomicSave, WhenTheTemporaryFileCannotBeMadeTheOldFileStays) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(2), path).ok);
    const std::string before = test::ReadFile(path);
    fs::create_directory(path + ".tmp");
    const SaveResult result = SaveTasks(StoreWith(5), path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.rfind("Cannot create file \"" + path + "\". ", 0), 0u) << result.error;
    EXPECT_EQ(test::ReadFile(path), before);
}

TEST(AtomicSave, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(2), path).ok);
    const std::string before = test::ReadFile(path);
    SaveResult result;
    {
        FileSizeLimit limit(4096);
        result = SaveTasks(StoreWith(200, 100), path); // about 45 KB
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot create file \"" + path + "\". File too large");
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"}); // no temporary left
}

TEST(AtomicSave, AStaleTemporaryFileIsReplaced) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    test::WriteFile(path + ".tmp", std::string(100000, 'x'));
    ASSERT_TRUE(SaveTasks(StoreWith(1), path).ok);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"});
    EXPECT_EQ(test::ReadFile(path).size(), 84u + 103u + 6u + 10u);
}

TEST(AtomicSave, TheUsersPermissionsAreKept) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(1), path).ok);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveTasks(StoreWith(2), path).ok);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(DataFilePath, TheFileLivesInTheGivenDirectory) {
    EXPECT_EQ(DataFilePathIn("/opt/quillnote"), "/opt/quillnote/quillnote.dat");
    EXPECT_EQ(DataFilePathIn("/opt/quillnote/"), "/opt/quillnote/quillnote.dat");
    EXPECT_EQ(DataFilePathIn(""), "quillnote.dat");
}

TEST(LoadOutcomes, NoFileIsNotAnError) {
    TempDir dir;
    TaskStore store;
    store.Tasks.push_back(MakeTask("stale"));
    const LoadResult result = LoadTasks(store, dir.File("quillnote.dat"));
    EXPECT_EQ(result.outcome, LoadOutcome::NoFile);
    EXPECT_EQ(store.TaskCount(), 0);
    EXPECT_TRUE(MaySaveOver(result));
    AddDefaultCategories(store);
    EXPECT_EQ(store.Categories.size(), 3u);
}

TEST(LoadOutcomes, AGoodFileIsGood) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(4), path).ok);
    TaskStore store;
    const LoadResult result = LoadTasks(store, path);
    EXPECT_EQ(result.outcome, LoadOutcome::Good);
    EXPECT_EQ(result.tasksRead, 4);
    EXPECT_EQ(result.categoriesRead, 3);
    EXPECT_TRUE(result.problem.empty());
    EXPECT_TRUE(MaySaveOver(result));
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"});
}

TEST(LoadOutcomes, TasksWithoutUidGetOneWhenLoadedButNotWhenParsed) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    TaskStore saved = StoreWith(2);
    saved.Tasks[1].Uid = "kept";
    ASSERT_TRUE(SaveTasks(saved, path).ok);
    TaskStore store;
    EXPECT_EQ(LoadTasks(store, path).uidsGiven, 1);
    EXPECT_EQ(store.Tasks[0].Uid.size(), 36u);
    EXPECT_EQ(store.Tasks[0].LastModified, 0); // unknown, not invented
    EXPECT_EQ(store.Tasks[1].Uid, "kept");
    // The tools' reader (dump, repair) adds nothing.
    const std::vector<uint8_t> bytes = SerializeTasks(saved);
    ParseTasks(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), store);
    EXPECT_TRUE(store.Tasks[0].Uid.empty());
}

TEST(LoadOutcomes, AFileThatCannotBeReadIsUnreadableAndMustNotBeSavedOver) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    fs::create_directory(path);
    TaskStore store;
    const LoadResult result = LoadTasks(store, path);
    EXPECT_EQ(result.outcome, LoadOutcome::Unreadable);
    EXPECT_EQ(result.error, "Cannot open file \"" + path + "\". Is a directory");
    EXPECT_FALSE(MaySaveOver(result));
}

TEST(LoadOutcomes, APathThroughAFileIsUnreadable) {
    TempDir dir;
    test::WriteFile(dir.File("plain"), "x");
    const std::string path = dir.File("plain/quillnote.dat");
    TaskStore store;
    const LoadResult result = LoadTasks(store, path);
    EXPECT_EQ(result.outcome, LoadOutcome::Unreadable);
    EXPECT_EQ(result.error, "Cannot open file \"" + path + "\". Not a directory");
}

TEST(DamagedCopy, TheOriginalBytesAreKeptBesideTheFile) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(3), path).ok);
    const std::string damaged = test::ReadFile(path).substr(0, 150);
    test::WriteFile(path, damaged);

    // 2024-02-29 18:05:09 local time.
    test::ScopedClock clock(EncodeDateTime({2024, 2, 29, 18, 5, 9, 0}));
    TaskStore store;
    const LoadResult first = LoadTasks(store, path);
    EXPECT_EQ(first.outcome, LoadOutcome::Damaged);
    EXPECT_EQ(first.problem, "The file ends in the middle of task 1, which was left out.");
    EXPECT_EQ(first.backupPath, path + ".damaged-20240229-180509");
    EXPECT_TRUE(first.backupError.empty());
    EXPECT_EQ(test::ReadFile(first.backupPath), damaged);
    EXPECT_TRUE(MaySaveOver(first));
    EXPECT_EQ(store.Categories.size(), 3u);

    // Loading again in the same second never overwrites the first copy.
    test::WriteFile(path, damaged.substr(0, 120));
    TaskStore again;
    const LoadResult second = LoadTasks(again, path);
    EXPECT_EQ(second.backupPath, path + ".damaged-20240229-180509-2");
    EXPECT_EQ(test::ReadFile(first.backupPath), damaged);
    EXPECT_EQ(test::ReadFile(second.backupPath), damaged.substr(0, 120));
}

TEST(DamagedCopy, WhenNoCopyCanBeMadeTheFileMustNotBeSavedOver) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    ASSERT_TRUE(SaveTasks(StoreWith(40, 100), path).ok);
    test::WriteFile(path, test::ReadFile(path).substr(0, 6000));
    LoadResult result;
    TaskStore store;
    {
        FileSizeLimit limit(1000);
        result = LoadTasks(store, path);
    }
    EXPECT_EQ(result.outcome, LoadOutcome::Damaged);
    EXPECT_TRUE(result.backupPath.empty());
    EXPECT_NE(result.backupError.find("File too large"), std::string::npos) << result.backupError;
    EXPECT_FALSE(MaySaveOver(result));
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"quillnote.dat"}); // no half copy
    EXPECT_GT(store.TaskCount(), 0);
}

} // namespace
} // namespace quill
