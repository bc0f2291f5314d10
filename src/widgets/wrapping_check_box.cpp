#include "wrapping_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quill {

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    // The style draws the box alone; the caption is drawn wrapped beside it.
    option.text.clear();
    p.drawControl(QStyle::CE_CheckBox, option);
    option.text = caption;
    QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    textRect.setTop(0);
    textRect.setBottom(height() - 1);
    p.drawItemText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, option.palette,
                   isEnabled(), caption, QPalette::WindowText);
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

} // namespace quill
