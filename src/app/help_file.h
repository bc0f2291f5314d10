#pragma once
// The program's help: "quillnote.chm" where one lies beside the executable,
// otherwise the HTML help shipped there, opened with the desktop's browser.

#include <QString>
#include <functional>

namespace quill {

inline constexpr const char* kHelpChmName = "quillnote.chm";
inline constexpr const char* kHelpHtmlName = "quillnote-help.html";

// The help file to open from `exeDir`: the CHM file when it exists, else the HTML one.
QString HelpFilePath(const QString& exeDir);

// Opens the help with `open` (which answers whether the desktop took it). Returns
// an empty string, or the message to show when the help is missing or no program
// could open it.
QString OpenHelp(const QString& exeDir, const std::function<bool(const QString&)>& open);

} // namespace quill
