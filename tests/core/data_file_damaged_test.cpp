// Damaged files: read without reading past the end, overflowing a field or
// allocating what a length claims; every complete task and category is kept.

#include "core/data_file.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quill {
namespace {

using test::FileBuilder;
using test::MakeTask;

// Two categories and three tasks with every kind of field filled in.
FileBuilder GoodFile(std::vector<size_t>* taskEnds = nullptr) {
    FileBuilder file;
    file.HeaderStart().Category("Home", 1).Category("Work", 2).End();
    for (int i = 0; i < 3; ++i) {
        TTASK_ITEM task = test::Dated(MakeTask("task " + std::to_string(i), i, i % 2), 45000 + i);
        task.Description = "about " + std::to_string(i);
        task.SoundFile = "a.wav";
        file.Task(task);
        if (taskEnds != nullptr) {
            taskEnds->push_back(file.Size());
        }
    }
    return file;
}

TEST(DamagedFiles, TruncatedAtEveryOffsetKeepsEveryCompleteTask) {
    std::vector<size_t> taskEnds;
    const std::string good = GoodFile(&taskEnds).Bytes();
    const size_t headerEnd =
        FileBuilder().HeaderStart().Category("Home", 1).Category("Work", 2).End().Size();
    TaskStore whole;
    ASSERT_FALSE(ParseTasks(good, whole).damaged);
    ASSERT_EQ(whole.TaskCount(), 3);

    for (size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        // A copy of exactly `length` bytes, so reading past it is caught by the sanitizers.
        const std::string cut = good.substr(0, length);
        TaskStore store;
        const ParseResult parsed = ParseTasks(cut, store);
        const bool endsOnABoundary =
            length == headerEnd ||
            std::find(taskEnds.begin(), taskEnds.end(), length) != taskEnds.end();
        if (endsOnABoundary) {
            EXPECT_FALSE(parsed.damaged); // a shorter but whole file
        } else {
            EXPECT_TRUE(parsed.damaged);
            EXPECT_FALSE(parsed.problem.empty());
        }
        // Tasks whose end mark is inside the cut are all there, intact and in order;
        // the last one is also kept when it lacks only its end mark.
        size_t complete = 0;
        while (complete < taskEnds.size() && taskEnds[complete] <= length) {
            ++complete;
        }
        const bool lacksOnlyEndMark =
            complete < taskEnds.size() && length + 1 == taskEnds[complete];
        ASSERT_EQ(static_cast<size_t>(store.TaskCount()), complete + (lacksOnlyEndMark ? 1 : 0));
        for (int i = 0; i < store.TaskCount(); ++i) {
            EXPECT_EQ(store.Tasks[i], whole.Tasks[i]);
        }
        // Categories are all or nothing each.
        for (size_t i = 0; i < store.Categories.size(); ++i) {
            EXPECT_EQ(store.Categories[i], whole.Categories[i]);
        }
        if (length >= headerEnd) {
            EXPECT_EQ(store.Categories.size(), 2u);
        }
    }
}

TEST(DamagedFiles, AnEmptyFileIsDamagedAndEmpty) {
    TaskStore store;
    const ParseResult parsed = ParseTasks("", store);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.problem, "The file is empty.");
    EXPECT_EQ(store.TaskCount(), 0);
    EXPECT_TRUE(store.Categories.empty());
}

TEST(DamagedFiles, TheProblemNamesWhereTheFileEnds) {
    std::vector<size_t> taskEnds;
    const std::string good = GoodFile(&taskEnds).Bytes();
    TaskStore store;
    const ParseResult parsed = ParseTasks(good.substr(0, taskEnds[1] - 10), store);
    EXPECT_EQ(parsed.problem, "The file ends in the middle of task 2, which was left out.");
    EXPECT_EQ(parsed.tasksRead, 1);
    EXPECT_EQ(parsed.categoriesRead, 2);
}

TEST(DamagedFiles, ASizeBiggerThanTheWidthReadsTheLowBytesAndSkipsTheRest) {
    FileBuilder file;
    file.HeaderStart().End();
    file.Byte(0x00).Int32(8).Int32(2).Int32(0x7777); // priority written as 8 bytes
    file.Byte(0x0B).Int32(4).Int32(1);               // done written as 4 bytes
    file.Byte(0x0C).Int32(6).Int32(1).Raw("\x05\x06");
    file.Byte(0x01).Text("title").End();
    file.Task(MakeTask("next"));
    TaskStore store;
    const ParseResult parsed = ParseTasks(file.Bytes(), store);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.problem,
              "Task 1: the priority field has size 8 instead of 4. (2 more problems found)");
    ASSERT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.Tasks[0].Priority, 2);
    EXPECT_EQ(store.Tasks[0].Done, 1);
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 1);
    EXPECT_EQ(store.Tasks[0].Title, "title");
    EXPECT_EQ(store.Tasks[1].Title, "next");
}

