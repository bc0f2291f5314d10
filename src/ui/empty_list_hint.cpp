#include "empty_list_hint.h"

namespace quill {

QString EmptyListHint(int visibleTasks, int allTasks, const QString& shownCategory) {
    if (visibleTasks > 0)
        return {};
    if (allTasks <= 0)
        return QStringLiteral("No tasks yet. Press Insert or + to add one.");
    if (shownCategory.isEmpty())
        return QStringLiteral("No tasks in this category.");
    return QStringLiteral("No tasks in %1.").arg(shownCategory);
}

HintLine PlaceHint(const QString& hint, const QFontMetrics& metrics, QSize listSize) {
    HintLine line;
    line.text = metrics.elidedText(hint, Qt::ElideRight, listSize.width());
    const int x = (listSize.width() - metrics.horizontalAdvance(line.text)) / 2;
    const int y = (listSize.height() - metrics.height()) / 2 + metrics.ascent();
    line.baseline = QPoint(x, y);
    return line;
}

} // namespace quill
