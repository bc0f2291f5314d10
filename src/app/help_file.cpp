#include "help_file.h"

#include <QDir>
#include <QFileInfo>

namespace quill {

QString HelpFilePath(const QString& exeDir, const QString& sharedDir,
                     const FileAction& chmHasOpener) {
    const QDir dir(exeDir);
    QString chm = dir.filePath(QString::fromLatin1(kHelpChmName));
    if (QFileInfo(chm).isFile() && chmHasOpener && chmHasOpener(chm))
        return chm;
    QString html = dir.filePath(QString::fromLatin1(kHelpHtmlName));
    if (!QFileInfo(html).isFile() && !sharedDir.isEmpty()) {
        QString shared = QDir(sharedDir).filePath(QString::fromLatin1(kHelpHtmlName));
        if (QFileInfo(shared).isFile())
            return shared;
    }
    return html;
}

QString OpenHelp(const QString& exeDir, const QString& sharedDir, const FileAction& open,
                 const FileAction& chmHasOpener) {
    const QString path = HelpFilePath(exeDir, sharedDir, chmHasOpener);
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("The help file \"%1\" was not found. Reinstalling Quillnote "
                              "puts it back.")
            .arg(QDir::toNativeSeparators(path));
    if (!info.isReadable())
        return QStringLiteral("The help file \"%1\" cannot be read.")
            .arg(QDir::toNativeSeparators(path));
    if (!open(path))
        return QStringLiteral("The help file \"%1\" could not be opened: no program to show "
                              "it was found.")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

} // namespace quill
