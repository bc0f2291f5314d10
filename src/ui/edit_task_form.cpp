#include "edit_task_form.h"

#include "core/date_time.h"
#include "message_form.h"
#include "repeat_choice_dialog.h"
#include "skin/skin_label.h"
#include "widgets/date_time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace quill {

namespace {
const char* const kAttention = "Attention";
const char* const kEmptyTitle = "You have to enter something in task field.";
// The entries of "Repeat:": the ready-made rules, then "Custom..." and, for a
// task that came with a rule the editor cannot make, that rule.
constexpr int kRepeatCustom = 6;
constexpr int kRepeatForeign = 7;
const char* const kRepeatNames[] = {"Never",       "Every day",  "Every weekday", "Every week",
                                    "Every month", "Every year", "Custom\u2026"};
const char* const kRepeatRules[] = {
    "",           "FREQ=DAILY", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "FREQ=WEEKLY", "FREQ=MONTHLY",
    "FREQ=YEARLY"};
const char* const kForeignName = "Custom (from another program)";
const char* const kNoCategory = "You should create at least one category in order to create new "
                                "task. Please create new category.";

template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QFont DesignFont(int pixelHeight) {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixelHeight);
    return font;
}
} // namespace

QString TEditTaskForm::SoundFileFilter() {
    // The first three patterns are the chooser's own; the others are the formats
    // the reminder player plays besides them.
    return QStringLiteral("Media files (*.mp3 *.wav *.mid *.midi *.flac *.ogg *.oga *.opus)");
}

TEditTaskForm::TEditTaskForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("EditTaskForm"));
    setWindowTitle(QStringLiteral("Task"));
    setFont(DesignFont(11));
    SetClientSize(kClientWidth, kClientHeight);
    SetKeyPreview(true);

    QWidget* c = Client();
    SkinLabel1 = Place(new TSkinLabel(c), "SkinLabel1", 8, 0, 49, 14);
    Edit1 = Place(new QLineEdit(c), "Edit1", 8, 16, 203, 21);
    Edit1->setFrame(false);
    Edit1->setFont(DesignFont(12));
    SkinLabel3 = Place(new TSkinLabel(c), "SkinLabel3", 218, 0, 100, 14);
    ComboBox4 = Place(new QComboBox(c), "ComboBox4", 218, 16, 105, 21);
    Memo1 = Place(new QPlainTextEdit(c), "Memo1", 8, 40, 316, 153);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(false);
    CheckBox3 = Place(new QCheckBox(c), "CheckBox3", 8, 205, 76, 17);
    DateTimePicker1 =
        Place(new TDateTimePicker(TDateTimePicker::dtkDate, c), "DateTimePicker1", 89, 203, 97, 21);
    SkinLabel2 = Place(new TSkinLabel(c), "SkinLabel2", 193, 207, 49, 17);
    ComboBox1 = Place(new QComboBox(c), "ComboBox1", 241, 203, 81, 21);
    CheckBox1 = Place(new QCheckBox(c), "CheckBox1", 17, 247, 81, 17);
    DateTimePicker4 =
        Place(new TDateTimePicker(TDateTimePicker::dtkTime, c), "DateTimePicker4", 98, 245, 88, 21);
    DateTimePicker2 = Place(new TDateTimePicker(TDateTimePicker::dtkDate, c), "DateTimePicker2",
                            194, 245, 120, 21);
    CheckBox2 = Place(new QCheckBox(c), "CheckBox2", 17, 271, 89, 17);
    Edit2 = Place(new QLineEdit(c), "Edit2", 98, 269, 184, 21);
    Edit2->setReadOnly(true);
    Button1 = Place(new QPushButton(c), "Button1", 284, 269, 30, 21);
    Button1->setText(QStringLiteral("..."));
    Button1->setAutoDefault(false);
    // Last in the tab order, in the room below "Sound:".
    RepeatLabel = Place(new TSkinLabel(c), "RepeatLabel", 17, 299, 72, 17);
    RepeatBox = Place(new QComboBox(c), "RepeatBox", 98, 296, 216, 21);
    for (const char* name : kRepeatNames)
        RepeatBox->addItem(QString::fromUtf8(name));
    RepeatBox->setEnabled(false);
    // What a screen reader calls each field: the label beside it, or what it holds.
    SkinLabel1->setBuddy(Edit1);
    // A drop-down tied to its label would be read by the label alone, without its
    // value (no selection interface on this Qt): the label's words describe it.
    ComboBox4->setAccessibleDescription(QStringLiteral("Category"));
    ComboBox1->setAccessibleDescription(QStringLiteral("Priority"));
    Memo1->setAccessibleName(QStringLiteral("Description"));
    DateTimePicker1->setAccessibleName(QStringLiteral("Due date"));
    DateTimePicker4->setAccessibleName(QStringLiteral("Reminder time"));
    DateTimePicker2->setAccessibleName(QStringLiteral("Reminder date"));
    Edit2->setAccessibleName(QStringLiteral("Sound file"));
    Button1->setAccessibleName(QStringLiteral("Choose sound file"));
    RepeatBox->setAccessibleDescription(QStringLiteral("Repeat"));

    SetSkinTemplate(QStringLiteral("EditTaskForm"));

    // The design states.
    CheckBox2->setChecked(true);
    DateTimePicker1->setEnabled(false);
    DateTimePicker2->setEnabled(false);
    Edit2->setEnabled(false);
    Button1->setEnabled(false);

    // A rule runs on every change of state, from a click or from code, and only then.
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
    connect(CheckBox3, &QCheckBox::toggled, this, [this] { CheckBox3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    // Only a choice the user makes is a change; filling from code is not.
    connect(ComboBox4, &QComboBox::activated, this, [this](int index) { ComboBox4Change(index); });
    connect(RepeatBox, &QComboBox::activated, this, [this](int index) { RepeatBoxChange(index); });
    connect(this, &TForm::ClientResized, this, [this] { FormCanResize(); });

    chooseFile_ = [](QWidget* owner, const QString& filter) {
        return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
    };
    notice_ = [](const QString& text) {
        ShowMessageDialog(text, QString::fromLatin1(kAttention), kNoticeMessage);
    };
    chooseRepeat_ = [](QWidget* owner, const RepeatChoice& initial) {
        return AskCustomRepeat(owner, initial);
    };
    standardNotice_ = [this](const QString& text) {
        QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kAttention), text,
                        QMessageBox::Ok, this);
        box.exec();
    };
    FormCreate();
}

