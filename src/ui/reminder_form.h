#pragma once
// The reminder window: the reminded task's title and description, and the choice
// of when to be reminded again. The window's caption carries the task's position
// in Tasks; its skinned "EditButton" reads it back.

#include "widgets/form.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace quill {

class TSkinLabel;

class TReminderForm : public TForm {
    Q_OBJECT
public:
    explicit TReminderForm(QWidget* parent = nullptr);

    // Fills the window for the task at `index` (the caption is the position).
    void ShowTask(int index, const QString& title, const QString& description);
    // The position the caption names, -1 when it is not a number.
    int TaskIndex() const;
    // The snooze choice shown (a position in the snooze choices).
    int SnoozeChoice() const;

protected:
    void FormShow() override;

private:
    QLineEdit* Edit1 = nullptr;      // the title
    QPlainTextEdit* Memo1 = nullptr; // the description
    QComboBox* ComboBox1 = nullptr;  // the snooze choices
    TSkinLabel* SkinLabel1 = nullptr;
    TSkinLabel* SkinLabel2 = nullptr;
};

} // namespace quill
