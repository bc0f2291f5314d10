#include "core/reminder_pass.h"
#include "core/task_edit.h"
#include "core/task_store.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace quill {
namespace {

using test::Dated;
using test::MakeTask;

std::vector<std::string> Titles(const TaskStore& store) {
    std::vector<std::string> titles;
    for (const TTASK_ITEM& task : store.Tasks) {
        titles.push_back(task.Title);
    }
    return titles;
}

TaskStore StoreWithTitles(const std::vector<std::pair<std::string, int>>& tasks,
                          int categoryCount = 3) {
    TaskStore store;
    for (int i = 0; i < categoryCount; ++i) {
        store.Categories.push_back({"C" + std::to_string(i), i});
    }
    for (const auto& [title, category] : tasks) {
        store.Tasks.push_back(MakeTask(title, 1, category));
    }
    return store;
}

TEST(DefaultCategories, AnEmptyListGetsTheThreeDefaults) {
    TaskStore store;
    EXPECT_TRUE(AddDefaultCategories(store));
    ASSERT_EQ(store.Categories.size(), 3u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"Personal", 0}));
    EXPECT_EQ(store.Categories[1], (TCATEGORY{"Business", 1}));
    EXPECT_EQ(store.Categories[2], (TCATEGORY{"Other", 2}));
}

TEST(DefaultCategories, ExistingCategoriesAreKept) {
    TaskStore store;
    store.Categories.push_back({"Home", 7});
    EXPECT_FALSE(AddDefaultCategories(store));
    ASSERT_EQ(store.Categories.size(), 1u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"Home", 7}));
}

TEST(StoreStart, AFreshStoreIsEmptyWithNoTaskEdited) {
    const TaskStore store;
    EXPECT_EQ(store.TaskCount(), 0);
    EXPECT_EQ(store.VisibleTaskCount, 0);
    EXPECT_EQ(store.LastCategoryIndex, 0);
    EXPECT_EQ(store.EditedTaskCategory, -1);
}

TEST(AddTaskRule, AppendsNotDoneAndRemembersTheCategory) {
    TaskStore store = StoreWithTitles({{"a", 0}});
    TTASK_ITEM task = test::Completed(MakeTask("new", 1, 2));
    AddTask(store, task);
    ASSERT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.Tasks[1].Title, "new");
    EXPECT_EQ(store.Tasks[1].Done, 0);
    EXPECT_EQ(store.LastCategoryIndex, 2);
}

// A clock whose UTC seconds the test sets.
class UtcClock final : public Clock {
public:
    TDateTime Now() const override { return 46000.5; }
    int64_t UtcSeconds() const override { return utc; }
    int64_t utc = 0;
};

TEST(TaskIdentity, NewTasksGetOneAndEveryUserChangeStampsTheChangeTime) {
    const auto clock = std::make_shared<UtcClock>();
    clock->utc = 1000;
    SetClock(clock);
    TaskStore store;
    AddTask(store, MakeTask("a"));
    AddTask(store, MakeTask("b"));
    const TTASK_ITEM& a = store.Tasks[0];
    EXPECT_EQ(a.Uid.size(), 36u);
    EXPECT_EQ(a.Uid[14], '4'); // a random UUID
    EXPECT_NE(a.Uid, store.Tasks[1].Uid);
    EXPECT_EQ(a.Created, 1000);
    EXPECT_EQ(a.LastModified, 1000);

    const std::function<void(TTASK_ITEM&)> changes[] = {
        [](TTASK_ITEM& t) { ToggleDone(t); },
        [](TTASK_ITEM& t) { ApplySnoozeChoice(t, 1, 46000.5); },
        [](TTASK_ITEM& t) {
            TaskEditorValues opened;
            TaskEditorValues chosen;
            chosen.Title = "typed";
            WriteBackEditorChanges(t, opened, chosen, 46000.5);
        },
    };
    for (const auto& change : changes) {
        TTASK_ITEM task = a;
        clock->utc += 10;
        change(task);
        EXPECT_EQ(task.LastModified, clock->utc);
        EXPECT_EQ(task.Created, 1000);
        EXPECT_EQ(task.Uid, a.Uid);
    }
    // An editor closed with OK but nothing changed is no change.
    TTASK_ITEM task = a;
    WriteBackEditorChanges(task, TaskEditorValues{}, TaskEditorValues{}, 46000.5);
    EXPECT_EQ(task.LastModified, 1000);
    SetClock(nullptr);
}

