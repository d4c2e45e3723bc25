#include "language/language_file.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "engine/failure.h"
#include "engine/text.h"
#include "engine/utf8.h"
#include "platform/file_io.h"
#include "platform/iconv_converter.h"

namespace kesta {

namespace {

using Entry = LanguageEntry;

// What the entry reading sees of a document, from either reader.
enum class Token { StartDocument, StartElement, EndElement, Characters, EndDocument, Invalid };

// What the plain reader needs to know of an ASCII character, looked up in one step.
enum CharClass : unsigned char {
  kSpace = 1,      // XML whitespace but the carriage return, which text folds
  kNameStart = 2,  // ASCII letters and "_"
  kNameChar = 4,   // those, digits, "-" and "."
  kPlainText = 8,  // text as it stands: no markup, entity, line break, "]" or control character
};

// Bytes from 128 on belong to no class: they start or continue a character that is checked on its own.
constexpr std::array<unsigned char, 256> kByteClasses = [] {
  std::array<unsigned char, 256> classes{};
  for (char c = 0x20; c < 127; ++c) classes[c] = kPlainText;
  classes[127] = kPlainText;
  for (char c : {'<', '&', ']'}) classes[c] = 0;
  for (char c : {' ', '\t', '\n'}) classes[c] = kSpace;
  for (char c = 'a'; c <= 'z'; ++c) classes[c] |= kNameStart | kNameChar;
  for (char c = 'A'; c <= 'Z'; ++c) classes[c] |= kNameStart | kNameChar;
  for (char c = '0'; c <= '9'; ++c) classes[c] |= kNameChar;
  classes['_'] |= kNameStart | kNameChar;
  classes['-'] |= kNameChar;
  classes['.'] |= kNameChar;
  return classes;
}();

unsigned char ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The length of the XML character at text[pos]; 0 for bytes that are not UTF-8, U+FFFE, U+FFFF and the
// control characters but tab, line feed and carriage return.
std::size_t XmlCharLength(std::string_view text, std::size_t pos) {
  const Utf8Char c = ReadUtf8Char(text, pos);
  if (c.code < 0x20 && !IsXmlSpace(static_cast<char>(c.code))) return 0;
  return c.code == 0xFFFE || c.code == 0xFFFF ? 0 : c.length;
}

// Appends what the reference at xml[pos] ("&amp;", and with `characters` "&#65;" or "&#x41;") stands
// for; its length, or 0 for anything that is no reference XML knows without a document type.
std::size_t AppendReference(std::string_view xml, std::size_t pos, std::string& out, bool characters) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  const std::string_view rest = xml.substr(pos);
  for (const auto& [entity, character] : kEntities) {
    if (rest.starts_with(entity)) {
      out += character;
      return entity.size();
    }
  }
  if (!characters || !rest.starts_with("&#")) return 0;
  const bool hex = rest.starts_with("&#x");
  std::size_t at = hex ? 3 : 2;
  char32_t code = 0;
  for (; at < rest.size() && rest[at] != ';' && code <= 0x10FFFF; ++at) {
    const int digit = HexDigit(rest[at]);
    if (digit < 0 || (!hex && digit > 9)) return 0;
    code = code * (hex ? 16 : 10) + char32_t(digit);
  }
  if (at >= rest.size() || at == (hex ? 3u : 2u) || code > 0x10FFFF) return 0;
  std::string character;
  AppendUtf8(code, character);
  if (XmlCharLength(character, 0) != character.size()) return 0;
  out += character;
  return at + 1;
}

// Reads the plain XML of our language files straight from its bytes, at a fraction of what a general
// parser costs. It stops (declines) at anything it does not fully check: document types, processing
// instructions, CDATA, character references, names beyond ASCII or with prefixes, and every error, all of
// which pugixml then reads and reports.
class PlainXmlReader {
 public:
  explicit PlainXmlReader(std::string_view xml) : m_xml(xml) { ReadDeclaration(); }

