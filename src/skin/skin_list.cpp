#include "skin_list.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMenu>

namespace quill {

QString SkinsDirectory(const QString& exeDir) {
    const QDir dir(exeDir);
    for (const char* name : {"Skins", "skins"}) {
        QString path = dir.filePath(QString::fromLatin1(name));
        if (QFileInfo(path).isDir())
            return path;
    }
    // Any other spelling ("SKINS") that exists is the same directory to the user.
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (entry.compare(QLatin1String("skins"), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(QStringLiteral("Skins"));
}

QStringList GetSkinList(const QString& skinsDir) {
    QStringList names;
    // Unsorted: the order the file system returns. The skins menu and the settings
    // dialog's list both read this, so they show the skins in the same order.
    QDirIterator it(skinsDir, {QStringLiteral("*.skn")}, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        // The pattern matches any case of ".skn": skins are often copied from file
        // systems that ignore case.
        name.chop(4);
        if (!name.isEmpty() && name[0].unicode() >= 'a' && name[0].unicode() <= 'z')
            name[0] = QChar(name[0].unicode() - 'a' + 'A');
        names.push_back(name);
    }
    return names;
}

namespace {
// The skin file `name` in `skinsDir`: the exact name, or the one whose name
// matches it ignoring case; empty when there is none.
QString SkinFileInFolder(const QString& skinsDir, const QString& name) {
    const QDir dir(skinsDir);
    const QString wanted = name + QStringLiteral(".skn");
    QString exact = dir.filePath(wanted);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return {};
}
} // namespace

QStringList GetSkinListIn(const QStringList& skinFolders) {
    QStringList names;
    for (const QString& folder : skinFolders) {
        for (const QString& name : GetSkinList(folder)) {
            if (!names.contains(name, Qt::CaseInsensitive))
                names << name;
        }
    }
    return names;
}

QString FindSkinFileIn(const QStringList& skinFolders, const QString& name) {
    for (const QString& folder : skinFolders) {
        QString found = SkinFileInFolder(folder, name);
        if (!found.isEmpty())
            return found;
    }
    return skinFolders.isEmpty()
               ? QString()
               : QDir(skinFolders.first()).filePath(name + QStringLiteral(".skn"));
}

QString FindSkinFile(const QString& exeDir, const QString& name) {
    return FindSkinFileIn({SkinsDirectory(exeDir)}, name);
}

SkinMenu::SkinMenu(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) {}

void SkinMenu::Rebuild(const QStringList& names, const QString& currentSkin) {
    for (QAction* action : menu_->actions()) {
        menu_->removeAction(action);
        action->deleteLater(); // may be the action whose click is being handled
    }
    for (const QString& name : names) {
        // "&" would make a mnemonic of the next letter: doubled, it shows as itself.
        QString caption = name;
        caption.replace(u'&', QStringLiteral("&&"));
        auto* item = new QAction(caption, menu_);
        item->setData(name);
        item->setCheckable(true);
        item->setChecked(name == currentSkin);
        connect(item, &QAction::triggered, this, [this, item] {
            const QString chosen = Click(item);
            Q_EMIT SkinChosen(chosen);
        });
        menu_->addAction(item);
    }
}

QString SkinMenu::Click(QAction* item) {
    for (QAction* action : menu_->actions())
        action->setChecked(action == item);
    // The skin's own name, whatever the caption shows.
    return item->data().toString();
}

} // namespace quill
