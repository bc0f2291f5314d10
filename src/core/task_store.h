#pragma once
// The user's tasks and categories while the program runs: plain records and the
// one store every window reads and changes in place. No Qt here.

#include <cstdint>
#include <string>
#include <vector>

namespace quill {

// One task. Strings are bytes in the platform's narrow code page (UTF-8 on Linux);
// they are written back to the data file byte for byte.
struct TTASK_ITEM {
    int32_t Priority = 0; // 0 "High", 1 "Normal", 2 "Low"
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

    bool operator==(const TTASK_ITEM&) const = default;
};

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

} // namespace quill
