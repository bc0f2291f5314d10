#include "platform/resources.h"

#include "core/app_error.h"

#include <QFile>
#include <QFileInfo>

// The resource files are compiled into the platform library's archive; naming
// their initialisers keeps the linker from dropping them.
static void InitResourcesOnce() {
    static const bool done = [] {
        Q_INIT_RESOURCE(quillnote_icons);
        Q_INIT_RESOURCE(quillnote_sounds);
        return true;
    }();
    (void)done;
}

namespace quill {

void InitPlatformResources() {
    InitResourcesOnce();
}

namespace {

[[noreturn]] void Fail(const char* what, const QString& path, const QString& reason) {
    throw AppError(
        QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), path, reason).toStdString());
}

} // namespace

void ExtractResourceToFile(const QString& resourcePath, const QString& targetPath) {
    InitPlatformResources();
    QFile source(resourcePath);
    if (!source.open(QIODevice::ReadOnly))
        Fail("Cannot open file", resourcePath, source.errorString());
    const QByteArray bytes = source.readAll();

    QFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail("Cannot create file", targetPath, target.errorString());
    if (target.write(bytes) != bytes.size() || !target.flush()) {
        const QString reason = target.errorString();
        target.close();
        // A half-written file would count as present on the next start.
        target.remove();
        Fail("Cannot create file", targetPath, reason);
    }
}

bool ExtractResourceIfMissing(const QString& resourcePath, const QString& targetPath) {
    if (FileExists(targetPath))
        return false;
    ExtractResourceToFile(resourcePath, targetPath);
    return true;
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace quill
