#include "platform/manager_yaml.h"

#include <cstdint>
#include <optional>

#include "engine/text.h"
#include "engine/utf8.h"
#include "platform/code_page.h"

namespace kesta {

const YamlValue* YamlValue::Find(std::string_view key) const {
  // The last of equal keys, as PyYAML keeps it when the manager reads the file back.
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
    if (entry->key == key) return &entry->value;
  return nullptr;
}

const YamlValue* YamlValue::Find(std::initializer_list<std::string_view> keys) const {
  const YamlValue* value = this;
  for (std::string_view key : keys)
    if (!(value = value->Find(key))) return nullptr;
  return value;
}

bool YamlValue::Flag(bool otherwise) const {
  for (std::string_view yes : {"true", "yes", "on"})
    if (EqualsNoCase(text, yes)) return true;
  for (std::string_view no : {"false", "no", "off"})
    if (EqualsNoCase(text, no)) return false;
  return otherwise;
}

namespace {

// Deeper than any manager's file; what lies below is skipped, so a hostile file cannot exhaust the stack.
constexpr int kDeepest = 32;

struct Line {
  size_t indent = 0;
  std::string_view content;  // after the indentation, without trailing blanks
};

bool IsBlank(const Line& line) { return line.content.empty() || line.content.front() == '#'; }

bool IsListItem(std::string_view content) { return content == "-" || content.starts_with("- "); }

// A character of an escape: surrogates and values above U+10FFFF are none.
void AppendCharacter(std::string& out, std::uint32_t code) {
  if ((code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF) AppendUtf8(static_cast<char32_t>(code), out);
}

// The text of a double-quoted scalar from just after its opening quote, up to its closing quote.
std::string DoubleQuoted(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') break;
    if (c != '\\' || at + 1 == text.size()) {
      out += c;
      continue;
    }
    const char escape = text[++at];
    int digits = 0;
    switch (escape) {
      case '0':
        out += '\0';
        break;
      case 'a':
        out += '\a';
        break;
      case 'b':
        out += '\b';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'v':
        out += '\v';
        break;
      case 'f':
        out += '\f';
        break;
      case 'r':
        out += '\r';
        break;
      case 'e':
        out += '\x1b';
        break;
      case 'N':
        AppendCharacter(out, 0x85);
        break;
      case '_':
        AppendCharacter(out, 0xA0);
        break;
      case 'L':
        AppendCharacter(out, 0x2028);
        break;
      case 'P':
        AppendCharacter(out, 0x2029);
        break;
      case 'x':
        digits = 2;
        break;
      case 'u':
        digits = 4;
        break;
      case 'U':
        digits = 8;
        break;
      default:
        out += escape;
        break;  // \\ \" \/ and "\ " stand for themselves
    }
    if (digits == 0) continue;
    std::uint32_t code = 0;
    int read = 0;
    for (; read < digits && at + 1 < text.size() && HexDigit(text[at + 1]) >= 0; ++read)
      code = code * 16 + static_cast<std::uint32_t>(HexDigit(text[++at]));
    if (read == digits) AppendCharacter(out, code);
  }
  return out;
}

// The text of a single-quoted scalar from just after its opening quote: '' is one quote.
std::string SingleQuoted(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\'') {
      out += text[at];
    } else if (at + 1 < text.size() && text[at + 1] == '\'') {
      out += '\'';
      ++at;
    } else {
      break;
    }
  }
  return out;
}

// The end of a quoted text starting at `text[0]` (the index of its closing quote), or npos.
size_t ClosingQuote(std::string_view text) {
  const char quote = text[0];
  for (size_t at = 1; at < text.size(); ++at) {
    if (quote == '"' && text[at] == '\\') {
      ++at;
    } else if (text[at] == quote) {
      if (quote == '\'' && at + 1 < text.size() && text[at + 1] == '\'') {
        ++at;
        continue;
      }
      return at;
    }
  }
  return std::string_view::npos;
}

