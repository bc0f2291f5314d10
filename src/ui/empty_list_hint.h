#pragma once
// The line of help the task list shows in its middle while it shows no task. It
// is painted over the blank rows only: no row, selection or input belongs to it.

#include <QFontMetrics>
#include <QPoint>
#include <QSize>
#include <QString>

namespace quill {

// Empty while the list shows a task. With no task at all it says how to add one;
// when the category filter hides every task it names the category shown (an
// empty name when the list cannot tell it).
QString EmptyListHint(int visibleTasks, int allTasks, const QString& shownCategory);

struct HintLine {
    QString text; // shortened with "..." to the list's width
    QPoint baseline;
};

// The line centred in a list of `listSize`, in the font of `metrics`.
HintLine PlaceHint(const QString& hint, const QFontMetrics& metrics, QSize listSize);

} // namespace quill
