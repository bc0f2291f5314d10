#include "default_files.h"

#include "app_error_handler.h"
#include "core/app_error.h"
#include "platform/resources.h"
#include "skin/skin_list.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace quill {

QString DefaultSkinDirectory(const QString& dataDir) {
    QString found = SkinsDirectory(dataDir);
    if (QFileInfo(found).isDir())
        return found;
    return QDir(dataDir).filePath(QStringLiteral("skins"));
}

namespace {
// Writes one resource when its target is missing; a failure is shown, not thrown,
// so start-up goes on with whatever it has.
bool ExtractOne(const QString& resource, const QString& target, QStringList& written) {
    bool extracted = false;
    ReportErrors([&] { extracted = ExtractResourceIfMissing(resource, target); });
    if (extracted)
        written << target;
    return extracted;
}
} // namespace

QStringList ExtractDefaultFiles(const DataLocation& location) {
    const QString& dataDir = location.dataDir;
    const QStringList shippedSkinFolders = location.SkinFolders().mid(1);
    // An installed copy's folder in the user's data home does not exist on the
    // first start; the data file is saved there too.
    QDir().mkpath(dataDir);
    QStringList written;
    const QString skinsDir = DefaultSkinDirectory(dataDir);
    const QString skinName = QString::fromUtf8(kDefaultSkinFileName);
    const QString skinPath = QDir(skinsDir).filePath(skinName);
    const bool shipped = std::any_of(
        shippedSkinFolders.begin(), shippedSkinFolders.end(),
        [&](const QString& folder) { return QFileInfo::exists(QDir(folder).filePath(skinName)); });
    if (!shipped && !QFileInfo::exists(skinPath)) {
        QDir().mkpath(skinsDir); // an existing directory is not an error
        ExtractOne(QString::fromUtf8(kDefaultSkinResource), skinPath, written);
    }
    ExtractOne(QString::fromUtf8(kAlarmSoundResource),
               QDir(dataDir).filePath(QString::fromUtf8(kAlarmSoundFileName)), written);
    return written;
}

} // namespace quill
