#pragma once
// The files the program carries inside itself and writes out on first start.

#include "platform/data_location.h"

#include <QString>
#include <QStringList>

namespace quill {

inline constexpr const char* kDefaultSkinResource = ":/skins/Default.skn";
inline constexpr const char* kDefaultSkinFileName = "Default.skn";

// The skins directory to write the default skin into: the one SkinsDirectory
// finds ("Skins" or "skins"), or "skins" when neither exists yet.
QString DefaultSkinDirectory(const QString& dataDir);

// Writes "Default.skn" into the skins directory of the data folder and
// "alarm.wav" into the data folder, each only when missing; existing files are
// never overwritten, and the skin is not written when an installed copy ships it
// in its share folder. A file that cannot be written is reported through the
// top-level error handler and the other file is still tried. Returns the paths
// it wrote.
QStringList ExtractDefaultFiles(const DataLocation& location);

} // namespace quill
