#pragma once
// Draws the task list onto printer pages: a title, the date and a footer on
// every page, a grey header bar per group and one framed block per task. All
// measures are device pixels of the page it draws on.

#include "print_layout.h"
#include "skin/skin_pictures.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <functional>
#include <optional>

class QPagedPaintDevice;

namespace quill {

// The texts of every page.
inline constexpr const char* kPrintJobName = "Tolva-Quillnote";
inline constexpr const char* kPrintTitle = "Tolva Quillnote";
inline constexpr const char* kPrintFooter = "https://www.tolvane.example";

// Told after each task block: how many of how many are done. Returning false
// cancels the job.
using PrintProgress = std::function<bool(int done, int total)>;

class TaskPrinter {
public:
    // `device` has its page size, orientation and resolution set; the printer
    // draws on it from BeginPrintJob to EndPrintJob.
    TaskPrinter(QPagedPaintDevice& device, const PrintChoices& choices,
                const SkinPictures& pictures);

    // The whole job over an ordered copy of `store`. Returns false when the
    // painter could not start or the progress callback cancelled.
    bool PrintTasks(const TaskStore& store, bool doneToBottom, const PrintProgress& progress = {});

    bool BeginPrintJob();
    void StartNewPage();
    void PrintPageFrame();
    void PrintCategoryHeader(const QString& caption);
    void PrintTaskRow(int index); // a position in the ordered copy
    void EndPrintJob();

    int PageCount() const { return page_; }

private:
    struct Block {
        int index = -1;
        QStringList lines;       // the description, wrapped
        QList<bool> rightToLeft; // each line's direction: its paragraph's
        int height = 0;
    };
    const TTASK_ITEM& Task(int index) const;
    // The task block's height before it is drawn (its description wrapped).
    Block MeasureTaskRow(int index);
    int HeaderHeightFor(const QString& caption) const;
    // Starts the page a full page asked for, when more is to come.
    void StartPendingPage(bool& headerPrinted);
    // A new page first when `height` does not fit below Y on this page.
    void MakeRoom(int height, bool& headerPrinted);
    // The column widths and the header height, known before anything is measured.
    void MeasureColumns();
    void TextOut(int x, int y, const QString& text);
    // `text` in `box` by its own direction: a right-to-left line ends at the
    // box's right edge, so the clip takes its end, not its beginning.
    void LineOut(const QRect& box, int y, const QString& text, bool rightToLeft);
    void DrawPicture(const QPixmap& picture, int x, int y, int height);
    int ScaledWidth(const QPixmap& picture, int height) const;
    bool CategoryColumn() const;

    QPagedPaintDevice& device_;
    PrintChoices choices_;
    const SkinPictures& pictures_;
    QPixmap image7_; // "High"
    QPixmap image8_; // "Low"
    QPainter canvas_;
    PrintPlan plan_;
    QString dateText_;
    QFont f1_, f2_, f3_, f4_;
    QColor headerFill_{200, 200, 200};

    int left_ = 0, right_ = 0, bottom_ = 0, y_ = 0;
    int page_ = 0;
    int penWidth_ = 1;
    int headerHeight_ = 0;
    int dateColWidth_ = 0;
    int priorityColWidth_ = 0;
    bool pageHasContent_ = false; // a header or a block below this page's frame
    bool pageDue_ = false;        // the page is full: the next output starts a page
    std::optional<Block> measured_;
};

} // namespace quill
