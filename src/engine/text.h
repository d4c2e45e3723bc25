#pragma once
// Byte-string helpers shared by the engine and the settings file. Game text is 8-bit and never converted.

#include <string>
#include <string_view>

namespace kesta {

// Removes every character with a code from 0 to 32 at both ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// Substring test in which an empty needle matches nothing.
bool Contains(std::string_view haystack, std::string_view needle);

// Removes the first occurrence of `what`, if any.
void RemoveFirst(std::string& text, std::string_view what);

// The value of a hexadecimal digit, either case; -1 for any other character.
constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// ASCII case-insensitive equality (names in the settings file, registry and file system).
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace kesta
