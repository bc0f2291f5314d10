#pragma once
// The files the program carries inside itself and writes out on first start.

#include <QString>
#include <QStringList>

namespace quill {

inline constexpr const char* kDefaultSkinResource = ":/skins/Default.skn";
inline constexpr const char* kDefaultSkinFileName = "Default.skn";

// The skins directory to write the default skin into: the one SkinsDirectory
// finds ("Skins" or "skins"), or "skins" when neither exists yet.
QString DefaultSkinDirectory(const QString& exeDir);

// Writes "Default.skn" into the skins directory and "alarm.wav" beside the
// executable, each only when missing; existing files are never overwritten.
// A file that cannot be written is reported through the top-level error handler
// and the other file is still tried. Returns the paths it wrote.
QStringList ExtractDefaultFiles(const QString& exeDir);

} // namespace quill
