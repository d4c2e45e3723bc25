#include "platform/wine_registry_parser.h"

#include <algorithm>
#include <optional>

#include "engine/text.h"
#include "engine/utf8.h"

namespace kesta {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// Windows strings are UTF-16 and may hold surrogates without their partner; those become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    const bool pairs =
        unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
    if (IsSurrogate(unit) && pairs) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00), out);
      ++i;
    } else {
      AppendUtf8(IsSurrogate(unit) ? kReplacement : unit, out);
    }
  }
  return out;
}

std::string TextUpToNul(std::u16string_view units) { return Utf16ToUtf8(units.substr(0, units.find(u'\0'))); }

// Wine writes non-ASCII characters as escapes, but a file edited by hand may hold raw UTF-8. A byte
// that does not start a valid sequence stands for U+FFFD.
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  char32_t cp = lead;
  char32_t smallest = 0;
  if (lead >= 0xF0 && lead < 0xF8) {
    length = 4;
    cp = lead & 0x07;
    smallest = 0x10000;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
    cp = lead & 0x0F;
    smallest = 0x800;
  } else if (lead >= 0xC0 && lead < 0xE0) {
    length = 2;
    cp = lead & 0x1F;
    smallest = 0x80;
  }
  bool valid = (lead < 0x80 || length > 1) && length <= text.size() - pos;
  for (std::size_t i = 1; valid && i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    valid = (next & 0xC0) == 0x80;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (!valid || cp < smallest || cp > 0x10FFFF || IsSurrogate(cp)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return cp;
}

char16_t EscapedChar(char c) {
  switch (c) {
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 't':
      return 9;
    case 'n':
      return 10;
    case 'v':
      return 11;
    case 'f':
      return 12;
    case 'r':
      return 13;
    case 'e':
      return 27;
    default:
      return static_cast<char16_t>(static_cast<unsigned char>(c));
  }
}

// "\x" takes 1 to 4 hex digits giving one UTF-16 code unit; without a digit it is a plain "x".
char16_t HexEscape(std::string_view text, std::size_t& pos) {
  char16_t unit = 0;
  int digits = 0;
  for (; digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++digits, ++pos)
    unit = static_cast<char16_t>(unit * 16 + HexDigit(text[pos]));
  return digits > 0 ? unit : u'x';
}

// Wine writes other control characters in octal: "\1", and "\001" before a digit. Up to three digits,
// the first one already read.
char16_t OctalEscape(char first, std::string_view text, std::size_t& pos) {
  char16_t unit = static_cast<char16_t>(first - '0');
  for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
       ++digits, ++pos)
    unit = static_cast<char16_t>(unit * 8 + (text[pos] - '0'));
  return unit;
}

// The escaped text from `pos` to the unescaped `delimiter`; `pos` ends past the delimiter. Nothing when
// the delimiter is missing (a truncated line).
std::optional<std::u16string> DecodeEscaped(std::string_view text, std::size_t& pos, char delimiter) {
  std::u16string units;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == delimiter) {
      ++pos;
      return units;
    }
    if (c != '\\' || pos + 1 == text.size() || static_cast<unsigned char>(text[pos + 1]) >= 0x80) {
      if (c == '\\') ++pos;  // a backslash before a raw non-ASCII character escapes nothing
      if (pos < text.size()) AppendUtf16(units, NextUtf8(text, pos));
      continue;
    }
    const char escaped = text[pos + 1];
    pos += 2;
    if (escaped == 'x')
      units.push_back(HexEscape(text, pos));
    else if (escaped >= '0' && escaped <= '7')
      units.push_back(OctalEscape(escaped, text, pos));
    else
      units.push_back(EscapedChar(escaped));
  }
  return std::nullopt;
}

// At least one and at most `maxDigits` hex digits.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t& pos, int maxDigits) {
  std::uint32_t number = 0;
  int digits = 0;
  for (; pos < text.size() && HexDigit(text[pos]) >= 0; ++digits, ++pos) {
    if (digits == maxDigits) return std::nullopt;
    number = number * 16 + static_cast<std::uint32_t>(HexDigit(text[pos]));
  }
  if (digits == 0) return std::nullopt;
  return number;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "01,ff,..." with an optional comma at the end; blanks are allowed around the bytes.
std::optional<std::string> ParseHexBytes(std::string_view text) {
  std::string bytes;
  std::size_t pos = 0;
  while (true) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos == text.size()) return bytes;
    const auto byte = ParseHexNumber(text, pos, 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos == text.size()) return bytes;
    if (text[pos++] != ',') return std::nullopt;
  }
}

WineRegValue TextValue(std::uint32_t type, std::u16string_view units) {
  WineRegValue value{type, {}};
  value.data = value.IsString() ? TextUpToNul(units) : Utf16ToUtf8(units);
  return value;
}

std::optional<WineRegValue> ParseQuoted(std::uint32_t type, std::string_view text, std::size_t pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  ++pos;
  const auto units = DecodeEscaped(text, pos, '"');
  if (!units) return std::nullopt;
  return TextValue(type, *units);
}

