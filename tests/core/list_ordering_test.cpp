#include "core/list_ordering.h"
#include "test_support.h"

#include <array>
#include <gtest/gtest.h>
#include <sstream>

namespace quill {
namespace {

using test::Completed;
using test::Dated;
using test::MakeTask;

constexpr int32_t kHigh = 0, kNormal = 1, kLow = 2;

std::string Order(const TaskStore& store, int count = -1) {
    std::string order;
    const int n = count < 0 ? store.TaskCount() : count;
    for (int i = 0; i < n; ++i) {
        order += (i == 0 ? "" : " ") + store.Tasks[i].Title;
    }
    return order;
}

TaskStore Store(std::vector<TTASK_ITEM> tasks) {
    TaskStore store;
    AddDefaultCategories(store);
    store.Tasks = std::move(tasks);
    store.VisibleTaskCount = store.TaskCount();
    return store;
}

// ---------------------------------------------------------------- filter

TEST(CategoryFilter, GathersTheCategoryAtTheFrontInOrder) {
    TaskStore store = Store({MakeTask("a", 1, 0), MakeTask("b", 1, 1), MakeTask("c", 1, 0),
                             MakeTask("d", 1, 1), MakeTask("e", 1, 0)});
    FilterTaskList(store, CategoryFilter::Category(0));
    EXPECT_EQ(store.VisibleTaskCount, 3);
    // A displaced task moves to where the category's task came from.
    EXPECT_EQ(Order(store), "a c e d b");
}

TEST(CategoryFilter, AllShowsEveryTaskAndMovesNothing) {
    TaskStore store = Store({MakeTask("a", 1, 2), MakeTask("b", 1, 1), MakeTask("c", 1, 0)});
    store.VisibleTaskCount = 1;
    FilterTaskList(store, CategoryFilter::All());
    EXPECT_EQ(store.VisibleTaskCount, 3);
    EXPECT_EQ(Order(store), "a b c");
}

TEST(CategoryFilter, PositionsThatAreNoCategoryShowNothing) {
    TaskStore store = Store({MakeTask("a", 1, 2), MakeTask("b", 1, 1), MakeTask("c", 1, 0)});
    for (int32_t position : {3, 40, -1}) {
        FilterTaskList(store, CategoryFilter::Category(position));
        EXPECT_EQ(store.VisibleTaskCount, 0) << position;
        EXPECT_EQ(Order(store), "a b c");
    }
}

TEST(CategoryFilter, ACategoryWithoutTasksShowsNothing) {
    TaskStore store = Store({MakeTask("a", 1, 0)});
    FilterTaskList(store, CategoryFilter::Category(2));
    EXPECT_EQ(store.VisibleTaskCount, 0);
}

// ---------------------------------------------------------------- sorting, small lists

TEST(SortSmallLists, NothingMovesForZeroOrOneVisibleTask) {
    for (int criterion : {0, 1, 2}) {
        TaskStore store = Store({Completed(MakeTask("z", kLow)), MakeTask("a", kHigh)});
        store.VisibleTaskCount = 1;
        SortTaskList(store, criterion, true);
        EXPECT_EQ(Order(store), "z a");
        store.VisibleTaskCount = 0;
        SortTaskList(store, criterion, true);
        EXPECT_EQ(Order(store), "z a");
    }
}

TEST(SortSmallLists, TasksBeyondTheVisiblePartKeepTheirPlaces) {
    TaskStore store =
        Store({MakeTask("c", kLow, 0), MakeTask("b", kNormal, 0), MakeTask("z", kHigh, 1),
               Completed(MakeTask("y", kHigh, 1)), MakeTask("a", kHigh, 0)});
    FilterTaskList(store, CategoryFilter::Category(0));
    ASSERT_EQ(Order(store), "c b a y z");
    for (int criterion : {0, 1, 2}) {
        SortTaskList(store, criterion, true);
        EXPECT_EQ(Order(store).substr(6), "y z") << criterion;
    }
    SortTaskList(store, 1, true);
    EXPECT_EQ(Order(store), "a b c y z");
}

TEST(SortSmallLists, AnUnknownCriterionOnlyMovesDoneTasks) {
    TaskStore store = Store({Completed(MakeTask("D1")), MakeTask("A", kLow),
                             Completed(MakeTask("D2")), MakeTask("B", kHigh)});
    SortTaskList(store, 7, false);
    EXPECT_EQ(Order(store), "D1 A D2 B");
    SortTaskList(store, -1, true);
    EXPECT_EQ(Order(store), "A B D1 D2");
}

// ---------------------------------------------------------------- due date

TEST(SortByDueDate, DatedFirstEarliestFirstUndatedLast) {
    const double may3 = EncodeDateTime({2024, 5, 3});
    const double may5 = EncodeDateTime({2024, 5, 5});
    TaskStore store =
        Store({MakeTask("A"), Dated(MakeTask("5 May"), may5), Dated(MakeTask("3 May"), may3)});
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "3 May 5 May A");
}

TEST(SortByDueDate, TheSameDueDateOrdersByPriority) {
    TaskStore store =
        Store({Dated(MakeTask("low", kLow), 45000.5), Dated(MakeTask("normal", kNormal), 45000.5),
               Dated(MakeTask("high", kHigh), 45000.5)});
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "high normal low");
}

