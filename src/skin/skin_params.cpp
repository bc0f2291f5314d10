#include "skin_params.h"

#include <limits>
#include <string_view>

namespace quill {
namespace {

struct NamedColor {
    std::string_view name;
    TColor value;
};

constexpr TColor kSystem = 0xFF000000u;

// The colour constants a description may name; case-sensitive.
constexpr NamedColor kColorNames[] = {
    {"clScrollBar", kSystem + 0},
    {"clBackground", kSystem + 1},
    {"clActiveCaption", kSystem + 2},
    {"clInactiveCaption", kSystem + 3},
    {"clMenu", kSystem + 4},
    {"clWindow", kSystem + 5},
    {"clWindowFrame", kSystem + 6},
    {"clMenuText", kSystem + 7},
    {"clWindowText", kSystem + 8},
    {"clCaptionText", kSystem + 9},
    {"clActiveBorder", kSystem + 10},
    {"clInactiveBorder", kSystem + 11},
    {"clAppWorkSpace", kSystem + 12},
    {"clHighlight", kSystem + 13},
    {"clHighlightText", kSystem + 14},
    {"clBtnFace", kSystem + 15},
    {"clBtnShadow", kSystem + 16},
    {"clGrayText", kSystem + 17},
    {"clBtnText", kSystem + 18},
    {"clInactiveCaptionText", kSystem + 19},
    {"clBtnHighlight", kSystem + 20},
    {"cl3DDkShadow", kSystem + 21},
    {"cl3DLight", kSystem + 22},
    {"clInfoText", kSystem + 23},
    {"clInfoBk", kSystem + 24},
    {"clGradientActiveCaption", kSystem + 27},
    {"clGradientInactiveCaption", kSystem + 28},
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

// Decimal digits to a number no larger than `limit`; false when it does not fit.
bool DecimalUpTo(const std::string& digits, uint64_t limit, uint64_t& out) {
    uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit)
            return false;
    }
    out = value;
    return true;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

// A margin is set only from plain digits that fit a 32-bit signed integer.
void SetMargin(int32_t& margin, const std::string& value) {
    uint64_t number = 0;
    if (IsNumber(value) && DecimalUpTo(value, std::numeric_limits<int32_t>::max(), number))
        margin = static_cast<int32_t>(number);
}

} // namespace

bool IsNumber(const std::string& value) {
    if (value.empty())
        return false;
    for (char c : value) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

uint32_t HexToInt(const std::string& digits) {
    uint32_t result = 0;
    uint32_t place = 1;
    // From the last digit to the first; place values wrap at 32 bits, so only the
    // last eight digits count.
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        const char c = *it;
        uint32_t digit = 0;
        if (c >= '1' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        result += digit * place;
        place *= 16;
        if (place == 0)
            break;
    }
    return result;
}

TColor ParseSkinColor(const std::string& value) {
    if (IsNumber(value)) {
        uint64_t number = 0;
        // A decimal number beyond 32 bits cannot be a colour: it reads as unreadable.
        if (DecimalUpTo(value, std::numeric_limits<uint32_t>::max(), number))
            return static_cast<TColor>(number);
        return kUnreadableSkinColor;
    }
    if (!value.empty() && value.front() == '#')
        return HexToInt(value.substr(1));
    if (!value.empty()) {
        for (const auto& named : kColorNames) {
            if (named.name == value)
                return named.value;
        }
    }
    return kUnreadableSkinColor;
}

bool LoadInforInDescription(SkinParams& params, const std::string& description) {
    const SkinParams defaults;
    params.TaskLeftTab = defaults.TaskLeftTab;
    params.TaskRightTab = defaults.TaskRightTab;
    params.TaskTopTab = defaults.TaskTopTab;
    params.TaskBottomTab = defaults.TaskBottomTab;
    params.CatRightTab = defaults.CatRightTab;
    params.CatBottomTab = defaults.CatBottomTab;
    params.TabBetweenTS = defaults.TabBetweenTS;
    params.TaskFontName = "Verdana";
    params.TaskFontSize = 10;

    bool fontSizeSet = false;
    const std::string text = description + ";";
    std::string_view all(text);
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] != ';')
            continue;
        const std::string_view piece = all.substr(start, i - start);
        start = i + 1;
        // Neither key nor value is trimmed: blanks belong to them.
        const size_t eq = piece.find('=');
        if (eq == std::string_view::npos)
            continue; // empty key: matches nothing
        const std::string key = AsciiLower(piece.substr(0, eq));
        const std::string value(piece.substr(eq + 1));

        if (key == "gridlinecolor")
            params.GridLineColor = ParseSkinColor(value);
        if (key == "donetaskcolor")
            params.DoneTaskColor = ParseSkinColor(value);
        if (key == "overduecolor")
            params.OverdueColor = ParseSkinColor(value);
        if (key == "sellectbarcolor")
            params.SellectBarColor = ParseSkinColor(value);
        if (key == "taskfontname")
            params.TaskFontName = value;
        if (key == "tasklefttab")
            SetMargin(params.TaskLeftTab, value);
        if (key == "taskrighttab")
            SetMargin(params.TaskRightTab, value);
        if (key == "tasktoptab")
            SetMargin(params.TaskTopTab, value);
        if (key == "taskbottomtab")
            SetMargin(params.TaskBottomTab, value);
        if (key == "catrighttab")
            SetMargin(params.CatRightTab, value);
        if (key == "catbottomtab")
            SetMargin(params.CatBottomTab, value);
        if (key == "tabbetweents")
            SetMargin(params.TabBetweenTS, value);
        if (key == "taskfontsize") {
            uint64_t size = 0;
            // A size the font system cannot draw (0, or absurdly large) is ignored.
            if (IsNumber(value) && DecimalUpTo(value, kMaxTaskFontSize, size) && size > 0) {
                params.TaskFontSize = static_cast<int32_t>(size);
                fontSizeSet = true;
            }
        }
    }
    return fontSizeSet;
}

} // namespace quill
