#pragma once
// Where a move by hand may put a window. A window may carry its own rule (the
// main window snaps to the screen's edges); whatever moves it by hand (the
// skin's title bar) asks the rule first and need not know what it is.

#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace quill {

using MoveRule = std::function<QPoint(const QRect& proposed)>;

// Gives `window` its rule (an empty one removes it).
void SetMoveRule(QWidget* window, MoveRule rule);

// Where a move that proposes the outer rectangle `proposed` puts `window`:
// what its rule says, or the proposed place when it has none.
QPoint ApplyMoveRule(const QWidget* window, const QRect& proposed);

} // namespace quill
