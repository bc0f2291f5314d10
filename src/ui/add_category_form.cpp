#include "add_category_form.h"

namespace quill {

TAddCategoryForm::TAddCategoryForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("AddCategoryForm"));
    SetClientSize(224, 169);
}

} // namespace quill
