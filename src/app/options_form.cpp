#include "options_form.h"

#include "app_error_handler.h"

#include "core/app_error.h"
#include "platform/settings_store.h"
#include "skin/skin.h"
#include "skin/skin_label.h"
#include "widgets/wrapping_check_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>

#include <cstring>
#include <optional>

namespace quill {

namespace {
constexpr int kClientWidth = 338;
constexpr int kClientHeight = 266;

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, int left, int top, int width,
                        int height = 17) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(left, top, width, height);
    return box;
}
} // namespace

int SkinListPosition(const QStringList& names, const QString& name) {
    if (names.isEmpty())
        return -1;
    int position = 0;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i) == name)
            position = i;
    }
    return position;
}

TOptionsForm::TOptionsForm(SettingsStore& settings, QWidget* parent)
    : TForm(parent), settings_(settings) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    setFont(font);
    SetClientSize(kClientWidth, kClientHeight);
    SetKeyPreview(true);

    QWidget* c = Client();
    CheckBox1 = MakeCheckBox(c, "CheckBox1", 23, 32, 150);
    CheckBox2 = MakeCheckBox(c, "CheckBox2", 23, 56, 150);
    CheckBox4 = MakeCheckBox(c, "CheckBox4", 23, 80, 150);
    CheckBox9 = MakeCheckBox(c, "CheckBox9", 23, 104, 150);
    CheckBox5 = MakeCheckBox(c, "CheckBox5", 183, 32, 145);
    CheckBox6 = MakeCheckBox(c, "CheckBox6", 183, 56, 145);
    CheckBox7 = MakeCheckBox(c, "CheckBox7", 183, 80, 145);
    CheckBox10 = MakeCheckBox(c, "CheckBox10", 183, 104, 145);
    CheckBox11 = MakeCheckBox(c, "CheckBox11", 183, 128, 145);
    CheckBox8 = new WrappingCheckBox(c);
    CheckBox8->setObjectName(QStringLiteral("CheckBox8"));
    CheckBox8->setGeometry(183, 144, 145, 32);

    SkinLabel3 = new TSkinLabel(c);
    SkinLabel3->setObjectName(QStringLiteral("SkinLabel3"));
    SkinLabel3->move(17, 143);
    ComboBox2 = new QComboBox(c);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(71, 139, 100, 21);

    SkinLabel1 = new TSkinLabel(c);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    SkinLabel1->move(17, 167);
    ComboBox1 = new QComboBox(c);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(71, 163, 100, 21);

    SkinLabel3->SetCaption(QStringLiteral("Skins:"));
    SkinLabel3->resize(52, 15);
    SkinLabel1->SetCaption(QStringLiteral("Sort by:"));
    SkinLabel1->resize(52, 15);

    // The control that holds each option of the settings table.
    for (size_t i = 0; i < settings::kDialogOptions.size(); ++i)
        controls_[i] =
            c->findChild<QWidget*>(QString::fromLatin1(settings::kDialogOptions[i].control));

    FormCreate();
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::SetSkinSource(std::function<QStringList()> skinList,
                                 std::function<QString()> currentSkin) {
    skinList_ = std::move(skinList);
    currentSkin_ = std::move(currentSkin);
}

void TOptionsForm::FormCreate() {
    CheckBox1->setText(QStringLiteral("Start with Windows"));
    CheckBox2->setText(QStringLiteral("Minimize on start"));
    CheckBox4->setText(QStringLiteral("Transparency"));
    CheckBox9->setText(QStringLiteral("Always on Top"));
    CheckBox5->setText(QStringLiteral("Due Date"));
    CheckBox6->setText(QStringLiteral("Priority"));
    CheckBox7->setText(QStringLiteral("Category"));
    CheckBox10->setText(QStringLiteral("Reminder Icon"));
    CheckBox11->setText(QStringLiteral("Grid"));
    CheckBox8->setText(QStringLiteral("Done Task put in bottom"));
    {
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(
            {QStringLiteral("Due Date"), QStringLiteral("Priority"), QStringLiteral("Category")});
    }
    // Every option from its stored value, in the order of the settings table.
    for (size_t i = 0; i < settings::kDialogOptions.size(); ++i) {
        const settings::DialogOption& option = settings::kDialogOptions[i];
        if (auto* box = qobject_cast<QCheckBox*>(controls_[i])) {
            box->setChecked(settings_.ReadBool(option.name, option.def != 0));
        } else if (auto* list = qobject_cast<QComboBox*>(controls_[i])) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(settings_.ReadInteger(option.name, option.def));
        }
    }
}

