#pragma once
// The program's settings: one value per name, stored as text (integers in decimal,
// booleans as "1" or "0"), in the INI file $XDG_CONFIG_HOME/Tolvane/Quillnote.ini.

#include "core/settings_table.h"

#include <QMap>
#include <QString>

#include <memory>

class QTemporaryDir;

namespace quill {

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
    // quill::AppError("Failed to create key \SOFTWARE\Tolvane\Quillnote", followed
    // by the settings file and the system's reason); the value is still kept for this run and goes
    // to the file with the next write that succeeds.
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

    // Where the values live: the INI file's path.
    QString Location() const;

private:
    void StoreText(const QString& name, const QString& text);

    void Load();
    // Writes every value to the file; the reason it could not, or empty.
    QString Persist();
    QString ScratchPath();

    QString path_;
    QMap<QString, QString> values_; // what the program holds, stored or not
    std::unique_ptr<QTemporaryDir> scratch_;
    int scratchCount_ = 0;
};

} // namespace quill
