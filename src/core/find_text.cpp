#include "find_text.h"

#include <cstdint>
#include <vector>

namespace quill {

namespace {

// U+00C0..U+00FF and U+0100..U+017F by their plain letter; '1' stands for "ae",
// '2' for "th", '3' for "ss", '4' for "ij", '5' for "oe", '*' for the sign
// itself (multiplication and division).
constexpr std::string_view kLatin1 = "aaaaaa1ceeeeiiii"
                                     "dnooooo*ouuuuy23"
                                     "aaaaaa1ceeeeiiii"
                                     "dnooooo*ouuuuy2y";
constexpr std::string_view kLatinExtendedA =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii44jjkkklllllll"
    "lllnnnnnnnnnoooooo55rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(kLatin1.size() == 64 && kLatinExtendedA.size() == 128);

// Decodes the character at `at`; a byte that starts no valid sequence is one
// character of its own (returned as 0x110000 + byte, kept as it is).
char32_t Decode(std::string_view text, size_t at, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80)
        return lead;
    size_t extra = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return 0x110000 + lead;
    }
    if (at + extra >= text.size())
        return 0x110000 + lead;
    for (size_t i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0x110000 + lead;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    length = extra + 1;
    return value;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendPlainLetter(char letter, char32_t original, std::string& out) {
    switch (letter) {
    case '1':
        out += "ae";
        break;
    case '2':
        out += "th";
        break;
    case '3':
        out += "ss";
        break;
    case '4':
        out += "ij";
        break;
    case '5':
        out += "oe";
        break;
    case '*':
        Encode(original, out);
        break;
    default:
        out += letter;
        break;
    }
}

// Appends the folded form of one character (nothing for a combining accent).
void FoldCharacter(char32_t c, std::string& out) {
    if (c < 0x80) {
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c + ('a' - 'A'));
        else
            out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
    } else if (c >= 0x110000) {
        out += static_cast<char>(c - 0x110000);
    } else if (c >= 0xC0 && c < 0x100) {
        AppendPlainLetter(kLatin1[c - 0xC0], c, out);
    } else if (c >= 0x100 && c < 0x180) {
        AppendPlainLetter(kLatinExtendedA[c - 0x100], c, out);
    } else if (c >= 0x300 && c < 0x370) {
        // Combining accents: "e" followed by U+0301 reads as "é".
    } else if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        Encode(c + 0x20, out); // Greek and Cyrillic capitals
    } else if (c >= 0x400 && c <= 0x40F) {
        Encode(c + 0x50, out);
    } else {
        Encode(c, out);
    }
}

// Folds `text`; when `origins` is given, records for each folded byte where its
// character starts in `text`, and text.size() after the last.
std::string Fold(std::string_view text, std::vector<uint32_t>* origins) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        // Plain ASCII letters and digits, most of any text, in one step.
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F && !origins) {
            out += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++at;
            continue;
        }
        size_t length = 1;
        const char32_t c = Decode(text, at, length);
        const size_t before = out.size();
        FoldCharacter(c, out);
        if (origins)
            origins->insert(origins->end(), out.size() - before, static_cast<uint32_t>(at));
        at += length;
    }
    if (origins)
        origins->push_back(static_cast<uint32_t>(text.size()));
    return out;
}

} // namespace

std::string FoldForFind(std::string_view text) {
    return Fold(text, nullptr);
}

FoundSpan FindFolded(std::string_view text, std::string_view foldedNeedle) {
    if (foldedNeedle.empty())
        return {};
    std::vector<uint32_t> origins;
    origins.reserve(text.size() + 1);
    const std::string folded = Fold(text, &origins);
    const size_t at = folded.find(foldedNeedle);
    if (at == std::string::npos)
        return {};
    // A match that ends inside one character's folded letters ("a" of "æ")
    // takes the whole character.
    size_t last = at + foldedNeedle.size();
    while (last < folded.size() && origins[last] == origins[last - 1])
        ++last;
    return {true, origins[at], origins[last]};
}

} // namespace quill
