#include "settings/ini_file.h"

#include <sys/stat.h>
#include <cerrno>
#include <functional>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/file_io.h"

namespace kesta {

namespace {

std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = TrimView(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimView(trimmed.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  const std::string_view trimmed = TrimView(line);
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

std::optional<std::string_view> KeyName(std::string_view line) {
  if (IsComment(line)) return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return TrimView(line.substr(0, equals));
}

// The file's text, or "" when it does not exist. A file that exists but cannot be read fails, so
// that a write never replaces settings it could not see.
std::string ReadExisting(const std::filesystem::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0 && errno == ENOENT) return {};
  return ReadWholeFile(file);
}

std::string KeyLine(std::string_view key, std::string_view value) {
  return std::string(key).append("=").append(value);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// GetPrivateProfileString drops single as well as double quotes enclosing the whole value: Microsoft
// documents both, and Wine 8, which the game runs under, reads every case of our tests this way. A lone
// quote or unlike ends stay as they are, and blanks inside the quotes are kept.
std::string WithoutEnclosingQuotes(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Line breaks shown as "\r" and "\n": the failure's text says where they are instead of breaking.
std::string Visible(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else
      shown += c;
  }
  return shown;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A line break would split the entry into lines that read back as something else.
void RefuseLineBreaks(std::string_view section, std::string_view key, std::string_view value) {
  const auto refuse = [](const std::string& what) {
    throw EKestaError(what + " holds a line break, which a settings file cannot store.");
  };
  if (HasLineBreak(section)) refuse("The section name \"" + Visible(section) + "\"");
  if (HasLineBreak(key)) refuse("The key name \"" + Visible(key) + "\"");
  if (HasLineBreak(value))
    refuse("The value \"" + Visible(value) + "\" of \"" + std::string(key) + "\" in [" +
           std::string(section) + "]");
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  // Windows editors write one; left in the first line it would hide the first section's header.
  if (text.starts_with(kUtf8Bom)) {
    m_bom = kUtf8Bom;
    text.remove_prefix(kUtf8Bom.size());
  }
  size_t start = 0;
  bool newlineKnown = false;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    size_t next = end;
    if (next < text.size() && text[next] == '\r') ++next;
    if (next < text.size() && text[next] == '\n') ++next;
    Line line{std::string(text.substr(start, end - start)), std::string(text.substr(end, next - end))};
    if (!newlineKnown && !line.ending.empty()) {
      m_newline = line.ending;
      newlineKnown = true;
    }
    m_lines.push_back(std::move(line));
    start = next;
  }
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < m_lines.size(); ++i) {
    const auto name = SectionName(m_lines[i].text);
    if (!name || !EqualsNoCase(*name, section)) continue;
    size_t end = i + 1;
    while (end < m_lines.size() && !SectionName(m_lines[end].text)) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> IniDocument::FindKey(const Range& range, std::string_view key) const {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    const auto name = KeyName(m_lines[i].text);
    if (name && EqualsNoCase(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  const std::string& text = m_lines[*index].text;
  return WithoutEnclosingQuotes(Trim(std::string_view(text).substr(text.find('=') + 1)));
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  RefuseLineBreaks(section, key, value);
  const auto range = FindSection(section);
  if (!range) {
    if (!m_lines.empty()) {
      if (m_lines.back().ending.empty()) m_lines.back().ending = m_newline;
      if (!TrimView(m_lines.back().text).empty()) m_lines.push_back({"", m_newline});
    }
    m_lines.push_back({std::string("[").append(section).append("]"), m_newline});
    m_lines.push_back({KeyLine(key, value), m_newline});
    return;
  }
  if (const auto index = FindKey(*range, key)) {
    // Keep the key's own spelling and spacing up to the value.
    std::string& text = m_lines[*index].text;
    size_t valueStart = text.find('=') + 1;
    while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t')) ++valueStart;
    text.replace(valueStart, std::string::npos, value);
    return;
  }
  // After the section's last non-blank line, so the blank line before the next section stays put.
  size_t insertAt = range->end;
  while (insertAt > range->header + 1 && TrimView(m_lines[insertAt - 1].text).empty()) --insertAt;
  if (m_lines[insertAt - 1].ending.empty()) m_lines[insertAt - 1].ending = m_newline;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 Line{KeyLine(key, value), m_newline});
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  const auto range = FindSection(section);
  if (!range) return false;
  const auto index = FindKey(*range, key);
  if (!index) return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*index));
  return true;
}

std::string IniDocument::Text() const {
  std::string text = m_bom;
  for (const Line& line : m_lines) text.append(line.text).append(line.ending);
  return text;
}

std::optional<std::string> ReadIniKey(const std::filesystem::path& file, std::string_view section,
                                      std::string_view key) {
  try {
    return IniDocument(ReadExisting(file)).Value(section, key);
  } catch (const EKestaError&) {
    return std::nullopt;
  }
}

std::string ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key) {
  if (section.empty() || key.empty()) return std::string(kMissingIniValue);
  return ReadIniKey(file, section, key).value_or(std::string(kMissingIniValue));
}

namespace {
// Reads, changes and writes back the file; an unchanged document is not rewritten.
void EditIniFile(const std::filesystem::path& file, const std::function<void(IniDocument&)>& edit) {
  const std::string before = ReadExisting(file);
  IniDocument document(before);
  edit(document);
  const std::string after = document.Text();
  if (after != before) WriteFileAtomically(file, after);
}
}  // namespace

void WriteIniValueOrFail(const std::filesystem::path& file, std::string_view section, std::string_view key,
                         std::string_view value) {
  EditIniFile(file, [&](IniDocument& document) {
    if (value.empty())
      document.RemoveKey(section, key);
    else
      document.SetValue(section, key, value);
  });
}

void StoreIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  EditIniFile(file, [&](IniDocument& document) { document.SetValue(section, key, value); });
}

void WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  try {
    WriteIniValueOrFail(file, section, key, value);
  } catch (...) {
    // Settings writes never interrupt the user.
  }
}

}  // namespace kesta
