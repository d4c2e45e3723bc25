#include "engine/param_lines.h"

#include "engine/failure.h"
#include "engine/text.h"

namespace kesta {

namespace {

constexpr std::string_view kProfileMarker = "OPTIKESTA";
constexpr std::string_view kProfilePrefix = "OPTIKESTA_";
// Screenshot and film settings live in the block opened by the second line that contains "AVI".
constexpr std::string_view kSecondAviAnchor = "AVI";

[[noreturn]] void ThrowIndexError(int index) {
  throw EKestaError("List index out of bounds (" + std::to_string(index) + ")");
}

int FindProfileLine(const Lines& lines, std::string_view profileName, int start) {
  for (int i = start; i < static_cast<int>(lines.size()); ++i)
    if (TrimView(lines[i]) == profileName) return i;
  return -1;
}

// Returns the index of the anchor's line (0 without an anchor, -1 when the anchor is missing) and
// leaves in `anchor` the text that decides between appending and inserting.
int ResolveAnchor(const Lines& lines, std::string& anchor) {
  int start = 0;
  const bool isProfile = anchor.find(kProfileMarker) != std::string::npos;
  if (isProfile) {
    // Profiles are named after the "current" line; a profile "Hi" must never be taken for "High".
    start = FindParamLine(lines, "current", 0, "") + 1;
    RemoveFirst(anchor, kProfilePrefix);
  }
  if (!anchor.empty()) {
    start = isProfile ? FindProfileLine(lines, TrimView(anchor), start)
                      : FindParamLine(lines, TrimView(anchor), start, "");
  }
  if (anchor == kSecondAviAnchor) start = FindParamLine(lines, kSecondAviAnchor, start + 1, "");
  return start;
}

}  // namespace

int FindParamLine(const Lines& lines, std::string_view name, int start, std::string_view stop) {
  if (start < 0) ThrowIndexError(start);
  const int count = static_cast<int>(lines.size());
  for (int i = start; i < count; ++i) {
    if (Contains(lines[i], name)) return i;
    if (!stop.empty() && Contains(lines[i], stop)) return -1;
  }
  return -1;
}

namespace {

// The parameter's line, or nullptr when the anchor or the name is missing.
const std::string* FindParam(const Lines& lines, std::string_view name, std::string_view anchor) {
  std::string resolvedAnchor(anchor);
  const int start = ResolveAnchor(lines, resolvedAnchor);
  if (start == -1) return nullptr;
  const int index = FindParamLine(lines, TrimView(name), start, "");
  return index == -1 ? nullptr : &lines[index];
}

}  // namespace

std::string GetRawParam(const Lines& lines, std::string_view name, std::string_view defaultValue,
                        std::string_view anchor) {
  try {
    const std::string* line = FindParam(lines, name, anchor);
    if (!line) return std::string(defaultValue);
    std::string value = *line;
    SplitAtFirst(value, "=");
    return Trim(value);
  } catch (...) {
    return std::string(defaultValue);
  }
}

std::string GetParam(const Lines& lines, std::string_view name, std::string_view defaultValue,
                     std::string_view anchor, bool stripComma) {
  try {
    const std::string* line = FindParam(lines, name, anchor);
    if (!line) return std::string(defaultValue);

    std::string value = *line;
    SplitAtFirst(value, "=");
    RemoveFirst(value, ";");
    value = Trim(value);
    if (stripComma) {
      RemoveFirst(value, ",");
      value = Trim(value);
    }
    return value;
  } catch (...) {
    return std::string(defaultValue);
  }
}

std::string SetParam(Lines& lines, std::string_view name, std::string_view value, std::string_view anchor,
                     bool noSemicolon) {
  try {
    std::string resolvedAnchor(anchor);
    const int start = ResolveAnchor(lines, resolvedAnchor);
    const int index = FindParamLine(lines, TrimView(name), start, "");

    std::string line;
    line.reserve(name.size() + value.size() + 4);
    line.append(name).append(" = ").append(value).append(noSemicolon ? "" : ";");

    if (index != -1)
      lines[index] = line;
    else if (resolvedAnchor.empty())
      lines.push_back(line);
    else
      lines.insert(lines.begin() + start + 1, line);
    return line;
  } catch (const std::exception& e) {
    throw EKestaError("SetParam Error (\"Param=" + std::string(name) + "\", \"Value=" + std::string(value) +
                      "\") : " + e.what());
  }
}

void DeleteParam(Lines& lines, std::string_view name, std::string_view anchor) {
  try {
    int start = 0;
    if (!anchor.empty()) start = FindParamLine(lines, TrimView(anchor), 0, "");
    const int index = FindParamLine(lines, TrimView(name), start, "");
    if (index != -1) lines.erase(lines.begin() + index);
  } catch (const std::exception& e) {
    throw EKestaError("DeleteParam Error (\"Param=" + std::string(name) + "\", \"SearchBefore=" +
                      std::string(anchor) + "\") : " + e.what());
  }
}

std::string SplitAtFirst(std::string& text, std::string_view separator) {
  const size_t at = separator.empty() ? std::string::npos : text.find(separator);
  if (at == std::string::npos) return text;
  // A longer separator is compared character by character and never matches one character.
  if (separator.size() != 1) return {};
  std::string head = text.substr(0, at);
  text.erase(0, at + 1);
  return head;
}

}  // namespace kesta
