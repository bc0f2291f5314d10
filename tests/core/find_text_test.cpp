#include "core/find_text.h"
#include "core/list_ordering.h"
#include "core/task_finder.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

struct FindCase {
    const char* text;
    const char* title;
    const char* description;
    bool found;
};

TEST(TaskFinder, MatchesTitleOrDescriptionWhateverCaseAndAccents) {
    const FindCase cases[] = {
        {"cafe", "Café au lait", "", true},
        {"CAFÉ", "cafe", "", true},
        {"café", "CAFE\xCC\x81 noir", "", true}, // e + combining acute
        {"strasse", "Hauptstraße 5", "", true},
        {"oe", "Œuvre", "", true},
        {"zoe", "call Zoë", "", true},
        {"пример", "ПРИМЕР", "", true},
        {"milk", "Shopping", "buy MILK today", true}, // in the description only
        {"tea", "Coffee", "", false},
        {"ng sh", "Shopping", "shop", false}, // never across title and description
        {"\xFF", "bad \xFF byte", "", true},
    };
    for (const FindCase& c : cases) {
        TaskFinder finder;
        finder.SetText(c.text);
        TTASK_ITEM task = test::MakeTask(c.title);
        task.Description = c.description;
        EXPECT_EQ(finder.Matches(task), c.found) << c.text << " in " << c.title;
    }
}

TEST(TaskFinder, FoldedTextIsFoldedAgainAfterAnEdit) {
    TaskFinder finder;
    finder.SetText("tea");
    TTASK_ITEM task = test::MakeTask("Coffee");
    EXPECT_FALSE(finder.Matches(task));
    task.Title = "Green tea";
    EXPECT_TRUE(finder.Matches(task));
}

TEST(FindFolded, GivesTheWholeCharactersOfTheMatch) {
    struct Span {
        const char* text;
        const char* title;
        size_t begin, end;
    } const cases[] = {
        {"cafe", "Le Café", 3, 8},
        {"e", "CAFE\xCC\x81", 3, 6}, // the accent that follows goes with its letter
        {"a", "\xC3\x86on", 0, 2},   // "a" of "Æ" marks the whole letter
        {"ss", "Straße", 4, 6},
    };
    for (const Span& c : cases) {
        const FoundSpan span = FindFolded(c.title, FoldForFind(c.text));
        ASSERT_TRUE(span.found) << c.title;
        EXPECT_EQ(span.begin, c.begin) << c.title;
        EXPECT_EQ(span.end, c.end) << c.title;
    }
    EXPECT_FALSE(FindFolded("Tea", FoldForFind("x")).found);
}

std::string Rows(const TaskStore& store, int32_t count) {
    std::string rows;
    for (int32_t i = 0; i < count; ++i)
        rows += store.Tasks[static_cast<size_t>(i)].Title + " ";
    return rows;
}

TEST(TaskFinder, NarrowsWithinTheCategoryAndWidensToTheSameOrder) {
    TaskStore store;
    AddDefaultCategories(store);
    for (const char* title : {"b1", "a2", "b3", "a4", "b5", "a6"})
        AddTask(store, test::MakeTask(title, 1, title[0] == 'a' ? 0 : 1));
    FilterTaskList(store, CategoryFilter::Category(1));
    ASSERT_EQ(Rows(store, store.VisibleTaskCount), "b1 b3 b5 ");
    const std::string before = Rows(store, store.TaskCount());
    TaskFinder finder;
    finder.Remember(store);
    finder.SetText("5");
    FilterTaskList(store, CategoryFilter::Category(1), &finder);
    EXPECT_EQ(Rows(store, store.VisibleTaskCount), "b5 ");
    finder.SetText("b");
    finder.NarrowAgain(store);
    EXPECT_EQ(Rows(store, store.VisibleTaskCount), "b1 b3 b5 ");
    finder.SetText("3");
    finder.NarrowAgain(store);
    EXPECT_EQ(Rows(store, 3), "b3 b1 b5 ");
    finder.Widen(store);
    EXPECT_EQ(store.VisibleTaskCount, 3);
    EXPECT_EQ(Rows(store, store.TaskCount()), before);
}

} // namespace
} // namespace quill
