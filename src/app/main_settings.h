#pragma once
// The main window's own settings: where the window stands, the skin, and the
// category chosen in its drop-down list.

#include <QList>
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

// The drop-down position to show for a stored "MainFormGroup": the stored one
// when it names a category or "All" (at allPosition), otherwise "All". After
// categories were removed it may name "Edit Categories..." or nothing, which
// would start the program with an empty list.
int CategoryPositionToShow(int stored, int allPosition);

// Where a restored window goes so that the user can reach it: after a monitor
// was unplugged, or with values edited by hand, the stored place may be off every
// screen or the size nothing. The window gets at least its design size (or the
// screen's, when smaller); at least that much of it stays on the available area
// it overlaps most (the first area when it overlaps none), with its top edge,
// where the caption is, inside. A window that is reachable keeps its place.
QRect FitWindowToScreens(const QRect& stored, const QList<QRect>& availableAreas,
                         const QSize& designSize);

// Writes "Left", "Top", "Width", "Height" and then "Skin", in that order. Every
// value is tried; when any fails, one AppError is thrown at the end.
void WriteMainWindowSettings(SettingsStore& store, const QRect& geometry, const QString& skin);

} // namespace quill
