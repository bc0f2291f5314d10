#pragma once
// The print options dialog. Its controls arrive with printing.

#include "widgets/form.h"

namespace quill {

class TPrintForm : public TForm {
    Q_OBJECT
public:
    explicit TPrintForm(QWidget* parent = nullptr);
};

} // namespace quill
