#pragma once
// The generic look of standard controls (check boxes, drop-down lists, edits,
// date and time pickers, push buttons, scroll bars) built from a skin, and the
// "VScrollBar" and "Label" control templates.

#include "skin_data.h"

#include <QPalette>
#include <QString>

class QWidget;

namespace quill {

// Writes the control pictures the style sheet refers to into `dir`, at 1x and
// 2x ("name.png", "name@2x.png"). False when the directory cannot be written.
bool WriteControlPictures(const SkinData& data, const QString& dir);

QPalette BuildControlsPalette(const SkinControlsLook& look, const QPalette& base);
// `pictureDir` is where WriteControlPictures put the pictures; empty for none.
QString BuildControlsStyleSheet(const SkinData& data, const QString& pictureDir);
QString BuildScrollBarStyleSheet(const SkinScrollBarTemplate& bar);

void ApplyLabelTemplate(QWidget* label, const SkinLabelTemplate& templ);

} // namespace quill
