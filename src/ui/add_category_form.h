#pragma once
// The category dialog: a name field and a row of the ten category marks, the
// chosen one framed. Serves both for adding and for editing a category; Enter
// closes it with OK, Escape with Cancel.

#include "widgets/form.h"

#include <functional>

class QLineEdit;
class QPainter;

namespace quill {

struct SkinPictures;
class TMarkGrid;
class TSkinLabel;

class TAddCategoryForm : public TForm {
    Q_OBJECT
public:
    explicit TAddCategoryForm(QWidget* parent = nullptr);
    ~TAddCategoryForm() override;

    // The marks drawn in the row (the main window's copy of the skin's pictures).
    void SetPictures(const SkinPictures* pictures);
    // The mark row's background (the skin's WindowColor).
    void SetGridColor(const QColor& color);

    // The name shown and the mark chosen before a showing.
    void Prepare(const QString& name, int mark);
    QString Name() const;
    int Mark() const;

    void StringGrid1DrawCell(QPainter& canvas, int ACol, const QRect& Rect);

protected:
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    QLineEdit* Edit1 = nullptr;       // the name
    TMarkGrid* StringGrid1 = nullptr; // the ten marks; the current column is the choice
    TSkinLabel* SkinLabel1 = nullptr; // "Category Name:"
    TSkinLabel* SkinLabel2 = nullptr; // "Select Icon:"
    const SkinPictures* pictures_ = nullptr;
};

} // namespace quill