struct KeyAndRest {
  std::string key;
  std::string_view rest;  // after ": ", trimmed
};

// "key: rest", "key:", "'key': rest" or "\"key\": rest"; nothing for a line that is no map entry.
std::optional<KeyAndRest> SplitKey(std::string_view content) {
  size_t colon = std::string_view::npos;
  std::string key;
  if (content.front() == '"' || content.front() == '\'') {
    const size_t close = ClosingQuote(content);
    if (close == std::string_view::npos) return std::nullopt;
    size_t at = close + 1;
    while (at < content.size() && content[at] == ' ') ++at;
    if (at == content.size() || content[at] != ':') return std::nullopt;
    colon = at;
    key = content.front() == '"' ? DoubleQuoted(content.substr(1)) : SingleQuoted(content.substr(1));
  } else {
    if (content.front() == '[' || content.front() == '{' || content.front() == '?') return std::nullopt;
    for (size_t at = content.find(':'); at != std::string_view::npos; at = content.find(':', at + 1)) {
      if (at + 1 == content.size() || content[at + 1] == ' ' || content[at + 1] == '\t') {
        colon = at;
        break;
      }
    }
    if (colon == std::string_view::npos) return std::nullopt;
    key = Trim(content.substr(0, colon));
    if (key.empty()) return std::nullopt;
  }
  if (colon + 1 < content.size() && content[colon + 1] != ' ' && content[colon + 1] != '\t')
    return std::nullopt;
  return KeyAndRest{std::move(key), TrimView(content.substr(colon + 1))};
}

// A plain scalar's text: its comment cut off, YAML's null as nothing.
std::string PlainText(std::string_view text) {
  if (const size_t comment = text.find(" #"); comment != std::string_view::npos)
    text = text.substr(0, comment);
  text = TrimView(text);
  if (text == "~" || text == "null" || text == "Null" || text == "NULL" || text == "{}" || text == "[]")
    return {};
  return std::string(text);
}

class Parser {
 public:
  explicit Parser(std::string_view text) {
    while (!text.empty()) {
      const size_t end = std::min(text.find('\n'), text.size());
      std::string_view content = text.substr(0, end);
      text.remove_prefix(std::min(end + 1, text.size()));
      Line line;
      while (line.indent < content.size() && content[line.indent] == ' ') ++line.indent;
      content.remove_prefix(line.indent);
      while (!content.empty() && (content.back() == ' ' || content.back() == '\t' || content.back() == '\r'))
        content.remove_suffix(1);
      if (content == "---" || content == "...") content = {};
      line.content = content;
      m_lines.push_back(line);
    }
  }

  YamlValue Document() { return Node(0, 0); }

 private:
  bool AtEnd() const { return m_pos >= m_lines.size(); }

  void SkipBlank() {
    while (!AtEnd() && IsBlank(m_lines[m_pos])) ++m_pos;
  }

  // Skips the lines indented at least `least`: a node too deep, or lines that belong to nothing.
  void SkipFrom(size_t least) {
    while (!AtEnd() && (IsBlank(m_lines[m_pos]) || m_lines[m_pos].indent >= least)) ++m_pos;
  }

  // The node at the current line, all of whose lines are indented at least `least`.
  YamlValue Node(size_t least, int depth) {
    SkipBlank();
    if (AtEnd() || m_lines[m_pos].indent < least) return {};
    if (depth >= kDeepest) {
      SkipFrom(least);
      return {};
    }
    const Line line = m_lines[m_pos];
    if (IsListItem(line.content)) return List(line.indent, depth);
    if (SplitKey(line.content)) return Map(line.indent, depth);
    ++m_pos;
    return Scalar(line.content, least);
  }

