#pragma once
// The categories window and the category dialog for the preview: the program's
// own windows, filled with sample categories and skinned as on activation.

#include "skin/skin_params.h"
#include "skin/skin_pictures.h"

#include <memory>

namespace quill {
class TForm;
class TSkin;
} // namespace quill

namespace quill::preview {

std::unique_ptr<TForm> BuildCategoriesWindow(TSkin& skin, const SkinParams& params,
                                             const SkinPictures& pictures);
std::unique_ptr<TForm> BuildCategoryDialog(TSkin& skin, const SkinPictures& pictures);

} // namespace quill::preview
