#pragma once
// Files the program carries inside itself (Qt resources) and writes out on start.

#include <QString>

namespace quill {

// The resource paths of the files written beside the executable.
inline constexpr const char* kAlarmSoundResource = ":/sounds/alarm.wav";
inline constexpr const char* kAlarmSoundFileName = "alarm.wav";

// Writes the bytes of resource `resourcePath` (":/...") to `targetPath`, creating or
// overwriting it. Throws quill::AppError("Cannot create file \"<targetPath>\". <reason>")
// when the file cannot be written, and
// quill::AppError("Cannot open file \"<resourcePath>\". <reason>") when the resource
// does not exist.
void ExtractResourceToFile(const QString& resourcePath, const QString& targetPath);

// Writes the resource only when nothing exists at targetPath; true if it wrote.
// Same errors as ExtractResourceToFile.
bool ExtractResourceIfMissing(const QString& resourcePath, const QString& targetPath);

bool FileExists(const QString& path);

// Registers the files compiled into the platform library (the alarm sound and the
// tray icons). The functions here call it themselves; call it before opening
// ":/sounds/..." or ":/icons/..." directly.
void InitPlatformResources();

} // namespace quill
