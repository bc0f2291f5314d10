#include "options_form.h"

#include "skin/skin.h"
#include "skin/skin_label.h"
#include "widgets/wrapping_check_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>

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

TOptionsForm::TOptionsForm(QWidget* parent) : TForm(parent) {
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
    // A drop-down tied to its label would be read by the label alone, without its
    // value (no selection interface on this Qt): the label's words describe it.
    ComboBox2->setAccessibleDescription(QStringLiteral("Skins"));
    ComboBox1->setAccessibleDescription(QStringLiteral("Sort by"));

    // The shorter column captions replace the longer ones of the design.
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
    ComboBox1->addItems(
        {QStringLiteral("Due Date"), QStringLiteral("Priority"), QStringLiteral("Category")});

    switches_ = {CheckBox1, CheckBox2,  CheckBox4,  CheckBox5, CheckBox6,
                 CheckBox7, CheckBox10, CheckBox11, CheckBox8, CheckBox9};
    Load(ProgramOptions());
    SetSkinTemplate(QStringLiteral("OptionsForm"));
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::SetSkinSource(std::function<QStringList()> skinList,
                                 std::function<QString()> currentSkin) {
    skinList_ = std::move(skinList);
    currentSkin_ = std::move(currentSkin);
}

void TOptionsForm::Load(const ProgramOptions& options) {
    {
        // A position the list does not have leaves it without a selection.
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->setCurrentIndex(options.sortBy);
    }
    for (size_t i = 0; i < kOptionSwitches.size(); ++i)
        switches_[i]->setChecked(options.*kOptionSwitches[i].field);
}

ProgramOptions TOptionsForm::Options() const {
    ProgramOptions options;
    options.sortBy = ComboBox1->currentIndex();
    for (size_t i = 0; i < kOptionSwitches.size(); ++i)
        options.*kOptionSwitches[i].field = switches_[i]->isChecked();
    return options;
}

std::optional<QString> TOptionsForm::ChosenSkin() const {
    const int chosen = ComboBox2->currentIndex();
    if (chosen < 0 || chosen == skinPositionAtShow_)
        return std::nullopt;
    return ComboBox2->currentText();
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
    RefillSkinList();
    skinPositionAtShow_ = ComboBox2->currentIndex();
    // Centred on the main window, like every dialog of the program.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
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

} // namespace quill
