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

// Writes "Left", "Top", "Width", "Height" and then "Skin", in that order. Every
// value is tried; when any fails, one AppError is thrown at the end.
void WriteMainWindowSettings(SettingsStore& store, const QRect& geometry, const QString& skin);

} // namespace quill