void TOptionsForm::RefillSkinList() {
    const QStringList names = skinList_ ? skinList_() : QStringList();
    const QString current = currentSkin_ ? currentSkin_() : QString();
    const QSignalBlocker blocker(ComboBox2);
    ComboBox2->clear();
    ComboBox2->addItems(names);
    ComboBox2->setCurrentIndex(SkinListPosition(names, current));
}

void TOptionsForm::FormShow() {
    if (Tag == 0 && skin_) {
        skin_->ApplySkin(this);
        skin_->ApplySkinByName(this, QStringLiteral("OptionsForm"));
        Tag = 1;
    }
    RefillSkinList();
    skinPositionAtShow_ = ComboBox2->currentIndex();
    // Centred on the main window, like every dialog of the program.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TOptionsForm::FormActivate() {
    if (activateHandler_)
        activateHandler_(this);
}

bool TOptionsForm::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Button1Click();
        return true;
    case Qt::Key_Escape:
        Button2Click();
        return true;
    default:
        return false;
    }
}

void TOptionsForm::WriteSettings() {
    // Every value is tried; one failure does not keep the others from the file.
    QString failure;
    for (size_t i = 0; i < settings::kDialogOptions.size(); ++i) {
        const char* name = settings::kDialogOptions[i].name;
        const QString problem = CaptureAppError([&] {
            if (auto* box = qobject_cast<QCheckBox*>(controls_[i]))
                settings_.WriteBool(name, box->isChecked());
            else if (auto* list = qobject_cast<QComboBox*>(controls_[i]))
                settings_.WriteInteger(name, list->currentIndex());
        });
        if (failure.isEmpty())
            failure = problem;
    }
    if (!failure.isEmpty())
        throw AppError(failure.toStdString());
}

QWidget* TOptionsForm::Control(const char* name) const {
    for (size_t i = 0; i < settings::kDialogOptions.size(); ++i) {
        if (std::strcmp(settings::kDialogOptions[i].name, name) == 0)
            return controls_[i];
    }
    return nullptr;
}

bool TOptionsForm::Checked(settings::BoolSetting setting) const {
    const auto* box = qobject_cast<const QCheckBox*>(Control(setting.name));
    return box ? box->isChecked() : setting.def;
}

bool TOptionsForm::StartWithWindows() const {
    return Checked(settings::kStartWithWindows);
}
bool TOptionsForm::MinimizeOnStart() const {
    return Checked(settings::kMinimizeOnStart);
}
bool TOptionsForm::Transparency() const {
    return Checked(settings::kTransparency);
}
bool TOptionsForm::AlwaysOnTop() const {
    return Checked(settings::kAlwaysOnTop);
}
bool TOptionsForm::ShowDueDate() const {
    return Checked(settings::kShowDueDate);
}
bool TOptionsForm::ShowPriority() const {
    return Checked(settings::kShowPriority);
}
bool TOptionsForm::ShowCategory() const {
    return Checked(settings::kShowCategory);
}
bool TOptionsForm::ShowReminder() const {
    return Checked(settings::kShowReminder);
}
bool TOptionsForm::ShowGrid() const {
    return Checked(settings::kShowGrid);
}
bool TOptionsForm::DoneTaskPutInBottom() const {
    return Checked(settings::kDoneTaskPutInBottom);
}
int32_t TOptionsForm::SortBy() const {
    return ComboBox1->currentIndex();
}

} // namespace quill
