// The exact bytes of the data file, and reading back what was written.

#include "core/data_file.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <random>

namespace quill {
namespace {

using test::FileBuilder;
using test::MakeTask;
using test::TempDir;

std::string SavedBytes(const TaskStore& store) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    const SaveResult saved = SaveTasks(store, path);
    EXPECT_TRUE(saved.ok) << saved.error;
    return test::ReadFile(path);
}

TaskStore DefaultStore() {
    TaskStore store;
    AddDefaultCategories(store);
    return store;
}

TEST(DataFileBytes, DefaultCategoriesAndNoTasksAre84Bytes) {
    const std::string bytes = SavedBytes(DefaultStore());
    EXPECT_EQ(bytes.size(), 84u);
    EXPECT_EQ(static_cast<uint8_t>(bytes.back()), 0xFF);
    const std::string expected = FileBuilder()
                                     .HeaderStart()
                                     .Category("Personal", 0)
                                     .Category("Business", 1)
                                     .Category("Other", 2)
                                     .End()
                                     .Bytes();
    EXPECT_EQ(bytes, expected);
}

TEST(DataFileBytes, EachTaskAdds103BytesPlusItsStrings) {
    TaskStore store = DefaultStore();
    TTASK_ITEM task = MakeTask("Buy milk");
    task.Description = "two litres\nsemi-skimmed";
    task.SoundFile = "/usr/share/sounds/alarm.wav";
    store.Tasks.push_back(task);
    store.Tasks.push_back(MakeTask(""));
    const std::string bytes = SavedBytes(store);
    EXPECT_EQ(bytes.size(), 84u + 103u + task.Title.size() + task.Description.size() +
                                task.SoundFile.size() + 103u);
    EXPECT_EQ(static_cast<uint8_t>(bytes.back()), 0xFF);
}

// One category, one task, every byte written down by hand.
TEST(DataFileBytes, OneTaskMatchesTheHandWrittenBytes) {
    TaskStore store;
    store.Categories.push_back({"A", 3});
    TTASK_ITEM task;
    task.Priority = 2;
    task.Title = "Hi";
    task.DueDate = 1.5;
    task.ReminderTime = 0.25;
    task.SoundFile = "s";
    task.NotOverdue = 1;
    task.ReminderOn = 1;
    task.HasDueDate = 1;
    store.Tasks.push_back(task);

    const unsigned char golden[] = {
        0x00, 0x01, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00, 0x00, // format marker 1, 25
        0x01, 0x09, 0x00, 0x00, 0x00,                         // signature, length 9
        0x92, 0xB6, 0xAA, 0xAF, 0xAF, 0xAD, 0xAC, 0xB7, 0xA6, // "Quillnote" scrambled
        0x04, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, // category: 4, ColorIndex 3
        0x01, 0x00, 0x00, 0x00, 0x82,                         // "A"
        0xFF,                                                 // end of header
        0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, // Priority 2
        0x01, 0x02, 0x00, 0x00, 0x00, 0x8B, 0xAA,             // Title "Hi"
        0x02, 0x00, 0x00, 0x00, 0x00,                         // Description ""
        0x03, 0x08, 0x00, 0x00, 0x00, 0,    0,    0,    0,    0, 0, 0xF8, 0x3F, // DueDate 1.5
        0x04, 0x08, 0x00, 0x00, 0x00, 0,    0,    0,    0,    0, 0, 0,    0,    // ReminderDate 0
        0x05, 0x08, 0x00, 0x00, 0x00, 0,    0,    0,    0,    0, 0, 0xD0, 0x3F, // ReminderTime 0.25
        0x06, 0x01, 0x00, 0x00, 0x00, 0xB0,                                     // SoundFile "s"
        0x07, 0x01, 0x00, 0x00, 0x00, 0x01,                                     // NotOverdue
        0x08, 0x01, 0x00, 0x00, 0x00, 0x00,                                     // PlaySound
        0x09, 0x01, 0x00, 0x00, 0x00, 0x01,                                     // ReminderOn
        0x0A, 0x01, 0x00, 0x00, 0x00, 0x01,                                     // HasDueDate
        0x0B, 0x01, 0x00, 0x00, 0x00, 0x00,                                     // Done
        0x0C, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                   // CategoryIndex 0
        0xFF,                                                                   // end of task
    };
    const std::string expected(reinterpret_cast<const char*>(golden), sizeof golden);
    EXPECT_EQ(SavedBytes(store), expected);
    EXPECT_EQ(expected.size(), 38u + 103u + 3u);

    TaskStore loaded;
    const ParseResult parsed = ParseTasks(expected, loaded);
    EXPECT_FALSE(parsed.damaged);
    ASSERT_EQ(loaded.Tasks.size(), 1u);
    EXPECT_EQ(loaded.Tasks[0], task);
    EXPECT_EQ(loaded.Categories, store.Categories);
}

TEST(DataFileBytes, StringBytesOfEveryValueSurvive) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    TaskStore store = DefaultStore();
    TTASK_ITEM task = MakeTask(all);
    task.Description = std::string("\xFF\xFF\x00\xFF", 4); // 255 inside a string ends nothing
    task.SoundFile = "\xC3\xA9t\xE9";
    store.Tasks.push_back(task);
    store.Tasks.push_back(MakeTask("after"));
    store.Categories[1].Name = std::string("\x00\xFF", 2);
    TaskStore loaded;
    const ParseResult parsed = ParseTasks(SavedBytes(store), loaded);
    EXPECT_FALSE(parsed.damaged);
    EXPECT_EQ(loaded.Tasks, store.Tasks);
    EXPECT_EQ(loaded.Categories, store.Categories);
}

