#pragma once
// The JSON form of a data file's contents, as printed by `quillnote-data dump`.

#include "core/task_store.h"

#include <string>
#include <string_view>

namespace quill {

struct JsonOptions {
    // Strings as lower-case hex of their bytes, date-times as hex of their 8
    // stored (little-endian) bytes: nothing is lost in the printing.
    bool raw = false;
};

// Shortest text that reads back as the same double; "nan", "inf", "-inf" quoted.
std::string JsonNumber(double value);
// A quoted JSON string; invalid UTF-8 sequences become U+FFFD.
std::string JsonString(std::string_view bytes);
std::string HexBytes(std::string_view bytes);

// `damagedProblem` empty means the file was whole ("damaged":false).
std::string DumpJson(const TaskStore& store, const std::string& damagedProblem,
                     const JsonOptions& options);

} // namespace quill
