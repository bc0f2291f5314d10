#include "date_time_picker.h"

#include <QLocale>
#include <QSignalBlocker>

namespace quill {

namespace {
// The toolkit's date editor goes back to the year 100; an older value is kept
// whole and only shown clamped.
constexpr int kFirstYear = 100;
} // namespace

QString TDateTimePicker::DateDisplayFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    // A two-digit year cannot tell centuries apart: show all four digits.
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString TDateTimePicker::TimeDisplayFormat() {
    return QLocale::system().timeFormat(QLocale::ShortFormat);
}

TDateTimePicker::TDateTimePicker(Kind kind, QWidget* parent) : QDateTimeEdit(parent), kind_(kind) {
    // The value is local wall-clock time already; the editor must not shift it
    // (or skip an hour a clock change leaves out).
    setTimeSpec(Qt::UTC);
    setMinimumDateTime(QDateTime(QDate(kFirstYear, 1, 1), QTime(0, 0), Qt::UTC));
    setMaximumDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC));
    if (kind_ == dtkDate) {
        setDisplayFormat(DateDisplayFormat());
        setCalendarPopup(true);
    } else {
        setDisplayFormat(TimeDisplayFormat());
    }
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& shown) {
        if (!showing_)
            userEdited(shown);
    });
    SetDateTime(Now());
}

void TDateTimePicker::SetDateTime(TDateTime value) {
    value_ = value;
    showValue();
}

void TDateTimePicker::showValue() {
    const CivilDateTime c = DecodeDateTime(value_);
    showing_ = true;
    setDateTime(QDateTime(QDate(c.year, c.month, c.day),
                          QTime(c.hour, c.minute, c.second, c.millisecond), Qt::UTC));
    showing_ = false;
}

void TDateTimePicker::userEdited(const QDateTime& shown) {
    CivilDateTime c = DecodeDateTime(value_);
    if (kind_ == dtkDate) {
        const QDate d = shown.date();
        c.year = d.year();
        c.month = d.month();
        c.day = d.day();
    } else {
        const QTime t = shown.time();
        c.hour = t.hour();
        c.minute = t.minute();
        c.second = t.second();
        c.millisecond = t.msec();
    }
    value_ = EncodeDateTime(c);
    Q_EMIT Changed(value_);
}

} // namespace quill
