#include "categories_form.h"

namespace quill {

TCategoriesForm::TCategoriesForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("CategoriesForm"));
    SetClientSize(317, 372);
}

} // namespace quill
