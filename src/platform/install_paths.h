#pragma once
// The files the program ships besides its executable (the font aliases, the
// skins), found one way by the program and by its tools: beside the executable
// for a copy run from its build folder, in <prefix>/share/quillnote for an
// installed one (InstalledShareDir, data_location.h).

#include <QString>

namespace quill {

// The folder of the running executable, from /proc/self/exe, or from `argv0`
// where there is no /proc. Needs no application object, so it works before
// one is made.
QString ExecutableDir(const char* argv0);

// The shipped font aliases: fonts/quillnote-fonts.conf beside the executable, or
// in the installed share folder; empty when neither exists.
QString ShippedFontAliases(const QString& exeDir);

// Points fontconfig at the shipped font aliases, unless the user has chosen a
// configuration (FONTCONFIG_FILE). Must run before the application object is
// made: fontconfig reads its configuration once.
void UseShippedFontAliases(const char* argv0);

} // namespace quill
