#pragma once
// Tasks as CSV for spreadsheets: a header row, then one row per task, quoted as
// RFC 4180 says, lines ending in CRLF, text as the store holds it (UTF-8).

#include "core/task_store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quill {

// Columns: Title, Description, Category, Priority (High, Normal, Low), Due date
// (YYYY-MM-DD, empty without one), Reminder (YYYY-MM-DDTHH:MM:SS local time,
// empty while off), Done (TRUE or FALSE).
std::string WriteCsv(const TaskStore& store, const std::vector<int32_t>& tasks);

} // namespace quill