  Token readNext();
  std::string_view name() const { return m_name; }
  std::string_view text() const { return m_text; }
  bool isWhitespace() const { return m_whitespace; }
  bool atEnd() const { return m_type == Token::EndDocument || m_type == Token::Invalid; }
  bool Declined() const { return m_type == Token::Invalid; }
  std::optional<std::string_view> Attribute(std::string_view name) const;

 private:
  Token Decline() { return m_type = Token::Invalid; }
  bool At(std::string_view text) const { return m_xml.substr(m_pos).starts_with(text); }
  char Peek(std::size_t offset) const { return m_pos + offset < m_xml.size() ? m_xml[m_pos + offset] : '\0'; }
  void ReadDeclaration();
  bool SkipSpace();
  std::string_view ReadName();
  bool SkipComment();
  bool ReadCharacters();
  bool ReadAttributes(bool& selfClosing);
  Token ReadStartTag();
  Token ReadEndTag();

  std::string_view m_xml;
  std::size_t m_pos = 0;
  Token m_type = Token::StartDocument;
  std::string_view m_name;
  std::string_view m_text;
  bool m_whitespace = false;
  bool m_pendingEnd = false;  // a self-closing element's end comes with the next call
  bool m_rootDone = false;
  std::vector<std::string_view> m_open;
  std::vector<std::pair<std::string_view, std::string_view>> m_attributes;
  std::string m_buffer;  // text that differs from the file: line breaks folded, entities replaced
};

void PlainXmlReader::ReadDeclaration() {
  if (!At("<?xml")) return;
  for (std::string_view declaration :
       {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<?xml version=\"1.0\"?>"}) {
    if (At(declaration)) {
      m_pos = declaration.size();
      return;
    }
  }
  Decline();
}

bool PlainXmlReader::SkipSpace() {
  const std::size_t start = m_pos;
  while (m_pos < m_xml.size() && IsXmlSpace(m_xml[m_pos])) ++m_pos;
  return m_pos > start;
}

// A name of ASCII letters, digits, "_", "-" and "."; empty when there is none.
std::string_view PlainXmlReader::ReadName() {
  const std::size_t start = m_pos;
  if (m_pos >= m_xml.size() || !(ClassOf(m_xml[m_pos]) & kNameStart)) return {};
  for (++m_pos; m_pos < m_xml.size() && (ClassOf(m_xml[m_pos]) & kNameChar);) ++m_pos;
  return m_xml.substr(start, m_pos - start);
}

// A comment holds no "--" and ends with "-->".
bool PlainXmlReader::SkipComment() {
  for (m_pos += 4; m_pos + 1 < m_xml.size();) {
    if (m_xml[m_pos] == '-' && m_xml[m_pos + 1] == '-') {
      if (Peek(2) != '>') return false;
      m_pos += 3;
      return true;
    }
    const std::size_t length = XmlCharLength(m_xml, m_pos);
    if (length == 0) return false;
    m_pos += length;
  }
  return false;
}

// The text up to the next markup, with line breaks folded to "\n" and entities replaced; it is
// whitespace when it holds nothing but spaces, tabs and line breaks.
bool PlainXmlReader::ReadCharacters() {
  const std::size_t start = m_pos;
  std::size_t copied = start;  // the file's text before this is in m_buffer
  bool buffered = false;
  const auto copy = [&] {
    if (!buffered) m_buffer.clear();
    m_buffer.append(m_xml.substr(copied, m_pos - copied));
    buffered = true;
  };
  m_whitespace = true;
  const std::size_t size = m_xml.size();
  while (m_pos < size) {
    const char c = m_xml[m_pos];
    const unsigned char charClass = ClassOf(c);
    if (charClass & kPlainText) {
      m_whitespace = false;
      // Most of a file is such text: skipped in a tight loop.
      for (++m_pos; m_pos < size && (ClassOf(m_xml[m_pos]) & kPlainText);) ++m_pos;
    } else if (charClass & kSpace) {
      for (++m_pos; m_pos < size && (ClassOf(m_xml[m_pos]) & kSpace);) ++m_pos;
    } else if (c == '<') {
      break;
    } else if (c == '\r') {
      copy();
      m_buffer += '\n';
      m_pos += Peek(1) == '\n' ? 2 : 1;
      copied = m_pos;
    } else if (c == '&') {
      copy();
      const std::size_t length = AppendReference(m_xml, m_pos, m_buffer, false);
      if (length == 0) return false;
      m_pos += length;
      m_whitespace = false;
      copied = m_pos;
    } else if (c == ']') {
      if (Peek(1) == ']' && Peek(2) == '>') return false;
      m_whitespace = false;
      ++m_pos;
    } else {
      const std::size_t length = XmlCharLength(m_xml, m_pos);
      if (length == 0) return false;
      m_whitespace = false;
      m_pos += length;
    }
  }
  if (buffered) {
    copy();
    m_text = m_buffer;
  } else {
    m_text = m_xml.substr(start, m_pos - start);
  }
  return true;
}

// Attributes need a space before each, unique names, quoted values without "<", and no "&" or
// line break or tab, which XML would replace.
bool PlainXmlReader::ReadAttributes(bool& selfClosing) {
  m_attributes.clear();
  for (;;) {
    const bool spaced = SkipSpace();
    if (m_pos >= m_xml.size()) return false;
    if (m_xml[m_pos] == '>') {
      ++m_pos;
      selfClosing = false;
      return true;
    }
    if (m_xml[m_pos] == '/' && Peek(1) == '>') {
      m_pos += 2;
      selfClosing = true;
      return true;
    }
    const std::string_view name = ReadName();
    // Names from "xml" on are reserved, namespace declarations among them.
    const auto lower = [&name](std::size_t i) { return char(name[i] | 0x20); };
    if (!spaced || name.empty() ||
        (name.size() >= 3 && lower(0) == 'x' && lower(1) == 'm' && lower(2) == 'l'))
      return false;
    SkipSpace();
    if (m_pos >= m_xml.size() || m_xml[m_pos] != '=') return false;
    ++m_pos;
    SkipSpace();
    if (m_pos >= m_xml.size() || (m_xml[m_pos] != '"' && m_xml[m_pos] != '\'')) return false;
    const char quote = m_xml[m_pos++];
    const std::size_t start = m_pos;
    while (m_pos < m_xml.size() && m_xml[m_pos] != quote) {
      const char c = m_xml[m_pos];
      const std::size_t length = XmlCharLength(m_xml, m_pos);
      if (c == '<' || c == '&' || c == '\t' || c == '\n' || c == '\r' || length == 0) return false;
      m_pos += length;
    }
    if (m_pos >= m_xml.size()) return false;
    for (const auto& attribute : m_attributes)
      if (attribute.first == name) return false;
    m_attributes.emplace_back(name, m_xml.substr(start, m_pos - start));
    ++m_pos;
  }
}

Token PlainXmlReader::ReadStartTag() {
  ++m_pos;
  m_name = ReadName();
  bool selfClosing = false;
  if (m_rootDone || m_name.empty() || !ReadAttributes(selfClosing)) return Decline();
  if (selfClosing)
    m_pendingEnd = true;
  else
    m_open.push_back(m_name);
  return m_type = Token::StartElement;
}

Token PlainXmlReader::ReadEndTag() {
  m_pos += 2;
  m_name = ReadName();
  SkipSpace();
  if (m_open.empty() || m_name.empty() || m_name != m_open.back() || Peek(0) != '>') return Decline();
  ++m_pos;
  m_open.pop_back();
  m_rootDone = m_open.empty();
  return m_type = Token::EndElement;
}

Token PlainXmlReader::readNext() {
  if (atEnd()) return Decline();
  if (m_pendingEnd) {
    m_pendingEnd = false;
    m_rootDone = m_open.empty();
    return m_type = Token::EndElement;
  }
  while (m_pos < m_xml.size()) {
    if (m_xml[m_pos] != '<') {
      if (!ReadCharacters()) return Decline();
      if (m_open.empty()) {
        if (m_whitespace) continue;  // around the root
        return Decline();            // text outside the root element
      }
      return m_type = Token::Characters;
    } else if (Peek(1) == '/') {
      return ReadEndTag();
    } else if (Peek(1) == '!' && Peek(2) == '-' && Peek(3) == '-') {
      if (!SkipComment()) return Decline();
    } else if (Peek(1) == '!' || Peek(1) == '?') {
      return Decline();
    } else {
      return ReadStartTag();
    }
  }
  return m_rootDone ? m_type = Token::EndDocument : Decline();
}

std::optional<std::string_view> PlainXmlReader::Attribute(std::string_view name) const {
  for (const auto& [attributeName, value] : m_attributes)
    if (attributeName == name) return value;
  return std::nullopt;
}

// Where a node or an error lies, for the user: line and column, both counted from 1, the column in
// characters.
std::string PositionText(std::string_view xml, std::ptrdiff_t offset) {
  const std::size_t end = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), xml.size());
  std::size_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (xml[i] == '\n' || (xml[i] == '\r' && (i + 1 >= xml.size() || xml[i + 1] != '\n'))) {
      ++line;
      lineStart = i + 1;
    }
  }
  std::size_t column = 1;
  for (std::size_t i = lineStart; i < end; ++i)
    if ((static_cast<unsigned char>(xml[i]) & 0xC0) != 0x80) ++column;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Everything XML requires of a document that pugixml lets pass: well-formed characters, references it
