#pragma once
// The options the settings dialog edits, as one plain value: the sort order and
// ten switches, each starting at the default of the settings table. The main
// window holds the program's live copy; the dialog edits a copy of it.

#include "core/settings_table.h"

#include <array>
#include <cstdint>

namespace quill {

struct ProgramOptions {
    int32_t sortBy = settings::kSortBy.def; // 0 due date, 1 priority, 2 category
    bool startWithWindows = settings::kStartWithWindows.def;
    bool minimizeOnStart = settings::kMinimizeOnStart.def;
    bool transparency = settings::kTransparency.def;
    bool showDueDate = settings::kShowDueDate.def;
    bool showPriority = settings::kShowPriority.def;
    bool showCategory = settings::kShowCategory.def;
    bool showReminder = settings::kShowReminder.def;
    bool showGrid = settings::kShowGrid.def;
    bool doneTaskPutInBottom = settings::kDoneTaskPutInBottom.def;
    bool alwaysOnTop = settings::kAlwaysOnTop.def;

    bool operator==(const ProgramOptions&) const = default;
};

// Each switch with the value it is stored under, in the order they are stored
// (after "Sort by").
struct OptionSwitch {
    settings::BoolSetting setting;
    bool ProgramOptions::*field;
};
inline constexpr std::array<OptionSwitch, 10> kOptionSwitches{{
    {settings::kStartWithWindows, &ProgramOptions::startWithWindows},
    {settings::kMinimizeOnStart, &ProgramOptions::minimizeOnStart},
    {settings::kTransparency, &ProgramOptions::transparency},
    {settings::kShowDueDate, &ProgramOptions::showDueDate},
    {settings::kShowPriority, &ProgramOptions::showPriority},
    {settings::kShowCategory, &ProgramOptions::showCategory},
    {settings::kShowReminder, &ProgramOptions::showReminder},
    {settings::kShowGrid, &ProgramOptions::showGrid},
    {settings::kDoneTaskPutInBottom, &ProgramOptions::doneTaskPutInBottom},
    {settings::kAlwaysOnTop, &ProgramOptions::alwaysOnTop},
}};

} // namespace quill