// "hex:..." or "hex(N):..."; string types hold UTF-16LE bytes, given back as UTF-8 like quoted ones.
std::optional<WineRegValue> ParseHex(std::string_view text) {
  std::uint32_t type = kRegBinary;
  std::size_t pos = 4;
  if (text.starts_with("hex(")) {
    const auto number = ParseHexNumber(text, pos, 8);
    if (!number || !text.substr(pos).starts_with("):")) return std::nullopt;
    type = *number;
    pos += 2;
  }
  const auto bytes = ParseHexBytes(text.substr(pos));
  if (!bytes) return std::nullopt;
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return WineRegValue{type, *bytes};
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes->size(); i += 2)
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>((*bytes)[i]) |
                                          static_cast<unsigned char>((*bytes)[i + 1]) << 8));
  return TextValue(type, units);
}

std::optional<WineRegValue> ParseData(std::string_view text) {
  if (text.starts_with('"')) return ParseQuoted(kRegSz, text, 0);
  if (text.starts_with("str(")) {
    std::size_t pos = 4;
    const auto type = ParseHexNumber(text, pos, 8);
    if (!type || !text.substr(pos).starts_with("):")) return std::nullopt;
    return ParseQuoted(*type, text, pos + 2);
  }
  if (text.starts_with("dword:")) {
    std::size_t pos = 6;
    const auto number = ParseHexNumber(text, pos, 8);
    if (!number || !TrimView(text.substr(pos)).empty()) return std::nullopt;
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((*number >> shift) & 0xFF));
    return WineRegValue{kRegDword, bytes};
  }
  if (text.starts_with("hex:") || text.starts_with("hex(")) return ParseHex(text);
  return std::nullopt;
}

// `"Name"=data` or `@=data` (the default value). Malformed lines are skipped, as Wine skips them.
void AddValue(WineRegKey& key, std::string_view line) {
  std::size_t pos = 1;
  std::string name;
  if (line.front() == '"') {
    const auto units = DecodeEscaped(line, pos, '"');
    if (!units) return;
    name = Utf16ToUtf8(*units);
  }
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size() || line[pos] != '=') return;
  ++pos;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (auto value = ParseData(line.substr(pos))) key.values[FoldRegistryName(name)] = std::move(*value);
}

bool IsValidKeyPath(std::string_view path) {
  return !path.empty() && path.front() != '\\' && path.back() != '\\' &&
         path.find("\\\\") == std::string_view::npos && path.find('\0') == std::string_view::npos;
}

// `[Software\\Eagle Dynamics\\Lock On 1.1] 1712345678`: the key's path, or nothing when the line is
// damaged.
std::optional<std::string> HeaderKeyPath(std::string_view line) {
  std::size_t pos = 1;
  const auto units = DecodeEscaped(line, pos, ']');
  if (!units) return std::nullopt;
  std::string path = Utf16ToUtf8(*units);
  if (!IsValidKeyPath(path)) return std::nullopt;
  return path;
}

// The key the next values belong to, or none when the line is damaged (its values must not land in the
// previous key).
WineRegKey* OpenKey(ParsedRegistry& keys, std::string_view line) {
  const std::optional<std::string> path = HeaderKeyPath(line);
  return path ? &keys.AddKey(*path) : nullptr;
}

// The line at `pos` as written, without its line feed; `pos` moves past it.
std::string_view NextRawLine(std::string_view text, std::size_t& pos) {
  const std::size_t end = std::min(text.find('\n', pos), text.size());
  std::string_view line = text.substr(pos, end - pos);
  pos = end == text.size() ? end : end + 1;
  return line;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

std::string_view NextLine(std::string_view text, std::size_t& pos) {
  return WithoutCarriageReturn(NextRawLine(text, pos));
}

enum class HeaderMatch { Other, Related, Undecided };

// A header's path against the folded `key` without decoding it, as far as it is written in plain ASCII
// with only its backslashes escaped, as Wine writes nearly every path: Other when the two differ before
// either ends; Related, with the folded path in `folded`, when they do not; Undecided at any other
// escape, non-ASCII or control byte, or a missing "]", which only decoding can settle.
HeaderMatch MatchPlainHeader(std::string_view line, std::string_view key, std::string& folded) {
  folded.clear();
  for (std::size_t pos = 1; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == ']') return HeaderMatch::Related;
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
      return HeaderMatch::Undecided;
    if (c == '\\' && (++pos == line.size() || line[pos] != '\\')) return HeaderMatch::Undecided;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (folded.size() < key.size() && key[folded.size()] != c) return HeaderMatch::Other;
    folded.push_back(c);
  }
  return HeaderMatch::Undecided;
}

// Whether `path` lies below `ancestor`; both folded.
bool IsBelow(std::string_view path, std::string_view ancestor) {
  return path.size() > ancestor.size() && path.starts_with(ancestor) && path[ancestor.size()] == '\\';
}

// Long hex data goes on over lines ending with a backslash, the next line being indented.
std::string JoinContinuations(std::string_view line, std::string_view text, std::size_t& pos) {
  std::string joined(line);
  while (joined.ends_with('\\') && pos < text.size() && IsBlank(text[pos])) {
    joined.pop_back();
    joined.append(TrimView(NextLine(text, pos)));
  }
  return joined;
}

}  // namespace

