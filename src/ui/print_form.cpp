#include "print_form.h"

namespace quill {

TPrintForm::TPrintForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("PrintForm"));
    SetClientSize(260, 233);
}

} // namespace quill
