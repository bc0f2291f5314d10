#include "date_time_picker.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

#include <algorithm>

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

QStringList TDateTimePicker::WidestTexts() const {
    const QString format = displayFormat();
    const QLocale locale = this->locale();
    QStringList texts;
    if (kind_ == dtkDate) {
        // Two-digit days of every month, and with them every weekday.
        for (int month = 1; month <= 12; ++month)
            for (int day = 22; day <= 28; ++day)
                texts << locale.toString(QDate(2088, month, day), format);
    } else {
        for (int hour : {8, 18, 20, 23})
            texts << locale.toString(QTime(hour, 58, 58), format);
    }
    texts.removeDuplicates();
    return texts;
}

int TDateTimePicker::TextRoom() const {
    // The line edit keeps two pixels each side and one for the cursor.
    constexpr int kLineEditMargins = 2 * 2 + 1;
    const QLineEdit* edit = lineEdit();
    return edit->contentsRect().marginsRemoved(edit->textMargins()).width() - kLineEditMargins;
}

QFont TDateTimePicker::FitFont(const QFont& design, const QStringList& texts, int room) {
    const auto fits = [&texts, room](const QFont& font) {
        const QFontMetrics metrics(font);
        return std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return metrics.horizontalAdvance(text) <= room;
        });
    };
    QFont font = design;
    for (int stretch : {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed}) {
        font.setStretch(stretch);
        if (fits(font))
            return font;
    }
    // Smaller, down to three quarters of the design size.
    const bool pixels = design.pixelSize() > 0;
    const double size = pixels ? design.pixelSize() : design.pointSizeF();
    for (double factor : {0.9, 0.8, 0.75}) {
        if (pixels)
            font.setPixelSize(std::max(1, static_cast<int>(size * factor)));
        else
            font.setPointSizeF(size * factor);
        if (fits(font))
            return font;
    }
    return font;
}

void TDateTimePicker::fitText() {
    lineEdit()->setFont(FitFont(font(), WidestTexts(), TextRoom()));
}

void TDateTimePicker::resizeEvent(QResizeEvent* event) {
    QDateTimeEdit::resizeEvent(event);
    fitText();
}

void TDateTimePicker::showEvent(QShowEvent* event) {
    QDateTimeEdit::showEvent(event);
    fitText();
}

void TDateTimePicker::changeEvent(QEvent* event) {
    QDateTimeEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::LocaleChange)
        fitText();
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
