#include "platform/settings_store.h"

#include "core/app_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace quill {

namespace {

// The stored text of a value. A hand-edited INI value with an unquoted comma
// reads back as a list; it is taken as the text it was.
QString StoredText(const QVariant& value) {
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// The user reads which file could not be written and why, after the message
// every version of the program has given.
[[noreturn]] void FailWrite(const QString& path, const QString& reason) {
    std::string message = std::string("Failed to create key ") + settings::kKeyPath;
    if (!path.isEmpty())
        message += (QStringLiteral(". The settings file \"%1\" cannot be written: %2.")
                        .arg(QDir::toNativeSeparators(path), reason))
                       .toStdString();
    throw AppError(message);
}

QString UserSettingsPath() {
    // Where QSettings keeps the user's INI file ($XDG_CONFIG_HOME/Tolvane/Quillnote.ini).
    const QSettings where(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tolvane"),
                          QStringLiteral("Quillnote"));
    return where.fileName();
}

} // namespace

// The file is written whole by the store itself (QSettings only turns the values
// into INI text), so each write is judged by its own result: QSettings keeps the
// first error it met for its whole life, and a damaged line read at start-up
// would hide every later failure.
SettingsStore::SettingsStore() : path_(UserSettingsPath()) {
    Load();
}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath) {
    Load();
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::Location() const {
    return path_;
}

QString SettingsStore::ScratchPath() {
    if (!scratch_) {
        scratch_ = std::make_unique<QTemporaryDir>();
        if (!scratch_->isValid())
            scratch_.reset();
    }
    // A new name each time: QSettings caches what it read of a file by its name.
    return scratch_ ? scratch_->filePath(QStringLiteral("%1.ini").arg(++scratchCount_)) : QString();
}

void SettingsStore::Load() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return; // missing or unreadable: every read gives its default
    const QByteArray bytes = file.readAll();
    const QString copy = ScratchPath();
    QFile scratch(copy);
    if (copy.isEmpty() || !scratch.open(QIODevice::WriteOnly) ||
        scratch.write(bytes) != bytes.size())
        return;
    scratch.close();
    {
        // Damaged lines are skipped; what can be read is used.
        const QSettings ini(copy, QSettings::IniFormat);
        for (const QString& key : ini.allKeys())
            values_.insert(key, StoredText(ini.value(key)));
    }
    QFile::remove(copy);
}

QString SettingsStore::Persist() {
    // QSettings creates missing folders itself but says nothing when it cannot.
    std::error_code error;
    std::filesystem::create_directories(
        QFile::encodeName(QFileInfo(path_).absolutePath()).toStdString(), error);
    if (error)
        return QString::fromStdString(error.message());
    const QString copy = ScratchPath();
    if (copy.isEmpty())
        return QStringLiteral("no temporary folder can be made");
    QByteArray text;
    {
        QSettings ini(copy, QSettings::IniFormat);
        for (auto it = values_.cbegin(); it != values_.cend(); ++it)
            ini.setValue(it.key(), it.value());
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return QStringLiteral("the values cannot be turned into text");
    }
    QFile made(copy);
    if (!made.open(QIODevice::ReadOnly))
        return made.errorString();
    text = made.readAll();
    made.close();
    QFile::remove(copy);

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}

int SettingsStore::ReadInteger(const QString& name, int def) const {
    const auto it = values_.constFind(name);
    if (it == values_.cend())
        return def;
    bool ok = false;
    const int number = it->trimmed().toInt(&ok, 10);
    return ok ? number : def;
}

QString SettingsStore::ReadString(const QString& name, const QString& def) const {
    const auto it = values_.constFind(name);
    return it == values_.cend() ? def : *it;
}

void SettingsStore::StoreText(const QString& name, const QString& text) {
    values_.insert(name, text);
    const QString problem = Persist();
    if (!problem.isEmpty())
        FailWrite(path_, problem);
}

bool SettingsStore::ReadBool(const QString& name, bool def) const {
    return ReadInteger(name, def ? 1 : 0) != 0;
}

void SettingsStore::WriteInteger(const QString& name, int value) {
    StoreText(name, QString::number(value));
}

void SettingsStore::WriteBool(const QString& name, bool value) {
    StoreText(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsStore::WriteString(const QString& name, const QString& value) {
    StoreText(name, value);
}

} // namespace quill
