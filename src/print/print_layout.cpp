#include "print_layout.h"

#include "core/list_ordering.h"

#include <algorithm>
#include <utility>

namespace quill {

bool IsPrinted(const TTASK_ITEM& task, bool onlyUncompleted) {
    return !onlyUncompleted || (task.Done == 0 && task.NotOverdue == 1);
}

PrintPlan MakePrintPlan(const TaskStore& store, int sortBy, bool doneToBottom,
                        bool onlyUncompleted) {
    PrintPlan plan;
    const int categories = static_cast<int>(store.Categories.size());
    plan.Groups.resize(static_cast<size_t>(categories));
    plan.Tasks.reserve(store.Tasks.size());
    plan.Categories = store.Categories;
    // Each category is sorted on its own: the order within a category is the
    // same as sorting everything, and the quadratic sort stays small.
    for (int i = 0; i < categories; ++i) {
        TaskStore group;
        for (const TTASK_ITEM& task : store.Tasks) {
            if (task.CategoryIndex == i)
                group.Tasks.push_back(task);
        }
        group.VisibleTaskCount = group.TaskCount();
        SortTaskList(group, sortBy, doneToBottom);
        PrintGroup& out = plan.Groups[static_cast<size_t>(i)];
        out.CategoryIndex = i;
        for (TTASK_ITEM& task : group.Tasks) {
            if (IsPrinted(task, onlyUncompleted)) {
                out.Tasks.push_back(static_cast<int>(plan.Tasks.size()));
                ++plan.PrintedCount;
            }
            plan.Tasks.push_back(std::move(task));
        }
    }
    return plan;
}

void WrapLines(QStringList& lines, int width, const std::function<int(const QString&)>& textWidth) {
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : std::as_const(lines)) {
        if (line.isEmpty()) {
            out.append(line);
            continue;
        }
        QString rest = line;
        while (!rest.isEmpty()) {
            if (textWidth(rest) < width) {
                out.append(rest);
                break;
            }
            // n: the fewest leading characters that no longer fit. Prefix widths
            // grow with their length, so a binary search finds it.
            qsizetype lo = 0; // fits
            qsizetype hi = rest.size();
            while (hi - lo > 1) {
                const qsizetype mid = lo + (hi - lo) / 2;
                if (textWidth(rest.left(mid)) < width)
                    lo = mid;
                else
                    hi = mid;
            }
            const qsizetype n = hi; // at least 1
            // p: the last blank among the characters that fit.
            qsizetype p = 0;
            for (qsizetype k = n - 1; k >= 1; --k) {
                if (rest.at(k - 1) == QLatin1Char(' ')) {
                    p = k;
                    break;
                }
            }
            // Without a blank, the most characters that fit (the n-th would run
            // past the column), but always at least one.
            const qsizetype cut = p > 0 ? p : std::max<qsizetype>(n - 1, 1);
            out.append(rest.left(cut));
            rest.remove(0, cut);
        }
    }
    lines = std::move(out);
}

bool PageFullAfterBlock(int y0, int y, int penWidth, int bottom) {
    const int blockHeight = y - (y0 + 2 + penWidth / 2);
    return y >= bottom - blockHeight;
}

int PenWidthForDpi(int dpi) {
    // dpi / 25.4 pixels per millimetre, a quarter of that: dpi * 10 / 1016.
    return std::max(1, dpi * 10 / 1016);
}

} // namespace quill
