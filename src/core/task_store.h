#pragma once
// The user's tasks and categories while the program runs: plain records and the
// one store every window reads and changes in place. No Qt here.

#include <cstdint>
#include <string>
#include <vector>

namespace quill {

// A task's priority. Its number is what TTASK_ITEM::Priority and the data file
// hold and the editor's drop-down row.
enum class TaskPriority : int32_t { High = 0, Normal = 1, Low = 2 };

inline constexpr int32_t kPriorityCount = 3;

// What the editor calls each priority, by number.
inline constexpr const char* kPriorityNames[kPriorityCount] = {"High", "Normal", "Low"};

// The number stored for `priority`.
constexpr int32_t PriorityNumber(TaskPriority priority) {
    return static_cast<int32_t>(priority);
}

// One task. Strings are bytes in the platform's narrow code page (UTF-8 on Linux);
// they are written back to the data file byte for byte.
struct TTASK_ITEM {
    int32_t Priority = PriorityNumber(TaskPriority::High); // a TaskPriority's number
    std::string Title;
    std::string Description;
    double DueDate = 0.0;      // meaningful only while HasDueDate is 1
    double ReminderDate = 0.0; // only the date part is used
    double ReminderTime = 0.0; // only the time-of-day part is used
    std::string SoundFile;
    uint8_t NotOverdue = 0;
    uint8_t PlaySound = 0;
    uint8_t ReminderOn = 0;
    uint8_t HasDueDate = 0;
    uint8_t Done = 0;
    int32_t CategoryIndex = 0; // position in TaskStore::Categories

    // The task's identity for calendar files: a UUID given when the task is made
    // (or when a file without one is loaded) and never changed; times in seconds
    // since 1970-01-01 UTC, 0 while not known. Calendar programs tell tasks apart
    // by Uid and decide which copy is newer by LastModified. Compared by
    // SameIdentity, not by ==, which compares what the list shows.
    std::string Uid;
    int64_t Created = 0;
    int64_t LastModified = 0;

    // How the task repeats: an iCalendar RRULE value ("FREQ=WEEKLY;BYDAY=MO"),
    // empty for a task that does not. Followed only while HasDueDate is 1.
    // RepeatFrom is the date the rule counts from (0: the due date), kept when
    // ticking moves the due date on, so "monthly on the 31st" stays on the 31st
    // after a short month and a rule's COUNT counts from the first occurrence.
    std::string RepeatRule;
    double RepeatFrom = 0.0;

    // Names this record while the program runs, wherever sorting and removals move
    // it, so a window that was opened on a task can find that task again. Given by
    // AddTask and by the data-file reader (0: none); never written to the file and
    // not part of a task's value, so equality ignores it. A command that rewrites a
    // task in place keeps its Key.
    uint64_t Key = 0;

    // Every field of the task's value; Key and the identity fields are not.
    bool operator==(const TTASK_ITEM& other) const;
};

// A Key no record has had before in this process.
uint64_t NewTaskKey();

// The task's Key, given one first when it has none (a record built by hand): a
// command that waits for the user finds its task again by it.
uint64_t KeyOf(TTASK_ITEM& task);

// Whether both have the same Uid, Created and LastModified.
bool SameIdentity(const TTASK_ITEM& a, const TTASK_ITEM& b);

// A new random UUID (version 4), lower-case with hyphens.
std::string NewTaskUid();

// Gives a task without Uid a new one; a Created or LastModified of 0 becomes
// `now` when `stampTimes` is set (a task just made), else stays unknown.
// Returns whether it gave a Uid.
bool GiveIdentity(TTASK_ITEM& task, int64_t now, bool stampTimes);

// Records a user's change to the task: LastModified becomes the UTC clock's now.
void MarkChanged(TTASK_ITEM& task);

struct TCATEGORY {
    std::string Name;
    int32_t ColorIndex = 0; // 0..9: which of the skin's ten category marks

