#pragma once
// A date or a time picker that carries a whole date-time. The date picker lets the
// user change only the date part and offers a calendar pop-up; the time picker
// changes only the time of day. Reading either returns the whole value.

#include "core/date_time.h"

#include <QDateTimeEdit>

namespace quill {

class TDateTimePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    enum Kind { dtkDate, dtkTime };

    explicit TDateTimePicker(Kind kind, QWidget* parent = nullptr);

    // The whole value; setting it from code raises no change.
    TDateTime DateTime() const { return value_; }
    void SetDateTime(TDateTime value);

    // The display format the picker uses: the user's short date format (with the
    // year in four digits) or the user's short time format.
    static QString DateDisplayFormat();
    static QString TimeDisplayFormat();

    // Texts of the display format as wide as any it shows: a day in each month,
    // every weekday, morning and afternoon.
    QStringList WidestTexts() const;
    // The width the field's line edit gives its text.
    int TextRoom() const;
    // `design` when each text fits in `room` pixels, else the first narrower
    // face (condensed, then smaller by steps down to three quarters) in which
    // all of them fit; the narrowest tried when none does.
    static QFont FitFont(const QFont& design, const QStringList& texts, int room);

Q_SIGNALS:
    // The user changed the shown part; `value` is the new whole value.
    void Changed(double value);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The field is as wide as the window's design says: its text takes a
    // narrower face where the user's format and the skin's padding leave too
    // little room, so a date is never cut.
    void fitText();
    void showValue();
    void userEdited(const QDateTime& shown);

    Kind kind_;
    TDateTime value_ = 0.0;
    bool showing_ = false;
};

} // namespace quill
