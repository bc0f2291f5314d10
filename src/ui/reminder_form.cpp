#include "reminder_form.h"

#include "core/reminder_pass.h"
#include "skin/skin_label.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>

namespace quill {

namespace {
QFont Verdana(int points) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(points);
    return font;
}
} // namespace

TReminderForm::TReminderForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("ReminderForm"));
    // A fixed single border, and top-most until the first activation applies the
    // "Always on Top" setting.
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);
    setFont(Verdana(8));
    SetClientSize(290, 295);

    QWidget* c = Client();
    SkinLabel1 = new TSkinLabel(c);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    SkinLabel1->setGeometry(12, 8, 200, 16);
    Edit1 = new QLineEdit(c);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(12, 28, 266, 22);
    Edit1->setReadOnly(true);
    Edit1->setFont(Verdana(9));
    Memo1 = new QPlainTextEdit(c);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(12, 60, 266, 170);
    Memo1->setReadOnly(true);
    Memo1->setFont(Verdana(8));
    SkinLabel2 = new TSkinLabel(c);
    SkinLabel2->setObjectName(QStringLiteral("SkinLabel2"));
    SkinLabel2->setGeometry(12, 246, 84, 16);
    ComboBox1 = new QComboBox(c);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(100, 242, 178, 22);
    ComboBox1->setEditable(false);
    for (int i = 0; i < kSnoozeChoiceCount; ++i) {
        const std::string_view text = SnoozeChoiceText(i);
        ComboBox1->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
    // FormCreate: "5 minutes" once; later showings keep the user's last choice.
    ComboBox1->setCurrentIndex(kDefaultSnoozeChoice);
    SkinLabel1->setBuddy(Edit1);
    // A drop-down tied to its label would be read by the label alone, without its
    // value (no selection interface on this Qt): the label's words describe it.
    ComboBox1->setAccessibleDescription(QStringLiteral("Remind in"));
    Memo1->setAccessibleName(QStringLiteral("Description"));
    // The caption holds a number; a screen reader announces this instead.
    setAccessibleName(QStringLiteral("Reminder"));
    SetSkinTemplate(QStringLiteral("ReminderForm"),
                    {{SkinLabel1, QStringLiteral("Label")}, {SkinLabel2, QStringLiteral("Label")}});
}

void TReminderForm::ShowTask(int index, const QString& title, const QString& description) {
    setWindowTitle(QString::number(index));
    setAccessibleDescription(title);
    Edit1->setText(title);
    Edit1->setCursorPosition(0);
    Memo1->setPlainText(description);
}

int TReminderForm::TaskIndex() const {
    bool ok = false;
    const int index = windowTitle().toInt(&ok, 10);
    return ok ? index : -1;
}

int TReminderForm::SnoozeChoice() const {
    return ComboBox1->currentIndex();
}

void TReminderForm::FormShow() {
    // Each showing takes the captions and the skin's current look (before it is
    // mapped, so the frame does not change under the user's eyes).
    SkinLabel1->SetCaption(QStringLiteral("Task:"));
    SkinLabel2->SetCaption(QStringLiteral("Remind in:"));
    // The centre of the desktop, wherever the main window is.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

} // namespace quill
