#pragma once
// The arithmetic of a printed task list that needs no printer: which tasks are
// printed in which order, how a description is wrapped to its column and when a
// page is full. The renderer (task_printer.h) draws what these decide.

#include "core/task_store.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quill {

// The print options dialog's choices, copied at the start of a job.
struct PrintChoices {
    int SortBy = 0; // 0 "Due Date", 1 "Priority"
    bool SeparateCategories = true;
    bool NewPagePerCategory = false;
    bool OnlyUncompleted = false;
    bool Descriptions = true;
    bool Landscape = false;
};

// Whether `task` is printed: with "Print only uncompleted tasks" a done task and
// an overdue one are left out.
bool IsPrinted(const TTASK_ITEM& task, bool onlyUncompleted);

// The tasks of one category in print order.
struct PrintGroup {
    int CategoryIndex = 0;
    std::vector<int> Tasks; // positions in the ordered copy
};

// A sorted copy of every task, category by category: the list itself and the
// data file stay as they are, and a category hidden in the main window is
// ordered like the one shown.
struct PrintPlan {
    std::vector<TTASK_ITEM> Tasks;  // the ordered copy
    std::vector<PrintGroup> Groups; // one per category, in category order
    std::vector<TCATEGORY> Categories;
    int PrintedCount = 0;
};
PrintPlan MakePrintPlan(const TaskStore& store, int sortBy, bool doneToBottom,
                        bool onlyUncompleted);

// How wide a piece of text is, in the units of the width it is wrapped to.
using TextWidth = std::function<int(const QString&)>;

// Splits `lines` into pieces narrower than `width` as measured by `textWidth`.
// An empty line stays. A line that does not fit is cut after its last blank that
// fits (the blank stays at the piece's end), or, without one, after the most
// characters that fit: with n the fewest leading characters as wide as the
// column or wider, the piece keeps n - 1 of them, since the n-th would reach past
// the column's edge and be clipped. At least one character goes on each piece,
// so a width too small for any character still ends.
// Each piece is measured on its own, a few times near where it ends, never with
// the rest of its line: the work grows with the text wrapped, not with its
// square. With `maxLines` of 0 or more, wrapping stops once that many pieces are
// made (a description is wrapped no further than a page can show).
void WrapLines(QStringList& lines, int width, const TextWidth& textWidth, int maxLines = -1);

// How many leading characters of `text` can show in `width`: those that fit, the
// one the edge cuts, and a few more so that the cut one is shaped as in the whole
// text. Drawing only these keeps an enormous title as cheap as a short one.
qsizetype VisibleLength(const QString& text, int width, const TextWidth& textWidth);

// The page-break test after a task block that ran from y0 to y: the next page is
// due when the room left is no more than the block just printed.
bool PageFullAfterBlock(int y0, int y, int penWidth, int bottom);

// Printer pixels in a quarter millimetre at `dpi`, rounded down, at least 1.
int PenWidthForDpi(int dpi);

} // namespace quill
