#pragma once
// The list's colours, margins and font, read from a skin's description text.
// Plain C++ (no Qt) so it can be tested and fuzzed alone.

#include <cstdint>
#include <string>

namespace quill {

// A colour: red in the low byte, then green, then blue. A high byte of 0xFF
// names a system colour by index (see SkinColorToQColor in skin_colors.h).
using TColor = uint32_t;

struct SkinParams {
    // Start black and survive a change of skin: a skin that names none keeps these.
    TColor GridLineColor = 0;
    TColor DoneTaskColor = 0;
    TColor OverdueColor = 0;
    TColor SellectBarColor = 0;

    // Reset to these defaults before every description is read.
    int32_t TaskLeftTab = 7;
    int32_t TaskRightTab = 5;
    int32_t TaskTopTab = 4;
    int32_t TaskBottomTab = 65;
    int32_t CatRightTab = 8;
    int32_t CatBottomTab = 35;
    int32_t TabBetweenTS = 0;

    std::string TaskFontName = "Verdana";
    int32_t TaskFontSize = 10;
};

// Reads "key=value;" pieces into params. Returns true when the description set
// "taskfontsize", after which the caller rebuilds the list's columns.
bool LoadInforInDescription(SkinParams& params, const std::string& description);

// What ParseSkinColor gives for a value it cannot read: neither plain digits,
// nor "#" and digits, nor a colour name (an empty value included), and for a
// decimal number larger than 32 bits. Black, the colours' start value.
constexpr TColor kUnreadableSkinColor = 0;

// "taskfontsize" is taken only from 1 to this many points.
constexpr uint64_t kMaxTaskFontSize = 500;

bool IsNumber(const std::string& value);
uint32_t HexToInt(const std::string& digits);
TColor ParseSkinColor(const std::string& value);

} // namespace quill
