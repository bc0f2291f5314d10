#pragma once
// Every value the program keeps in its settings file: its name, its type and its
// default, written once here. The settings store, the settings dialog, the
// options the list starts with and the tests all read them from this table.

#include <array>

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

// How the settings dialog holds an option while the program runs.
enum class OptionKind { Check, Choice }; // a check box; a drop-down list's position

struct DialogOption {
    const char* name;
    OptionKind kind;
    int def;             // a check box: 1 checked, 0 not
    const char* control; // the object name of the dialog's control
};

constexpr DialogOption Option(IntSetting s, const char* control) {
    return {s.name, OptionKind::Choice, s.def, control};
}
constexpr DialogOption Option(BoolSetting s, const char* control) {
    return {s.name, OptionKind::Check, s.def ? 1 : 0, control};
}

// In the order the dialog stores them when it is confirmed.
inline constexpr std::array<DialogOption, 11> kDialogOptions{{
    Option(kSortBy, "ComboBox1"),
    Option(kStartWithWindows, "CheckBox1"),
    Option(kMinimizeOnStart, "CheckBox2"),
    Option(kTransparency, "CheckBox4"),
    Option(kShowDueDate, "CheckBox5"),
    Option(kShowPriority, "CheckBox6"),
    Option(kShowCategory, "CheckBox7"),
    Option(kShowReminder, "CheckBox10"),
    Option(kShowGrid, "CheckBox11"),
    Option(kDoneTaskPutInBottom, "CheckBox8"),
    Option(kAlwaysOnTop, "CheckBox9"),
}};

} // namespace quill::settings
