#pragma once
// Where this copy of the program keeps the user's files: the data file, the
// written-out alarm sound and the user's own skins.
//
// A copy run from a folder its user can write (the build folder, a USB stick)
// keeps them beside the executable: it is "portable". An installed copy sits in a
// folder the user cannot write and may serve several users, so it keeps them in
// the user's data folder, $XDG_DATA_HOME/Tolvane/Quillnote, and reads the shipped
// skins from its share folder as well. One rule decides, in this order:
//   1. a data file beside the executable: portable (that file always wins, so two
//      data files are never used by turns);
//   2. an installed share folder (<prefix>/share/quillnote beside <prefix>/bin):
//      installed, even when the user could write the executable's folder (root);
//   3. a writable executable folder: portable;
//   4. otherwise installed.

#include <QString>
#include <QStringList>

namespace quill {

struct DataLocation {
    bool portable = true;
    QString dataDir;   // the data file, "alarm.wav" and the user's "Skins" folder
    QString sharedDir; // the installed share folder; empty for a portable copy
    QString DataFilePath() const;
    // The folders skins are read from, the user's first: a skin of the user's
    // wins over a shipped one of the same name.
    QStringList SkinFolders() const;
};

// The installed share folder of an executable in `exeDir` ("<exeDir>/../share/
// quillnote" when it holds a "Skins" folder), or an empty string.
QString InstalledShareDir(const QString& exeDir);

// The rule above. `userDataHome` is $XDG_DATA_HOME (usually ~/.local/share).
DataLocation ChooseDataLocation(const QString& exeDir, const QString& userDataHome);

// The rule for this process: its executable's folder and the user's data home.
DataLocation CurrentDataLocation();

} // namespace quill