TEST(DamagedFiles, ASizeSmallerThanTheWidthFillsOnlyLowBytes) {
    FileBuilder file;
    file.HeaderStart().End();
    file.Byte(0x0C).Int32(1).Byte(0x03);                   // 1 byte for a 4-byte integer
    file.Byte(0x03).Int32(0);                              // a date-time with no bytes
    file.Byte(0x0A).Int32(-4).Byte(0x0B).Int32(1).Byte(1); // negative size: nothing read
    file.Byte(0x41).Int32(4).Int32(-7);                    // half of a creation time
    file.End().Task(MakeTask("next"));
    TaskStore store;
    const ParseResult parsed = ParseTasks(file.Bytes(), store);
    EXPECT_TRUE(parsed.damaged);
    ASSERT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 3);
    EXPECT_EQ(store.Tasks[0].DueDate, 0.0);
    EXPECT_EQ(store.Tasks[0].HasDueDate, 0);
    EXPECT_EQ(store.Tasks[0].Done, 1);
    EXPECT_EQ(store.Tasks[0].Created, 0xFFFFFFF9); // the low bytes only, not sign-extended
    EXPECT_EQ(store.Tasks[1].Title, "next");
}

TEST(DamagedFiles, HugeLengthsAreNotBelieved) {
    for (const int32_t huge : {0x7FFFFFFF, 1 << 30, 5000}) {
        SCOPED_TRACE(huge);
        for (const uint8_t tag : {0x01, 0x02, 0x06, 0x03, 0x0C, 0x40}) {
            SCOPED_TRACE(tag);
            FileBuilder file;
            file.HeaderStart().Category("c", 0).End().Task(MakeTask("kept"));
            file.Byte(tag).Int32(huge).Raw("just a few bytes");
            TaskStore store;
            const ParseResult parsed = ParseTasks(file.Bytes(), store);
            EXPECT_TRUE(parsed.damaged);
            ASSERT_EQ(store.TaskCount(), 1);
            EXPECT_EQ(store.Tasks[0].Title, "kept");
            EXPECT_EQ(store.Categories.size(), 1u);
        }
    }
}

TEST(DamagedFiles, HugeLengthsInTheHeaderAreNotBelieved) {
    const std::string bytes = FileBuilder()
                                  .HeaderStart()
                                  .Category("kept", 3)
                                  .Byte(0x04)
                                  .Int32(4)
                                  .Int32(1)
                                  .Int32(0x7FFFFFF0)
                                  .Raw("xyz")
                                  .Bytes();
    TaskStore store;
    const ParseResult parsed = ParseTasks(bytes, store);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.problem, "The file ends in the middle of category 2, which was left out.");
    ASSERT_EQ(store.Categories.size(), 1u);
    EXPECT_EQ(store.Categories[0].Name, "kept");
}

TEST(DamagedFiles, AHeaderWithoutItsEndMarkIsDamaged) {
    const std::string bytes = FileBuilder().HeaderStart().Category("kept", 3).Bytes();
    TaskStore store;
    const ParseResult parsed = ParseTasks(bytes, store);
    EXPECT_TRUE(parsed.damaged);
    EXPECT_EQ(parsed.problem, "The file ends inside its header.");
    EXPECT_EQ(store.Categories.size(), 1u);
}

TEST(DamagedFiles, NegativeCountsSkipNothing) {
    FileBuilder file;
    file.HeaderStart().Byte(0x09).Int32(-1).Category("c", 1).End();
    file.Byte(0x30).Int32(-100).Byte(0x01).Text("t").Byte(0x02).Int32(-2).End();
    TaskStore store;
    const ParseResult parsed = ParseTasks(file.Bytes(), store);
    EXPECT_FALSE(parsed.damaged) << parsed.problem;
    ASSERT_EQ(store.TaskCount(), 1);
    EXPECT_EQ(store.Tasks[0].Title, "t");
    EXPECT_EQ(store.Categories.size(), 1u);
}

TEST(DamagedFiles, TagsOutOfPlaceAreReadAsTheFormatSays) {
    // A category tag in the task section is a reminder date there; a repeated
    // field overwrites; a doubled end mark gives an empty task.
    FileBuilder file;
    file.HeaderStart().End();
    file.Byte(0x01).Text("first").Byte(0x01).Text("second");
    file.Byte(0x04).Int32(8).Double(3.5).End();
    file.End(); // an empty task
    file.Task(MakeTask("last"));
    TaskStore store;
    EXPECT_FALSE(ParseTasks(file.Bytes(), store).damaged);
    ASSERT_EQ(store.TaskCount(), 3);
    EXPECT_EQ(store.Tasks[0].Title, "second");
    EXPECT_EQ(store.Tasks[0].ReminderDate, 3.5);
    EXPECT_EQ(store.Tasks[1], TTASK_ITEM{});
    EXPECT_EQ(store.Tasks[2].Title, "last");
}

TEST(DamagedFiles, GarbageNeverCrashes) {
    // Every byte value at every position of a small good file, one at a time.
    const std::string good =
        FileBuilder().HeaderStart().Category("c", 1).End().Task(MakeTask("t")).Bytes();
    int damaged = 0;
    for (size_t at = 0; at < good.size(); ++at) {
        for (int value : {0x00, 0x01, 0x04, 0x0C, 0x7F, 0x80, 0xFE, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(value);
            TaskStore store;
            const ParseResult parsed = ParseTasks(bytes, store);
            damaged += parsed.damaged ? 1 : 0;
            EXPECT_LE(store.TaskCount(), static_cast<int>(bytes.size()));
        }
    }
    EXPECT_GT(damaged, 0);
}

} // namespace
} // namespace quill
