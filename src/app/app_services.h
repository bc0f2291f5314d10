#pragma once
// What the program's windows share for the whole run: the executable's folder,
// the settings, the autostart entry, the tray icon and the task store. main()
// makes the real ones; tests make their own in a folder of their own.

#include "core/task_store.h"
#include "platform/data_location.h"

#include <QString>
#include <memory>

namespace quill {

class Autostart;
class SettingsStore;
class TrayIcon;

struct AppServices {
    AppServices();
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    QString exeDir;        // the executable's folder: help, font aliases
    DataLocation location; // the data file, the user's skins and the alarm sound
    QString stateDir;      // what an unattended close could not save or store
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Autostart> autostart;
    std::unique_ptr<TrayIcon> tray;
    TaskStore store; // the one store of the process

    QString DataFilePath() const;
    // The folders skins are read from, the user's first.
    QStringList SkinFolders() const { return location.SkinFolders(); }
};

// The services of a normal run: the executable's folder, where this copy keeps
// its data (beside itself, or in the user's data folder when installed), the user's settings
// file, the user's autostart folder and the desktop's tray.
std::unique_ptr<AppServices> MakeDefaultServices();

} // namespace quill
