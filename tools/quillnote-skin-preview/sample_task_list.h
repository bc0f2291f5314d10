#pragma once
// The sample task list for the preview: the main window's task list (the
// program's own list control) with made-up content.

#include "skin/skin_params.h"
#include "skin/skin_pictures.h"

#include <QWidget>

namespace quill {
class TForm;
class TSkin;
} // namespace quill

namespace quill::preview {

// The main window's task list as the program paints it (the real list control),
// filled with sample tasks, with its scroll bar and the category chooser.
void AddSampleTaskList(TSkin& skin, TForm& form, const SkinParams& params,
                       const SkinPictures& pictures);

} // namespace quill::preview
