#include "settings/helpers.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/shell.h"

namespace kesta {

std::string UniqueName(const std::string& name, const std::vector<std::string>& list, int firstNumber) {
  // The suffixes accumulate (N, N_1, N_1_2, ...), which stored profile names rely on.
  std::string candidate = name;
  int number = firstNumber;
  while (std::find(list.begin(), list.end(), candidate) != list.end())
    candidate += "_" + std::to_string(number++);
  return candidate;
}

void SplitString(std::string_view text, char separator, std::vector<std::string>& list) {
  list.clear();
  std::string piece;
  for (const char c : text) {
    if (c == separator) {
      list.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  list.push_back(std::move(piece));
}

namespace {

std::optional<double> ParseWithPoint(std::string_view text) {
  text = TrimView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  // Infinity and NaN are not numbers the game's files hold.
  if (value != value || value > 1.7976931348623157e308 || value < -1.7976931348623157e308) return std::nullopt;
  return value;
}

}  // namespace

double ParseFloat(std::string_view text) {
  if (const auto value = ParseWithPoint(text)) return *value;
  // The retry turns the first "." into ","; with "." as the decimal separator it only rejects again,
  // but it keeps the behaviour players know when a comma separator is in force.
  std::string retried(text);
  const size_t point = retried.find('.');
  if (point != std::string::npos) retried[point] = ',';
  if (const auto value = ParseWithPoint(retried)) return *value;
  throw EKestaError("'" + retried + "' is not a valid floating point value");
}

TWebTools::TWebTools() { throw EKestaError("This class cannot be instantiated"); }

bool TWebTools::OpenURL(const std::string& address) { return OpenWithDesktop(address); }

}  // namespace kesta
