#pragma once
// Comparing UTF-8 text without regard to letter case, for the letters of the languages the game is played
// in: Latin (with Latin-1 and Latin Extended-A), Greek and Cyrillic.

#include <string_view>

namespace kesta {

// The character a letter of those scripts compares as (its simple Unicode case folding); any other
// character is itself.
char32_t FoldCase(char32_t c);

// Whether two UTF-8 texts differ only in the case of such letters. Bytes that are not valid UTF-8 match
// only the same bytes.
bool SameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kesta
