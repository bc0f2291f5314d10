#pragma once
// The main window's category drop-down: the categories in order, then "All",
// then "Edit Categories...".

#include "core/task_store.h"

#include <QStringList>

class QComboBox;

namespace quill {

inline constexpr const char* kAllItem = "All";
inline constexpr const char* kEditCategoriesItem = "Edit Categories...";

// The items before any data is loaded (the main window's creation).
QStringList InitialCategoryItems();

// The items for `store`: each category's name, "All", "Edit Categories...".
QStringList MainCategoryItems(const TaskStore& store);

// Refills `box` with MainCategoryItems and selects "All" (count - 2). Selecting
// from code raises no change event, so nothing is filtered here.
void FillMainCategoryList(QComboBox* box, const TaskStore& store);

// Each category's name, in order.
QStringList CategoryNames(const TaskStore& store);

// Names are bytes in the store; a file's invalid sequences show as replacement
// characters and never fail.
QString CategoryDisplayName(const TCATEGORY& category);

} // namespace quill
