#pragma once
// The two monochrome priority pictures of the printed page, black on white:
// an exclamation mark for "High" and a downward arrow for "Low".

#include <QImage>

namespace quill {

// 7 x 45 pixels.
QImage HighPriorityMark();
// 21 x 39 pixels.
QImage LowPriorityMark();

} // namespace quill