  YamlValue List(size_t indent, int depth) {
    YamlValue list;
    for (SkipBlank(); !AtEnd(); SkipBlank()) {
      Line& line = m_lines[m_pos];
      if (line.indent != indent || !IsListItem(line.content)) break;
      std::string_view rest = line.content.substr(1);
      size_t offset = 1;
      while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
        ++offset;
      }
      if (rest.empty()) {
        ++m_pos;
      } else {
        // "- key: value" opens a map whose keys stand where "key" does; the line is read again as such.
        line.indent += offset;
        line.content = rest;
      }
      list.items.push_back(Node(indent + 1, depth + 1));
    }
    return list;
  }

  YamlValue Map(size_t indent, int depth) {
    YamlValue map;
    for (SkipBlank(); !AtEnd(); SkipBlank()) {
      const Line line = m_lines[m_pos];
      if (line.indent < indent) break;
      if (line.indent > indent || IsListItem(line.content)) {  // belongs to no key: a broken file
        ++m_pos;
        continue;
      }
      std::optional<KeyAndRest> split = SplitKey(line.content);
      ++m_pos;
      if (!split) continue;
      YamlEntry entry{std::move(split->key), {}};
      if (!split->rest.empty() && split->rest.front() != '#') {
        entry.value = Scalar(split->rest, indent + 1);
      } else {
        SkipBlank();
        // PyYAML writes a map's list at the map's own indentation.
        if (!AtEnd() && m_lines[m_pos].indent == indent && IsListItem(m_lines[m_pos].content))
          entry.value = List(indent, depth + 1);
        else
          entry.value = Node(indent + 1, depth + 1);
      }
      map.entries.push_back(std::move(entry));
    }
    return map;
  }

  // A scalar whose first line was `first` (already read), continued by the lines indented at least
  // `least`: PyYAML folds long values over several lines.
  YamlValue Scalar(std::string_view first, size_t least) {
    std::vector<const Line*> more;
    for (size_t at = m_pos; at < m_lines.size(); ++at) {
      const Line& line = m_lines[at];
      if (!line.content.empty() && line.indent < least) break;
      if (line.content.empty()) continue;  // a blank line counts only inside the scalar
      for (; m_pos <= at; ++m_pos) more.push_back(&m_lines[m_pos]);
    }
    YamlValue value;
    if (first.front() == '|' || first.front() == '>') {
      value.text = BlockText(first, more);
      return value;
    }
    const char quote = first.front();
    std::string joined(first);
    for (const Line* line : more) {
      if (line->content.empty()) {
        joined += '\n';
        continue;
      }
      size_t backslashes = 0;
      while (backslashes < joined.size() && joined[joined.size() - 1 - backslashes] == '\\') ++backslashes;
      if (quote == '"' && backslashes % 2 == 1)
        joined.pop_back();  // an escaped line break joins the lines without a blank
      else if (!joined.empty() && joined.back() != '\n')
        joined += ' ';
      joined += line->content;
    }
    if (quote == '"')
      value.text = DoubleQuoted(std::string_view(joined).substr(1));
    else if (quote == '\'')
      value.text = SingleQuoted(std::string_view(joined).substr(1));
    else
      value.text = PlainText(joined);
    return value;
  }

  // "|" keeps the line breaks, ">" folds them into blanks; "-" drops the final one.
  static std::string BlockText(std::string_view header, const std::vector<const Line*>& lines) {
    size_t blockIndent = std::string::npos;
    for (const Line* line : lines)
      if (!line->content.empty()) blockIndent = std::min(blockIndent, line->indent);
    std::string text;
    for (const Line* line : lines) {
      if (!text.empty() && header.front() == '>' && text.back() != '\n' && !line->content.empty())
        text += ' ';
      else if (!text.empty() || line->content.empty())
        text += '\n';
      if (!line->content.empty()) text += std::string(line->indent - blockIndent, ' ');
      text += line->content;
    }
    if (header.find('-') == std::string_view::npos && !text.empty()) text += '\n';
    return text;
  }

  std::vector<Line> m_lines;
  size_t m_pos = 0;
};

}  // namespace

YamlValue ParseManagerYaml(std::string_view text) {
  try {
    return Parser(text).Document();
  } catch (...) {  // only memory can run out; a manager's file is then simply not read
    return {};
  }
}

}  // namespace kesta
