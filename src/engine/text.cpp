#include "engine/text.h"

#include <cstring>

namespace kesta {

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string_view TrimView(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsTrimmed(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

bool Contains(std::string_view haystack, std::string_view needle) {
  if (needle.empty() || needle.size() > haystack.size()) return false;
  // Lines are short: hopping between occurrences of the first character with memchr beats the set-up
  // cost of a general substring search on every line.
  const char* at = haystack.data();
  const char* const last = haystack.data() + (haystack.size() - needle.size());
  const char first = needle.front();
  const size_t rest = needle.size() - 1;
  while (at <= last) {
    at = static_cast<const char*>(std::memchr(at, first, static_cast<size_t>(last - at) + 1));
    if (!at) return false;
    if (std::memcmp(at + 1, needle.data() + 1, rest) == 0) return true;
    ++at;
  }
  return false;
}

void RemoveFirst(std::string& text, std::string_view what) {
  if (what.empty()) return;
  const size_t at = text.find(what);
  if (at != std::string::npos) text.erase(at, what.size());
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace kesta
