#include "sample_categories.h"

#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_label.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/list_font.h"
#include "ui/mark_grid.h"
#include "widgets/string_grid.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>

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
    skin.ApplySkin(form.get());
    skin.ApplySkinByName(form.get(), QStringLiteral("CategoriesForm"));
    skin.ApplySkinByName(form->ScrollBar1, QStringLiteral("VScrollBar"));
    // What the task list's layout gives the list in the program.
    TStringGrid* grid = form->StringGrid1;
    grid->SetDefaultRowHeight(QFontMetrics(MakeListFont(params), grid).height());
    grid->SetRowCount(6);
    form->ScrollBar1->setMaximum(5);
    form->FormResize();
    grid->SetRow(1);
    return form;
}

std::unique_ptr<TForm> BuildCategoryDialog(TSkin& skin, const SkinPictures& pictures) {
    auto form = std::make_unique<TAddCategoryForm>();
    form->SetPictures(&pictures);
    skin.ApplySkin(form.get());
    skin.ApplySkinByName(form.get(), QStringLiteral("AddCategoryForm"));
    form->SkinLabel1->SetCaption(QStringLiteral("Category Name:"));
    form->SkinLabel2->SetCaption(QStringLiteral("Select Icon:"));
    skin.ApplySkinByName(form->SkinLabel1, QStringLiteral("Label"));
    skin.ApplySkinByName(form->SkinLabel2, QStringLiteral("Label"));
    form->StringGrid1->SetColor(SkinColorToQColor(skin.WindowColor(), Qt::white));
    form->Prepare(QStringLiteral("Travel"), 3);
    return form;
}

} // namespace quill::preview
