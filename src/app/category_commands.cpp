#include "category_commands.h"

#include "core/task_store.h"
#include "main_form.h"
#include "options_form.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_label.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/fit_text.h"
#include "ui/mark_grid.h"
#include "ui/message_form.h"
#include "ui/task_list.h"
#include "widgets/string_grid.h"

#include <QComboBox>
#include <QScrollBar>

namespace quill {

namespace {

QColor GridBackground(const TSkin& skin) {
    return SkinColorToQColor(skin.WindowColor(), Qt::white);
}

bool ValidCategory(const TaskStore& store, int index) {
    return index >= 0 && index < static_cast<int>(store.Categories.size());
}

} // namespace

CategoryCommands::CategoryCommands(TMainForm& main, TaskStore& store, const AppWindowSet& windows)
    : main_(main), store_(store), categories_(windows.CategoriesForm),
      dialog_(windows.AddCategoryForm),
      message_([](const QString& text, const QString& caption, int kind) {
          return ShowMessageDialog(text, caption, kind);
      }) {
    if (categories_) {
        categories_->SetSources(&store_, &main_.Params, &main_.Pictures, windows.OptionsForm);
        CategoriesFormActions actions;
        actions.addCategory = [this] { AddCategory(); };
        actions.editCategory = [this](int index) { EditCategory(index); };
        actions.deleteCategory = [this](int index) { DeleteCategory(index); };
        actions.closeWindow = [this] { CloseCategoriesWindow(); };
        actions.activate = [this](TCategoriesForm* form) {
            main_.ApplyStayOnTop(form);
            form->SetGridColor(GridBackground(*main_.Skin1));
            main_.Skin1->ApplySkin(form);
            main_.Skin1->ApplySkinByName(form, QStringLiteral("CategoriesForm"));
            main_.Skin1->ApplySkinByName(form->ScrollBar1, QStringLiteral("VScrollBar"));
        };
        categories_->SetActions(std::move(actions));
        // The task list's layout gives this list its row height, row count and
        // scroll range.
        main_.List->SetCategoriesGrid(categories_->StringGrid1, categories_->ScrollBar1);
    }
    if (dialog_) {
        dialog_->SetPictures(&main_.Pictures);
        dialog_->SetActivateHandler([this](TAddCategoryForm* form) {
            main_.ApplyStayOnTop(form);
            main_.Skin1->ApplySkin(form);
            main_.Skin1->ApplySkinByName(form, QStringLiteral("AddCategoryForm"));
            main_.Skin1->ApplySkinByName(form->SkinLabel1, QStringLiteral("Label"));
            main_.Skin1->ApplySkinByName(form->SkinLabel2, QStringLiteral("Label"));
            form->StringGrid1->SetColor(GridBackground(*main_.Skin1));
        });
    }
}

bool CategoryCommands::Notice(const char* text, int kind) const {
    return message_ && message_(QString::fromUtf8(text), QStringLiteral("Attention"), kind);
}

int CategoryCommands::CurrentRow() const {
    return categories_ ? categories_->StringGrid1->Row() : 0;
}

void CategoryCommands::AddCategory() {
    if (!dialog_)
        return;
    dialog_->Prepare(QStringLiteral("Untitled-%1").arg(store_.Categories.size() + 1), 0);
    if (dialog_->ShowModal() != mrOk)
        return;
    const QByteArray name = dialog_->Name().toUtf8();
    quill::AddCategory(
        store_, {std::string(name.constData(), static_cast<size_t>(name.size())), dialog_->Mark()});
    main_.SetupGridColumns();
}

void CategoryCommands::EditCategory(int index) {
    if (!dialog_ || !ValidCategory(store_, index))
        return;
    const QString shown = DecodeTitle(store_.Categories[static_cast<size_t>(index)].Name);
    dialog_->Prepare(shown, store_.Categories[static_cast<size_t>(index)].ColorIndex);
    if (dialog_->ShowModal() != mrOk || !ValidCategory(store_, index))
        return;
    TCATEGORY& category = store_.Categories[static_cast<size_t>(index)];
    if (dialog_->Name() != shown) {
        const QByteArray name = dialog_->Name().toUtf8();
        category.Name.assign(name.constData(), static_cast<size_t>(name.size()));
    }
    category.ColorIndex = dialog_->Mark();
    if (categories_)
        categories_->StringGrid1->update();
}

void CategoryCommands::DeleteCategory(int index) {
    if (index == store_.EditedTaskCategory) {
        Notice(kDeleteEditedCategoryText, 0);
        return;
    }
    // The list has exactly one row: one category, or none.
    if (store_.Categories.size() <= 1) {
        Notice(kDeleteLastCategoryText, 0);
        return;
    }
    if (!Notice(kDeleteCategoryQuestion, 4) || !ValidCategory(store_, index))
        return;
    RemoveCategoryAt(store_, index);
    // "All" of the drop-down as it still stands; it is refilled when the
    // categories window closes.
    main_.ComboBox1->setCurrentIndex(main_.ComboBox1->count() - 2);
    main_.FilterTaskList();
    main_.SortTaskList(-1);
    main_.SetupGridColumns();
}

void CategoryCommands::CloseCategoriesWindow() {
    if (store_.Categories.empty()) {
        Notice(kDeleteLastCategoryText, 0);
        return;
    }
    if (categories_)
        categories_->SetModalResult(mrOk);
}

} // namespace quill
