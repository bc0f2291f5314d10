// Calendar files: tasks survive the way out and back, the import rules hold,
// and the shapes other programs write read as the user expects.
#include "calendar/calendar_file.h"
#include "calendar/csv_export.h"
#include "core/date_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>

namespace quill {
namespace {

// Chicago (UTC-6, with daylight saving time): far enough from UTC that a date
// taken through the wrong zone lands on another day.
const bool kInChicago = [] {
    setenv("TZ", "America/Chicago", 1);
    tzset();
    return true;
}();

std::string Calendar(const std::vector<std::string>& lines) {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Hand//Made//EN\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

std::vector<std::string> Todo(const std::string& uid, const std::vector<std::string>& lines) {
    std::vector<std::string> todo = {"BEGIN:VTODO", "UID:" + uid, "DTSTAMP:20260105T101500Z"};
    todo.insert(todo.end(), lines.begin(), lines.end());
    todo.push_back("END:VTODO");
    return todo;
}

// libical drops the spaces a text value starts or ends with.
std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Ymd(double day) {
    const CivilDateTime c = DecodeDateTime(day);
    return std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day);
}

TaskStore RandomStore(std::mt19937& random, int count) {
    // Text as users type it: empty, non-ASCII, separators the format escapes, line breaks.
    static const std::vector<std::string> pieces = {"",   "a", "Grüße", "日本", ",",     ";",
                                                    "\\", ":", "\n",    " ",    "\"x\"", "€"};
    const auto text = [&](int most) {
        std::string s;
        for (int n = static_cast<int>(random() % (most + 1)); n > 0; --n) {
            s += pieces[random() % pieces.size()];
        }
        return s;
    };
    TaskStore store;
    // A comma would split a category name in CATEGORIES: names have none.
    for (int i = 0; i < 4; ++i) {
        store.Categories.push_back(
            {"Cat " + std::to_string(i) + "ü;", static_cast<int32_t>(9 - i)});
    }
    for (int i = 0; i < count; ++i) {
        TTASK_ITEM t;
        t.Title = text(8);
        t.Description = text(40);
        t.Priority = static_cast<int32_t>(random() % 3);
        t.HasDueDate = random() % 2; // up to the year 3000, the last libical writes
        t.DueDate = t.HasDueDate
                        ? std::floor(std::uniform_real_distribution<>(-693000, 401000)(random))
                        : 0;
        t.ReminderOn = random() % 2;
        // Whole seconds from 1800 to 2200, many before 1970.
        const double moment = EncodeDateTime(CivilFromUnixSeconds(
            std::uniform_int_distribution<int64_t>(-5364662400, 7258118400)(random)));
        t.ReminderDate = t.ReminderTime = t.ReminderOn ? moment : 0;
        t.PlaySound = random() % 2;
        t.SoundFile = t.PlaySound ? text(3) + ".wav" : "";
        t.Done = random() % 2;
        t.CategoryIndex = static_cast<int32_t>(random() % 4);
        t.Uid = NewTaskUid();
        t.Created =
            random() % 3 == 0 ? 0 : std::uniform_int_distribution<int64_t>(-1e10, 4e9)(random);
        t.LastModified = random() % 3 == 0 ? 0 : t.Created + 60;
        store.Tasks.push_back(t);
    }
    return store;
}

TEST(CalendarRoundTrip, EveryMappedFieldComesBack) {
    for (unsigned seed : {1u, 7u, 2024u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const TaskStore store = RandomStore(random, 60);
        const std::string text = WriteCalendar(store, TasksToExport(store, ""), 1767225600);
        const CalendarRead read = ReadCalendar(text, 46000);
        ASSERT_TRUE(read.ok) << read.error;
        TaskStore back;
        ApplyImport(back, read);
        ASSERT_EQ(back.TaskCount(), store.TaskCount());
        for (size_t i = 0; i < store.Tasks.size(); ++i) {
            const TTASK_ITEM& a = store.Tasks[i];
            const TTASK_ITEM& b = back.Tasks[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(b.Title, Trimmed(a.Title));
            EXPECT_EQ(b.Description, Trimmed(a.Description));
            EXPECT_EQ(b.Priority, a.Priority);
            EXPECT_EQ(b.Done, a.Done);
            EXPECT_EQ(b.HasDueDate, a.HasDueDate);
            EXPECT_EQ(Ymd(b.DueDate), Ymd(a.DueDate));
            EXPECT_EQ(b.ReminderOn, a.ReminderOn);
            EXPECT_EQ(EncodeDateTime(ReminderCivil(b)), EncodeDateTime(ReminderCivil(a)));
            EXPECT_EQ(b.PlaySound, a.PlaySound);
            EXPECT_EQ(b.SoundFile, Trimmed(a.SoundFile));
            EXPECT_TRUE(SameIdentity(b, a));
            EXPECT_EQ(back.Categories[b.CategoryIndex], store.Categories[a.CategoryIndex]);
        }
    }
}

TEST(CalendarExport, OneTaskIsWrittenExactly) {
    TaskStore store;
    store.Categories = {{"Home", 4}};
    TTASK_ITEM t;
    t.Uid = "3f2c8a1e-0b6d-4c57-9a1e-7d2f4b6c8e90";
    t.Created = 1767225600;      // 2026-01-01 00:00 UTC
    t.LastModified = 1767312000; // 2026-01-02 00:00 UTC
    t.Title = "Call Zoë, re: rent";
    t.Description = "Line one\nline two";
    t.HasDueDate = 1;
    t.DueDate = EncodeDateTime({2026, 1, 10, 23, 30});
    t.ReminderOn = 1;
    t.ReminderDate = t.ReminderTime = EncodeDateTime({2026, 1, 9, 8, 15}); // Chicago: UTC-6
    t.PlaySound = 1;
    t.SoundFile = "bell.wav";
    t.Done = 1;
    store.Tasks = {t};
    EXPECT_EQ(WriteCalendar(store, {0}, 1767398400),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tolvane//Quillnote//EN\r\n"
              "BEGIN:VTODO\r\nUID:3f2c8a1e-0b6d-4c57-9a1e-7d2f4b6c8e90\r\n"
              "DTSTAMP:20260103T000000Z\r\nCREATED:20260101T000000Z\r\n"
              "LAST-MODIFIED:20260102T000000Z\r\nSUMMARY:Call Zoë\\, re: rent\r\n"
              "DESCRIPTION:Line one\\nline two\r\nPRIORITY:1\r\nDUE;VALUE=DATE:20260110\r\n"
              "STATUS:COMPLETED\r\nCOMPLETED:20260102T000000Z\r\nPERCENT-COMPLETE:100\r\n"
              "CATEGORIES:Home\r\nX-QUILLNOTE-COLOR:4\r\nX-QUILLNOTE-SOUND:bell.wav\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Call Zoë\\, re: rent\r\n"
              "TRIGGER;VALUE=DATE-TIME:20260109T141500Z\r\nEND:VALARM\r\nEND:VTODO\r\n"
              "END:VCALENDAR\r\n");
    EXPECT_EQ(WriteCsv(store, {0}),
              "Title,Description,Category,Priority,Due date,Reminder,Done\r\n"
              "\"Call Zoë, re: rent\",\"Line one\nline two\",Home,High,2026-01-10,"
              "2026-01-09T08:15:00,TRUE\r\n");
}

TEST(CalendarImport, TheRulesTable) {
    const auto lm = [](const std::string& when) { return "LAST-MODIFIED:" + when; };
    struct Case {
        const char* name;
        std::vector<std::string> body;
        bool ok;
        ImportSummary expect;
        const char* titleOfA; // the stored task's title afterwards
    };
    const auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {"new", Todo("B", {"SUMMARY:b"}), true, {1, 0, 0, 0, 0}, "old"},
        {"newer", Todo("A", {"SUMMARY:new", lm("20300101T000000Z")}), true, {0, 1, 0, 0, 0}, "new"},
        {"older", Todo("A", {"SUMMARY:new", lm("19990101T000000Z")}), true, {0, 0, 1, 0, 0}, "old"},
        {"no change time", Todo("A", {"SUMMARY:new"}), true, {0, 0, 1, 0, 0}, "old"},
        {"same UID twice",
         join(Todo("A", {"SUMMARY:x", lm("20300101T000000Z")}),
              Todo("A", {"SUMMARY:new", lm("20310101T000000Z")})),
         true,
         {0, 2, 0, 0, 0},
         "new"},
        {"unknown category", Todo("C", {"CATEGORIES:Garden"}), true, {1, 0, 0, 0, 1}, "old"},
        {"not a task",
         {"BEGIN:VEVENT", "UID:E", "DTSTAMP:20260105T101500Z", "END:VEVENT"},
         true,
         {0, 0, 0, 1, 0},
         "old"},
        {"impossible date",
         join(Todo("D", {}), Todo("A", {"SUMMARY:new", "DUE:20261345"})),
         false,
         {},
         "old"},
        {"unparsable value", join(Todo("D", {}), Todo("A", {"COMPLETED:soon"})), false, {}, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskStore store;
        AddDefaultCategories(store);
        TTASK_ITEM a;
        a.Uid = "A";
        a.Title = "old";
        a.LastModified = UnixSecondsFromCivil({2026, 1, 1});
        store.Tasks = {a};
        const TaskStore before = store;
        const CalendarRead read = ReadCalendar(Calendar(c.body), 46000);
        ASSERT_EQ(read.ok, c.ok) << read.error;
        if (!read.ok) {
            EXPECT_NE(read.error.find("task 2 (line 8) cannot be read"), std::string::npos)
                << read.error;
            continue;
        }
        const ImportSummary s = ApplyImport(store, read);
        EXPECT_EQ(s.added, c.expect.added);
        EXPECT_EQ(s.updated, c.expect.updated);
        EXPECT_EQ(s.unchanged, c.expect.unchanged);
        EXPECT_EQ(s.notTasks, c.expect.notTasks);
        EXPECT_EQ(s.categoriesAdded, c.expect.categoriesAdded);
        EXPECT_EQ(store.Tasks[0].Title, c.titleOfA);
        if (s.categoriesAdded > 0) {
            EXPECT_EQ(store.Categories.back(), (TCATEGORY{"Garden", 3})); // next unused mark
        }
    }
    EXPECT_FALSE(ReadCalendar("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:cut", 46000).ok);
    EXPECT_FALSE(ReadCalendar("not a calendar", 46000).ok);
}

// Shapes other programs write, built by hand from RFC 5545. The test runs in
// Chicago (UTC-6): a DATE stays its day, a moment shows on its local day.
TEST(CalendarImport, ForeignShapesReadAsTheUserExpects) {
    const std::string berlin = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\n"
                               "DTSTART:19701025T030000\r\nTZOFFSETFROM:+0200\r\n"
                               "TZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE";
    struct Case {
        std::vector<std::string> lines;
        const char* title;
        const char* due; // "" without
        int32_t priority;
        uint8_t done;
        const char* category;
    };
    const Case cases[] = {
        {{"DUE;VALUE=DATE:20260110", "SUMMARY:date"}, "date", "2026-1-10", 1, 0, ""},
        {{"DUE;TZID=Europe/Berlin:20260110T003000"}, "", "2026-1-9", 1, 0, ""},
        {{"DUE:20260110T033000Z", "PRIORITY:3"}, "", "2026-1-9", 0, 0, ""},
        {{"DUE:20260110T033000", "PRIORITY:7"}, "", "2026-1-10", 2, 0, ""}, // floating
        {{"DUE;TZID=Mars/Olympus:20260110T033000"}, "", "2026-1-10", 1, 0, ""},
        {{"COMPLETED:20260102T100000Z", "PERCENT-COMPLETE:100", "PRIORITY:0"}, "", "", 1, 1, ""},
        {{"STATUS:CANCELLED", "RRULE:FREQ=WEEKLY", "RELATED-TO:parent-1"}, "", "", 1, 1, ""},
        {{"CATEGORIES:Work,Home", "CATEGORIES:Later"}, "", "", 1, 0, "Work"},
        {{"SUMMARY:Gr", " üße aus ", " 日本"}, "Grüße aus 日本", "", 1, 0, ""}, // folded
    };
    std::vector<std::string> body = {berlin};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto todo = Todo("f" + std::to_string(i), cases[i].lines);
        body.insert(body.end(), todo.begin(), todo.end());
    }
    const CalendarRead read = ReadCalendar(Calendar(body), 46000);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.tasks.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const TTASK_ITEM& t = read.tasks[i].task;
        EXPECT_EQ(t.Title, cases[i].title);
        EXPECT_EQ(t.HasDueDate ? Ymd(t.DueDate) : "", cases[i].due);
        EXPECT_EQ(t.Priority, cases[i].priority);
        EXPECT_EQ(t.Done, cases[i].done);
        EXPECT_EQ(read.tasks[i].categoryName, cases[i].category);
    }
}

} // namespace
} // namespace quill
