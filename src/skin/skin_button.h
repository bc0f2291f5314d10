#pragma once
// A button of a window template: drawn from the skin's button style pictures in
// its normal, hover, pressed and disabled states, reachable by keyboard, named
// for screen readers, and an ISkinObject whose parent is its template.

#include "skin.h"
#include "skin_data.h"

#include <QAbstractButton>
#include <memory>

namespace quill {

// The window template a set of buttons belongs to.
class SkinTemplateObject : public QObject, public ISkinObject {
    Q_OBJECT
public:
    SkinTemplateObject(const QString& name, QObject* parent) : QObject(parent), name_(name) {}
    QString GetName() const override { return name_; }
    ISkinObject* GetParent() const override { return nullptr; }

private:
    QString name_;
};

class SkinButton : public QAbstractButton, public ISkinObject {
    Q_OBJECT
public:
    SkinButton(std::shared_ptr<const SkinData> data, const SkinButtonLayout& layout,
               ISkinObject* templ, QWidget* parent);

    QString GetName() const override { return layout_.name; }
    ISkinObject* GetParent() const override { return templ_; }

    // Places the button by its anchors inside a window of `windowSize`.
    void Place(const QSize& windowSize);
    QSize sizeHint() const override { return {layout_.width, layout_.height}; }
    // Shows the hover look without a pointer (previews of the button states).
    void SetHovered(bool on) {
        hovered_ = on;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    SkinButtonState State() const;

    std::shared_ptr<const SkinData> data_;
    SkinButtonLayout layout_;
    ISkinObject* templ_;
    bool hovered_ = false;
    bool keyboardFocus_ = false; // the focus ring shows only for focus reached by keys
};

// What a screen reader calls the button: the skin's accessible name (or text)
// when it is words, else the program's name for the button of `templ`, else the
// button's name as words ("ButtonMinimize": "Minimize").
QString ButtonAccessibleName(const QString& templ, const SkinButtonLayout& layout);

// Draws `picture` stretched over `target`, keeping the `slice` borders (1x
// pixels) unstretched.
void DrawSlicedPixmap(QPainter& painter, const QRect& target, const QPixmap& picture,
                      const QMargins& slice);

} // namespace quill
