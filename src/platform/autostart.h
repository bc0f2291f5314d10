#pragma once
// Starting the program when the user logs in: an XDG autostart entry
// "<autostart dir>/quillnote.desktop" whose Exec is the quoted executable path.

#include <QString>

namespace quill {

class Autostart {
public:
    // autostartDir empty: $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    // executablePath empty: QCoreApplication::applicationFilePath().
    explicit Autostart(QString autostartDir = QString(), QString executablePath = QString());
    virtual ~Autostart() = default;

    // on = true writes (or rewrites) the entry; on = false removes it, and a missing
    // entry is no error. A failed write throws
    // quill::AppError("Cannot create file \"<entry path>\". <system reason>").
    virtual void SetAutoStart(bool on);

    // True when the entry exists.
    virtual bool IsOn() const;

    QString EntryPath() const;

private:
    QString autostartDir_;
    QString executablePath_;
};

inline constexpr const char* kAutostartFileName = "quillnote.desktop";

// The text of the autostart entry for `executablePath`.
QString AutostartEntryText(const QString& executablePath);

// One argument of a desktop entry's Exec key, quoted and escaped as the
// freedesktop.org desktop entry format asks ("...", with \ " ` $ escaped, % doubled,
// and the backslashes of the result escaped again for the string value).
QString QuoteExecArgument(const QString& argument);

} // namespace quill
