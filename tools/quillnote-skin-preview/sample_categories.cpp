#include "sample_categories.h"

#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"

#include <QLineEdit>

namespace quill::preview {
namespace {

// Owns what the window reads while it lives.
class SampleCategoriesForm : public TCategoriesForm {
public:
    SampleCategoriesForm(const SkinParams& params, const SkinPictures& pictures)
        : params_(params), pictures_(pictures) {
        store_.Categories = {{"Personal", 0},
                             {"Business", 1},
                             {"Other", 2},
                             {"Travel", 3},
                             {"Health and the weekly swimming lessons", 4},
                             {"Home", 5}};
        options_.showGrid = false;
        SetSources(&store_, &params_, &pictures_, &options_);
    }

private:
    TaskStore store_;
    SkinParams params_;
    SkinPictures pictures_;
    FixedOptions options_;
};

} // namespace

std::unique_ptr<TForm> BuildCategoriesWindow(TSkin& skin, const SkinParams& params,
                                             const SkinPictures& pictures) {
    auto form = std::make_unique<SampleCategoriesForm>(params, pictures);
    form->SetGridColor(SkinColorToQColor(skin.WindowColor(), Qt::white));
    skin.ApplyWindow(form.get());
    // What the task list's layout gives the list in the program.
    form->SetupGridColumns();
    form->FormResize();
    return form;
}

std::unique_ptr<TForm> BuildCategoryDialog(TSkin& skin, const SkinPictures& pictures) {
    auto form = std::make_unique<TAddCategoryForm>();
    form->SetPictures(&pictures);
    skin.ApplyWindow(form.get());
    form->SetGridColor(SkinColorToQColor(skin.WindowColor(), Qt::white));
    form->Prepare(QStringLiteral("Travel"), 3);
    return form;
}

} // namespace quill::preview
