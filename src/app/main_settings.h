#pragma once
// The main window's own settings: where the window stands, the skin, and the
// category chosen in its drop-down list.

#include <QRect>
#include <QString>

namespace quill {

class SettingsStore;

struct MainWindowSettings {
    QRect geometry; // "Left", "Top", "Width", "Height"
    QString skin;   // "Skin"
    int group = 0;  // "MainFormGroup"
};

MainWindowSettings ReadMainWindowSettings(const SettingsStore& store);

// Writes "Left", "Top", "Width", "Height" and then "Skin", in that order; a write
// that fails throws AppError and stops the rest.
void WriteMainWindowSettings(SettingsStore& store, const QRect& geometry, const QString& skin);

} // namespace quill