TEST(SortByDueDate, UndatedTasksAreOrderedByPriorityToo) {
    TaskStore store =
        Store({MakeTask("low", kLow), MakeTask("high", kHigh), MakeTask("n", kNormal)});
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "high n low");
}

TEST(SortByDueDate, TheTimeOfDaySeparatesPriorityGroups) {
    // Same day, different stored times: the day order is a tie, and the priority
    // step compares full values, so these two are not reordered.
    TaskStore store = Store({Dated(MakeTask("low 10:00", kLow), 45000.0 + 10.0 / 24),
                             Dated(MakeTask("high 08:00", kHigh), 45000.0 + 8.0 / 24)});
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "low 10:00 high 08:00");
}

TEST(SortByDueDate, DatesBeforeTheEpochCompareByTruncatedDay) {
    // -1.25 and -1.75 are both day -1 (truncated toward zero, not floored), so
    // they are a tie and stay in place; -2.5 is day -2.
    TaskStore store = Store(
        {Dated(MakeTask("a"), -2.5), Dated(MakeTask("b"), -1.25), Dated(MakeTask("c"), -1.75)});
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "a b c");
    std::swap(store.Tasks[0], store.Tasks[2]);
    SortTaskList(store, 0, false);
    EXPECT_EQ(Order(store), "a b c");
}

// ---------------------------------------------------------------- priority and category

TEST(SortByPriority, TitlesCompareAsBytes) {
    TaskStore store = Store({MakeTask("b"), MakeTask("a"), MakeTask("C")});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "C a b");
}

TEST(SortByPriority, TitlesAreUnsignedBytesAndPrefixesComeFirst) {
    TaskStore store = Store({MakeTask("\xC3\xA9t\xC3\xA9"), MakeTask("ab"), MakeTask("a"),
                             MakeTask("z"), MakeTask("")});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), " a ab z \xC3\xA9t\xC3\xA9");
}

TEST(SortByPriority, ThePriorityStepThenTheTitleStep) {
    TaskStore store = Store({MakeTask("A", kNormal), MakeTask("B", kNormal), MakeTask("C", kHigh)});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "C A B");
}

TEST(SortByPriority, WithinAPriorityDatedTasksComeFirstByDay) {
    TaskStore store = Store({MakeTask("u", kNormal), Dated(MakeTask("late", kNormal), 45010.0),
                             Dated(MakeTask("early", kNormal), 45001.0),
                             Dated(MakeTask("high", kHigh), 45100.0)});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "high early late u");
}

TEST(SortByPriority, SortingTwiceIsStableForDistinctTitles) {
    TaskStore store = Store({MakeTask("q", kLow), Dated(MakeTask("w", kNormal), 45002.0),
                             MakeTask("e", kHigh), Dated(MakeTask("r", kNormal), 45001.0),
                             MakeTask("t", kNormal), MakeTask("y", kLow)});
    SortTaskList(store, 1, false);
    const std::string once = Order(store);
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), once);
    EXPECT_EQ(once, "e r w t q y");
}

TEST(SortByPriority, EqualTasksSwapOnEachSortWithDoneToBottom) {
    TaskStore store =
        Store({MakeTask("a", kNormal), MakeTask("a", kNormal), Completed(MakeTask("D", kHigh))});
    store.Tasks[0].SoundFile = "N1";
    store.Tasks[1].SoundFile = "N2";
    SortTaskList(store, 1, true);
    EXPECT_EQ(store.Tasks[0].SoundFile, "N2");
    EXPECT_EQ(store.Tasks[1].SoundFile, "N1");
    EXPECT_EQ(store.Tasks[2].Title, "D");
    SortTaskList(store, 1, true);
    EXPECT_EQ(store.Tasks[0].SoundFile, "N1");
    EXPECT_EQ(store.Tasks[1].SoundFile, "N2");
    EXPECT_EQ(store.Tasks[2].Title, "D");
}

