#pragma once
// The program's help: the HTML help shipped beside the executable (or in an
// installed copy's share folder), opened with the desktop's browser; a
// "quillnote.chm" beside the executable instead, where the desktop names a
// program for that type (an opener that starts and shows nothing is no help).

#include <QString>
#include <functional>

namespace quill {

inline constexpr const char* kHelpChmName = "quillnote.chm";
inline constexpr const char* kHelpHtmlName = "quillnote-help.html";

using FileAction = std::function<bool(const QString&)>;

// The help file to open: the CHM file beside the executable when it exists and
// `chmHasOpener` says a program takes it, else the HTML one there, else (an
// installed copy) the HTML one in its share folder. When none exists, the path
// beside the executable.
QString HelpFilePath(const QString& exeDir, const QString& sharedDir,
                     const FileAction& chmHasOpener);

// Opens the help with `open` (which answers whether the desktop took it). Returns
// an empty string, or the message to show when the help is missing or no program
// could open it.
QString OpenHelp(const QString& exeDir, const QString& sharedDir, const FileAction& open,
                 const FileAction& chmHasOpener);

} // namespace quill
