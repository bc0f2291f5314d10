#include "task_printer.h"

#include "core/date_time.h"
#include "priority_marks.h"
#include "widgets/repeat_mark.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPagedPaintDevice>
#include <algorithm>

namespace quill {
namespace {

QFont MakeFont(const char* family, int points, bool bold, bool italic = false) {
    QFont font(QString::fromLatin1(family));
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QDate ToQDate(TDateTime value) {
    const CivilDateTime civil = DecodeDateTime(value);
    return QDate(civil.year, civil.month, civil.day);
}

// A rectangle from its left, top, right and bottom edges (right and bottom
// outside it).
QRect Ltrb(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

TaskPrinter::TaskPrinter(QPagedPaintDevice& device, const PrintChoices& choices,
                         const SkinPictures& pictures)
    : device_(device), choices_(choices), pictures_(pictures) {}

const TTASK_ITEM& TaskPrinter::Task(int index) const {
    return plan_.Tasks[static_cast<size_t>(index)];
}

bool TaskPrinter::CategoryColumn() const {
    return !choices_.SeparateCategories && !choices_.NewPagePerCategory;
}

bool TaskPrinter::PrintTasks(const TaskStore& store, bool doneToBottom,
                             const PrintProgress& progress) {
    plan_ = MakePrintPlan(store, choices_.SortBy, doneToBottom, choices_.OnlyUncompleted);
    if (!BeginPrintJob())
        return false;
    StartNewPage();
    PrintPageFrame();
    bool headerPrinted = false;
    QString caption = QStringLiteral("All categories");
    int done = 0;
    for (const PrintGroup& group : plan_.Groups) {
        int count = 0;
        const QString name =
            QString::fromStdString(plan_.Categories[size_t(group.CategoryIndex)].Name);
        if (choices_.SeparateCategories || choices_.NewPagePerCategory)
            caption = name;
        if (choices_.NewPagePerCategory) {
            // The header goes where its first block fits too.
            StartPendingPage(headerPrinted);
            int needed = HeaderHeightFor(caption);
            if (!group.Tasks.empty()) {
                measured_ = MeasureTaskRow(group.Tasks.front());
                needed += measured_->height;
            }
            MakeRoom(needed, headerPrinted);
            PrintCategoryHeader(caption);
            headerPrinted = true;
        }
        for (int j : group.Tasks) {
            StartPendingPage(headerPrinted);
            if (!measured_ || measured_->index != j)
                measured_ = MeasureTaskRow(j);
            MakeRoom(measured_->height + (headerPrinted ? 0 : HeaderHeightFor(caption)),
                     headerPrinted);
            if (!headerPrinted) {
                PrintCategoryHeader(caption);
                headerPrinted = true;
            }
            const int y0 = y_;
            PrintTaskRow(j);
            ++count;
            // The next page starts only when something is left to print on it.
            if (PageFullAfterBlock(y0, y_, penWidth_, bottom_))
                pageDue_ = true;
            if (progress && !progress(++done, plan_.PrintedCount)) {
                canvas_.end();
                return false;
            }
        }
        if (choices_.NewPagePerCategory && count > 0)
            pageDue_ = true;
        if (choices_.SeparateCategories && !choices_.NewPagePerCategory)
            headerPrinted = false;
    }
    EndPrintJob();
    return true;
}

void TaskPrinter::StartPendingPage(bool& headerPrinted) {
    if (!pageDue_)
        return;
    pageDue_ = false;
    StartNewPage();
    PrintPageFrame();
    headerPrinted = false;
}

void TaskPrinter::MakeRoom(int height, bool& headerPrinted) {
    // A block taller than a whole page starts a fresh page and is cut there.
    if (pageHasContent_ && y_ + height > bottom_) {
        StartNewPage();
        PrintPageFrame();
        headerPrinted = false;
    }
}

bool TaskPrinter::BeginPrintJob() {
    page_ = 0;
    pageDue_ = false;
    measured_.reset();
    f1_ = MakeFont("Verdana", 8, true);
    f2_ = MakeFont("Verdana", 12, true);
    f3_ = MakeFont("Verdana", 10, false);
    f4_ = MakeFont("Trebuchet MS", 20, true, true);
    headerFill_ = QColor(200, 200, 200);
    dateText_ = QLocale().toString(ToQDate(Today()), QStringLiteral("dd MMMM yyyy"));
    image7_ = QPixmap::fromImage(HighPriorityMark());
    image8_ = QPixmap::fromImage(LowPriorityMark());
    MeasureColumns();
    return canvas_.begin(&device_);
}

void TaskPrinter::MeasureColumns() {
    // The header's caption height, "!" and "C" have the height of any text in F2.
    headerHeight_ = QFontMetrics(f2_, &device_).height();
    priorityColWidth_ = headerHeight_;
    dateColWidth_ =
        std::max(QFontMetrics(f2_, &device_).horizontalAdvance(QStringLiteral("Due Date")) + 5,
                 QFontMetrics(f3_, &device_).horizontalAdvance(QStringLiteral("00.00.0000")) + 4);
}

void TaskPrinter::StartNewPage() {
    if (page_ != 0)
        device_.newPage();
    left_ = 10;
    y_ = 10;
    right_ = device_.width() - 10;
    bottom_ = device_.height() - 10;
    ++page_;
    penWidth_ = PenWidthForDpi(device_.logicalDpiX());
    pageHasContent_ = false;
}

void TaskPrinter::TextOut(int x, int y, const QString& text) {
    canvas_.drawText(x, y + canvas_.fontMetrics().ascent(), text);
}

void TaskPrinter::LineOut(const QRect& box, int y, const QString& text, bool rightToLeft) {
    // Of an enormous line only what can show is drawn, so it costs what a short
    // one does; a short one is drawn whole, unmeasured.
    constexpr qsizetype kMeasureFrom = 512;
    const QFontMetrics metrics = canvas_.fontMetrics();
    const TextWidth width = [&metrics](const QString& s) { return metrics.horizontalAdvance(s); };
    const QString shown =
        text.size() < kMeasureFrom ? text : text.left(VisibleLength(text, box.width(), width));
    if (!rightToLeft) {
        TextOut(box.left(), y, shown);
        return;
    }
    // It ends as far from the column's right edge as a left-to-right line starts
    // from its left edge.
    constexpr int kMirroredPadding = 3;
    canvas_.setLayoutDirection(Qt::RightToLeft);
    TextOut(box.right() + 1 - kMirroredPadding - metrics.horizontalAdvance(shown), y, shown);
    canvas_.setLayoutDirection(Qt::LeftToRight);
}

int TaskPrinter::ScaledWidth(const QPixmap& picture, int height) const {
    const QSize size = picture.deviceIndependentSize().toSize();
    return size.height() > 0 ? size.width() * height / size.height() : 0;
}

void TaskPrinter::DrawPicture(const QPixmap& picture, int x, int y, int height) {
    if (!picture.isNull())
        canvas_.drawPixmap(QRect(x, y, ScaledWidth(picture, height), height), picture);
}

void TaskPrinter::PrintPageFrame() {
    canvas_.setPen(Qt::black);
    canvas_.setFont(f4_);
    const QString title = QString::fromLatin1(kPrintTitle);
    TextOut(left_ + 15, y_, title);
    y_ += canvas_.fontMetrics().height();
    canvas_.setFont(f3_);
    const QFontMetrics f3 = canvas_.fontMetrics();
    TextOut(right_ - f3.horizontalAdvance(dateText_), y_ - f3.height(), dateText_);
    y_ += 10;
    canvas_.setFont(f1_);
    bottom_ -= canvas_.fontMetrics().height() + 10;
    TextOut(left_ + 15, bottom_ + 5, QString::fromLatin1(kPrintFooter));
}

int TaskPrinter::HeaderHeightFor(const QString&) const {
    return QFontMetrics(f2_, &device_).height() + 2;
}

void TaskPrinter::PrintCategoryHeader(const QString& caption) {
    pageHasContent_ = true;
    canvas_.setFont(f2_);
    const QFontMetrics f2 = canvas_.fontMetrics();
    const int h = f2.height();
    const QRect bar = Ltrb(left_, y_, right_, y_ + h + 2);
    const int indent = ScaledWidth(pictures_.NCheck, h - 4);
    canvas_.fillRect(bar, headerFill_);
    canvas_.setPen(Qt::black);
    canvas_.save();
    canvas_.setClipRect(bar);
    TextOut(left_ + indent + 1, y_ + 1, caption);
    canvas_.restore();
    const QString dueDate = QStringLiteral("Due Date");
    const int top = y_ + 1;
    const auto centred = [&](const QString& text, int from, int to) {
        TextOut(from + (to - from - f2.horizontalAdvance(text)) / 2, top, text);
    };
    const int dateLeft = right_ - dateColWidth_;
    centred(dueDate, dateLeft, right_);
    const int priorityLeft = dateLeft - priorityColWidth_;
    centred(QStringLiteral("!"), priorityLeft, dateLeft);
    if (CategoryColumn())
        centred(QStringLiteral("C"), priorityLeft - priorityColWidth_, priorityLeft);
    canvas_.setPen(QPen(Qt::black, penWidth_));
    canvas_.setBrush(Qt::NoBrush);
    canvas_.drawRect(bar);
    y_ += h + 2;
}

TaskPrinter::Block TaskPrinter::MeasureTaskRow(int index) {
    Block block;
    block.index = index;
    const QFontMetrics f3(f3_, &device_);
    const int h = f3.height();
    block.height = h + 4;
    if (choices_.Descriptions) {
        const TTASK_ITEM& t = Task(index);
        if (!t.Description.empty()) {
            // Line breaks as the editor writes them (CR LF), or bare ones.
            QString text = QString::fromStdString(t.Description);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            int boxRight = right_ - dateColWidth_ - priorityColWidth_;
            if (CategoryColumn())
                boxRight -= priorityColWidth_ + 2;
            const int boxWidth = (boxRight - 3) - (left_ + headerHeight_ + 6);
            // More lines than a whole page holds are never drawn: the block is cut
            // at the page's bottom, so wrapping stops there.
            const int pageLines = bottom_ / std::max(1, f3.height()) + 1;
            const TextWidth width = [&f3](const QString& s) { return f3.horizontalAdvance(s); };
            for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
                QStringList pieces{paragraph};
                WrapLines(pieces, boxWidth, width,
                          pageLines - static_cast<int>(block.lines.size()));
                const bool rightToLeft = paragraph.isRightToLeft();
                for (QString& piece : pieces) {
                    block.lines.append(std::move(piece));
                    block.rightToLeft.append(rightToLeft);
                }
                if (block.lines.size() >= pageLines)
                    break;
            }
            block.height += static_cast<int>(block.lines.size()) * f3.height();
        }
    }
    return block;
}

void TaskPrinter::PrintTaskRow(int index) {
    pageHasContent_ = true;
    if (!measured_ || measured_->index != index)
        measured_ = MeasureTaskRow(index);
    const Block block = std::move(*measured_);
    measured_.reset();
    const TTASK_ITEM& t = Task(index);
    const int y0 = y_;
    canvas_.setFont(f3_);
    const QFontMetrics f3 = canvas_.fontMetrics();
    const int h = f3.height();
    const int pw = penWidth_;
    const QPen pen(Qt::black, pw);
    canvas_.setPen(pen);
    canvas_.setBrush(Qt::NoBrush);
    y_ = y0 + 1;
    const int mh = f3.height() - 4;

    // Check mark.
    const QPixmap& check = t.Done ? pictures_.Check : pictures_.NCheck;
    DrawPicture(check, left_ + 1 + (headerHeight_ - ScaledWidth(check, mh)) / 2, y0 + 3, mh);
    const int rowLeft = left_ + headerHeight_;

    // Due date.
    const QString due = t.HasDueDate ? QLocale().toString(ToQDate(t.DueDate), QLocale::ShortFormat)
                                     : QStringLiteral("none");
    const int dateLeft = right_ - dateColWidth_;
    TextOut(dateLeft + (dateColWidth_ - f3.horizontalAdvance(due)) / 2, y0 + pw / 2 + 2, due);
    int rowRight = dateLeft;

    // Priority.
    if (t.Priority != PriorityNumber(TaskPriority::Normal)) {
        const QPixmap& mark = t.Priority == PriorityNumber(TaskPriority::High) ? image7_ : image8_;
        const int w = ScaledWidth(mark, mh);
        DrawPicture(mark, rowRight - (headerHeight_ - w) / 2 - w, y0 + 3 + pw / 2, mh);
    }
    rowRight -= priorityColWidth_;
    const int priorityLeft = rowRight;

    // Category.
    int categoryLeft = -1;
    if (CategoryColumn()) {
        const auto& categories = plan_.Categories;
        const size_t c = static_cast<size_t>(t.CategoryIndex);
        const int colorIndex = c < categories.size() ? categories[c].ColorIndex : 0;
        const QPixmap& mark = pictures_.CategoryMarks[size_t(std::clamp(colorIndex, 0, 9))];
        const int w = ScaledWidth(mark, mh);
        DrawPicture(mark, rowRight - (headerHeight_ - w) / 2 - w, y0 + 3, mh);
        rowRight -= priorityColWidth_;
        categoryLeft = rowRight;
        rowRight -= 2;
    }

    // A repeating task's mark ends the title line: the date column is only as
    // wide as a date.
    const int mark = IsRepeating(t) ? f3.ascent() * 9 / 10 : 0;
    if (mark > 0) {
        DrawRepeatMark(canvas_,
                       QRectF(rowRight - 3 - mark, y0 + pw / 2 + 2 + (h - mark) / 2, mark, mark),
                       Qt::black);
        canvas_.setPen(pen);
    }

    // Title.
    const QRect box =
        Ltrb(rowLeft + 6, y0 + pw / 2 + 2, rowRight - 3 - (mark > 0 ? mark + 3 : 0), y0 + h + 2);
    QFont titleFont = f3_;
    titleFont.setStrikeOut(t.Done != 0);
    canvas_.setFont(titleFont);
    canvas_.save();
    canvas_.setClipRect(box);
    const QString title = QString::fromStdString(t.Title);
    LineOut(box, box.top() + 1, title, title.isRightToLeft());
    canvas_.restore();
    y_ += h + 3;

    // Description, cut at the page bottom.
    canvas_.setFont(f3_);
    const int lineHeight = f3.height();
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        if (y_ + lineHeight > bottom_)
            break;
        canvas_.save();
        canvas_.setClipRect(Ltrb(box.left(), y_, right_, bottom_));
        LineOut(box, y_, block.lines[i], block.rightToLeft[i]);
        canvas_.restore();
        y_ += lineHeight;
    }

    // Frames: the block, and every column boundary over its full height.
    canvas_.setPen(pen);
    canvas_.setBrush(Qt::NoBrush);
    canvas_.drawRect(Ltrb(left_, y0, right_, y_));
    for (int x : {rowLeft, categoryLeft, priorityLeft, dateLeft}) {
        if (x >= 0)
            canvas_.drawLine(x, y0, x, y_);
    }
    if (choices_.Descriptions)
        canvas_.drawRect(Ltrb(left_, y0, right_, y0 + h + 3));
}

void TaskPrinter::EndPrintJob() {
    canvas_.end();
}

} // namespace quill
