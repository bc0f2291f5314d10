#pragma once
// The categories window. Its list and commands arrive with category management.

#include "widgets/form.h"

namespace quill {

class TCategoriesForm : public TForm {
    Q_OBJECT
public:
    explicit TCategoriesForm(QWidget* parent = nullptr);
};

} // namespace quill