TEST(TaskKeys, FollowTheirRecordThroughRemovalsAndAreNotPartOfTheValue) {
    TaskStore store = StoreWithTitles({});
    for (const char* title : {"a", "b", "c", "d"}) {
        AddTask(store, MakeTask(title, 1, 0));
    }
    const uint64_t keyOfD = store.Tasks[3].Key;
    EXPECT_NE(keyOfD, 0u);
    EXPECT_NE(store.Tasks[0].Key, store.Tasks[1].Key);

    RemoveTaskAt(store, 1); // "d" moves into the freed place
    EXPECT_EQ(FindTaskByKey(store, keyOfD), 1);
    RemoveTaskAt(store, 1);
    EXPECT_EQ(FindTaskByKey(store, keyOfD), -1);
    EXPECT_EQ(FindTaskByKey(store, 0), -1);

    TTASK_ITEM copy = store.Tasks[0];
    copy.Key = NewTaskKey();
    EXPECT_EQ(copy, store.Tasks[0]);
}

TEST(RemoveTaskRule, RemovingTheLastOnlyShrinks) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 0}, {"c", 0}});
    RemoveTaskAt(store, 2);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(store.TaskCount(), 2);
}

TEST(RemoveTaskRule, TheLastTaskTakesTheFreedPlace) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}});
    RemoveTaskAt(store, 1);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"a", "d", "c"}));
    RemoveTaskAt(store, 0);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"c", "d"}));
}

TEST(RemoveTaskRule, PositionsOutsideTheArrayChangeNothing) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 0}});
    RemoveTaskAt(store, -1);
    RemoveTaskAt(store, 2);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"a", "b"}));
}

TEST(RemoveTaskRule, VisibleCountNeverExceedsTheTasks) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 0}});
    store.VisibleTaskCount = 2;
    RemoveTaskAt(store, 0);
    EXPECT_EQ(store.VisibleTaskCount, 1);
}

TEST(ToggleDoneRule, FlipsBetweenZeroAndOne) {
    TTASK_ITEM task = MakeTask("a");
    ToggleDone(task);
    EXPECT_EQ(task.Done, 1);
    ToggleDone(task);
    EXPECT_EQ(task.Done, 0);
}

TEST(CategoryRules, AddAppendsAtTheEnd) {
    TaskStore store = StoreWithTitles({});
    AddCategory(store, {"New", 5});
    ASSERT_EQ(store.Categories.size(), 4u);
    EXPECT_EQ(store.Categories[3], (TCATEGORY{"New", 5}));
}

TEST(CategoryRules, RemovingTheLastCategoryDeletesItsTasksAndRenumbersNothing) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 2}, {"c", 1}, {"d", 2}});
    RemoveCategoryAt(store, 2);
    ASSERT_EQ(store.Categories.size(), 2u);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[1].CategoryIndex, 1);
}

TEST(CategoryRules, RemovingAnEarlierCategoryMovesTheLastIntoItsPlace) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 2}, {"c", 1}, {"d", 2}});
    RemoveCategoryAt(store, 0);
    ASSERT_EQ(store.Categories.size(), 2u);
    EXPECT_EQ(store.Categories[0], (TCATEGORY{"C2", 2}));
    EXPECT_EQ(store.Categories[1], (TCATEGORY{"C1", 1}));
    // "a" removed: "d" was copied into position 0.
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"d", "b", "c"}));
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[1].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[2].CategoryIndex, 1);
}

TEST(CategoryRules, AdjacentTasksOfTheRemovedCategoryAllGo) {
    // The task moved into a freed position belongs to the removed category too:
    // it must be examined again, not skipped.
    TaskStore store = StoreWithTitles({{"x", 0}, {"a", 1}, {"b", 1}, {"y", 2}, {"c", 1}, {"d", 1}});
    RemoveCategoryAt(store, 1);
    for (const TTASK_ITEM& task : store.Tasks) {
        EXPECT_NE(task.Title, "a");
        EXPECT_NE(task.Title, "b");
        EXPECT_NE(task.Title, "c");
        EXPECT_NE(task.Title, "d");
    }
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(store.Tasks[1].CategoryIndex, 1); // "y" followed its category to position 1
    EXPECT_EQ(store.Categories[1].Name, "C2");
}

TEST(CategoryRules, EveryTaskPointsInsideTheCategoriesAfterRemoval) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 1}, {"c", 2}, {"d", 3}, {"e", 4}}, 5);
    RemoveCategoryAt(store, 1);
    RemoveCategoryAt(store, 0);
    for (const TTASK_ITEM& task : store.Tasks) {
        EXPECT_GE(task.CategoryIndex, 0);
        EXPECT_LT(task.CategoryIndex, static_cast<int>(store.Categories.size()));
    }
    EXPECT_EQ(store.TaskCount(), 3);
}

