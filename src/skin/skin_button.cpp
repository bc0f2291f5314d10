#include "skin_button.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quill {

namespace {

// The buttons the program acts on, in words: the name a screen reader says when
// the skin gives none a person understands, and what a press does.
struct ButtonWords {
    const char* templ; // empty: in any window
    const char* name;
    const char* words;
    const char* does;
};
constexpr ButtonWords kButtonWords[] = {
    {"MainForm", "ButtonMinimize", "Minimize", "Hides the window to the notification area"},
    {"MainForm", "AddButton", "Add task", "Adds a task"},
    {"MainForm", "RemoveButton", "Delete task", "Deletes the selected task"},
    {"MainForm", "SettingsButton", "Settings", "Opens the settings"},
    {"CategoriesForm", "ButtonMinimize", "Close", "Closes the categories window"},
    {"CategoriesForm", "AddButton", "Add category", "Adds a category"},
    {"CategoriesForm", "RemoveButton", "Delete category", "Deletes the selected category"},
    {"CategoriesForm", "EditButton", "Edit category", "Edits the selected category"},
    {"ReminderForm", "EditButton", "Edit task", "Opens the task in the editor"},
    {"", "PrintButton", "Print", "Opens the print options"},
    {"", "OKButton", "OK", ""},
    {"", "CancelButton", "Cancel", ""},
};

const ButtonWords* FindButtonWords(const QString& templ, const QString& name) {
    for (const ButtonWords& b : kButtonWords) {
        if (name == QLatin1String(b.name) && (!*b.templ || templ == QLatin1String(b.templ)))
            return &b;
    }
    return nullptr;
}

// A name of no letters or digits ("×", "…") or the button's own name
// ("OKButton") says nothing to a listener.
bool SaysSomething(const QString& text, const QString& buttonName) {
    return text != buttonName &&
           std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

QString ButtonAccessibleName(const QString& templ, const SkinButtonLayout& layout) {
    if (SaysSomething(layout.accessibleName, layout.name))
        return layout.accessibleName;
    if (const ButtonWords* words = FindButtonWords(templ, layout.name))
        return QString::fromLatin1(words->words);
    // A button of the skin's own: its name without "Button", words split at capitals.
    QString plain = layout.name;
    plain.remove(QStringLiteral("Button"));
    QString name;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (i > 0 && plain[i].isUpper() && plain[i - 1].isLower() && plain[i - 1].unicode() < 128 &&
            plain[i].unicode() < 128)
            name += u' ';
        name += plain[i];
    }
    return name.trimmed().isEmpty() ? layout.name : name.trimmed();
}

void DrawSlicedPixmap(QPainter& painter, const QRect& target, const QPixmap& picture,
                      const QMargins& slice) {
    if (picture.isNull() || target.isEmpty())
        return;
    const qreal dpr = picture.devicePixelRatio();
    const QSizeF logical = picture.deviceIndependentSize();
    // Borders wider than the picture or the target would fold over: shrink them.
    const qreal maxX = std::min<qreal>(logical.width(), target.width()) / 2.0;
    const qreal maxY = std::min<qreal>(logical.height(), target.height()) / 2.0;
    const qreal l = std::min<qreal>(slice.left(), maxX);
    const qreal r = std::min<qreal>(slice.right(), maxX);
    const qreal t = std::min<qreal>(slice.top(), maxY);
    const qreal b = std::min<qreal>(slice.bottom(), maxY);
    // Columns and rows of the nine pieces: source in the picture's own pixels,
    // target in logical pixels.
    const qreal sx[4] = {0, l * dpr, (logical.width() - r) * dpr, logical.width() * dpr};
    const qreal sy[4] = {0, t * dpr, (logical.height() - b) * dpr, logical.height() * dpr};
    const qreal tx[4] = {qreal(target.left()), target.left() + l,
                         target.left() + target.width() - r, qreal(target.left() + target.width())};
    const qreal ty[4] = {qreal(target.top()), target.top() + t, target.top() + target.height() - b,
                         qreal(target.top() + target.height())};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF src(QPointF(sx[col], sy[row]), QPointF(sx[col + 1], sy[row + 1]));
            const QRectF dst(QPointF(tx[col], ty[row]), QPointF(tx[col + 1], ty[row + 1]));
            if (src.width() > 0 && src.height() > 0 && dst.width() > 0 && dst.height() > 0)
                painter.drawPixmap(dst, picture, src);
        }
    }
}

SkinButton::SkinButton(std::shared_ptr<const SkinData> data, const SkinButtonLayout& layout,
                       ISkinObject* templ, QWidget* parent)
    : QAbstractButton(parent), data_(std::move(data)), layout_(layout), templ_(templ) {
    setObjectName(layout.name);
    setText(layout.text);
    const QString templName = templ ? templ->GetName() : QString();
    setAccessibleName(ButtonAccessibleName(templName, layout));
    if (const ButtonWords* words = FindButtonWords(templName, layout.name))
        setAccessibleDescription(QString::fromLatin1(words->does));
    if (layout.text.isEmpty())
        setToolTip(accessibleName());
    // Tab reaches the button; a mouse click does not take the focus from the
    // window's own controls.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    resize(layout.width, layout.height);
    const auto style = data_->manifest.buttonStyles.constFind(layout.style);
    if (style != data_->manifest.buttonStyles.constEnd() && SetsFont(style->font))
        setFont(SkinFont(style->font, font()));
}

void SkinButton::Place(const QSize& windowSize) {
    const int x = layout_.fromRight ? windowSize.width() - layout_.x - layout_.width : layout_.x;
    const int y = layout_.fromBottom ? windowSize.height() - layout_.y - layout_.height : layout_.y;
    setGeometry(x, y, layout_.width, layout_.height);
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
    const auto styleIt = data_->manifest.buttonStyles.constFind(layout_.style);
    if (styleIt == data_->manifest.buttonStyles.constEnd())
        return;
    const SkinButtonStyle& style = *styleIt;
    const SkinButtonState state = State();
    const qreal dpr = devicePixelRatioF();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawSlicedPixmap(p, rect(), data_->Pixmap(style.images[state], dpr), style.slice);

    QPixmap icon = layout_.icon.isEmpty() ? QPixmap() : data_->Pixmap(layout_.icon, dpr);
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
    if (hasFocus() && keyboardFocus_) {
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

void SkinButton::focusInEvent(QFocusEvent* event) {
    const auto reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                     reason == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
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