TEST(SortByPriority, AnUndatedTasksStoredDateJoinsTheTitleRun) {
    // The title step compares an undated task's stored DueDate with a dated
    // task's day, so sorting again can change the order (as the steps say).
    TaskStore store = Store({[] {
                                 TTASK_ITEM t = MakeTask("a");
                                 t.DueDate = 100.0;
                                 return t;
                             }(),
                             [] {
                                 TTASK_ITEM t = MakeTask("b");
                                 t.DueDate = 101.0;
                                 return t;
                             }(),
                             Dated(MakeTask("c"), 100.0)});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "c a b");
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "a c b");
}

TEST(SortByCategory, CategoryThenDueDateThenTitle) {
    TaskStore store = Store({MakeTask("b", kHigh, 1), MakeTask("x", kLow, 0),
                             Dated(MakeTask("d", kNormal, 1), 45000.0), MakeTask("a", kHigh, 1),
                             MakeTask("C", kLow, 2)});
    SortTaskList(store, 2, false);
    EXPECT_EQ(Order(store), "x d a b C");
}

// ---------------------------------------------------------------- done to bottom

TEST(DoneToBottom, CompletedTasksMoveDownInTheirOrder) {
    TaskStore store =
        Store({Completed(MakeTask("D1")), MakeTask("A"), Completed(MakeTask("D2")), MakeTask("B")});
    SortTaskList(store, -1, true);
    EXPECT_EQ(Order(store), "A B D1 D2");
}

TEST(DoneToBottom, OffLeavesCompletedTasksInPlace) {
    TaskStore store = Store({Completed(MakeTask("a")), MakeTask("b")});
    SortTaskList(store, 1, false);
    EXPECT_EQ(Order(store), "a b");
    SortTaskList(store, 1, true);
    EXPECT_EQ(Order(store), "b a");
}

TEST(DoneToBottom, AllCompletedKeepTheirOrder) {
    TaskStore store =
        Store({Completed(MakeTask("x")), Completed(MakeTask("y")), Completed(MakeTask("z"))});
    SortTaskList(store, -1, true);
    EXPECT_EQ(Order(store), "x y z");
}

TEST(Exchanges, RecordsMoveWholeWithTheirStrings) {
    std::vector<TTASK_ITEM> tasks;
    for (int i = 0; i < 30; ++i) {
        TTASK_ITEM task = MakeTask(std::string(1, static_cast<char>('A' + (i * 7) % 26)), i % 3);
        task.Description = "description of " + std::to_string(i) + std::string(50, 'x');
        task.SoundFile = "sound" + std::to_string(i);
        task.CategoryIndex = i;
        tasks.push_back(task);
    }
    TaskStore store = Store(tasks);
    for (int criterion : {0, 1, 2}) {
        SortTaskList(store, criterion, true);
        for (const TTASK_ITEM& task : store.Tasks) {
            const TTASK_ITEM& original = tasks[task.CategoryIndex];
            EXPECT_EQ(task, original);
        }
    }
}

// ---------------------------------------------------------------- model cases
// Random lists whose expected orders come from a separate model of the steps,
// written apart from this code. Each task is "title:priority:category:hasDue:due:done";
// the orders are criterion 0, 0 + done to bottom, 1, 1 + done, 2, 2 + done.

struct ModelCase {
    const char* tasks;
    std::array<const char*, 6> orders;
};