// knows, a single root, one declaration at the very start, unique attributes, no "<" in attribute values,
// no "]]>" in text and no "--" in comments. pugixml is asked to leave references alone, so that this
// check sees them and the walk below replaces them.
class PugiDocument {
 public:
  explicit PugiDocument(std::string_view xml) : m_xml(xml) {}

  // The error text with its position; empty for a well-formed document.
  std::string Parse();
  pugi::xml_node Root() const { return m_document.document_element(); }
  std::string_view Source() const { return m_xml; }

 private:
  bool Fail(std::string_view what, std::ptrdiff_t offset) {
    m_error = std::string(what) + " (" + PositionText(m_xml, offset) + ")";
    return false;
  }
  bool CheckText(pugi::xml_node node, std::string_view text, bool attribute);
  bool CheckNode(pugi::xml_node node);

  std::string_view m_xml;
  pugi::xml_document m_document;
  std::string m_error;
};

bool PugiDocument::CheckText(pugi::xml_node node, std::string_view text, bool attribute) {
  std::string scratch;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '&' && AppendReference(text, at, scratch, true) == 0)
      return Fail("Invalid or unknown entity reference", node.offset_debug());
    if (attribute && text[at] == '<') return Fail("'<' in an attribute value", node.offset_debug());
    if (!attribute && text.substr(at).starts_with("]]>")) return Fail("']]>' in text", node.offset_debug());
  }
  return true;
}

