#pragma once
// Texts of the task list's cells that do not depend on the column width.

#include <QString>

namespace quill {

struct TTASK_ITEM;

// The due-date column: the date part of DueDate in the system's short date
// format when the task has a due date, "none" otherwise. A stored value that no
// calendar can show gives an empty text.
QString DueDateText(const TTASK_ITEM& task);

} // namespace quill
