#pragma once
// The main window's effects: the fade driven by trnspTimer, and edge snapping of
// the moves the skin's title bar makes and of the moves the window manager makes.
// The arithmetic lives in window_fade.h and edge_snap.h; this class feeds it the
// pointer, the tick count, the window and its work area, and applies the result.

#include "edge_snap.h"
#include "window_fade.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>

class QWindow;

namespace quill {

class WindowEffects : public QObject {
    Q_OBJECT
public:
    // `alphaBlend` and `alphaValue` are the window's blending switch and value,
    // which the settings dialog and the resize handler change too. The timer runs
    // from here on.
    WindowEffects(QWidget* window, std::function<bool()> transparency, bool& alphaBlend,
                  int& alphaValue);
    ~WindowEffects() override;

    // The effects attached to `window`, if any (the skin's title bar asks).
    static WindowEffects* Of(const QWidget* window);

    QTimer trnspTimer;
    std::uint32_t FadeStartTick = 0;
    int EdgeDockMode = kDockNone;

    void trnspTimerTimer();
    // Where the window goes when a move proposes `proposed` (its outer rectangle).
    QPoint SnapToWorkArea(const QRect& proposed) const;
    void NoteWindowMoved() { EdgeDockMode = kDockMoved; }
    void NoteWindowResized() { EdgeDockMode = kDockResized; }

    // For tests: the pointer, the tick count and the work area come from here.
    std::function<QPoint()> cursorPos;
    std::function<std::uint32_t()> tickCount;
    std::function<QRect()> workArea;

    // How long the window manager's moves must be still before they are snapped.
    static constexpr int kMoveSettleMs = 150;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsActiveForm() const;
    void SnapAfterWindowManagerMove();

    QPointer<QWidget> window_;
    std::function<bool()> transparency_;
    bool& alphaBlend_;
    int& alphaValue_;
    QPointer<QWindow> lastActive_; // the program's active window, kept while another
                                   // program is in front
    QTimer moveSettled_;
};

} // namespace quill
