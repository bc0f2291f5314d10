#pragma once
// The skins on disk: where they live, their names, and the "Skins" submenu.

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class QAction;

namespace quill {

// The skins directory beside the executable: "Skins", or "skins" when only that
// exists (file systems here are case-sensitive). "Skins" when neither exists.
QString SkinsDirectory(const QString& exeDir);

// Skin names of the "*.skn" files of `skinsDir`, in the order the directory
// lists them: first letter upper-cased (ASCII only), extension dropped.
QStringList GetSkinList(const QString& skinsDir);

// The file of the skin `name`: "<Skins>/<name>.skn", or, when that does not
// exist, the one ".skn" file whose name matches it ignoring case. Returns the
// exact path (which may not exist) when nothing matches.
QString FindSkinFile(const QString& exeDir, const QString& name);

// The skins of several folders, the first folder's first; a name already listed
// from an earlier folder (ignoring case) is not listed again, so a user's skin
// hides a shipped one of the same name.
QStringList GetSkinListIn(const QStringList& skinFolders);

// The file of the skin `name` from the first folder that has it (as FindSkinFile
// matches); the first folder's exact path when none has it.
QString FindSkinFileIn(const QStringList& skinFolders, const QString& name);

// The "Skins" submenu: rebuilt from the skin list each time the menu opens,
// reporting a click as the skin menu does (the clicked item checked, every "&"
// removed from its caption, the others unchecked).
class SkinMenu : public QObject {
    Q_OBJECT
public:
    explicit SkinMenu(QMenu* menu, QObject* parent = nullptr);

    // Removes all items, then adds one checkable item per name, checked when its
    // caption equals currentSkin exactly.
    void Rebuild(const QStringList& names, const QString& currentSkin);

    // What a click on `item` does; returns the cleaned caption (the new skin name).
    QString Click(QAction* item);

Q_SIGNALS:
    // The user chose a skin: set SkinName to `name` and load it.
    void SkinChosen(const QString& name);

private:
    QMenu* menu_;
};

} // namespace quill
