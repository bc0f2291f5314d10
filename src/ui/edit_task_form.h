#pragma once
// The task editor: one modal window for a new task and for changing one. The
// task commands load it with values (LoadNewTask, LoadTask) and read what the
// user chose (Values); the window itself runs the check-box rules, the
// sound-file chooser, the keys and the input check of its OK button.

#include "calendar/repeat_rule.h"
#include "core/task_edit.h"
#include "widgets/form.h"

#include <QStringList>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quill {

class TDateTimePicker;
class TSkinLabel;

class TEditTaskForm : public TForm {
    Q_OBJECT
public:
    explicit TEditTaskForm(QWidget* parent = nullptr);
    ~TEditTaskForm() override;

    // The design client size; the window keeps it whatever the frame.
    static constexpr int kClientWidth = 346;
    static constexpr int kClientHeight = 332;

    // The chooser's filter: "Media files" and every format the reminder plays.
    static QString SoundFileFilter();

    // Shows the categories window modally and refills the category lists.
    void SetEditCategoriesHandler(std::function<void()> handler) {
        editCategories_ = std::move(handler);
    }
    // Asks for a sound file (empty: none chosen). Defaults to the file-open dialog.
    void SetFileChooser(std::function<QString(QWidget*, const QString& filter)> chooser) {
        chooseFile_ = std::move(chooser);
    }
    // Asks for a custom repeat rule (nothing: cancelled). Defaults to the
    // "Custom..." dialog.
    void SetCustomRepeatChooser(
        std::function<std::optional<RepeatChoice>(QWidget*, const RepeatChoice&)> chooser) {
        chooseRepeat_ = std::move(chooser);
    }
    // The notices of the input check: the program's message dialog, and the
    // standard message box Enter uses for the empty title.
    void SetNoticeHandlers(std::function<void(const QString&)> notice,
                           std::function<void(const QString&)> standardNotice) {
        notice_ = std::move(notice);
        standardNotice_ = std::move(standardNotice);
    }

    // The category drop-down: the names, then "Edit Categories..."; the first
    // entry is selected.
    void SetCategoryNames(const QStringList& names);
    // Prepares the editor for a new task: empty texts, the three boxes off,
    // "Normal", the category at `category` (the first one when that names none),
    // tomorrow for both dates and the time of `now`.
    void LoadNewTask(int category, TDateTime now);
    // Shows `task`; a switched-off due date or reminder proposes tomorrow (and the
    // time of `now`), as checking its box would.
    void LoadTask(const TTASK_ITEM& task, TDateTime now);

    // The priority FormActivate selects (0 "High", 1 "Normal", 2 "Low").
    void SetOpeningPriority(int priority);

    // The input check of the OK button: closes with OK when the title is not empty
    // and a category is chosen, else tells the user and stays open.
    void OkButtonClick();
    void CancelButtonClick() { SetModalResult(mrCancel); }

    // Handlers, callable from code as a click would run them.
    void CheckBox1Click(); // "Reminder:"
    void CheckBox2Click(); // "Sound:"
    void CheckBox3Click(); // "Due date:"
    void Button1Click();   // the sound-file chooser
    void ComboBox4Change(int index);
    void RepeatBoxChange(int index); // "Repeat:"

    // What the editor holds now; texts in UTF-8.
    TaskEditorValues Values() const;

    // How many times FormActivate ran (once per opening).
    int ActivationRuns() const { return activationRuns_; }
    // Whether the category entry shown can be stored: a category, not the last
    // entry ("Edit Categories...") and not nothing.
    bool HasCategoryChosen() const;

Q_SIGNALS:
    // The sound-file chooser opens and closes: it must not open behind this
    // window, so the stay-on-top band is left while it is up.
    void SoundChooserOpening();
    void SoundChooserClosed();

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* event) override;
    bool FormKeyPress(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormCanResize();
    // The OK rule; `standardBoxForTitle` picks the message box for the empty title.
    void OkRule(bool standardBoxForTitle);
    // Fills "Repeat:" for `rule` and remembers it as the rule the task came with.
    void LoadRepeat(const std::string& rule);
    // The rule the drop-down's entry stands for.
    std::string RepeatRuleAt(int index) const;

    TSkinLabel* SkinLabel1 = nullptr;           // "Task:"
    QLineEdit* Edit1 = nullptr;                 // Title
    TSkinLabel* SkinLabel3 = nullptr;           // "Category:"
    QComboBox* ComboBox4 = nullptr;             // CategoryIndex, then "Edit Categories..."
    QPlainTextEdit* Memo1 = nullptr;            // Description
    QCheckBox* CheckBox3 = nullptr;             // "Due date:"
    TDateTimePicker* DateTimePicker1 = nullptr; // DueDate
    TSkinLabel* SkinLabel2 = nullptr;           // "Priority:"
    QComboBox* ComboBox1 = nullptr;             // Priority
    QCheckBox* CheckBox1 = nullptr;             // "Reminder:"
    TDateTimePicker* DateTimePicker4 = nullptr; // ReminderTime
    TDateTimePicker* DateTimePicker2 = nullptr; // ReminderDate
    QCheckBox* CheckBox2 = nullptr;             // "Sound:"
    QLineEdit* Edit2 = nullptr;                 // SoundFile
    QPushButton* Button1 = nullptr;             // "..."
    TSkinLabel* RepeatLabel = nullptr;          // "Repeat:"
    QComboBox* RepeatBox = nullptr;             // RepeatRule

    std::function<void()> editCategories_;
    std::function<QString(QWidget*, const QString&)> chooseFile_;
    std::function<void(const QString&)> notice_;
    std::function<std::optional<RepeatChoice>(QWidget*, const RepeatChoice&)> chooseRepeat_;
    // The rule of "Custom..." and of a rule from another program; the entry and
    // rule the task came with, given back unchanged while that entry is chosen.
    std::string customRule_;
    std::string foreignRule_;
    int loadedRepeatIndex_ = 0;
    std::string loadedRule_;
    int repeatIndex_ = 0; // the entry before the one being chosen
    std::function<void(const QString&)> standardNotice_;
    int openingPriority_ = 1;
    bool activatedThisOpening_ = false;
    int activationRuns_ = 0;
};

} // namespace quill
