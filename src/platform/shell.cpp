#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace quill {

bool OpenWithShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quill
