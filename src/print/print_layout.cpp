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

namespace {

// The fewest leading characters of `line` from `from` that no longer fit in
// `width`, or the count of characters left plus one when all of them fit.
// Prefix widths grow with their length: the search starts at `guess` (the last
// piece's length, usually close), gallops outwards and halves the gap that is
// left, so it measures only strings about as long as one piece.
qsizetype FirstMisfit(const QString& line, qsizetype from, int width, const TextWidth& textWidth,
                      qsizetype guess) {
    const qsizetype left = line.size() - from;
    const auto fits = [&](qsizetype count) {
        return count == 0 || textWidth(line.mid(from, count)) < width;
    };
    qsizetype lo = 0;        // fits
    qsizetype hi = left + 1; // does not fit ("all fit" while it stays left + 1)
    const qsizetype start = std::clamp<qsizetype>(guess, 1, left);
    if (fits(start)) {
        lo = start;
        for (qsizetype step = 1; lo < left; step *= 2) {
            const qsizetype next = std::min(lo + step, left);
            if (!fits(next)) {
                hi = next;
                break;
            }
            lo = next;
        }
    } else {
        hi = start;
        for (qsizetype step = 1; hi > 1; step *= 2) {
            const qsizetype next = std::max<qsizetype>(hi - step, 0);
            if (fits(next)) {
                lo = next;
                break;
            }
            hi = next;
        }
    }
    while (hi <= left && hi - lo > 1) {
        const qsizetype mid = lo + (hi - lo) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return hi;
}

} // namespace

void WrapLines(QStringList& lines, int width, const TextWidth& textWidth, int maxLines) {
    QStringList out;
    const auto full = [&out, maxLines] { return maxLines >= 0 && out.size() >= maxLines; };
    qsizetype guess = 16;
    for (const QString& line : std::as_const(lines)) {
        if (full())
            break;
        if (line.isEmpty()) {
            out.append(line);
            continue;
        }
        qsizetype from = 0;
        while (from < line.size() && !full()) {
            const qsizetype n = FirstMisfit(line, from, width, textWidth, guess);
            if (n > line.size() - from) {
                out.append(line.mid(from));
                break;
            }
            // p: the last blank among the characters that fit.
            qsizetype p = 0;
            for (qsizetype k = n - 1; k >= 1; --k) {
                if (line.at(from + k - 1) == QLatin1Char(' ')) {
                    p = k;
                    break;
                }
            }
            // Without a blank, the most characters that fit, but always one.
            const qsizetype cut = p > 0 ? p : std::max<qsizetype>(n - 1, 1);
            out.append(line.mid(from, cut));
            from += cut;
            guess = n;
        }
    }
    lines = std::move(out);
}

qsizetype VisibleLength(const QString& text, int width, const TextWidth& textWidth) {
    constexpr qsizetype kShapingContext = 8;
    if (text.isEmpty())
        return 0;
    const qsizetype n = FirstMisfit(text, 0, width, textWidth, 16);
    return std::min(text.size(), n + kShapingContext);
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
