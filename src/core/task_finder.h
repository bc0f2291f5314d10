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
    // text). Each task's folded text is kept by its Key; a task changed since
    // is folded again once the list was filtered or remembered again.
    bool Matches(TTASK_ITEM& task);

    // Arranges the first VisibleTaskCount tasks (a list the category filter has
    // just gathered): the matching ones first, in the remembered order (tasks
    // it does not remember after them, in the order they stand), then the
    // others; VisibleTaskCount becomes the number that match. Records are moved
    // whole; nothing is copied or lost.
    void Narrow(TaskStore& store);
    // Narrows again the tasks the last Narrow or Remember was given, after a
    // new text. When the text only grew, only the rows shown are looked at.
    void NarrowAgain(TaskStore& store);
    // Gives the tasks the last Narrow or Remember was given back their
    // remembered order and shows them all.
    void Widen(TaskStore& store);

private:
    struct Entry {
        int32_t rank = 0;       // valid while rankedIn is the current remembering
        uint32_t rankedIn = 0;  // remembered_ when the rank was given
        uint32_t checkedIn = 0; // checks_ when the task's text was last compared
        std::string title;
        std::string description;
        std::string text; // the folded title, a separator, the folded description
    };
    Entry& entryOf(TTASK_ITEM& task);
    const std::string& foldedOf(Entry& entry, const TTASK_ITEM& task);
    int32_t rankAt(TaskStore& store, int32_t position);
    bool holdsText(TaskStore& store, int32_t position, int32_t rank);
    void matchEveryRank();
    void rebuildHay();
    void placeAll(TaskStore& store, int32_t count, bool narrow);
    void narrowShown(TaskStore& store);
    void permute(TaskStore& store, const std::vector<int32_t>& order);

    std::string folded_;
    std::string arrangedFor_; // the folded text the current arrangement shows
    int32_t arranged_ = 0;    // how many tasks the last Narrow or Remember was given
    uint32_t remembered_ = 1;
    uint32_t checks_ = 1;
    bool refolded_ = false;                       // foldedOf folded a text again
    std::unordered_map<uint64_t, Entry> entries_; // by Key, kept between findings
    // The remembered tasks' folded texts one after another in remembered order,
    // so a keystroke reads one block of memory: rank r's text starts at
    // start_[r] and ends before start_[r + 1] - 1.
    std::string hay_;
    std::vector<uint32_t> start_;
    std::vector<uint64_t> keyOfRank_;
    std::vector<int32_t> rankAt_;  // the rank of the task at each arranged position
    std::vector<uint8_t> matched_; // by rank, from matchEveryRank
    std::vector<int32_t> byRank_;
    std::vector<int32_t> order_;
    std::vector<int32_t> rest_;
    std::vector<TTASK_ITEM> moved_;
    std::vector<int32_t> movedRanks_;
};

} // namespace quill
