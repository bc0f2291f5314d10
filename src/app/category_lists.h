#pragma once
// The main window's category drop-down: the categories in order, then "All",
// then "Edit Categories...".

#include "core/list_ordering.h"
#include "core/task_store.h"

#include <QStringList>

class QComboBox;

namespace quill {

inline constexpr const char* kAllItem = "All";
inline constexpr const char* kEditCategoriesItem = "Edit Categories...";

// The drop-down's rows: one per category (`categoryRows` of them), then "All",
// then, once the tasks are loaded, "Edit Categories...". The one mapping between
// rows and what the list shows; a row past "All" filters to a category position
// that names none, so it shows no task.
CategoryFilter FilterForRow(int row, int categoryRows);
int RowForFilter(const CategoryFilter& filter, int categoryRows);
inline bool IsEditCategoriesRow(int row, int categoryRows) {
    return row == categoryRows + 1;
}

// The items before any data is loaded (the main window's creation): three
// categories and "All".
QStringList InitialCategoryItems();
inline constexpr int kInitialCategoryRows = 3;

// The items for `store`: each category's name, "All", "Edit Categories...".
QStringList MainCategoryItems(const TaskStore& store);

// Refills `box` with MainCategoryItems and selects "All". Selecting from code
// raises no change event, so nothing is filtered here.
void FillMainCategoryList(QComboBox* box, const TaskStore& store);

// Each category's name, in order.
QStringList CategoryNames(const TaskStore& store);

// Names are bytes in the store; a file's invalid sequences show as replacement
// characters and never fail.
QString CategoryDisplayName(const TCATEGORY& category);

} // namespace quill
