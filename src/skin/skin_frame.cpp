#include "skin_frame.h"

#include "widgets/window_move_rule.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quill {
namespace {
constexpr int kGrip = 6; // width of the resize zone along an edge
const char* const kFrameProperty = "quill_skin_frame";
} // namespace

SkinWindowFrame::SkinWindowFrame(std::shared_ptr<const SkinData> data,
                                 const SkinWindowTemplate& templ, QWidget* window,
                                 const std::function<void(SkinButton*)>& onClick)
    : QWidget(window), data_(std::move(data)), templ_(templ), window_(window),
      templateObject_(new SkinTemplateObject(templ.name, this)) {
    setObjectName(QStringLiteral("quill_skin_frame"));
    setAttribute(Qt::WA_MouseTracking);
    setFocusPolicy(Qt::NoFocus);
    window->setProperty(kFrameProperty, QVariant::fromValue<QObject*>(this));
    for (const SkinButtonLayout& layout : templ_.buttons) {
        auto* button = new SkinButton(data_, layout, templateObject_, window);
        // The button is the connection's context: the hookup dies with it.
        connect(button, &QAbstractButton::clicked, button, [onClick, button] { onClick(button); });
        buttons_.push_back(button);
        button->show();
        button->raise();
    }
    window->installEventFilter(this);
    Relayout();
    lower();
    show();
}

SkinWindowFrame::~SkinWindowFrame() {
    Detach();
}

SkinWindowFrame* SkinWindowFrame::Of(const QWidget* window) {
    if (!window)
        return nullptr;
    return qobject_cast<SkinWindowFrame*>(window->property(kFrameProperty).value<QObject*>());
}

QVector<SkinButton*> SkinWindowFrame::Buttons() const {
    QVector<SkinButton*> out;
    for (const auto& b : buttons_) {
        if (b)
            out.push_back(b);
    }
    return out;
}

void SkinWindowFrame::Detach() {
    if (window_) {
        window_->removeEventFilter(this);
        if (Of(window_) == this)
            window_->setProperty(kFrameProperty, QVariant());
    }
    for (const auto& b : buttons_) {
        if (!b)
            continue;
        b->hide();
        b->disconnect();
        b->setParent(nullptr);
        b->deleteLater(); // it may be inside its own clicked() right now
    }
    buttons_.clear();
    hide();
}

void SkinWindowFrame::Relayout() {
    if (!window_)
        return;
    setGeometry(window_->rect());
    for (const auto& b : buttons_) {
        if (b)
            b->Place(window_->size());
    }
}

bool SkinWindowFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show: // a hidden window gets its resize events only now
            Relayout();
            break;
        case QEvent::WindowTitleChange:
        case QEvent::ActivationChange:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SkinWindowFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal dpr = devicePixelRatioF();
    DrawSlicedPixmap(p, rect(), data_->Pixmap(templ_.frame, dpr), templ_.frameSlice);

    const SkinTitleSpec& t = templ_.title;
    QRect box(t.left, t.top, width() - t.left - t.right, t.height);
    if (!t.icon.isEmpty()) {
        const QPixmap icon = data_->Pixmap(t.icon, dpr);
        const QSize s = icon.deviceIndependentSize().toSize();
        p.drawPixmap(QPoint(box.left(), box.top() + (box.height() - s.height()) / 2), icon);
        box.setLeft(box.left() + s.width() + 8);
    }
    const QString caption = t.caption.isEmpty() && window_ ? window_->windowTitle() : t.caption;
    if (caption.isEmpty() || box.width() <= 0)
        return;
    const QFont f = SkinFont(t.font, font());
    p.setFont(f);
    QColor color = t.color;
    if (window_ && !window_->isActiveWindow() && window_->isVisible())
        color.setAlphaF(color.alphaF() * 0.7f); // an inactive window's caption recedes
    p.setPen(color);
    const QString shown = QFontMetrics(f).elidedText(caption, Qt::ElideRight, box.width());
    p.drawText(box, static_cast<int>(t.align), shown);
}

SkinWindowFrame::Drag SkinWindowFrame::HitTest(const QPoint& pos) const {
    if (templ_.resizable) {
        const bool right = pos.x() >= width() - kGrip;
        const bool bottom = pos.y() >= height() - kGrip;
        if (right && bottom)
            return Drag::Corner;
        if (right)
            return Drag::Right;
        if (bottom)
            return Drag::Bottom;
    }
    if (pos.y() < templ_.margins.top())
        return Drag::Move;
    return Drag::None;
}

void SkinWindowFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !window_) {
        QWidget::mousePressEvent(event);
        return;
    }
    drag_ = HitTest(event->position().toPoint());
    pressGlobal_ = event->globalPosition().toPoint();
    pressGeometry_ = window_->geometry();
    event->accept();
}

void SkinWindowFrame::mouseMoveEvent(QMouseEvent* event) {
    if (!window_)
        return;
    if (drag_ == Drag::None) {
        switch (HitTest(event->position().toPoint())) {
        case Drag::Corner:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case Drag::Right:
            setCursor(Qt::SizeHorCursor);
            break;
        case Drag::Bottom:
            setCursor(Qt::SizeVerCursor);
            break;
        default:
            unsetCursor();
            break;
        }
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    if (drag_ == Drag::Move) {
        // Moving by hand works with every window manager and offscreen. The
        // window's effects may snap the position to an edge before it moves.
        const QPoint to = ApplyMoveRule(
            window_, QRect(pressGeometry_.topLeft() + delta, window_->frameGeometry().size()));
        window_->move(to);
        return;
    }
    const int minW = std::max({templ_.minWidth, window_->minimumWidth(),
                               templ_.margins.left() + templ_.margins.right() + 1});
    const int minH = std::max({templ_.minHeight, window_->minimumHeight(),
                               templ_.margins.top() + templ_.margins.bottom() + 1});
    int w = pressGeometry_.width();
    int h = pressGeometry_.height();
    if (drag_ == Drag::Right || drag_ == Drag::Corner)
        w = std::max(minW, w + delta.x());
    if (drag_ == Drag::Bottom || drag_ == Drag::Corner)
        h = std::max(minH, h + delta.y());
    window_->resize(std::min(w, window_->maximumWidth()), std::min(h, window_->maximumHeight()));
}

void SkinWindowFrame::mouseReleaseEvent(QMouseEvent* event) {
    drag_ = Drag::None;
    QWidget::mouseReleaseEvent(event);
}

} // namespace quill