TEditTaskForm::~TEditTaskForm() = default;

void TEditTaskForm::FormCreate() {
    CheckBox3->setText(QStringLiteral("Due date:"));
    CheckBox1->setText(QStringLiteral("Reminder:"));
    CheckBox2->setText(QStringLiteral("Sound:"));
    ComboBox1->addItems({QStringLiteral("High"), QStringLiteral("Normal"), QStringLiteral("Low")});
    ComboBox1->setCurrentIndex(openingPriority_);
}

// Every size request is answered with the design size (the skin's frame around
// the design client area), and the title field stays where it belongs.
void TEditTaskForm::FormCanResize() {
    const QMargins m = FrameMargins();
    const QSize wanted(kClientWidth + m.left() + m.right(), kClientHeight + m.top() + m.bottom());
    setMinimumSize(wanted);
    setMaximumSize(wanted);
    if (size() != wanted)
        resize(wanted);
    Edit1->move(8, 16);
}

void TEditTaskForm::SetOpeningPriority(int priority) {
    openingPriority_ = priority;
    // Shown at once as well, for a window the system never activates.
    ComboBox1->setCurrentIndex(priority);
}

void TEditTaskForm::FormShow() {
    activatedThisOpening_ = false;
    // Centred on the main window.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TEditTaskForm::FormActivate() {
    // Once per opening: coming back from the categories window or the file
    // chooser activates the window again but must not reset the priority.
    if (activatedThisOpening_)
        return;
    activatedThisOpening_ = true;
    ++activationRuns_;
    SkinLabel1->SetCaption(QStringLiteral("Task:"));
    SkinLabel3->SetCaption(QStringLiteral("Category:"));
    SkinLabel2->SetCaption(QStringLiteral("Priority:"));
    RepeatLabel->SetCaption(QStringLiteral("Repeat:"));
    CheckBox3->setText(QStringLiteral("Due date:"));
    CheckBox1->setText(QStringLiteral("Reminder:"));
    CheckBox2->setText(QStringLiteral("Sound:"));
    ComboBox1->clear();
    ComboBox1->addItems({QStringLiteral("High"), QStringLiteral("Normal"), QStringLiteral("Low")});
    ComboBox1->setCurrentIndex(openingPriority_);
    Edit1->setFocus();
}

