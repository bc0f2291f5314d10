#pragma once
// A label whose text comes from the window's design and whose look comes from
// the skin's "Label" template.

#include <QLabel>

namespace quill {

class TSkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit TSkinLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    explicit TSkinLabel(const QString& caption, QWidget* parent = nullptr)
        : QLabel(caption, parent) {}

    void SetCaption(const QString& caption) { setText(caption); }
    QString Caption() const { return text(); }
};

} // namespace quill
