#pragma once
// The find field's narrowing of the list: of the tasks the category filter
// gathered at the front of Tasks, the ones whose title or description holds the
// text come first and are the only rows; the rest follow. The order the list
// had when finding began is remembered, so widening gives it back exactly.

#include "task_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill {

class TaskFinder {
public:
    // Remembers the order of the first VisibleTaskCount tasks: the order both
    // the narrowed rows and the widened list keep.
    void Remember(TaskStore& store);
    // The text to find (folded here; see FoldForFind).
    void SetText(std::string_view text);
    const std::string& FoldedText() const { return folded_; }
    // Whether `task`'s title or description holds the text (every task for no
    // text). Each task's folded text is kept by its Key until the task changes.
    bool Matches(TTASK_ITEM& task);

    // Arranges the first VisibleTaskCount tasks: the matching ones first, then
    // the others, each in the remembered order (tasks it does not remember
    // after, in the order they stand); VisibleTaskCount becomes the number that
    // match. Records are moved whole; nothing is copied or lost.
    void Narrow(TaskStore& store);
    // Narrows again the tasks the last Narrow was given (after a new text).
    void NarrowAgain(TaskStore& store);
    // Gives the tasks the last Narrow was given back their remembered order and
    // shows them all.
    void Widen(TaskStore& store);

private:
    struct Folded {
        std::string title;
        std::string description;
        std::string text; // the folded title, a separator, the folded description
    };
    void arrange(TaskStore& store, int32_t count, bool narrow);
    const std::string& foldedOf(TTASK_ITEM& task);

    std::string folded_;
    int32_t narrowed_ = 0; // how many tasks the last Narrow arranged
    std::unordered_map<uint64_t, int32_t> rank_;
    std::unordered_map<uint64_t, Folded> cache_;
    std::vector<int32_t> byRank_;
    std::vector<TTASK_ITEM> moved_;
};

} // namespace quill
