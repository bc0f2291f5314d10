#pragma once
// The program's windows at their design sizes, filled with sample controls, so
// a skin can be seen as users will see it.

#include "skin/skin.h"
#include "skin/skin_pictures.h"
#include "widgets/form.h"

#include <memory>

namespace quill::preview {

// A window for `templateName`, skinned (generic look, then the template) and
// shown offscreen. Null for a name the preview does not know.
std::unique_ptr<TForm> BuildSampleWindow(TSkin& skin, const QString& templateName,
                                         const SkinParams& params, const SkinPictures& pictures);

// The main window's context menu with the skin list, as it opens from a window
// that took the generic look.
QImage RenderContextMenu(TSkin& skin);

// A sheet with every button of every window template in its four states.
QImage RenderButtonStates(TSkin& skin, qreal dpr);

} // namespace quill::preview
