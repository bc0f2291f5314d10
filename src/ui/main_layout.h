#pragma once
// Where the main window's resize handling puts the list, its scroll bar, the
// category combo box and its label. Pure arithmetic on the client size and the
// skin's margins.

#include <QRect>
#include <QSize>

namespace quill {

struct SkinParams;

struct MainLayout {
    QRect list;      // StringGrid1
    QRect scrollBar; // ScrollBar1: its place is kept whether or not it is shown
    QRect comboBox;  // ComboBox1, at the size it has
    QRect label;     // SkinLabel1 ("Category:"), at the size it has
};

// cw, ch: the main window's client size. Negative sizes come out as 0.
MainLayout ComputeMainLayout(int cw, int ch, const SkinParams& params, QSize comboSize,
                             QSize labelSize);

} // namespace quill
