#include "documents/document_fields.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/text.h"

namespace kesta {

namespace {

bool ParseInteger(std::string_view text, int& value) {
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return !text.empty() && error == std::errc() && end == last;
}

}  // namespace

int ParsePosition(std::string_view text, int min, int max) {
  int value = 0;
  if (!ParseInteger(text, value) || value < min || value > max)
    throw EKestaError("\"" + std::string(text) + "\" is not a position from " + std::to_string(min) + " to " +
                      std::to_string(max));
  return value;
}

bool ParseCheck(std::string_view text) {
  if (text == "1") return true;
  if (text == "0") return false;
  throw EKestaError("\"" + std::string(text) + "\" is not 1 (checked) or 0 (not checked)");
}

size_t BoxLength(size_t limit, std::string_view held) { return std::max(limit, held.size()); }

std::string CheckedText(std::string_view text, size_t maxLength) {
  if (text.size() > maxLength)
    throw EKestaError("\"" + std::string(text) + "\" is longer than the " + std::to_string(maxLength) +
                      " characters the box holds");
  return std::string(text);
}

bool IsLuaNumber(std::string_view text) {
  size_t i = text.starts_with('-') ? 1 : 0;
  const auto digits = [&text, &i] {
    const size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == text.size();
}

std::string CheckedNumber(std::string_view text, size_t maxLength, std::string_view held) {
  std::string number = CheckedText(text, BoxLength(maxLength, held));
  if (!IsLuaNumber(number))
    throw EKestaError("\"" + number + "\" is not a number (at most " + std::to_string(maxLength) +
                      " characters)");
  return number;
}

const std::string& WrittenNumber(std::string_view name, const std::string& value,
                                 const MessageLookup& lookup) {
  if (!IsLuaNumber(value))
    throw EKestaError("- " + lookup("InvalidNumber") + " " + Trim(name) + " = " + value);
  return value;
}

std::string GetNumberParam(const Lines& lines, std::string_view name, std::string_view absent,
                           std::string_view anchor) {
  const std::string raw = GetRawParam(lines, name, absent, anchor);
  if (std::optional<std::string> text = LuaStringValue(raw); text && IsLuaNumber(*text)) return *text;
  std::string head = Trim(std::string_view(raw).substr(0, raw.find("--")));
  if (head.ends_with(';')) head = Trim(head.substr(0, head.size() - 1));
  if (IsLuaNumber(head)) return head;
  return GetParam(lines, name, absent, anchor, false);
}

std::string CheckedEntry(std::string_view text, const std::vector<std::string_view>& entries) {
  for (std::string_view entry : entries)
    if (entry == text) return std::string(text);
  std::string list;
  for (std::string_view entry : entries)
    list += (list.empty() ? "" : ", ") + (entry.empty() ? std::string("\"\" (none)") : std::string(entry));
  throw EKestaError("\"" + std::string(text) + "\" is not one of: " + list);
}

void FailUnknownValue(std::string_view name) {
  throw EKestaError("unknown name \"" + std::string(name) + "\"");
}

std::pair<std::string_view, std::string_view> SplitEntry(std::string_view name) {
  const size_t open = name.find('[');
  if (open == std::string_view::npos || !name.ends_with(']')) return {name, {}};
  return {name.substr(0, open), name.substr(open + 1, name.size() - open - 2)};
}

std::array<int, 3> ParseRgb(std::string_view text) {
  std::array<int, 3> rgb{};
  std::string_view rest = text;
  try {
    for (int& component : rgb) {
      const size_t comma = rest.find(',');
      if ((comma == std::string_view::npos) != (&component == &rgb[2])) throw EKestaError("");
      component = ParsePosition(Trim(rest.substr(0, comma)), 0, 255);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  } catch (const EKestaError&) {
    throw EKestaError("\"" + std::string(text) + "\" is not a colour as red,green,blue from 0 to 255");
  }
  return rgb;
}

int WholeNumber(std::string_view text) {
  int value = 0;
  if (!ParseInteger(text, value))
    throw EKestaError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

int IntegerValue(const Lines& lines, std::string_view name, std::string_view absent) {
  const std::string text = GetParam(lines, name, absent, "", false);
  int value = 0;
  if (!ParseInteger(text, value))
    throw EKestaError("'" + text + "' is not a valid integer value for " + std::string(name));
  return value;
}

}  // namespace kesta
