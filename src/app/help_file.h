#pragma once
// The program's help: "quillnote.chm" where one lies beside the executable,
// otherwise the HTML help shipped there, opened with the desktop's browser.

#include <QString>
#include <functional>

namespace quill {

inline constexpr const char* kHelpChmName = "quillnote.chm";
inline constexpr const char* kHelpHtmlName = "quillnote-help.html";

// The help file to open: the CHM file beside the executable when it exists, else
// the HTML one there, else (an installed copy) the HTML one in its share folder.
// When none exists, the path beside the executable.
QString HelpFilePath(const QString& exeDir, const QString& sharedDir = QString());

// Opens the help with `open` (which answers whether the desktop took it). Returns
// an empty string, or the message to show when the help is missing or no program
// could open it.
QString OpenHelp(const QString& exeDir, const QString& sharedDir,
                 const std::function<bool(const QString&)>& open);

} // namespace quill