bool PugiDocument::CheckNode(pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_comment: {
      const std::string_view text = node.value();
      if (text.find("--") != std::string_view::npos || text.ends_with('-'))
        return Fail("'--' in a comment", node.offset_debug());
      return true;
    }
    case pugi::node_pcdata:
      return CheckText(node, node.value(), false);
    case pugi::node_element:
      for (pugi::xml_attribute attribute : node.attributes()) {
        for (pugi::xml_attribute other = attribute.next_attribute(); other; other = other.next_attribute())
          if (std::strcmp(attribute.name(), other.name()) == 0)
            return Fail("Attribute given twice", node.offset_debug());
        if (!CheckText(node, attribute.value(), true)) return false;
      }
      for (pugi::xml_node child : node.children())
        if (!CheckNode(child)) return false;
      return true;
    case pugi::node_declaration:
      return Fail("XML declaration not at the start", node.offset_debug());
    default:
      return true;
  }
}

std::string PugiDocument::Parse() {
  const bool byteOrderMark = m_xml.starts_with("\xEF\xBB\xBF");
  for (std::size_t at = byteOrderMark ? 3 : 0; at < m_xml.size();) {
    const std::size_t length = XmlCharLength(m_xml, at);
    if (length == 0) {
      Fail("Invalid character: the file must be UTF-8 and hold no control characters", std::ptrdiff_t(at));
      return m_error;
    }
    at += length;
  }
  // As a fragment, so that text outside the root element is kept, and refused below.
  constexpr unsigned kOptions =
      (pugi::parse_full | pugi::parse_ws_pcdata | pugi::parse_fragment) & ~pugi::parse_escapes;
  const pugi::xml_parse_result result =
      m_document.load_buffer(m_xml.data(), m_xml.size(), kOptions, pugi::encoding_utf8);
  if (!result) {
    Fail(result.description(), result.offset);
    return m_error;
  }
  int elements = 0;
  for (pugi::xml_node node : m_document.children()) {
    switch (node.type()) {
      case pugi::node_element:
        if (++elements > 1)
          return Fail("Extra content at the end of the document", node.offset_debug()), m_error;
        if (!CheckNode(node)) return m_error;
        break;
      case pugi::node_declaration:
        if (node != m_document.first_child() || node.offset_debug() != (byteOrderMark ? 3 : 0) + 2)
          return Fail("XML declaration not at the start", node.offset_debug()), m_error;
        break;
      case pugi::node_pcdata:
        if (std::string_view(node.value()).find_first_not_of(" \t\n\r") != std::string_view::npos)
          return Fail("Text outside the root element", node.offset_debug()), m_error;
        break;
      case pugi::node_cdata:
        return Fail("Text outside the root element", node.offset_debug()), m_error;
      default:
        if (!CheckNode(node)) return m_error;
        break;
    }
  }
  if (elements == 0) Fail("No root element", std::ptrdiff_t(m_xml.size()));
  return m_error;
}

