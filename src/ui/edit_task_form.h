#pragma once
// The task editor window. Its controls arrive with the task commands.

#include "widgets/form.h"

namespace quill {

class TEditTaskForm : public TForm {
    Q_OBJECT
public:
    explicit TEditTaskForm(QWidget* parent = nullptr);
};

} // namespace quill
