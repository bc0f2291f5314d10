#include "edit_task_form.h"

namespace quill {

TEditTaskForm::TEditTaskForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("EditTaskForm"));
    SetClientSize(346, 332);
}

} // namespace quill
