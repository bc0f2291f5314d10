#include "data_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace quill {

namespace {
const QString kDataFileName = QStringLiteral("quillnote.dat");

// Whether this user may create files in `dir` (the operating system's own
// answer, so group and ACL rules count and read-only mounts too).
bool UserCanWrite(const QString& dir) {
    const QByteArray path = QFile::encodeName(dir);
    return ::access(path.constData(), W_OK | X_OK) == 0;
}

// The skins folder of `dir` as the program looks for it: "Skins", or "skins"
// when only that exists.
QString SkinsFolderOf(const QString& dir) {
    const QString lower = QDir(dir).filePath(QStringLiteral("skins"));
    const QString upper = QDir(dir).filePath(QStringLiteral("Skins"));
    return !QFileInfo(upper).isDir() && QFileInfo(lower).isDir() ? lower : upper;
}
} // namespace

QString DataLocation::DataFilePath() const {
    return QDir(dataDir).filePath(kDataFileName);
}

QStringList DataLocation::SkinFolders() const {
    QStringList folders{SkinsFolderOf(dataDir)};
    if (!sharedDir.isEmpty())
        folders << SkinsFolderOf(sharedDir);
    return folders;
}

QString InstalledShareDir(const QString& exeDir) {
    const QString share =
        QDir::cleanPath(QDir(exeDir).filePath(QStringLiteral("../share/quillnote")));
    return QFileInfo(QDir(share).filePath(QStringLiteral("Skins"))).isDir() ? share : QString();
}

DataLocation ChooseDataLocation(const QString& exeDir, const QString& userDataHome) {
    DataLocation location;
    const QString share = InstalledShareDir(exeDir);
    const bool portableFileExists = QFileInfo::exists(QDir(exeDir).filePath(kDataFileName));
    if (portableFileExists || (share.isEmpty() && UserCanWrite(exeDir))) {
        location.portable = true;
        location.dataDir = exeDir;
        return location;
    }
    location.portable = false;
    location.dataDir = QDir::cleanPath(userDataHome + QStringLiteral("/Tolvane/Quillnote"));
    location.sharedDir = share;
    return location;
}

DataLocation CurrentDataLocation() {
    return ChooseDataLocation(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace quill
