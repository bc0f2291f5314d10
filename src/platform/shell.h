#pragma once
// Opening a file with the program the desktop associates with it.

#include <QString>

namespace quill {

// Returns false when the desktop could not open it.
bool OpenWithShell(const QString& path);

} // namespace quill
