#include "reminder_form.h"

namespace quill {

TReminderForm::TReminderForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("ReminderForm"));
    SetClientSize(290, 295);
}

} // namespace quill
