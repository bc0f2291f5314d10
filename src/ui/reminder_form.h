#pragma once
// The reminder window: the reminded task's title and description, and the choice
// of when to be reminded again. The window's caption carries the task's position
// in Tasks; its skinned "EditButton" reads it back.

#include "widgets/form.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace quill {

class TSkin;
class TSkinLabel;

class TReminderForm : public TForm {
    Q_OBJECT
public:
    explicit TReminderForm(QWidget* parent = nullptr);

    // The skin the window takes its look and its "ReminderForm" template from.
    void SetSkin(TSkin* skin) { skin_ = skin; }
    // Run on every activation: the main window applies its stay-on-top rule here.
    void SetActivateHandler(std::function<void(QWidget*)> handler) {
        activateHandler_ = std::move(handler);
    }

    // Fills the window for the task at `index` (the caption is the position).
    void ShowTask(int index, const QString& title, const QString& description);
    // The position the caption names, -1 when it is not a number.
    int TaskIndex() const;

    QLineEdit* Edit1 = nullptr;      // the title
    QPlainTextEdit* Memo1 = nullptr; // the description
    QComboBox* ComboBox1 = nullptr;  // the snooze choices
    TSkinLabel* SkinLabel1 = nullptr;
    TSkinLabel* SkinLabel2 = nullptr;

protected:
    void FormShow() override;
    void FormActivate() override;

private:
    TSkin* skin_ = nullptr;
    std::function<void(QWidget*)> activateHandler_;
};

} // namespace quill
