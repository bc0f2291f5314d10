#include "print_layout.h"

#include "core/list_ordering.h"

#include <algorithm>
#include <utility>

namespace quill {

bool IsPrinted(const TTASK_ITEM& task, bool onlyUncompleted) {
    return !onlyUncompleted || (!CountsAsDone(task) && task.NotOverdue == 1);
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
// Prefix widths grow about in step with their length, so each probe aims where
// the width should be reached, judged from the last probe's width; a probe that
// does not halve the gap is followed by a halving one, so odd glyph widths cannot
// stall the search. The first probe is `guess` characters (the last piece's
// length, or all that is left when that is fewer), and no probe goes past twice
// the longest one that fitted: only strings about as long as one piece are
// measured, never the rest of a long line.
qsizetype FirstMisfit(const QString& line, qsizetype from, int width, const TextWidth& textWidth,
                      qsizetype guess) {
    const qsizetype left = line.size() - from;
    qsizetype lo = 0;        // fits
    qsizetype hi = left + 1; // does not fit; left + 1 while no probe has failed
    qsizetype probe = std::clamp<qsizetype>(guess, 1, left);
    bool halve = false;
    while (true) {
        const qint64 w = textWidth(line.mid(from, probe));
        const qsizetype gap = hi - lo;
        (w < width ? lo : hi) = probe;
        if (lo == left || hi - lo <= 1)
            return hi;
        qsizetype next = 0;
        if (hi > left) // nothing has failed yet: reach out, at most doubling
            next = std::min<qint64>(w > 0 ? probe * qint64(width) / w : 2 * lo, 2 * lo);
        else if (halve || w <= 0)
            next = lo + (hi - lo) / 2;
        else
            next = probe * qint64(width) / w;
        halve = hi - lo > gap / 2;
        probe = std::clamp<qsizetype>(next, lo + 1, hi - 1);
    }
}

} // namespace

void WrapLines(QStringList& lines, int width, const TextWidth& textWidth, int maxLines) {
    QStringList out;
    const auto full = [&out, maxLines] { return maxLines >= 0 && out.size() >= maxLines; };
    qsizetype guess = 64;
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
    const qsizetype n = FirstMisfit(text, 0, width, textWidth, 64);
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
