#pragma once
// The drawings of one skin's pictures, painted from a few theme colours.

#include <QColor>
#include <QString>

namespace quill::art {

struct Theme {
    QString name;
    QColor frameBorder; // outer 1 px line
    QColor titleBar;    // title bar fill
    QColor titleLine;   // line under the title bar
    QColor client;      // window background
    QColor strip;       // dialogs' bottom button strip
    QColor accent;      // primary buttons, title icon
    QColor accentHover, accentPressed, accentDisabled;
    QColor onAccent; // icons and text on the accent colour
    QColor surface;  // secondary buttons
    QColor surfaceHover, surfacePressed;
    QColor line;                     // secondary button border
    QColor icon;                     // icons on plain buttons
    QColor ghostHover, ghostPressed; // title and tool buttons
    QColor checkBox;                 // the list's empty check box outline
    QColor checkDone;                // the list's done check box fill
    QColor high, low, bell;
    QColor marks[10];
};

Theme LightTheme();
Theme DarkTheme();

// Writes every picture of the theme into `dir` as name.png and name@2x.png.
bool PaintSkinPictures(const Theme& theme, const QString& dir);

} // namespace quill::art