void TEditTaskForm::CheckBox1Click() {
    const bool c = CheckBox1->isChecked();
    if (c)
        DateTimePicker2->SetDateTime(Today() + 1);
    DateTimePicker4->setEnabled(c);
    DateTimePicker2->setEnabled(c);
    if (c)
        DateTimePicker4->SetDateTime(TimePart(Now()));
    CheckBox2->setEnabled(c);
    CheckBox2->setChecked(true);
    Button1->setEnabled(c);
    Edit2->setEnabled(c);
}

void TEditTaskForm::CheckBox2Click() {
    const bool c = CheckBox2->isChecked();
    Edit2->setEnabled(c);
    Button1->setEnabled(c);
    if (c)
        Edit2->setText(QStringLiteral("alarm.wav"));
}

void TEditTaskForm::CheckBox3Click() {
    const bool c = CheckBox3->isChecked();
    if (c)
        DateTimePicker1->SetDateTime(Today() + 1);
    DateTimePicker1->setEnabled(c);
    // A rule counts from the due date: without one there is nothing to repeat.
    RepeatBox->setEnabled(c);
}

void TEditTaskForm::Button1Click() {
    Q_EMIT SoundChooserOpening();
    const QString file = chooseFile_ ? chooseFile_(this, SoundFileFilter()) : QString();
    if (!file.isEmpty())
        Edit2->setText(file);
    Q_EMIT SoundChooserClosed();
}

void TEditTaskForm::ComboBox4Change(int index) {
    if (index != ComboBox4->count() - 1)
        return;
    if (editCategories_)
        editCategories_();
    ComboBox4->setCurrentIndex(0);
}

void TEditTaskForm::RepeatBoxChange(int index) {
    if (index != kRepeatCustom) {
        repeatIndex_ = index;
        return;
    }
    // The dialog starts from the rule shown before, when the editor can make it.
    const RepeatChoice initial =
        ReadRepeatChoice(RepeatRuleAt(repeatIndex_)).value_or(RepeatChoice{RepeatUnit::Weeks});
    const std::optional<RepeatChoice> chosen =
        chooseRepeat_ ? chooseRepeat_(this, initial) : std::nullopt;
    if (!chosen) {
        RepeatBox->setCurrentIndex(repeatIndex_);
        return;
    }
    customRule_ = RepeatRuleText(*chosen);
    RepeatBox->setItemText(kRepeatCustom, DescribeRepeat(*chosen));
    repeatIndex_ = kRepeatCustom;
}

std::string TEditTaskForm::RepeatRuleAt(int index) const {
    // A custom rule the user changed is no longer the one the task came with.
    if (index == loadedRepeatIndex_ && index != kRepeatCustom)
        return loadedRule_;
    if (index >= 0 && index < kRepeatCustom)
        return kRepeatRules[index];
    return index == kRepeatCustom ? customRule_ : foreignRule_;
}

void TEditTaskForm::LoadRepeat(const std::string& rule) {
    while (RepeatBox->count() > kRepeatForeign)
        RepeatBox->removeItem(kRepeatForeign);
    RepeatBox->setItemText(kRepeatCustom, QString::fromUtf8(kRepeatNames[kRepeatCustom]));
    customRule_.clear();
    foreignRule_.clear();
    int index = 0;
    while (index < kRepeatCustom && rule != kRepeatRules[index])
        ++index;
    if (index == kRepeatCustom) {
        if (const std::optional<RepeatChoice> choice = ReadRepeatChoice(rule)) {
            customRule_ = rule;
            RepeatBox->setItemText(kRepeatCustom, DescribeRepeat(*choice));
        } else {
            foreignRule_ = rule;
            RepeatBox->addItem(QString::fromLatin1(kForeignName));
            index = kRepeatForeign;
        }
    }
    loadedRepeatIndex_ = index;
    loadedRule_ = rule;
    repeatIndex_ = index;
    RepeatBox->setCurrentIndex(index);
}

void TEditTaskForm::SetCategoryNames(const QStringList& names) {
    const QSignalBlocker blocker(ComboBox4);
    ComboBox4->clear();
    ComboBox4->addItems(names);
    ComboBox4->addItem(QStringLiteral("Edit Categories..."));
    ComboBox4->setCurrentIndex(0);
}

