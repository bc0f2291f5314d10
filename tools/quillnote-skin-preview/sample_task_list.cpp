#include "sample_task_list.h"

#include "skin/skin_colors.h"

#include <QPainter>

namespace quill::preview {
namespace {

struct SampleTask {
    const char* title;
    int priority; // 0 high, 1 normal, 2 low
    int mark;
    bool reminder;
    bool done;
    bool overdue;
    const char* due;
};

const SampleTask kTasks[] = {
    {"Send the quarterly report to Anna", 0, 5, true, false, false, "14.03.2026"},
    {"Buy flowers for Mum's birthday", 1, 0, true, false, false, "21.03.2026"},
    {"Renew the car insurance", 0, 2, false, false, true, "02.03.2026"},
    {"Book a table for Friday dinner", 2, 0, false, false, false, "none"},
    {"Call the plumber about the kitchen tap", 1, 9, false, true, false, "05.03.2026"},
    {"Prepare slides for the team meeting", 0, 5, true, false, false, "17.03.2026"},
    {"Return library books", 2, 3, false, true, false, "none"},
    {"Plan the weekend hike with Tom", 2, 7, false, false, false, "28.03.2026"},
    {"Update the project budget sheet", 1, 6, true, false, false, "31.03.2026"},
};
constexpr int kSelectedRow = 1;

QFont ListFont(const SkinParams& params) {
    QFont f(QString::fromStdString(params.TaskFontName));
    f.setPointSize(params.TaskFontSize);
    return f;
}

void DrawCentered(QPainter& p, const QRect& cell, const QPixmap& pm, int nudge) {
    if (pm.isNull())
        return;
    const QSize s = pm.deviceIndependentSize().toSize();
    p.drawPixmap(cell.left() + nudge + (cell.width() - s.width()) / 2,
                 cell.top() + nudge + (cell.height() - s.height()) / 2, pm);
}

} // namespace

SampleTaskList::SampleTaskList(const SkinParams& params, const SkinPictures& pictures,
                               QColor background, QWidget* parent)
    : QWidget(parent), params_(params), pictures_(pictures), background_(background) {}

void SampleTaskList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    const QFont font = ListFont(params_);
    const QFontMetrics fm(font);
    const int rowH = fm.boundingRect(QStringLiteral("TEST_TEXT")).height();
    const int checkW = pictures_.Check.isNull()
                           ? rowH
                           : static_cast<int>(pictures_.Check.deviceIndependentSize().width());
    const int dueW = fm.horizontalAdvance(QStringLiteral("000:000:0000"));
    const int titleW = width() - checkW - 3 * rowH - dueW;
    const int widths[6] = {checkW, titleW, rowH, rowH, rowH, dueW};

    const QColor text = palette().color(QPalette::Text);
    const QColor selection = SkinColorToQColor(params_.SellectBarColor);
    const QColor grid = SkinColorToQColor(params_.GridLineColor);
    const int rows = static_cast<int>(std::size(kTasks));
    for (int r = 0; r < rows; ++r) {
        const SampleTask& t = kTasks[r];
        const int top = r * rowH;
        if (top + rowH >= height())
            break;
        QFont f = font;
        QColor color = text;
        if (t.overdue)
            color = SkinColorToQColor(params_.OverdueColor);
        if (t.done) {
            f.setStrikeOut(true);
            color = SkinColorToQColor(params_.DoneTaskColor);
        }
        p.setFont(f);
        int left = 0;
        for (int c = 0; c < 6; ++c) {
            const QRect cell(left, top, widths[c], rowH);
            left += widths[c];
            // The list has the focus: the check cell of the current row keeps the background.
            p.fillRect(cell, (r == kSelectedRow && c > 0) ? selection : background_);
            p.setPen(color);
            switch (c) {
            case 0:
                DrawCentered(p, cell, t.done ? pictures_.Check : pictures_.NCheck, 0);
                break;
            case 1:
                p.drawText(
                    cell.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                    fm.elidedText(QString::fromUtf8(t.title), Qt::ElideRight, cell.width() - 2));
                break;
            case 2:
                DrawCentered(p, cell,
                             t.priority == 0   ? pictures_.Height
                             : t.priority == 2 ? pictures_.Low
                                               : QPixmap(),
                             0);
                break;
            case 3:
                DrawCentered(p, cell, pictures_.CategoryMarks[size_t(t.mark)], 1);
                break;
            case 4:
                DrawCentered(p, cell, t.reminder ? pictures_.Reminder : QPixmap(), 1);
                break;
            case 5:
                p.drawText(cell, Qt::AlignCenter, QString::fromLatin1(t.due));
                break;
            }
            p.setPen(grid);
            p.drawLine(cell.left(), cell.top(), cell.right(), cell.top());
            p.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
            if (c == 5)
                p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            if (r == rows - 1)
                p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
        }
    }
}

SampleCategoryList::SampleCategoryList(const SkinParams& params, const SkinPictures& pictures,
                                       QColor background, QWidget* parent)
    : QWidget(parent), params_(params), pictures_(pictures), background_(background) {}

void SampleCategoryList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    QFont f(QStringLiteral("Verdana"));
    f.setPointSize(9);
    p.setFont(f);
    const QFontMetrics fm(f);
    const int rowH = std::max(18, fm.height() + 4);
    const char* names[] = {"Personal", "Business", "Other", "Travel", "Health", "Home"};
    const int marks[] = {0, 5, 9, 4, 3, 2};
    const QColor selection = SkinColorToQColor(params_.SellectBarColor);
    for (int r = 0; r < 6; ++r) {
        const QRect row(0, r * rowH, width(), rowH);
        if (r == 1)
            p.fillRect(row, selection);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(row.adjusted(6, 0, -30, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromLatin1(names[r]));
        DrawCentered(p, QRect(width() - 28, row.top(), 28, rowH),
                     pictures_.CategoryMarks[size_t(marks[r])], 0);
    }
}

} // namespace quill::preview
