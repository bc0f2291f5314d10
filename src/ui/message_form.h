#pragma once
// The program's own notice and yes/no dialog. One window for the whole run;
// every call lays it out anew around its text.

#include "message_layout.h"
#include "widgets/form.h"

#include <functional>

class QLabel;
class QPushButton;

namespace quill {

class TMessageForm : public TForm {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);
    ~TMessageForm() override;

    // Lays the dialog out for `text` and `kind` (see message_layout.h), shows it
    // modally and returns true when it closed with the first button ("OK"/"Yes").
    bool ShowMessageDialog(const QString& text, const QString& caption, int kind);

    // Lays the dialog out without showing it (ShowMessageDialog's first steps).
    void Prepare(const QString& text, const QString& caption, int kind);

    void Button1Click();
    void Button2Click();

    // The program's message window, used by the free ShowMessageDialog: the first
    // one made, or the one `maker` makes when the first message comes.
    static TMessageForm* Instance();
    static void SetMaker(std::function<TMessageForm*()> maker);

protected:
    void FormShow() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Image1 = nullptr; // question picture
    QLabel* Label1 = nullptr; // the message text
    QLabel* Image2 = nullptr; // error picture
};

// Shows the program's message dialog (the one made at start-up, or a passing one
// when there is none yet).
bool ShowMessageDialog(const QString& text, const QString& caption, int kind);

} // namespace quill
