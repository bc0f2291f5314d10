#include "category_commands.h"

#include "command_host.h"
#include "core/task_store.h"
#include "main_form.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/fit_text.h"
#include "ui/message_form.h"
#include "widgets/string_grid.h"

namespace quill {

namespace {

bool ValidCategory(const TaskStore& store, int index) {
    return index >= 0 && index < static_cast<int>(store.Categories.size());
}

} // namespace

CategoryCommands::CategoryCommands(CommandHost& host, TaskStore& store, AppWindowSet& windows)
    : host_(host), store_(store), categories_(windows.CategoriesForm),
      dialog_(windows.AddCategoryForm),
      message_([](const QString& text, const QString& caption, int kind) {
          return ShowMessageDialog(text, caption, kind);
      }) {
    categories_.WhenMade([this](TCategoriesForm* categories) {
        CategoriesFormActions actions;
        actions.addCategory = [this] { AddCategory(); };
        actions.editCategory = [this](int index) { EditCategory(index); };
        actions.deleteCategory = [this](int index) { DeleteCategory(index); };
        actions.closeWindow = [this] { CloseCategoriesWindow(); };
        categories->SetActions(std::move(actions));
    });
}

bool CategoryCommands::Notice(const char* text, int kind) const {
    return message_ && message_(QString::fromUtf8(text), QStringLiteral("Attention"), kind);
}

int CategoryCommands::CurrentRow() const {
    const TCategoriesForm* categories = categories_.IfMade();
    return categories ? categories->CurrentRow() : 0;
}

void CategoryCommands::AddCategory() {
    TAddCategoryForm* dialog = dialog_();
    if (!dialog)
        return;
    dialog->Prepare(QStringLiteral("Untitled-%1").arg(store_.Categories.size() + 1), 0);
    if (dialog->ShowModal() != mrOk)
        return;
    const QByteArray name = dialog->Name().toUtf8();
    const std::vector<TCATEGORY> before = store_.Categories;
    quill::AddCategory(
        store_, {std::string(name.constData(), static_cast<size_t>(name.size())), dialog->Mark()});
    host_.RecordChange(CategoryStep("Add Category", before, store_.Categories));
    host_.RelayoutLists();
}

void CategoryCommands::EditCategory(int index) {
    TAddCategoryForm* dialog = dialog_();
    if (!dialog || !ValidCategory(store_, index))
        return;
    const QString shown = DecodeTitle(store_.Categories[static_cast<size_t>(index)].Name);
    dialog->Prepare(shown, store_.Categories[static_cast<size_t>(index)].ColorIndex);
    if (dialog->ShowModal() != mrOk || !ValidCategory(store_, index))
        return;
    const std::vector<TCATEGORY> before = store_.Categories;
    TCATEGORY& category = store_.Categories[static_cast<size_t>(index)];
    if (dialog->Name() != shown) {
        const QByteArray name = dialog->Name().toUtf8();
        category.Name.assign(name.constData(), static_cast<size_t>(name.size()));
    }
    category.ColorIndex = dialog->Mark();
    host_.RecordChange(CategoryStep("Edit Category", before, store_.Categories));
    if (TCategoriesForm* categories = categories_.IfMade())
        categories->RepaintRows();
}

void CategoryCommands::DeleteCategory(int index) {
    if (index == store_.EditedTaskCategory) {
        Notice(kDeleteEditedCategoryText, kNoticeMessage);
        return;
    }
    // The list has exactly one row: one category, or none.
    if (store_.Categories.size() <= 1) {
        Notice(kDeleteLastCategoryText, kNoticeMessage);
        return;
    }
    if (!Notice(kDeleteCategoryQuestion, kQuestionMessage) || !ValidCategory(store_, index))
        return;
    const StoreState before = CaptureState(store_);
    RemoveCategoryAt(store_, index);
    host_.RecordChange(DiffStates("Delete Category", before, store_));
    host_.ShowAllCategories();
    host_.RefreshTaskList(false);
}

void CategoryCommands::CloseCategoriesWindow() {
    if (store_.Categories.empty()) {
        Notice(kDeleteLastCategoryText, kNoticeMessage);
        return;
    }
    if (TCategoriesForm* categories = categories_.IfMade())
        categories->SetModalResult(mrOk);
}

} // namespace quill
