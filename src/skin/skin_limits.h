#pragma once
// Bounds on what a skin file may hold. Skin files come from anyone, so every
// size is checked before memory is spent on it.

#include <cstdint>

namespace quill::skin_limits {

constexpr int64_t kMaxArchiveBytes = 32 * 1024 * 1024;     // the .skn file itself
constexpr int64_t kMaxEntries = 1024;                      // files in the archive
constexpr int64_t kMaxEntryBytes = 8 * 1024 * 1024;        // one file, uncompressed
constexpr int64_t kMaxTotalBytes = 64 * 1024 * 1024;       // all files, uncompressed
constexpr int64_t kMaxManifestBytes = 1024 * 1024;         // skin.json
constexpr int kMaxImages = 512;                            // entries of "images"
constexpr int kMaxImageSide = 2048;                        // pixels, per side
constexpr int64_t kMaxImagePixels = 4 * 1024 * 1024;       // one decoded image
constexpr int64_t kMaxTotalImagePixels = 32 * 1024 * 1024; // all decoded images
constexpr int kMaxButtonsPerTemplate = 32;
constexpr int kMaxGeometry = 4096; // any position, size or margin in a manifest

} // namespace quill::skin_limits
