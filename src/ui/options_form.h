#pragma once
// The settings dialog. It edits a copy of the program's options: Load fills the
// controls, Options reads back what the user chose; the caller decides what to
// keep. It also offers the installed skins, with the current one selected.

#include "core/program_options.h"
#include "widgets/form.h"

#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;

namespace quill {

class TSkin;
class TSkinLabel;

class TOptionsForm : public TForm {
    Q_OBJECT
public:
    explicit TOptionsForm(QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // Where the skin list and the current skin name come from, and the skin that
    // draws the dialog.
    void SetSkinSource(std::function<QStringList()> skinList, std::function<QString()> currentSkin);

    // Every control from `options`.
    void Load(const ProgramOptions& options);
    // The options as the controls stand.
    ProgramOptions Options() const;
    // The skin the user picked in the list, when it differs from the one
    // selected when the dialog was last shown; nothing otherwise.
    std::optional<QString> ChosenSkin() const;

    void Button1Click() { SetModalResult(mrOk); }
    void Button2Click() { SetModalResult(mrCancel); }

protected:
    void FormShow() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    void RefillSkinList();

    QCheckBox* CheckBox1 = nullptr;   // "Start with Windows"
    QCheckBox* CheckBox2 = nullptr;   // "Minimize on start"
    QCheckBox* CheckBox4 = nullptr;   // "Transparency"
    QCheckBox* CheckBox9 = nullptr;   // "Always on Top"
    QCheckBox* CheckBox5 = nullptr;   // "Due Date"
    QCheckBox* CheckBox6 = nullptr;   // "Priority"
    QCheckBox* CheckBox7 = nullptr;   // "Category"
    QCheckBox* CheckBox10 = nullptr;  // "Reminder Icon"
    QCheckBox* CheckBox11 = nullptr;  // "Grid"
    QCheckBox* CheckBox8 = nullptr;   // "Done Task put in bottom", two lines
    TSkinLabel* SkinLabel3 = nullptr; // "Skins:"
    QComboBox* ComboBox2 = nullptr;   // the installed skins
    TSkinLabel* SkinLabel1 = nullptr; // "Sort by:"
    QComboBox* ComboBox1 = nullptr;   // "Due Date", "Priority", "Category"

    std::function<QStringList()> skinList_;
    std::function<QString()> currentSkin_;
    int skinPositionAtShow_ = -1; // ComboBox2's position once the dialog was shown
    // The check box of each switch, in the order of kOptionSwitches.
    std::array<QCheckBox*, kOptionSwitches.size()> switches_{};
};

// The position of the entry equal to `name` exactly (the last one when several
// are), or 0 when none is; -1 for an empty list.
int SkinListPosition(const QStringList& names, const QString& name);

} // namespace quill