TEST(CategoryRules, APositionOutsideTheListChangesNothing) {
    TaskStore store = StoreWithTitles({{"a", 0}});
    RemoveCategoryAt(store, 3);
    RemoveCategoryAt(store, -1);
    EXPECT_EQ(store.Categories.size(), 3u);
    EXPECT_EQ(store.TaskCount(), 1);
}

TEST(OverdueRule, UndatedTasksAreNeverOverdue) {
    TTASK_ITEM task = MakeTask("a");
    task.DueDate = 10.0; // stored but not meaningful
    EXPECT_EQ(ComputeNotOverdue(task, 45000.0), 1);
}

TEST(OverdueRule, TheDueDayComparesWithToday) {
    const double today = 45000.0;
    EXPECT_EQ(ComputeNotOverdue(Dated(MakeTask("a"), 45000.9), today + 0.7), 1); // same day
    EXPECT_EQ(ComputeNotOverdue(Dated(MakeTask("a"), 45001.0), today), 1);
    EXPECT_EQ(ComputeNotOverdue(Dated(MakeTask("a"), 44999.99), today), 0);
}

TEST(InvariantRepair, OutOfRangeValuesComeBackInside) {
    TaskStore store = StoreWithTitles({{"a", 0}, {"b", 3}, {"c", -1}});
    store.Categories[1].ColorIndex = 10;
    store.Categories[2].ColorIndex = -3;
    store.Tasks[0].Priority = 7;
    store.Tasks[0].Done = 2;
    store.Tasks[0].PlaySound = 255;
    store.Tasks[0].ReminderOn = 9;
    store.Tasks[0].HasDueDate = 3;
    store.Tasks[0].NotOverdue = 4;
    store.Tasks[1].DueDate = std::nan("");
    store.Tasks[1].ReminderDate = 1e12;
    store.Tasks[1].ReminderTime = -INFINITY;
    store.Tasks[2].NotOverdue = 0; // undated: forced to 1
    store.VisibleTaskCount = 9;
    store.LastCategoryIndex = 5;
    store.EditedTaskCategory = 4;

    const RepairReport report = RepairInvariants(store);
    EXPECT_EQ(report.categoriesChanged, 2);
    EXPECT_EQ(report.tasksChanged, 3);
    EXPECT_EQ(store.Categories[1].ColorIndex, 0);
    EXPECT_EQ(store.Categories[2].ColorIndex, 0);
    const TTASK_ITEM& a = store.Tasks[0];
    EXPECT_EQ(a.Priority, 1);
    EXPECT_EQ(a.Done, 1);
    EXPECT_EQ(a.PlaySound, 1);
    EXPECT_EQ(a.ReminderOn, 1);
    EXPECT_EQ(a.HasDueDate, 1);
    EXPECT_EQ(a.NotOverdue, 1);
    EXPECT_EQ(store.Tasks[1].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[1].DueDate, 0.0);
    EXPECT_EQ(store.Tasks[1].ReminderDate, 0.0);
    EXPECT_EQ(store.Tasks[1].ReminderTime, 0.0);
    EXPECT_EQ(store.Tasks[2].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[2].NotOverdue, 1);
    EXPECT_EQ(store.TaskCount(), 3); // nothing dropped
    EXPECT_EQ(store.VisibleTaskCount, 3);
    EXPECT_EQ(store.LastCategoryIndex, 0);
    EXPECT_EQ(store.EditedTaskCategory, -1);
}

TEST(InvariantRepair, ValidValuesAreLeftAlone) {
    TaskStore store = StoreWithTitles({{"a", 2}, {"b", 1}});
    store.Categories[2].ColorIndex = 9;
    store.Tasks[0] = Dated(store.Tasks[0], -693593.5); // 0001-01-01 12:00
    store.Tasks[0].NotOverdue = 0;                     // dated and overdue: kept
    store.Tasks[1].Priority = 2;
    store.Tasks[1].ReminderDate = 2958465.99;
    const TaskStore before = store;
    EXPECT_FALSE(RepairInvariants(store).changed());
    EXPECT_EQ(store.Tasks, before.Tasks);
    EXPECT_EQ(store.Categories, before.Categories);
}

TEST(InvariantRepair, WithoutCategoriesTheIndexIsLeftForLater) {
    TaskStore store;
    store.Tasks.push_back(MakeTask("a", 1, 5));
    RepairInvariants(store);
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 5);
    AddDefaultCategories(store);
    RepairInvariants(store);
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 0);
}

} // namespace
} // namespace quill
