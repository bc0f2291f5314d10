#include "skin_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

namespace quill {

void DrawSlicedPixmap(QPainter& painter, const QRect& target, const QPixmap& picture,
                      const QMargins& slice) {
    if (picture.isNull() || target.isEmpty())
        return;
    const QSize logical = picture.deviceIndependentSize().toSize();
    // Borders wider than the picture or the target would fold over: shrink them.
    QMargins m = slice;
    m.setLeft(std::min(m.left(), std::min(logical.width(), target.width()) / 2));
    m.setRight(std::min(m.right(), std::min(logical.width(), target.width()) / 2));
    m.setTop(std::min(m.top(), std::min(logical.height(), target.height()) / 2));
    m.setBottom(std::min(m.bottom(), std::min(logical.height(), target.height()) / 2));
    qDrawBorderPixmap(&painter, target, m, picture);
}

SkinButton::SkinButton(std::shared_ptr<const SkinData> data, const SkinButtonSpec& spec,
                       ISkinObject* templ, QWidget* parent)
    : QAbstractButton(parent), data_(std::move(data)), spec_(spec), templ_(templ) {
    setObjectName(spec.name);
    setText(spec.text);
    setAccessibleName(spec.accessibleName);
    if (spec.text.isEmpty())
        setToolTip(spec.accessibleName);
    // Tab reaches the button; a mouse click does not take the focus from the
    // window's own controls.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    resize(spec.width, spec.height);
    const auto style = data_->manifest.buttonStyles.constFind(spec.style);
    if (style != data_->manifest.buttonStyles.constEnd() && !style->font.family.isEmpty()) {
        QFont f = font();
        f.setFamily(style->font.family);
        if (style->font.pointSize > 0)
            f.setPointSize(style->font.pointSize);
        f.setBold(style->font.bold);
        setFont(f);
    }
}

void SkinButton::Place(const QSize& windowSize) {
    const int x = spec_.fromRight ? windowSize.width() - spec_.x - spec_.width : spec_.x;
    const int y = spec_.fromBottom ? windowSize.height() - spec_.y - spec_.height : spec_.y;
    setGeometry(x, y, spec_.width, spec_.height);
}

SkinButtonState SkinButton::State() const {
    if (!isEnabled())
        return kButtonDisabled;
    if (isDown())
        return kButtonPressed;
    if (hovered_ || underMouse())
        return kButtonHover;
    return kButtonNormal;
}

void SkinButton::paintEvent(QPaintEvent*) {
    const auto styleIt = data_->manifest.buttonStyles.constFind(spec_.style);
    if (styleIt == data_->manifest.buttonStyles.constEnd())
        return;
    const SkinButtonStyle& style = *styleIt;
    const SkinButtonState state = State();
    const qreal dpr = devicePixelRatioF();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawSlicedPixmap(p, rect(), data_->Pixmap(style.images[state], dpr), style.slice);

    QPixmap icon = spec_.icon.isEmpty() ? QPixmap() : data_->Pixmap(spec_.icon, dpr);
    const QSize iconSize = icon.isNull() ? QSize() : icon.deviceIndependentSize().toSize();
    const QFontMetrics fm(font());
    const int textWidth = text().isEmpty() ? 0 : fm.horizontalAdvance(text());
    const int gap = (!icon.isNull() && textWidth > 0) ? 6 : 0;
    const int contentWidth = iconSize.width() + gap + textWidth;
    int x = (width() - contentWidth) / 2;
    const int shift = state == kButtonPressed ? 1 : 0; // pressed content sinks a pixel
    if (!icon.isNull()) {
        if (state == kButtonDisabled)
            p.setOpacity(0.45);
        p.drawPixmap(QPoint(x, (height() - iconSize.height()) / 2 + shift), icon);
        p.setOpacity(1.0);
        x += iconSize.width() + gap;
    }
    if (textWidth > 0) {
        p.setPen(style.textColors[state]);
        p.drawText(QRect(x, shift, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft,
                   text());
    }
    if (hasFocus()) {
        QPen pen(style.focusColor, 1.5);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    }
}

void SkinButton::keyPressEvent(QKeyEvent* event) {
    // Space is the button's own key already; Enter works too while it has focus.
    if (!event->isAutoRepeat() &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        animateClick();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SkinButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace quill
