#include "platform/settings_store.h"

#include "core/app_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace quill {

namespace {

std::unique_ptr<QSettings> OpenUserSettings() {
#ifdef Q_OS_WIN
    // The user's own key: a machine-wide key is not writable for every user.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\Tolvane\\Quillnote"), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Tolvane"), QStringLiteral("Quillnote"));
#endif
}

// The stored text of a value. A hand-edited INI value with an unquoted comma
// reads back as a list; it is taken as the text it was.
QString StoredText(const QVariant& value) {
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

SettingsStore::SettingsStore() : settings_(OpenUserSettings()) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::Location() const {
    return settings_->fileName();
}

int SettingsStore::ReadInteger(const QString& name, int def) const {
    const QVariant value = settings_->value(name);
    if (!value.isValid())
        return def;
    bool ok = false;
    const int number = StoredText(value).trimmed().toInt(&ok, 10);
    return ok ? number : def;
}

bool SettingsStore::ReadBool(const QString& name, bool def) const {
    return ReadInteger(name, def ? 1 : 0) != 0;
}

QString SettingsStore::ReadString(const QString& name, const QString& def) const {
    const QVariant value = settings_->value(name);
    return value.isValid() ? StoredText(value) : def;
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

void SettingsStore::StoreText(const QString& name, const QString& text) {
    const auto fail = [] {
        throw AppError(std::string("Failed to create key ") + settings::kKeyPath);
    };
    if (settings_->format() == QSettings::IniFormat) {
        // QSettings creates missing folders itself but says nothing when it cannot.
        const QString dir = QFileInfo(settings_->fileName()).absolutePath();
        if (!QDir().mkpath(dir))
            fail();
    }
    settings_->setValue(name, text);
    // Stored now, so a failure is seen by the operation that caused it.
    settings_->sync();
    if (settings_->status() == QSettings::AccessError)
        fail();
}

} // namespace quill
