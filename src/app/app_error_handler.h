#pragma once
// The program's one top-level error handler: every failure that stops an
// operation ("Cannot create file ...", "Failed to create key ...") ends up here
// and is shown to the user in a message box captioned "Quillnote".

#include <QString>
#include <functional>

namespace quill {

inline constexpr const char* kAppTitle = "Quillnote";

// Shows `message` (a critical message box; tests replace it).
void ShowAppError(const QString& message);

// Replaces how errors are shown; returns the previous presenter. An empty
// function restores the message box.
using ErrorPresenter = std::function<void(const QString&)>;
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

} // namespace quill