const ModelCase kModelCases[] = {
    {"i:0:2:1:100.5:1 c:2:1:1:101.25:0 a:0:2:0:99.75:0 e:2:1:0:100:1 F:1:2:0:100:0 J:0:0:1:100.5:0 "
     "g:0:0:0:100:1",
     {"iJcagFe", "JcaFige", "JiagFce", "JaFcige", "JgceiFa", "JcFagei"}},
    {"e:1:1:1:100.5:1 D:1:2:0:-1.5:0 a:2:1:1:100.5:0 c:2:0:1:101.25:0 F:1:2:0:100.5:1 "
     "g:1:1:0:99.75:1 i:2:2:1:99.75:1",
     {"ieacFgD", "acDieFg", "eDFgiac", "DaceFgi", "caegiDF", "caDegiF"}},
    {"a:0:0:0:99.75:1 i:0:1:1:100:0 c:0:2:1:101.25:0 F:1:0:0:100.5:0 B:1:1:0:99.75:0 "
     "g:0:1:0:-1.5:0 e:1:0:1:-1.5:1",
     {"eicgaFB", "icgFBea", "icageBF", "icgBFae", "eFaiBgc", "FiBgcea"}},
    {"e:0:2:1:100:0 D:0:0:1:101.25:0 c:0:0:1:99.75:0 i:0:2:1:-1.5:1 a:2:2:1:-1.5:1 B:0:0:1:99.75:1 "
     "J:1:2:0:100:0",
     {"iacBeDJ", "ceDJiaB", "iBceDJa", "ceDJiBa", "BcDaiJe", "cDJeBai"}},
    {"c:2:0:1:101.25:1 H:2:1:0:99.75:1 D:1:0:0:101.25:0 e:0:0:0:-1.5:1 J:0:0:0:100.5:0 "
     "B:0:1:1:101.25:0 F:2:2:1:100.5:1",
     {"FBceJDH", "BJDFceH", "BJeDFcH", "BJDeFcH", "DcJeBHF", "DJBceHF"}},
    {"i:2:0:0:-1.5:0 c:2:1:1:100:0 e:2:0:1:101.25:0 J:2:2:1:100.5:1 a:1:1:0:101.25:1 g:1:1:0:100:0 "
     "F:2:2:1:100:0",
     {"cJFeagi", "cFegiJa", "agFJcei", "gFceiaJ", "eicagFJ", "eicgFaJ"}},
    {"D:0:0:0:100:0 a:1:0:0:100:0 i:2:2:0:100.5:0 J:2:1:1:-1.5:1 c:1:0:1:100:1 g:1:1:0:101.25:1 "
     "H:2:0:0:-1.5:0",
     {"JcDagiH", "DaiHJcg", "DacgJHi", "DaHicgJ", "DacHJgi", "DaHicJg"}},
    {"J:1:2:1:-1.5:0 g:2:0:1:101.25:1 c:2:0:0:101.25:0 a:0:2:1:100.5:0 i:2:2:0:100:0 "
     "e:1:0:0:-1.5:1 D:1:0:1:-1.5:1",
     {"JDageic", "JaicDge", "aDJecgi", "aJciDeg", "DgceJai", "cJaiDge"}},
    {"D:1:2:0:-1.5:0 e:0:0:0:-1.5:0 g:1:1:0:99.75:1 H:0:0:0:-1.5:0 a:2:0:1:101.25:1 i:1:2:0:100:0 "
     "J:2:0:1:100:0",
     {"JaHeDig", "JHeDiag", "HeDgiJa", "HeDiJga", "JaHegDi", "JHeDiag"}},
    {"H:0:1:0:-1.5:0 B:2:1:0:-1.5:1 i:1:2:0:-1.5:0 a:1:2:0:-1.5:1 g:1:2:0:101.25:1 J:1:1:1:100.5:1 "
     "c:0:0:0:99.75:0",
     {"JHcgiaB", "HciJgaB", "HcJagiB", "HciJagB", "cJBHagi", "cHiJBag"}},
};

TaskStore ParseCase(const char* text) {
    std::vector<TTASK_ITEM> tasks;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        std::istringstream fields(item);
        std::string title, priority, category, hasDue, due, done;
        std::getline(fields, title, ':');
        std::getline(fields, priority, ':');
        std::getline(fields, category, ':');
        std::getline(fields, hasDue, ':');
        std::getline(fields, due, ':');
        std::getline(fields, done, ':');
        TTASK_ITEM task = MakeTask(title, std::stoi(priority), std::stoi(category));
        task.HasDueDate = static_cast<uint8_t>(std::stoi(hasDue));
        task.DueDate = std::stod(due);
        task.Done = static_cast<uint8_t>(std::stoi(done));
        tasks.push_back(task);
    }
    return Store(tasks);
}

TEST(ModelCases, EveryCriterionWithAndWithoutDoneToBottom) {
    for (const ModelCase& c : kModelCases) {
        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE(std::string(c.tasks) + " / " + std::to_string(k));
            TaskStore store = ParseCase(c.tasks);
            SortTaskList(store, k / 2, k % 2 == 1);
            std::string order;
            for (const TTASK_ITEM& task : store.Tasks) {
                order += task.Title;
            }
            EXPECT_EQ(order, c.orders[k]);
        }
    }
}

} // namespace
} // namespace quill
