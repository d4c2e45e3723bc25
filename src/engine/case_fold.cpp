#include "engine/case_fold.h"

#include <cstddef>

#include "engine/utf8.h"

namespace kesta {

namespace {

constexpr bool Between(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// A block where each capital is followed by its small letter; `capitalsEven`: the capitals sit at even
// code points.
constexpr bool PairedCapital(char32_t c, char32_t first, char32_t last, bool capitalsEven) {
  return Between(c, first, last) && (c % 2 == 0) == capitalsEven;
}

// The next character of a text as it compares: a folded character, or a byte that is not valid UTF-8
// kept apart from every character.
char32_t NextFolded(std::string_view text, std::size_t& pos) {
  if (const auto [code, length] = ReadUtf8Char(text, pos); length > 0) {
    pos += length;
    return FoldCase(code);
  }
  return 0x110000 + static_cast<unsigned char>(text[pos++]);
}

}  // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return Between(c, U'A', U'Z') ? c + 0x20 : c;
  // Latin-1 and Latin Extended-A. The dotted capital I (U+0130) has no simple folding and stays.
  if (c == 0xB5) return 0x3BC;  // micro sign: Greek small mu
  if (Between(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;
  if (PairedCapital(c, 0x100, 0x12F, true) || PairedCapital(c, 0x132, 0x137, true) ||
      PairedCapital(c, 0x139, 0x148, false) || PairedCapital(c, 0x14A, 0x177, true) ||
      PairedCapital(c, 0x179, 0x17E, false))
    return c + 1;
  if (c == 0x178) return 0xFF;  // Ÿ
  if (c == 0x17F) return U's';  // long s
  // Greek.
  if (c == 0x386) return 0x3AC;
  if (Between(c, 0x388, 0x38A)) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (Between(c, 0x38E, 0x38F)) return c + 0x3F;
  if (Between(c, 0x391, 0x3AB) && c != 0x3A2) return c + 0x20;
  if (c == 0x3C2) return 0x3C3;  // final sigma
  // Cyrillic.
  if (Between(c, 0x400, 0x40F)) return c + 0x50;
  if (Between(c, 0x410, 0x42F)) return c + 0x20;
  if (PairedCapital(c, 0x460, 0x481, true) || PairedCapital(c, 0x48A, 0x4BF, true) ||
      PairedCapital(c, 0x4C1, 0x4CE, false) || PairedCapital(c, 0x4D0, 0x52F, true))
    return c + 1;
  if (c == 0x4C0) return 0x4CF;
  return c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (NextFolded(a, i) != NextFolded(b, j)) return false;
  return i == a.size() && j == b.size();
}

}  // namespace kesta
