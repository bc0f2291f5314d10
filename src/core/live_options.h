#pragma once
// The display and behaviour options as they stand right now. While the program
// runs the settings dialog's controls are the live copy; everything that depends
// on an option asks this interface at the moment of use.

#include "core/settings_table.h"

#include <cstdint>

namespace quill {

class LiveOptions {
public:
    virtual ~LiveOptions() = default;
    virtual bool StartWithWindows() const = 0;
    virtual bool MinimizeOnStart() const = 0;
    virtual bool Transparency() const = 0;
    virtual bool AlwaysOnTop() const = 0;
    virtual bool ShowDueDate() const = 0;
    virtual bool ShowPriority() const = 0;
    virtual bool ShowCategory() const = 0;
    virtual bool ShowReminder() const = 0;
    virtual bool ShowGrid() const = 0;
    virtual bool DoneTaskPutInBottom() const = 0;
    virtual int32_t SortBy() const = 0; // 0 due date, 1 priority, 2 category
};

// A plain set of values, for tests and tools.
struct FixedOptions final : LiveOptions {
    // The defaults of the settings table.
    bool startWithWindows = settings::kStartWithWindows.def;
    bool minimizeOnStart = settings::kMinimizeOnStart.def;
    bool transparency = settings::kTransparency.def;
    bool alwaysOnTop = settings::kAlwaysOnTop.def;
    bool showDueDate = settings::kShowDueDate.def;
    bool showPriority = settings::kShowPriority.def;
    bool showCategory = settings::kShowCategory.def;
    bool showReminder = settings::kShowReminder.def;
    bool showGrid = settings::kShowGrid.def;
    bool doneTaskPutInBottom = settings::kDoneTaskPutInBottom.def;
    int32_t sortBy = settings::kSortBy.def;

    bool StartWithWindows() const override { return startWithWindows; }
    bool MinimizeOnStart() const override { return minimizeOnStart; }
    bool Transparency() const override { return transparency; }
    bool AlwaysOnTop() const override { return alwaysOnTop; }
    bool ShowDueDate() const override { return showDueDate; }
    bool ShowPriority() const override { return showPriority; }
    bool ShowCategory() const override { return showCategory; }
    bool ShowReminder() const override { return showReminder; }
    bool ShowGrid() const override { return showGrid; }
    bool DoneTaskPutInBottom() const override { return doneTaskPutInBottom; }
    int32_t SortBy() const override { return sortBy; }
};

} // namespace quill