TEST(DataFileReading, AFileEndingAfterTheHeaderHasNoTasks) {
    const std::string bytes = FileBuilder().HeaderStart().Category("Only", 4).End().Bytes();
    TaskStore store;
    store.Tasks.push_back(MakeTask("stale")); // the loader empties Tasks first
    const ParseResult parsed = ParseTasks(bytes, store);
    EXPECT_FALSE(parsed.damaged);
    EXPECT_EQ(store.TaskCount(), 0);
    ASSERT_EQ(store.Categories.size(), 1u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"Only", 4}));
}

TEST(DataFileReading, AFileWithoutCategoriesGetsTheDefaultsAfterwards) {
    const std::string bytes = FileBuilder().HeaderStart().End().Task(MakeTask("t")).Bytes();
    TaskStore store;
    EXPECT_FALSE(ParseTasks(bytes, store).damaged);
    EXPECT_TRUE(store.Categories.empty());
    AddDefaultCategories(store);
    EXPECT_EQ(store.Categories.size(), 3u);
    EXPECT_EQ(store.TaskCount(), 1);
}

TEST(DataFileReading, TasksWithEmptyStringsAreReadInOrder) {
    FileBuilder file;
    file.HeaderStart().Category("c", 0).End();
    for (int i = 0; i < 5; ++i) {
        file.Task(MakeTask(i % 2 == 0 ? "" : "t" + std::to_string(i), i % 3));
    }
    TaskStore store;
    EXPECT_FALSE(ParseTasks(file.Bytes(), store).damaged);
    ASSERT_EQ(store.TaskCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(store.Tasks[i].Title, i % 2 == 0 ? "" : "t" + std::to_string(i));
        EXPECT_EQ(store.Tasks[i].Priority, i % 3);
        // Each task read gets a key of its own, so windows can find it again.
        EXPECT_NE(store.Tasks[i].Key, 0u);
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(store.Tasks[i].Key, store.Tasks[j].Key);
        }
    }
}

TEST(DataFileReading, UnknownTagsAreSkippedWithTheirBytes) {
    TTASK_ITEM first = MakeTask("first", 2);
    FileBuilder file;
    file.HeaderStart()
        .Byte(0x07)
        .Int32(3)
        .Raw(std::string("\x04\xFF\x00", 3)) // looks like tags, but belongs to the unknown field
        .Category("Work", 1)
        .Byte(0x33)
        .Int32(-5) // a negative count skips nothing
        .End();
    // Unknown tags between task fields, including one that looks like an end mark.
    file.Byte(0x00).Int32(4).Int32(first.Priority);
    file.Byte(0x20).Int32(2).Raw("\xFF\xFF");
    file.Byte(0x01).Text(first.Title);
    file.Byte(0x0D).Int32(0);
    file.Byte(0x0C).Int32(4).Int32(0).End();
    file.Task(MakeTask("second"));
    TaskStore store;
    const ParseResult parsed = ParseTasks(file.Bytes(), store);
    EXPECT_FALSE(parsed.damaged) << parsed.problem;
    ASSERT_EQ(store.Categories.size(), 1u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"Work", 1}));
    ASSERT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.Tasks[0].Title, "first");
    EXPECT_EQ(store.Tasks[0].Priority, 2);
    EXPECT_EQ(store.Tasks[1].Title, "second");
}

