#pragma once
// The main window's category commands: adding, editing and deleting a category
// through the categories window and the category dialog, and closing the
// categories window. Tasks name their category by position, so a deletion
// removes the category's tasks and renumbers the tasks of the category that
// takes its place.

#include "widgets/form.h"

#include <QString>
#include <functional>

namespace quill {

class CommandHost;
struct TaskStore;
struct AppWindowSet;
class TCategoriesForm;
class TAddCategoryForm;

inline constexpr const char* kDeleteEditedCategoryText =
    "You cannot delete category while editing a task which is belongs to this category.";
inline constexpr const char* kDeleteLastCategoryText =
    "You cannot delete all categories. Please create new category before deleting this one.";
inline constexpr const char* kDeleteCategoryQuestion =
    "Are you sure you want to delete this category? This will cause deletion of all tasks in "
    "this category.";

class CategoryCommands {
public:
    // Runs the two windows' commands on the store; the windows must outlive this
    // object. Their list and actions are hooked up as they are made.
    CategoryCommands(CommandHost& host, TaskStore& store, AppWindowSet& windows);

    // Proposes "Untitled-" and the next number with mark 0; appends the category
    // when the dialog closes with OK.
    void AddCategory();
    // The dialog on category `index`; stores the name and mark on OK. A name that
    // was not edited keeps its bytes (also bytes that are not valid UTF-8).
    void EditCategory(int index);
    // Refuses the category of the task open in the editor and the only category;
    // asks, then removes the category and its tasks, re-filters with "All",
    // re-sorts (which saves) and relays the list out.
    void DeleteCategory(int index);
    // Closes the categories window with OK while at least one category exists.
    void CloseCategoriesWindow();

    // The same on the categories list's current row (the skin's buttons).
    void EditCurrentCategory() { EditCategory(CurrentRow()); }
    void DeleteCurrentCategory() { DeleteCategory(CurrentRow()); }
    int CurrentRow() const;

    // The program's message dialog: (text, caption, kind) -> the first button.
    // Tests may replace it.
    using MessageFn = std::function<bool(const QString&, const QString&, int)>;
    void SetMessageDialog(MessageFn fn) { message_ = std::move(fn); }

private:
    bool Notice(const char* text, int kind) const;

    CommandHost& host_;
    TaskStore& store_;
    OnDemand<TCategoriesForm>& categories_;
    OnDemand<TAddCategoryForm>& dialog_;
    MessageFn message_;
};

} // namespace quill
