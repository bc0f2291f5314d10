#include "install_paths.h"

#include "data_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace quill {

QString ExecutableDir(const char* argv0) {
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!self.isEmpty())
        return QFileInfo(self).absolutePath();
    return argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath() : QString();
}

QString ShippedFontAliases(const QString& exeDir) {
    const QString name = QStringLiteral("fonts/quillnote-fonts.conf");
    QStringList candidates{QDir(exeDir).filePath(name)};
    const QString share = InstalledShareDir(exeDir);
    if (!share.isEmpty())
        candidates << QDir(share).filePath(name);
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

void UseShippedFontAliases(const char* argv0) {
    if (std::getenv("FONTCONFIG_FILE") != nullptr)
        return;
    const QString aliases = ShippedFontAliases(ExecutableDir(argv0));
    if (!aliases.isEmpty())
        ::setenv("FONTCONFIG_FILE", QFile::encodeName(aliases).constData(), 0);
}

} // namespace quill