    bool operator==(const TCATEGORY&) const = default;
};

// One instance per process, owned by the application; core functions take it by
// reference so tests can make their own.
struct TaskStore {
    std::vector<TTASK_ITEM> Tasks;
    std::vector<TCATEGORY> Categories;
    // The first VisibleTaskCount tasks are the rows of the list, top to bottom.
    int32_t VisibleTaskCount = 0;
    // Category given to the most recently added task; preselected for the next one.
    int32_t LastCategoryIndex = 0;
    // CategoryIndex of the task open in the editor, -1 while none is being edited.
    int32_t EditedTaskCategory = -1;

    int32_t TaskCount() const { return static_cast<int32_t>(Tasks.size()); }
};

// --- The change rules every window uses; each keeps the store's invariants. ---

// When Categories is empty, makes it "Personal" (mark 0), "Business" (1), "Other" (2).
// Returns whether it added them.
bool AddDefaultCategories(TaskStore& store);

// Gives every task that lacks one a Uid (times stay unknown); returns how many.
int GiveMissingUids(TaskStore& store);

// Appends `task` with Done = 0, a new Key and its identity (a Uid, and Created
// and LastModified of now when unknown), and remembers its category in
// LastCategoryIndex.
void AddTask(TaskStore& store, TTASK_ITEM task);

// The position of the task with `key`, or -1 when no task has it (removed, or a
// key of 0).
int32_t FindTaskByKey(const TaskStore& store, uint64_t key);

// Removes the task at `index` by copying the last task into its place and
// shrinking the array. Does nothing for an index outside Tasks.
void RemoveTaskAt(TaskStore& store, int32_t index);

// Marks an open task done and a done task open: a user's change (MarkChanged).
void ToggleDone(TTASK_ITEM& task);

// Whether the task has a rule to follow: a rule and a due date.
bool IsRepeating(const TTASK_ITEM& task);

// Whether the list and the printed page treat the task as done: a repeating task
// never is, its next occurrence is still to do.
bool CountsAsDone(const TTASK_ITEM& task);

// Ticking a repeating task: the due date becomes `nextDue` (a date), the
// reminder moves by as many days (so it keeps its local time of day), the rule
// goes on counting from where it counted before, and the task stays open; a
// user's change (MarkChanged). NotOverdue is brought in step with `today`.
void MoveToOccurrence(TTASK_ITEM& task, double nextDue, double today);

// Appends a category at the end.
void AddCategory(TaskStore& store, TCATEGORY category);

// Removes category k: first every task of k (scanning from 0 and looking at a
// position again after a task was moved into it), then the tasks of the last
// category are renumbered to k, then the last category is copied into k and the
// array shrinks. Does nothing for k outside Categories.
void RemoveCategoryAt(TaskStore& store, int32_t k);

// The overdue rule: 1 when the task has no due date or its due day is today or
// later, else 0. `today` is a date (its date part is used).
uint8_t ComputeNotOverdue(const TTASK_ITEM& task, double today);

// What RepairInvariants changed, for the caller's information.
struct RepairReport {
    int tasksChanged = 0;
    int categoriesChanged = 0;
    bool changed() const { return tasksChanged != 0 || categoriesChanged != 0; }
};

// Brings values that break the store's invariants (typically read from a damaged
// or foreign file) back inside them; no task or category is dropped. Meant to run
// after the default categories exist. The rules:
//  - CategoryIndex outside Categories -> 0 (left alone while Categories is empty)
//  - ColorIndex outside 0..9 -> 0
//  - Priority naming no TaskPriority -> Normal (what a new task gets)
//  - a byte boolean other than 0 or 1 -> 1
//  - a date-time that is not finite or lies outside years 1..9999 -> 0 (1899-12-30)
//  - NotOverdue -> 1 when HasDueDate is 0
//  - VisibleTaskCount clamped to 0..TaskCount, LastCategoryIndex outside
//    Categories -> 0, EditedTaskCategory outside Categories -> -1
RepairReport RepairInvariants(TaskStore& store);

} // namespace quill
