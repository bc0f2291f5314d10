#pragma once
// The reminder window. Its controls arrive with the reminder pass.

#include "widgets/form.h"

namespace quill {

class TReminderForm : public TForm {
    Q_OBJECT
public:
    explicit TReminderForm(QWidget* parent = nullptr);
};

} // namespace quill
