#pragma once
// UTF-8 one character at a time: the code pages, the registry's and game managers' files, the language
// files and the search over their texts all read and write it with these.

#include <cstddef>
#include <string>
#include <string_view>

namespace kesta {

struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // in bytes; 0 where the bytes are not UTF-8
};

// The character starting at text[pos]. Overlong forms, surrogates, values above U+10FFFF and cut or
// stray continuation bytes are no character.
inline Utf8Char ReadUtf8Char(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || text.size() - pos < length) return {};
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return {};
    code = (code << 6) | (next & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

// Appends the bytes of a character up to U+10FFFF.
inline void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  constexpr unsigned char kLeads[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLeads[continuations] | (c >> (6 * continuations)));
  for (int i = continuations - 1; i >= 0; --i) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

}  // namespace kesta
