#pragma once
// The print options dialog: sort order, grouping, a new page per category,
// only unfinished tasks, descriptions, the printer and the orientation. Its
// choices last for the run; closing it with OK prints before it is gone.

#include "print_job.h"
#include "widgets/form.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace quill {

class TSkin;
class TSkinLabel;

class TPrintForm : public TForm {
    Q_OBJECT
public:
    explicit TPrintForm(QWidget* parent = nullptr);
    ~TPrintForm() override;

    // What a job prints, asked when it starts.
    void SetJobSource(std::function<PrintJobInput()> source) { source_ = std::move(source); }
    // Asks where "PDF file" writes, given the suggested path; empty prints nothing.
    void SetPdfFileChooser(std::function<QString(const QString&)> chooser) {
        chooseFile_ = std::move(chooser);
    }
    // Tells the user what went wrong (a standard message box unless set).
    void SetErrorReporter(std::function<void(const QString&)> report) {
        report_ = std::move(report);
    }

    // The dialog's choices as they stand.
    PrintChoices Choices() const;
    // Prints with the current choices on the selected entry (PrintTasks).
    PrintJobResult PrintTasks();
    const PrintJobResult& LastResult() const { return last_; }

    static QString SuggestedPdfPath();

protected:
    void FormShow() override;
    void FormClose(int modalResult) override;
    // Enter prints (OK), Escape closes without printing (Cancel).
    bool FormKeyDown(QKeyEvent* event) override;

private:
    TSkinLabel* SkinLabel1 = nullptr;     // "Sort by:"
    QComboBox* ComboBox2 = nullptr;       // sort order
    QCheckBox* CheckBox1 = nullptr;       // "Separate Categories"
    QCheckBox* CheckBox2 = nullptr;       // "Print each Category on new page"
    QCheckBox* CheckBox3 = nullptr;       // "Print only uncompleted tasks"
    QCheckBox* CheckBox4 = nullptr;       // "Print task descriptions"
    TSkinLabel* SkinLabel2 = nullptr;     // "Printer:"
    QComboBox* ComboBox1 = nullptr;       // the printers, then "PDF file"
    TSkinLabel* SkinLabel3 = nullptr;     // "Orientation:"
    QRadioButton* RadioButton1 = nullptr; // "Portrait"
    QRadioButton* RadioButton2 = nullptr; // "Landscape"
    void FormCreate();
    QString AskPdfFile();

    std::function<PrintJobInput()> source_;
    std::function<QString(const QString&)> chooseFile_;
    std::function<void(const QString&)> report_;
    PrintJobResult last_;
};

} // namespace quill