TEST(DataFileReading, HeaderValuesAndSignatureAreNotChecked) {
    const std::string bytes = FileBuilder()
                                  .Byte(0x00)
                                  .Int32(7)
                                  .Int32(99)
                                  .Byte(0x01)
                                  .Text("Something else")
                                  .Byte(0x04)
                                  .Int32(12345)
                                  .Int32(2)
                                  .Text("Cat")
                                  .End()
                                  .Task(MakeTask("t"))
                                  .Bytes();
    TaskStore store;
    EXPECT_FALSE(ParseTasks(bytes, store).damaged);
    ASSERT_EQ(store.Categories.size(), 1u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"Cat", 2}));
    EXPECT_EQ(store.TaskCount(), 1);
}

TEST(DataFileReading, ANegativeStringLengthIsAnEmptyString) {
    FileBuilder file;
    file.HeaderStart().End();
    file.Byte(0x01).Int32(-3).Byte(0x02).Text("desc").End().Task(MakeTask("next"));
    TaskStore store;
    EXPECT_FALSE(ParseTasks(file.Bytes(), store).damaged);
    ASSERT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.Tasks[0].Title, "");
    EXPECT_EQ(store.Tasks[0].Description, "desc");
    EXPECT_EQ(store.Tasks[1].Title, "next");
}

// Random stores with fixed seeds: what is saved is what is loaded, field for field.
TaskStore RandomStore(std::mt19937& random, int taskCount) {
    const auto text = [&](int maxLength) {
        std::string s(std::uniform_int_distribution<int>(0, maxLength)(random), '\0');
        for (char& c : s) {
            c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        }
        return s;
    };
    const auto anyDouble = [&] {
        return std::uniform_real_distribution<double>(-700000.0, 3000000.0)(random);
    };
    const auto bit = [&] { return static_cast<uint8_t>(random() % 2); };
    TaskStore store;
    const int categories = static_cast<int>(random() % 6);
    for (int i = 0; i < categories; ++i) {
        store.Categories.push_back({text(20), static_cast<int32_t>(random() % 10)});
    }
    for (int i = 0; i < taskCount; ++i) {
        TTASK_ITEM task;
        task.Priority = static_cast<int32_t>(random() % 3);
        task.Title = text(60);
        task.Description = text(300);
        task.DueDate = anyDouble();
        task.ReminderDate = anyDouble();
        task.ReminderTime = anyDouble();
        task.SoundFile = text(40);
        task.NotOverdue = bit();
        task.PlaySound = bit();
        task.ReminderOn = bit();
        task.HasDueDate = bit();
        task.Done = bit();
        task.CategoryIndex = static_cast<int32_t>(random() % 6);
        // Every task has a Uid, or loading would give it one; times may be unknown.
        task.Uid = "u" + text(40);
        task.Created = random() % 4 == 0 ? 0 : static_cast<int64_t>(random()) - (1LL << 31);
        task.LastModified = random() % 4 == 0 ? 0 : static_cast<int64_t>(random()) << 20;
        store.Tasks.push_back(task);
    }
    return store;
}

TEST(DataFileRoundTrip, RandomStoresComeBackFieldForField) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    for (unsigned seed : {1u, 2u, 3u, 42u, 2024u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const TaskStore store = RandomStore(random, static_cast<int>(seed % 40));
        ASSERT_TRUE(SaveTasks(store, path).ok);
        TaskStore loaded;
        const LoadResult result = LoadTasks(loaded, path);
        EXPECT_EQ(result.outcome, LoadOutcome::Good) << result.problem;
        EXPECT_EQ(result.tasksRead, store.TaskCount());
        EXPECT_EQ(result.categoriesRead, static_cast<int>(store.Categories.size()));
        EXPECT_EQ(loaded.Tasks, store.Tasks);
        for (size_t i = 0; i < loaded.Tasks.size() && i < store.Tasks.size(); ++i) {
            EXPECT_TRUE(SameIdentity(loaded.Tasks[i], store.Tasks[i])) << i;
        }
        EXPECT_EQ(loaded.Categories, store.Categories);
        // Saving what was loaded gives the same bytes again.
        EXPECT_EQ(SerializeTasks(loaded), SerializeTasks(store));
    }
}

TEST(DataFileRoundTrip, TheWriterMatchesTheIndependentBuilder) {
    std::mt19937 random(77);
    const TaskStore store = RandomStore(random, 25);
    FileBuilder file;
    file.HeaderStart();
    for (const TCATEGORY& category : store.Categories) {
        file.Category(category.Name, category.ColorIndex);
    }
    file.End();
    for (const TTASK_ITEM& task : store.Tasks) {
        file.Task(task);
    }
    const std::vector<uint8_t> written = SerializeTasks(store);
    EXPECT_EQ(std::string(written.begin(), written.end()), file.Bytes());
}

} // namespace
} // namespace quill
