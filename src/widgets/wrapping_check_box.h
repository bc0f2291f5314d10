#pragma once
// A check box whose caption wraps onto further lines inside its width.

#include <QCheckBox>

namespace quill {

class WrappingCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

} // namespace quill
