#pragma once
// The settings dialog. While the program runs its controls are the live copy of
// the options: everything that depends on an option reads these controls.

#include "core/live_options.h"
#include "core/settings_table.h"
#include "widgets/form.h"

#include <QStringList>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;

namespace quill {

class SettingsStore;
class TSkin;
class TSkinLabel;

class TOptionsForm : public TForm, public LiveOptions {
    Q_OBJECT
public:
    explicit TOptionsForm(SettingsStore& settings, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // Where the skin list and the current skin name come from, the skin that
    // draws the dialog, and the stay-on-top rule run on activation.
    void SetSkinSource(std::function<QStringList()> skinList, std::function<QString()> currentSkin);
    void SetSkin(TSkin* skin) { skin_ = skin; }
    void SetActivateHandler(std::function<void(QWidget*)> handler) {
        activateHandler_ = std::move(handler);
    }

    // Captions, then every control from the stored settings (at creation and after
    // every cancelled use).
    void FormCreate();

    void Button1Click() { SetModalResult(mrOk); }
    void Button2Click() { SetModalResult(mrCancel); }

    // ComboBox2's position once the dialog was last shown (the current skin).
    int SkinPositionAtShow() const { return skinPositionAtShow_; }

    // Writes "Sort by" and the ten check boxes, in that order. Every value is
    // tried; when any fails, one AppError is thrown at the end.
    void WriteSettings();

    // LiveOptions: the controls as they stand.
    bool StartWithWindows() const override;
    bool MinimizeOnStart() const override;
    bool Transparency() const override;
    bool AlwaysOnTop() const override;
    bool ShowDueDate() const override;
    bool ShowPriority() const override;
    bool ShowCategory() const override;
    bool ShowReminder() const override;
    bool ShowGrid() const override;
    bool DoneTaskPutInBottom() const override;
    int32_t SortBy() const override;

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

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    void RefillSkinList();
    // The control that holds the option of that name (nullptr for none).
    QWidget* Control(const char* name) const;
    bool Checked(settings::BoolSetting setting) const;

    SettingsStore& settings_;
    TSkin* skin_ = nullptr;
    std::function<QStringList()> skinList_;
    std::function<QString()> currentSkin_;
    std::function<void(QWidget*)> activateHandler_;
    int skinPositionAtShow_ = -1;
    std::array<QWidget*, settings::kDialogOptions.size()> controls_{}; // by table row
};

// The position of the entry equal to `name` exactly (the last one when several
// are), or 0 when none is; -1 for an empty list.
int SkinListPosition(const QStringList& names, const QString& name);

} // namespace quill