std::string FoldRegistryName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

const WineRegValue* WineRegKey::FindValue(std::string_view name) const {
  const auto it = values.find(FoldRegistryName(name));
  return it == values.end() ? nullptr : &it->second;
}

std::optional<std::string> WineRegKey::LinkTarget() const {
  const WineRegValue* target = link ? FindValue("SymbolicLinkValue") : nullptr;
  if (!target || target->type != kRegLink) return std::nullopt;
  // UTF-16LE, written without a terminator.
  std::u16string units;
  for (std::size_t i = 0; i + 1 < target->data.size(); i += 2)
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(target->data[i]) |
                                          static_cast<unsigned char>(target->data[i + 1]) << 8));
  return TextUpToNul(units);
}

const WineRegKey* ParsedRegistry::FindKey(std::string_view path) const {
  const auto it = m_keys.find(FoldRegistryName(path));
  return it == m_keys.end() ? nullptr : &it->second;
}

bool ParsedRegistry::KeyExists(std::string_view path) const {
  if (path.empty()) return true;
  const std::string folded = FoldRegistryName(path);
  if (m_keys.contains(folded)) return true;
  // Wine writes only keys that hold something; their parents exist all the same.
  const std::string prefix = folded + '\\';
  const auto child = m_keys.lower_bound(prefix);
  return child != m_keys.end() && child->first.starts_with(prefix);
}

std::vector<std::string> ParsedRegistry::SubKeyNames(std::string_view path) const {
  const std::string prefix = path.empty() ? std::string() : FoldRegistryName(path) + '\\';
  std::map<std::string, std::string> names;  // folded name -> name as first written
  for (auto it = m_keys.lower_bound(prefix); it != m_keys.end() && it->first.starts_with(prefix); ++it) {
    const std::size_t end = std::min(it->first.find('\\', prefix.size()), it->first.size());
    // Folding keeps byte offsets, so the folded path's offsets point into the written one.
    names.try_emplace(it->first.substr(prefix.size(), end - prefix.size()),
                      it->second.path.substr(prefix.size(), end - prefix.size()));
  }
  std::vector<std::string> result;
  result.reserve(names.size());
  for (auto& [folded, name] : names) result.push_back(std::move(name));
  return result;
}

WineRegKey& ParsedRegistry::AddKey(std::string_view path) {
  auto [it, added] = m_keys.try_emplace(FoldRegistryName(path));
  if (added) it->second.path = path;
  return it->second;
}

ParsedRegistry ParseWineRegistry(std::string_view text) {
  ParsedRegistry keys;
  std::size_t pos = 0;
  if (NextLine(text, pos) != kHeader) return keys;
  WineRegKey* current = nullptr;
  while (pos < text.size()) {
    const std::string_view line = NextLine(text, pos);
    if (line.empty()) continue;
    if (line.front() == '[') {
      current = OpenKey(keys, line);
    } else if (line.front() == '"' || line.front() == '@') {
      const std::string joined = JoinContinuations(line, text, pos);
      if (current) AddValue(*current, joined);
    } else if (line.starts_with("#arch=")) {
      keys.SetWin64(TrimView(line.substr(6)) == "win64");
    } else if (line == "#link") {
      if (current) current->link = true;
    }
    // Anything else: comments, "#time=" and other options, damaged lines.
  }
  return keys;
}

WineRegistryKeyScan::WineRegistryKeyScan(std::string_view keyPath) : m_key(FoldRegistryName(keyPath)) {}

void WineRegistryKeyScan::AddLine(std::string_view written) {
  // Lines are kept as written (the parser strips the carriage return) and judged as the parser sees them.
  const std::string_view line = WithoutCarriageReturn(written);
  const auto keep = [this, written] {
    m_kept.append(written);
    m_kept.push_back('\n');
  };
  if (m_first) {
    m_first = false;
    m_valid = line == kHeader;
    keep();
    return;
  }
  if (!m_valid || line.empty()) return;
  if (line.front() == '[') {
    const HeaderMatch match = MatchPlainHeader(line, m_key, m_header);
    if (match == HeaderMatch::Undecided) {
      const std::optional<std::string> path = HeaderKeyPath(line);
      m_header = path ? FoldRegistryName(*path) : std::string();
    }
    const bool valid = match != HeaderMatch::Other && IsValidKeyPath(m_header);
    m_inKeySection = valid && (m_header == m_key || IsBelow(m_key, m_header));
    const bool firstSubKey = valid && !m_subKeyFound && IsBelow(m_header, m_key);
    m_subKeyFound = m_subKeyFound || firstSubKey;
    if (m_inKeySection || firstSubKey) keep();
  } else if (m_inKeySection || line.starts_with("#arch=")) {
    keep();
  }
}

ParsedRegistry ParseWineRegistryKey(std::string_view text, std::string_view keyPath) {
  WineRegistryKeyScan scan(keyPath);
  for (std::size_t pos = 0; pos < text.size();) scan.AddLine(NextRawLine(text, pos));
  return scan.Finish();
}

}  // namespace kesta
