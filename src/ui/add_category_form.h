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

    QLineEdit* Edit1 = nullptr;       // the name
    TMarkGrid* StringGrid1 = nullptr; // the ten marks; the current column is the choice
    TSkinLabel* SkinLabel1 = nullptr; // "Category Name:"
    TSkinLabel* SkinLabel2 = nullptr; // "Select Icon:"

    // The marks drawn in the row (the main window's copy of the skin's pictures).
    void SetPictures(const SkinPictures* pictures);
    // Run on every activation, after the captions are set and before the name
    // field takes the focus: the main window applies its stay-on-top rule, the
    // skin's templates and the grid's background colour here.
    void SetActivateHandler(std::function<void(TAddCategoryForm*)> handler) {
        activateHandler_ = std::move(handler);
    }

    // The name shown and the mark chosen before a showing.
    void Prepare(const QString& name, int mark);
    QString Name() const;
    int Mark() const;

    void StringGrid1DrawCell(QPainter& canvas, int ACol, const QRect& Rect);

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    const SkinPictures* pictures_ = nullptr;
    std::function<void(TAddCategoryForm*)> activateHandler_;
};

} // namespace quill
