#include "platform/autostart.h"

#include "core/app_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace quill {

namespace {

QString DefaultAutostartDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

[[noreturn]] void FailCreate(const QString& path, const QString& reason) {
    throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason).toStdString());
}

} // namespace

QString QuoteExecArgument(const QString& argument) {
    // Inside a quoted Exec argument, " ` $ and \ are escaped with a backslash.
    QString quoted;
    quoted.reserve(argument.size() + 2);
    quoted += QLatin1Char('"');
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        // A literal percent sign is written as %% (field codes start with %).
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // The Exec value is a string value, whose own escape rule doubles backslashes.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return quoted;
}

QString AutostartEntryText(const QString& executablePath) {
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Quillnote\n");
    text += QStringLiteral("Comment=To-do list\n");
    text += QStringLiteral("Exec=") + QuoteExecArgument(executablePath) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text;
}

Autostart::Autostart(QString autostartDir, QString executablePath)
    : autostartDir_(autostartDir.isEmpty() ? DefaultAutostartDir() : std::move(autostartDir)),
      executablePath_(executablePath.isEmpty() ? QCoreApplication::applicationFilePath()
                                               : std::move(executablePath)) {}

QString Autostart::EntryPath() const {
    return QDir(autostartDir_).filePath(QLatin1String(kAutostartFileName));
}

bool Autostart::IsOn() const {
    return QFile::exists(EntryPath());
}

void Autostart::SetAutoStart(bool on) {
    const QString path = EntryPath();
    if (!on) {
        // Nothing to remove is fine; a removal that fails changes nothing either.
        QFile::remove(path);
        return;
    }
    if (!QDir().mkpath(autostartDir_))
        FailCreate(path, QStringLiteral("The folder cannot be created."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        FailCreate(path, file.errorString());
    file.write(AutostartEntryText(QDir::toNativeSeparators(executablePath_)).toUtf8());
    if (!file.commit())
        FailCreate(path, file.errorString());
}

} // namespace quill
