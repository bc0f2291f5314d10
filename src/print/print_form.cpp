#include "print_form.h"

#include "skin/skin.h"
#include "skin/skin_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRadioButton>
#include <QStandardPaths>

namespace quill {
namespace {

// A job that runs longer than this shows its progress with a Cancel button.
constexpr int kProgressDelayMs = 300;

template <typename W> W* Put(QWidget* parent, const char* name, int left, int top) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->move(left, top);
    return widget;
}

} // namespace

TPrintForm::TPrintForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QStringLiteral("Print"));
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11); // 8 points at 96 dots per inch
    setFont(font);
    SetClientSize(260, 233);

    QWidget* c = Client();
    SkinLabel1 = Put<TSkinLabel>(c, "SkinLabel1", 15, 12);
    ComboBox2 = Put<QComboBox>(c, "ComboBox2", 65, 8);
    ComboBox2->resize(131, 21);
    CheckBox1 = Put<QCheckBox>(c, "CheckBox1", 15, 40);
    CheckBox2 = Put<QCheckBox>(c, "CheckBox2", 15, 64);
    CheckBox3 = Put<QCheckBox>(c, "CheckBox3", 15, 88);
    CheckBox4 = Put<QCheckBox>(c, "CheckBox4", 16, 112);
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        box->resize(230, 17);
    SkinLabel2 = Put<TSkinLabel>(c, "SkinLabel2", 15, 140);
    ComboBox1 = Put<QComboBox>(c, "ComboBox1", 60, 136);
    ComboBox1->resize(180, 21);
    SkinLabel3 = Put<TSkinLabel>(c, "SkinLabel3", 15, 170);
    RadioButton1 = Put<QRadioButton>(c, "RadioButton1", 87, 168);
    RadioButton2 = Put<QRadioButton>(c, "RadioButton2", 167, 168);
    RadioButton1->resize(78, 17);
    RadioButton2->resize(85, 17);
    SkinLabel1->resize(50, 15);
    SkinLabel2->resize(45, 15);
    SkinLabel3->resize(70, 15);
    // A drop-down tied to its label would be read by the label alone, without its
    // value (no selection interface on this Qt): the label's words describe it.
    ComboBox2->setAccessibleDescription(QStringLiteral("Sort by"));
    ComboBox1->setAccessibleDescription(QStringLiteral("Printer"));
    for (QRadioButton* button : {RadioButton1, RadioButton2})
        button->setAccessibleDescription(QStringLiteral("Orientation"));
    SetKeyPreview(true);
    FormCreate();
    SetSkinTemplate(QStringLiteral("PrintForm"), {{SkinLabel1, QStringLiteral("Label")},
                                                  {SkinLabel2, QStringLiteral("Label")},
                                                  {SkinLabel3, QStringLiteral("Label")}});
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::FormCreate() {
    ComboBox2->clear();
    ComboBox2->addItems({QStringLiteral("Due Date"), QStringLiteral("Priority")});
    ComboBox2->setCurrentIndex(0);
    CheckBox1->setText(QStringLiteral("Separate Categories"));
    CheckBox2->setText(QStringLiteral("Print each Category on new page"));
    CheckBox3->setText(QStringLiteral("Print only uncompleted tasks"));
    CheckBox4->setText(QStringLiteral("Print task descriptions"));
    CheckBox1->setChecked(true);
    CheckBox4->setChecked(true);
    RadioButton1->setText(QStringLiteral("Portrait"));
    RadioButton2->setText(QStringLiteral("Landscape"));
    RadioButton1->setChecked(true);
    SkinLabel1->SetCaption(QStringLiteral("Sort by:"));
    SkinLabel2->SetCaption(QStringLiteral("Printer:"));
    SkinLabel3->SetCaption(QStringLiteral("Orientation:"));
}

PrintChoices TPrintForm::Choices() const {
    PrintChoices choices;
    choices.SortBy = ComboBox2->currentIndex() == 1 ? 1 : 0;
    choices.SeparateCategories = CheckBox1->isChecked();
    choices.NewPagePerCategory = CheckBox2->isChecked();
    choices.OnlyUncompleted = CheckBox3->isChecked();
    choices.Descriptions = CheckBox4->isChecked();
    choices.Landscape = !RadioButton1->isChecked();
    return choices;
}

void TPrintForm::FormShow() {
    // The system's printers as they are now, the first one chosen.
    ComboBox1->clear();
    ComboBox1->addItems(PrinterChoices());
    ComboBox1->setCurrentIndex(0);
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TPrintForm::FormClose(int modalResult) {
    if (modalResult == mrOk)
        PrintTasks();
}

bool TPrintForm::FormKeyDown(QKeyEvent* event) {
    return CloseOnEnterOrEscape(event);
}

QString TPrintForm::SuggestedPdfPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QString::fromLatin1(kPdfFileSuggestion));
}

QString TPrintForm::AskPdfFile() {
    const QString suggested = SuggestedPdfPath();
    if (chooseFile_)
        return chooseFile_(suggested);
    return QFileDialog::getSaveFileName(this, QStringLiteral("Print to PDF file"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

PrintJobResult TPrintForm::PrintTasks() {
    PrintJobInput input = source_ ? source_() : PrintJobInput{};
    input.choices = Choices();
    const QString entry = ComboBox1->currentText();
    const bool toFile = entry == QLatin1String(kPdfFileEntry);
    QString path;
    if (toFile) {
        path = AskPdfFile();
        if (path.isEmpty()) {
            last_ = PrintJobResult{PrintJobResult::Status::Cancelled, QString(), 0};
            return last_;
        }
    }

    // A long job shows how far it is and can be cancelled.
    QProgressDialog progress(QStringLiteral("Printing tasks..."), QStringLiteral("Cancel"), 0, 1,
                             this);
    progress.setWindowTitle(QStringLiteral("Print"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    const PrintProgress onProgress = [&](int done, int total) {
        if (progress.maximum() != total)
            progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    };
    last_ =
        toFile ? PrintToPdfFile(path, input, onProgress) : PrintToPrinter(entry, input, onProgress);
    progress.close();
    if (last_.status == PrintJobResult::Status::Failed) {
        if (report_)
            report_(last_.error);
        else
            QMessageBox::warning(this, QStringLiteral("Attention"), last_.error);
    }
    return last_;
}

} // namespace quill
