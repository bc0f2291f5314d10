#pragma once
// The message dialog's two pictures, drawn by code.

#include <QPixmap>

namespace quill {

// A white speech bubble with a blue question mark, 45 x 39, transparent around.
QPixmap MakeQuestionPicture();
// A red disc with a white cross, 46 x 41, transparent around.
QPixmap MakeErrorPicture();

} // namespace quill
