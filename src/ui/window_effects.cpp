#include "window_effects.h"

#include "platform/window_ops.h"
#include "widgets/window_move_rule.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QWidget>
#include <QWindow>

namespace quill {
namespace {
const char* const kEffectsProperty = "quill_window_effects";
}

WindowEffects::WindowEffects(QWidget* window, std::function<bool()> transparency, bool& alphaBlend,
                             int& alphaValue)
    : QObject(window), window_(window), transparency_(std::move(transparency)),
      alphaBlend_(alphaBlend), alphaValue_(alphaValue) {
    cursorPos = [] { return WindowOps::CursorPos(); };
    tickCount = [] { return WindowOps::TickCount(); };
    workArea = [this] { return WindowOps::WorkArea(window_); };
    window->setProperty(kEffectsProperty, QVariant::fromValue<QObject*>(this));
    // A move by the skin's title bar snaps as the window manager's moves do.
    SetMoveRule(window, [this](const QRect& proposed) { return SnapToWorkArea(proposed); });
    window->installEventFilter(this);

    // The program's active window stays its active window while another program
    // is in front: that is when the pointer is usually away.
    lastActive_ = QGuiApplication::focusWindow();
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (focus)
            lastActive_ = focus;
    });

    moveSettled_.setSingleShot(true);
    moveSettled_.setInterval(kMoveSettleMs);
    connect(&moveSettled_, &QTimer::timeout, this, [this] { SnapAfterWindowManagerMove(); });

    trnspTimer.setInterval(kFadeInterval);
    connect(&trnspTimer, &QTimer::timeout, this, [this] { trnspTimerTimer(); });
    trnspTimer.start();
}

WindowEffects::~WindowEffects() {
    if (window_ && Of(window_) == this)
        window_->setProperty(kEffectsProperty, QVariant());
}

WindowEffects* WindowEffects::Of(const QWidget* window) {
    if (!window)
        return nullptr;
    return qobject_cast<WindowEffects*>(window->property(kEffectsProperty).value<QObject*>());
}

bool WindowEffects::IsActiveForm() const {
    if (!window_)
        return false;
    const QWindow* active = QGuiApplication::focusWindow();
    if (!active)
        active = lastActive_;
    return active && active == window_->windowHandle();
}

void WindowEffects::trnspTimerTimer() {
    if (!window_)
        return;
    const FadeState before{FadeStartTick, alphaBlend_, alphaValue_};
    FadeInput in;
    in.transparency = transparency_ && transparency_();
    in.activeForm = IsActiveForm();
    in.cursor = cursorPos();
    in.window = window_->frameGeometry();
    in.tick = tickCount();
    const FadeState after = FadeTick(before, in);
    FadeStartTick = after.fadeStartTick;
    if (after.alphaBlend == before.alphaBlend && after.alphaValue == before.alphaValue)
        return;
    alphaBlend_ = after.alphaBlend;
    alphaValue_ = after.alphaValue;
    WindowOps::SetOpacity(window_, alphaBlend_ ? alphaValue_ / 255.0 : 1.0);
}

QPoint WindowEffects::SnapToWorkArea(const QRect& proposed) const {
    const QSize current = window_ ? window_->frameGeometry().size() : QSize();
    return quill::SnapToWorkArea(proposed, current, workArea(), EdgeDockMode);
}

void WindowEffects::SnapAfterWindowManagerMove() {
    if (!window_ || !window_->isVisible())
        return;
    // Still being dragged by our own title bar: that drag snaps every step.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        moveSettled_.start();
        return;
    }
    const QRect outer = window_->frameGeometry();
    const QPoint to = SnapToWorkArea(outer);
    if (to != outer.topLeft())
        window_->move(to);
}

bool WindowEffects::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Move) {
            // A move the window system reports (the window manager's, or the end of
            // one of ours) is snapped once the window stands still; like a drag, the
            // first move after a resize is not.
            if (event->spontaneous() && EdgeDockMode == kDockMoved)
                moveSettled_.start();
            NoteWindowMoved();
        } else if (event->type() == QEvent::Resize) {
            NoteWindowResized();
            moveSettled_.stop();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quill
