#pragma once
// Small helpers shared by several pages.

#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// `name` when no item equals it; otherwise tries name + "_" + n, then that + "_" + (n + 1), and so on.
std::string UniqueName(const std::string& name, const std::vector<std::string>& list, int firstNumber);

// Splits at every `separator`; an empty text gives one empty item, adjacent separators an empty one.
void SplitString(std::string_view text, char separator, std::vector<std::string>& list);

// Parses a number with "." as decimal separator; fails with "'text' is not a valid floating point value".
double ParseFloat(std::string_view text);

// Holder of static operations on web addresses; it cannot be instantiated.
class TWebTools {
 public:
  TWebTools();
  // Opens a web address or a document with the desktop's default handler.
  static bool OpenURL(const std::string& address);
};

}  // namespace kesta
