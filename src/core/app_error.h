#pragma once
// A failure that stops the operation in progress and is shown to the user by the
// program's one top-level error handler ("Cannot create file ...", "Failed to
// create key ..."). Thrown only where the whole operation must stop.

#include <stdexcept>
#include <string>

namespace quill {

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace quill