// Appends the text with its references replaced; the document check has made sure each is one.
void AppendReplacingReferences(std::string_view raw, std::string& out) {
  for (std::size_t at = 0; at < raw.size();) {
    const std::size_t length = raw[at] == '&' ? AppendReference(raw, at, out, true) : 0;
    if (length == 0) out += raw[at];
    at += std::max<std::size_t>(length, 1);
  }
}

// The checked document's tree, handed to the entry reading as the tokens the plain reader gives: an
// element's start, its children, its end; text with references replaced. Names lose their prefix.
class PugiTokenReader {
 public:
  explicit PugiTokenReader(pugi::xml_node root) : m_node(root) {}

  Token readNext();
  std::string_view name() const;
  std::string_view text() const { return m_text; }
  bool isWhitespace() const { return m_whitespace; }
  bool atEnd() const { return m_type == Token::EndDocument; }
  std::optional<std::string> Attribute(std::string_view name) const;

 private:
  void Advance(pugi::xml_node from);

  pugi::xml_node m_node;   // what the next call reports, null at the end
  bool m_entering = true;  // at the node's start, else at its end
  pugi::xml_node m_current;
  Token m_type = Token::StartDocument;
  std::string m_text;
  bool m_whitespace = false;
};

void PugiTokenReader::Advance(pugi::xml_node from) {
  if (pugi::xml_node sibling = from.next_sibling(); sibling && from.parent().type() == pugi::node_element) {
    m_node = sibling;
    m_entering = true;
  } else {
    m_node = from.parent().type() == pugi::node_element ? from.parent() : pugi::xml_node();
    m_entering = false;
  }
}

