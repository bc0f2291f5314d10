#pragma once
// Opening a file with the program the desktop associates with it.

#include <QString>

namespace quill {

// Returns false when the desktop could not open it. The desktop's opener answers
// as soon as it starts, so a file type nothing handles may still "open".
bool OpenWithShell(const QString& path);

// Whether the desktop names a program for the type of the file at `path`
// (xdg-mime's default application for its MIME type). False when it names none
// or cannot be asked.
bool HasOpenerFor(const QString& path);

} // namespace quill
