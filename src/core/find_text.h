#pragma once
// Finding text in tasks the way a person reads it: letters match whatever their
// case and accents ("cafe" finds "Café", "strasse" finds "Straße"). Plain C++ on
// the store's UTF-8 bytes, so the list can fold every task once and keep it.

#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// `text` folded for finding: upper case to lower case; Latin letters with
// accents, ligatures and marks to their plain letters ("Æ" to "ae", "ß" to
// "ss"); Greek and Cyrillic capitals to small letters; combining accents
// dropped; control characters to spaces. Other characters and bytes that are
// not UTF-8 stay as they are.
std::string FoldForFind(std::string_view text);

// Where folded text is found in the text it was folded from: the bytes
// [begin, end) of `text`, whole characters (with the accents that follow them).
struct FoundSpan {
    bool found = false;
    size_t begin = 0;
    size_t end = 0;
};

// The first place of `text` whose folded form holds `foldedNeedle` (a
// FoldForFind result); not found for an empty needle.
FoundSpan FindFolded(std::string_view text, std::string_view foldedNeedle);

} // namespace quill