Token PugiTokenReader::readNext() {
  while (m_node) {
    m_current = m_node;
    if (!m_entering) {
      Advance(m_current);
      return m_type = Token::EndElement;
    }
    switch (m_current.type()) {
      case pugi::node_element:
        if (pugi::xml_node child = m_current.first_child()) {
          m_node = child;
        } else {
          m_entering = false;
        }
        return m_type = Token::StartElement;
      case pugi::node_pcdata:
      case pugi::node_cdata: {
        const std::string_view raw = m_current.value();
        m_text.clear();
        if (m_current.type() == pugi::node_cdata) {
          m_text = raw;
        } else {
          AppendReplacingReferences(raw, m_text);
        }
        m_whitespace =
            m_current.type() == pugi::node_pcdata && m_text.find_first_not_of(" \t\n\r") == std::string::npos;
        Advance(m_current);
        return m_type = Token::Characters;
      }
      default:
        Advance(m_current);
        break;
    }
  }
  return m_type = Token::EndDocument;
}

std::string_view PugiTokenReader::name() const {
  const std::string_view name = m_current.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::optional<std::string> PugiTokenReader::Attribute(std::string_view name) const {
  for (pugi::xml_attribute attribute : m_current.attributes()) {
    if (attribute.name() != name) continue;
    std::string value;
    AppendReplacingReferences(attribute.value(), value);
    return value;
  }
  return std::nullopt;
}

template <class Reader>
bool ReadNextStartElement(Reader& reader) {
  while (!reader.atEnd()) {
    const Token token = reader.readNext();
    if (token == Token::EndElement || token == Token::EndDocument || token == Token::Invalid) return false;
    if (token == Token::StartElement) return true;
  }
  return false;
}

template <class Reader>
void SkipCurrentElement(Reader& reader) {
  for (int depth = 1; depth > 0 && !reader.atEnd();) {
    const Token token = reader.readNext();
    if (token == Token::EndElement)
      --depth;
    else if (token == Token::StartElement)
      ++depth;
  }
}

// The text of the element just started, nested elements included. Whitespace between elements is
// layout, not text; an element holding nothing but whitespace holds that text.
template <class Reader>
std::string ElementText(Reader& reader) {
  std::string text;
  std::string spaces;
  bool nested = false;
  for (int depth = 1; depth > 0 && !reader.atEnd();) {
    switch (reader.readNext()) {
      case Token::StartElement:
        ++depth;
        nested = true;
        break;
      case Token::EndElement:
        --depth;
        break;
      case Token::Characters:
        if (reader.isWhitespace()) {
          if (!nested) spaces += reader.text();
        } else {
          text += reader.text();
        }
        break;
      default:
        break;
    }
  }
  return text.empty() && !nested ? spaces : text;
}

// Entries are the root's child elements, whatever their tag; only the first of each part counts.
template <class Reader>
Entry ReadEntry(Reader& reader) {
  Entry entry;
  bool seenName = false, seenString = false, seenControls = false, seenValues = false;
  while (ReadNextStartElement(reader)) {
    const std::string_view tag = reader.name();
    if (tag == "name" && !seenName) {
      entry.name = ElementText(reader);
      seenName = true;
    } else if (tag == "string" && !seenString) {
      entry.text = ElementText(reader);
      seenString = true;
    } else if (tag == "controls" && !seenControls) {
      while (ReadNextStartElement(reader)) entry.controls.push_back(ElementText(reader));
      seenControls = true;
    } else if (tag == "values" && !seenValues) {
      while (ReadNextStartElement(reader)) {
        Entry::StepCaption step;
        if (const auto position = reader.Attribute("value")) {
          step.hasPosition = true;
          step.position = *position;
        }
        step.caption = ElementText(reader);
        entry.values.push_back(std::move(step));
      }
      seenValues = true;
    } else {
      SkipCurrentElement(reader);
    }
  }
  return entry;
}

template <class Reader>
std::vector<Entry> ReadAllEntries(Reader& reader) {
  std::vector<Entry> entries;
  if (ReadNextStartElement(reader))
    while (ReadNextStartElement(reader)) entries.push_back(ReadEntry(reader));
  while (!reader.atEnd()) reader.readNext();  // anything after the root must be well-formed too
  return entries;
}

// The encoding a file is written in when it is not UTF-8: told by its byte order mark, by the first
// characters of a declaration in UTF-16, or by the declaration's encoding; empty for UTF-8. `markLength`
// gets the length of the byte order mark.
std::string OtherEncoding(std::string_view xml, std::size_t& markLength) {
  using namespace std::string_view_literals;
  markLength = 0;
  const std::pair<std::string_view, const char*> marks[] = {{"\xFF\xFE\0\0"sv, "UTF-32LE"},
                                                            {"\0\0\xFE\xFF"sv, "UTF-32BE"},
                                                            {"\xFF\xFE"sv, "UTF-16LE"},
                                                            {"\xFE\xFF"sv, "UTF-16BE"}};
  for (const auto& [mark, encoding] : marks) {
    if (xml.starts_with(mark)) {
      markLength = mark.size();
      return encoding;
    }
  }
  if (xml.starts_with("<\0?\0"sv)) return "UTF-16LE";
  if (xml.starts_with("\0<\0?"sv)) return "UTF-16BE";
  if (!xml.starts_with("<?xml")) return {};
  const std::string_view declaration = xml.substr(0, xml.find("?>"));
  const std::size_t key = declaration.find("encoding");
  const std::size_t open =
      declaration.find_first_of("\"'", key == std::string_view::npos ? declaration.size() : key);
  if (open == std::string_view::npos) return {};
  const std::size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return {};
  std::string name(declaration.substr(open + 1, close - open - 1));
  std::string lower = name;
  std::ranges::transform(lower, lower.begin(),
                         [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
  return lower == "utf-8" || lower == "utf8" ? std::string() : name;
}

}  // namespace

std::vector<Entry> ReadLanguageEntries(std::string_view xml, std::string* error) {
  // A file in another encoding is read as its UTF-8 text; positions in errors are in that text.
  std::size_t markLength = 0;
  std::string converted;
  if (const std::string encoding = OtherEncoding(xml, markLength); !encoding.empty()) {
    Iconv decoder("UTF-8", encoding);
    if (!decoder.IsOpen()) {
      *error = "The file's encoding \"" + encoding + "\" is not one this system can read";
      return {};
    }
    const std::size_t stop = decoder.Convert(xml, markLength, converted);
    if (stop != xml.size()) {
      *error = "Bytes that are not " + encoding + " (" +
               PositionText(converted, std::ptrdiff_t(converted.size())) + ")";
      return {};
    }
    xml = converted;
  }
  PugiDocument document(xml);
  *error = document.Parse();
  if (!error->empty()) return {};
  PugiTokenReader reader(document.Root());
  return ReadAllEntries(reader);
}

std::optional<std::vector<Entry>> ReadPlainLanguageEntries(std::string_view xml) {
  if (xml.starts_with("\xEF\xBB\xBF")) return std::nullopt;  // a byte order mark: pugixml's case
  PlainXmlReader reader(xml);
  std::vector<Entry> entries = ReadAllEntries(reader);
  if (reader.Declined()) return std::nullopt;
  return entries;
}

std::vector<Entry> ReadLanguageFile(const std::filesystem::path& file) {
  std::string xml;
  try {
    xml = ReadWholeFile(file);
  } catch (const EKestaError& failure) {
    throw EKestaError("Cannot read the language file " + file.string() + ": " + failure.what());
  }
  if (std::optional<std::vector<Entry>> entries = ReadPlainLanguageEntries(xml)) return std::move(*entries);
  std::string error;
  std::vector<Entry> entries = ReadLanguageEntries(xml, &error);
  if (!error.empty()) throw EKestaError("The language file " + file.string() + " is not valid XML: " + error);
  return entries;
}

}  // namespace kesta