void TEditTaskForm::LoadNewTask(int category, TDateTime now) {
    CheckBox2->setEnabled(false);
    Button1->setEnabled(false);
    Edit2->setEnabled(false);
    Edit1->clear();
    Edit2->clear();
    CheckBox1->setChecked(false);
    CheckBox2->setChecked(false);
    CheckBox3->setChecked(false);
    DateTimePicker4->setEnabled(false);
    DateTimePicker1->setEnabled(false);
    DateTimePicker2->setEnabled(false);
    RepeatBox->setEnabled(false);
    LoadRepeat(std::string());
    SetOpeningPriority(1);
    // A position that names no category (it was removed) falls back to the first,
    // so nothing is ever stored with a category that is gone.
    const int categories = ComboBox4->count() - 1;
    ComboBox4->setCurrentIndex(category >= 0 && category < categories ? category : 0);
    DateTimePicker4->SetDateTime(TimePart(now));
    Memo1->clear();
    DateTimePicker1->SetDateTime(DatePart(now) + 1);
    DateTimePicker2->SetDateTime(DatePart(now) + 1);
}

void TEditTaskForm::LoadTask(const TTASK_ITEM& task, TDateTime now) {
    const auto text = [](const std::string& bytes) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    };
    const TDateTime tomorrow = DatePart(now) + 1;
    ComboBox4->setCurrentIndex(task.CategoryIndex);
    SetOpeningPriority(task.Priority);
    Edit1->setText(text(task.Title));
    Memo1->setPlainText(text(task.Description));
    CheckBox1->setChecked(task.ReminderOn != 0);
    CheckBox2->setEnabled(task.ReminderOn != 0);
    Button1->setEnabled(task.ReminderOn != 0);
    Edit2->setEnabled(task.ReminderOn != 0);
    CheckBox3->setChecked(task.HasDueDate != 0);
    DateTimePicker1->setEnabled(CheckBox3->isChecked());
    RepeatBox->setEnabled(CheckBox3->isChecked());
    LoadRepeat(task.RepeatRule);
    DateTimePicker4->setEnabled(CheckBox1->isChecked());
    DateTimePicker2->setEnabled(CheckBox1->isChecked());
    CheckBox2->setChecked(task.PlaySound != 0);
    Edit2->setText(text(task.SoundFile));
    DateTimePicker1->SetDateTime(task.HasDueDate ? task.DueDate : tomorrow);
    DateTimePicker2->SetDateTime(task.ReminderOn ? task.ReminderDate : tomorrow);
    DateTimePicker4->SetDateTime(task.ReminderOn ? task.ReminderTime : TimePart(now));
}

TaskEditorValues TEditTaskForm::Values() const {
    const auto bytes = [](const QString& text) { return text.toUtf8().toStdString(); };
    TaskEditorValues v;
    v.CategoryIndex = ComboBox4->currentIndex();
    v.Priority = ComboBox1->currentIndex();
    v.Title = bytes(Edit1->text());
    v.Description = bytes(Memo1->toPlainText());
    v.HasDueDate = CheckBox3->isChecked();
    v.DueDate = DateTimePicker1->DateTime();
    v.ReminderOn = CheckBox1->isChecked();
    v.ReminderDate = DateTimePicker2->DateTime();
    v.ReminderTime = DateTimePicker4->DateTime();
    v.PlaySound = CheckBox2->isChecked();
    v.SoundFile = bytes(Edit2->text());
    v.RepeatRule = RepeatRuleAt(RepeatBox->currentIndex());
    return v;
}

bool TEditTaskForm::HasCategoryChosen() const {
    const int item = ComboBox4->currentIndex();
    return item >= 0 && item < ComboBox4->count() - 1;
}

void TEditTaskForm::OkRule(bool standardBoxForTitle) {
    const bool hasTitle = !Edit1->text().isEmpty();
    if (!hasTitle) {
        const QString text = QString::fromLatin1(kEmptyTitle);
        const auto& tell = standardBoxForTitle ? standardNotice_ : notice_;
        if (tell)
            tell(text);
    }
    // No selection at all is refused like "Edit Categories...": a task is never
    // stored with a category that does not exist.
    if (!HasCategoryChosen() && notice_)
        notice_(QString::fromLatin1(kNoCategory));
    if (hasTitle && HasCategoryChosen())
        SetModalResult(mrOk);
}

void TEditTaskForm::OkButtonClick() {
    OkRule(false);
}

bool TEditTaskForm::FormKeyDown(QKeyEvent* event) {
    // Tab types a tab in the description; Ctrl+Tab (with Shift: backwards) leaves
    // it, so the keyboard alone reaches the fields below.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier))
        return false;
    focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
    return true;
}

bool TEditTaskForm::FormKeyPress(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter in the description starts a new line.
        if (Memo1->hasFocus())
            return false;
        OkRule(true);
        return true;
    case Qt::Key_Escape:
        SetModalResult(mrCancel);
        return true;
    default:
        return false;
    }
}

} // namespace quill
