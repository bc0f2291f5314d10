#pragma once
// The category dialog (name and mark). Its controls arrive with category management.

#include "widgets/form.h"

namespace quill {

class TAddCategoryForm : public TForm {
    Q_OBJECT
public:
    explicit TAddCategoryForm(QWidget* parent = nullptr);
};

} // namespace quill
