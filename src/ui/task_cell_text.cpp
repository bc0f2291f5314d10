#include "task_cell_text.h"

#include "core/date_time.h"
#include "core/task_store.h"

#include <QDate>
#include <QLocale>
#include <cmath>

namespace quill {

namespace {
// Far beyond any real date (about 27,000 years), small enough for a day count.
constexpr double kMaxDays = 1.0e7;
} // namespace

QString DueDateText(const TTASK_ITEM& task) {
    if (!task.HasDueDate)
        return QStringLiteral("none");
    if (!std::isfinite(task.DueDate) || std::fabs(task.DueDate) > kMaxDays)
        return QString();
    const auto days = static_cast<qint64>(DatePart(task.DueDate));
    const QDate date = QDate(1899, 12, 30).addDays(days);
    return date.isValid() ? QLocale::system().toString(date, QLocale::ShortFormat) : QString();
}

} // namespace quill
