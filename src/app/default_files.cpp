#include "default_files.h"

#include "app_error_handler.h"
#include "core/app_error.h"
#include "platform/resources.h"
#include "skin/skin_list.h"

#include <QDir>
#include <QFileInfo>

namespace quill {

QString DefaultSkinDirectory(const QString& exeDir) {
    const QString found = SkinsDirectory(exeDir);
    if (QFileInfo(found).isDir())
        return found;
    return QDir(exeDir).filePath(QStringLiteral("skins"));
}

namespace {
// Writes one resource when its target is missing; a failure is shown, not thrown,
// so start-up goes on with whatever it has.
bool ExtractOne(const QString& resource, const QString& target, QStringList& written) {
    try {
        if (ExtractResourceIfMissing(resource, target)) {
            written << target;
            return true;
        }
    } catch (const AppError& error) {
        ShowAppError(QString::fromStdString(error.what()));
    }
    return false;
}
} // namespace

QStringList ExtractDefaultFiles(const QString& exeDir) {
    QStringList written;
    const QString skinsDir = DefaultSkinDirectory(exeDir);
    const QString skinPath = QDir(skinsDir).filePath(QString::fromUtf8(kDefaultSkinFileName));
    if (!QFileInfo::exists(skinPath)) {
        QDir().mkpath(skinsDir); // an existing directory is not an error
        ExtractOne(QString::fromUtf8(kDefaultSkinResource), skinPath, written);
    }
    ExtractOne(QString::fromUtf8(kAlarmSoundResource),
               QDir(exeDir).filePath(QString::fromUtf8(kAlarmSoundFileName)), written);
    return written;
}

} // namespace quill
