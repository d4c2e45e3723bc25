#pragma once
// The two contents the killed writer alternates between: different sizes, so a mix of them or a
// truncated one can never pass for either.

#include <string>

namespace kesta::test {

inline std::string WriteContents(int which) {
  const std::string line = which == 0 ? "old = 1; -- the content before\r\n" : "new = 2; -- the content after it\r\n";
  std::string bytes;
  const int lines = which == 0 ? 16000 : 24000;
  for (int i = 0; i < lines; ++i) bytes += line;
  return bytes;
}

}  // namespace kesta::test
