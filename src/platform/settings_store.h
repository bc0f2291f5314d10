#pragma once
// The program's settings: one value per name, stored as text (integers in decimal,
// booleans as "1" or "0"). On Linux an INI file $XDG_CONFIG_HOME/Tolvane/Quillnote.ini,
// on Windows the registry key HKEY_CURRENT_USER\Software\Tolvane\Quillnote.

#include <QMap>
#include <QString>

#include <memory>

class QSettings;
class QTemporaryDir;

namespace quill {

namespace settings {

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

// Every value the program keeps, with its default.
inline constexpr IntSetting kMainFormGroup{"MainFormGroup", 0};
inline constexpr StringSetting kSkin{"Skin", "Default"};
inline constexpr IntSetting kLeft{"Left", 0};
inline constexpr IntSetting kTop{"Top", 0};
inline constexpr IntSetting kWidth{"Width", 696};
inline constexpr IntSetting kHeight{"Height", 480};
inline constexpr IntSetting kSortBy{"Sort by", 0};
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

} // namespace settings

class SettingsStore {
public:
    // The user's own settings file (QSettings user scope, "Tolvane", "Quillnote").
    SettingsStore();
    // An INI file at an explicit path (tests, portable use).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Reads fall back to `def` when the value is missing or is not a valid
    // decimal integer; a boolean is true when its integer is not 0.
    int ReadInteger(const QString& name, int def) const;
    bool ReadBool(const QString& name, bool def) const;
    QString ReadString(const QString& name, const QString& def) const;

    // Each write is stored at once and judged by its own result, never by an
    // earlier one. A write that cannot be stored throws
    // quill::AppError("Failed to create key \SOFTWARE\Tolvane\Quillnote"); the
    // value is still kept for this run and goes to the file with the next write
    // that succeeds.
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteString(const QString& name, const QString& value);

    // The same, with the name and default taken from the table above.
    int Read(settings::IntSetting s) const { return ReadInteger(s.name, s.def); }
    bool Read(settings::BoolSetting s) const { return ReadBool(s.name, s.def); }
    QString Read(settings::StringSetting s) const {
        return ReadString(s.name, QString::fromUtf8(s.def));
    }
    void Write(settings::IntSetting s, int value) { WriteInteger(s.name, value); }
    void Write(settings::BoolSetting s, bool value) { WriteBool(s.name, value); }
    void Write(settings::StringSetting s, const QString& value) { WriteString(s.name, value); }

    // Where the values live (the INI file's path; the registry key on Windows).
    QString Location() const;

private:
    void StoreText(const QString& name, const QString& text);

#ifdef Q_OS_WIN
    std::unique_ptr<QSettings> settings_;
#else
    void Load();
    bool Persist();
    QString ScratchPath();

    QString path_;
    QMap<QString, QString> values_; // what the program holds, stored or not
    std::unique_ptr<QTemporaryDir> scratch_;
    int scratchCount_ = 0;
#endif
};

} // namespace quill
