#pragma once
// The font of the program's lists (the task list and the categories list),
// made from the skin's "taskfontname" and "taskfontsize".

#include <QFont>

namespace quill {

struct SkinParams;

QFont MakeListFont(const SkinParams& params);

} // namespace quill
