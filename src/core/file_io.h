#pragma once
// Small POSIX file helpers used by the data file code.

#include <string>
#include <string_view>

namespace quill {

struct CopyResult {
    std::string path;  // the name actually written, empty on failure
    std::string error; // why nothing could be written
};

// Writes `bytes` to a new file named `baseName`, or "<baseName>-2", "-3"... when
// that name is taken: an existing file is never overwritten. Flushed to disk.
CopyResult WriteNewFile(const std::string& baseName, std::string_view bytes);

} // namespace quill
