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

    Kind GetKind() const { return kind_; }

    // The whole value; setting it from code raises no change.
    TDateTime DateTime() const { return value_; }
    void SetDateTime(TDateTime value);

    // The display format the picker uses: the user's short date format (with the
    // year in four digits) or the user's short time format.
    static QString DateDisplayFormat();
    static QString TimeDisplayFormat();

Q_SIGNALS:
    // The user changed the shown part; `value` is the new whole value.
    void Changed(double value);

private:
    void showValue();
    void userEdited(const QDateTime& shown);

    Kind kind_;
    TDateTime value_ = 0.0;
    bool showing_ = false;
};

} // namespace quill
