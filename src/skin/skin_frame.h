#pragma once
// The frame a window template puts on a window: frame picture, title bar with
// the window's caption, the template's buttons, moving by the title bar and
// resizing at the edges where the template allows it.

#include "skin_button.h"

#include <QPointer>
#include <QVector>
#include <QWidget>
#include <functional>

namespace quill {

class SkinWindowFrame : public QWidget {
    Q_OBJECT
public:
    // Takes the window's whole area, behind its other children. `onClick` is
    // called with the button for every click of a template button.
    SkinWindowFrame(std::shared_ptr<const SkinData> data, const SkinWindowTemplate& templ,
                    QWidget* window, const std::function<void(SkinButton*)>& onClick);
    ~SkinWindowFrame() override;

    const QString& TemplateName() const { return templ_.name; }
    const SkinData* Data() const { return data_.get(); }
    QVector<SkinButton*> Buttons() const;

    // Takes the frame and its buttons off the window at once (safe while one of
    // its buttons is delivering a click).
    void Detach();

    // The frame of `window`, if a template is applied to it.
    static SkinWindowFrame* Of(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Move, Right, Bottom, Corner };
    Drag HitTest(const QPoint& pos) const;
    void Relayout();

    std::shared_ptr<const SkinData> data_;
    SkinWindowTemplate templ_;
    QPointer<QWidget> window_;
    SkinTemplateObject* templateObject_;
    QVector<QPointer<SkinButton>> buttons_;
    Drag drag_ = Drag::None;
    QPoint pressGlobal_;
    QRect pressGeometry_;
};

} // namespace quill
