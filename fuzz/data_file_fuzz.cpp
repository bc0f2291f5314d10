// Feeds arbitrary bytes to the data-file reader the way start-up does (read, add the
// default categories, repair the invariants), then saves and reads the result again:
// the second reading must find an undamaged file holding the same store, and saving
// that must give the same bytes.

#include "core/data_file.h"
#include "core/task_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quill::TaskStore store;
    const quill::ParseResult first =
        quill::ParseTasks(std::string_view(reinterpret_cast<const char*>(data), size), store);
    if (first.damaged && first.problem.empty())
        __builtin_trap(); // a damaged file always says what was wrong
    quill::AddDefaultCategories(store);
    quill::RepairInvariants(store);
    if (store.Categories.empty())
        __builtin_trap();

    const std::vector<uint8_t> saved = quill::SerializeTasks(store);
    quill::TaskStore reread;
    const quill::ParseResult second = quill::ParseTasks(
        std::string_view(reinterpret_cast<const char*>(saved.data()), saved.size()), reread);
    if (second.damaged)
        __builtin_trap(); // what the program writes, it reads back whole
    if (reread.Tasks != store.Tasks || reread.Categories != store.Categories)
        __builtin_trap();
    if (quill::RepairInvariants(reread).changed())
        __builtin_trap(); // a repaired store stays repaired through a save
    if (quill::SerializeTasks(reread) != saved)
        __builtin_trap();
    return 0;
}
