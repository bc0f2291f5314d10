#pragma once
// Every value the program keeps in its settings file: its name, its type and its
// default, written once here. The settings store, the program's options
// (program_options.h) and the tests all read them from this table.

namespace quill::settings {

struct IntSetting {
    const char* name;
    int def;
};
struct BoolSetting {
    const char* name;
    bool def;
};
struct StringSetting {
    const char* name;
    const char* def;
};

// The main window's own values.
inline constexpr IntSetting kMainFormGroup{"MainFormGroup", 0};
inline constexpr StringSetting kSkin{"Skin", "Default"};
inline constexpr IntSetting kLeft{"Left", 0};
inline constexpr IntSetting kTop{"Top", 0};
inline constexpr IntSetting kWidth{"Width", 696};
inline constexpr IntSetting kHeight{"Height", 480};

// The options of the settings dialog.
inline constexpr IntSetting kSortBy{"Sort by", 0}; // 0 due date, 1 priority, 2 category
inline constexpr BoolSetting kStartWithWindows{"Start with Windows", false};
inline constexpr BoolSetting kMinimizeOnStart{"Minimize on start", false};
inline constexpr BoolSetting kTransparency{"Transparency", false};
inline constexpr BoolSetting kShowDueDate{"Show Due Date", true};
inline constexpr BoolSetting kShowPriority{"Show Priority", true};
inline constexpr BoolSetting kShowCategory{"Show Category", true};
inline constexpr BoolSetting kShowReminder{"Show reminder", true};
inline constexpr BoolSetting kShowGrid{"Show grid", true};
inline constexpr BoolSetting kDoneTaskPutInBottom{"Done Task put in bottom", true};
inline constexpr BoolSetting kAlwaysOnTop{"Always on Top", false};

// The key the error message names when a value cannot be stored.
inline constexpr const char* kKeyPath = "\\SOFTWARE\\Tolvane\\Quillnote";

} // namespace quill::settings
