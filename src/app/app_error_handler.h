#pragma once
// The program's one error path. A failing file or settings write throws AppError
// (core/app_error.h) from the layer that met it; every command catches it here,
// through CaptureAppError or ReportErrors, so no exception crosses the toolkit's
// event handling, and what stopped it is shown in a message box captioned
// "Quillnote" (or, where nobody may answer, wherever the presenter sends it).

#include <QString>
#include <functional>

namespace quill {

inline constexpr const char* kAppTitle = "Quillnote";

// Shows `message` (a critical message box; tests replace it).
void ShowAppError(const QString& message);

// Runs `step`; returns the message of the AppError that stopped it, or an empty
// string when it ran to its end.
QString CaptureAppError(const std::function<void()>& step);

// Runs `command`; an AppError that stops it is shown. Returns whether it ran to
// its end.
bool ReportErrors(const std::function<void()>& command);

// Replaces how errors are shown; returns the previous presenter. An empty
// function restores the message box.
using ErrorPresenter = std::function<void(const QString&)>;
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

} // namespace quill
