#include "language/language_file.h"

#include <QFile>
#include <QStringView>
#include <QVarLengthArray>
#include <QXmlStreamReader>
#include <array>
#include <utility>
#include <vector>

#include "engine/failure.h"

namespace kesta {

namespace {

using Entry = LanguageEntry;
using Token = QXmlStreamReader::TokenType;

// What the plain reader needs to know of a character, looked up in one step for ASCII.
enum CharClass : unsigned char {
  kSpace = 1,      // XML whitespace but the carriage return, which text folds
  kNameStart = 2,  // ASCII letters and "_"
  kNameChar = 4,   // those, digits, "-" and "."
  kPlainText = 8,  // text as it stands: no markup, entity, line break, "]" or control character
};

constexpr std::array<unsigned char, 128> kAsciiClasses = [] {
  std::array<unsigned char, 128> classes{};
  for (char16_t c = 0x20; c < 128; ++c) classes[c] = kPlainText;
  for (char16_t c : {u'<', u'&', u']'}) classes[c] = 0;
  for (char16_t c : {u' ', u'\t', u'\n'}) classes[c] = kSpace;
  for (char16_t c = u'a'; c <= u'z'; ++c) classes[c] |= kNameStart | kNameChar;
  for (char16_t c = u'A'; c <= u'Z'; ++c) classes[c] |= kNameStart | kNameChar;
  for (char16_t c = u'0'; c <= u'9'; ++c) classes[c] |= kNameChar;
  classes[u'_'] |= kNameStart | kNameChar;
  classes[u'-'] |= kNameChar;
  classes[u'.'] |= kNameChar;
  return classes;
}();

// Beyond ASCII everything is plain text but the replacement character QString::fromUtf8 puts for
// bytes that are not UTF-8 and the two non-characters, which QXmlStreamReader is left to judge.
unsigned char ClassOf(char16_t c) {
  if (c < 128) return kAsciiClasses[c];
  return c < 0xFFFD ? kPlainText : 0;
}

bool IsSpace(char16_t c) { return (ClassOf(c) & kSpace) || c == u'\r'; }

// Control characters and the doubtful ones above.
bool IsDoubtful(char16_t c) { return c < 0x20 || c >= 0xFFFD; }

// Reads the plain XML of our language files straight from its text, at a fraction of what
// QXmlStreamReader costs. It mimics the few QXmlStreamReader calls the entry reading makes (whitespace
// outside the root is not reported) and stops (declines) at anything it
// does not fully check: DTDs, processing instructions, CDATA, character references, names beyond
// ASCII or with prefixes, and every error, all of which QXmlStreamReader then reads and reports.
class PlainXmlReader {
 public:
  explicit PlainXmlReader(QStringView xml) : m_xml(xml) { ReadDeclaration(); }

  Token readNext();
  bool readNextStartElement();
  void skipCurrentElement();
  QStringView name() const { return m_name; }
  QStringView text() const { return m_text; }
  bool isWhitespace() const { return m_whitespace; }
  bool atEnd() const { return m_type == Token::EndDocument || m_type == Token::Invalid; }
  bool Declined() const { return m_type == Token::Invalid; }
  std::optional<QStringView> Attribute(QStringView name) const;

 private:
  Token Decline() { return m_type = Token::Invalid; }
  bool At(QStringView text) const { return m_xml.sliced(m_pos).startsWith(text); }
  char16_t Peek(qsizetype offset) const {
    return m_pos + offset < m_xml.size() ? m_xml[m_pos + offset].unicode() : u'\0';
  }
  void ReadDeclaration();
  bool SkipSpace();
  QStringView ReadName();
  bool SkipComment();
  bool ReadCharacters();
  bool AppendEntity();
  bool ReadAttributes(bool& selfClosing);
  Token ReadStartTag();
  Token ReadEndTag();

  QStringView m_xml;
  qsizetype m_pos = 0;
  Token m_type = Token::StartDocument;
  QStringView m_name;
  QStringView m_text;
  bool m_whitespace = false;
  bool m_pendingEnd = false;  // a self-closing element's end comes with the next call
  bool m_rootDone = false;
  QVarLengthArray<QStringView, 8> m_open;
  std::vector<std::pair<QStringView, QStringView>> m_attributes;
  QString m_buffer;  // text that differs from the file: line breaks folded, entities replaced
};

void PlainXmlReader::ReadDeclaration() {
  if (!At(u"<?xml")) return;
  for (QStringView declaration : {QStringView(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                                  QStringView(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>"),
                                  QStringView(u"<?xml version=\"1.0\"?>")}) {
    if (At(declaration)) {
      m_pos = declaration.size();
      return;
    }
  }
  Decline();
}

bool PlainXmlReader::SkipSpace() {
  const qsizetype start = m_pos;
  while (m_pos < m_xml.size() && IsSpace(m_xml[m_pos].unicode())) ++m_pos;
  return m_pos > start;
}

// A name of ASCII letters, digits, "_", "-" and "."; empty when there is none.
QStringView PlainXmlReader::ReadName() {
  const qsizetype start = m_pos;
  if (m_pos >= m_xml.size() || !(ClassOf(m_xml[m_pos].unicode()) & kNameStart)) return {};
  for (++m_pos; m_pos < m_xml.size() && (ClassOf(m_xml[m_pos].unicode()) & kNameChar);) ++m_pos;
  return m_xml.sliced(start, m_pos - start);
}

// A comment holds no "--" and ends with "-->".
bool PlainXmlReader::SkipComment() {
  for (m_pos += 4; m_pos + 1 < m_xml.size(); ++m_pos) {
    const char16_t c = m_xml[m_pos].unicode();
    if (c == u'-' && m_xml[m_pos + 1] == u'-') {
      if (m_pos + 2 >= m_xml.size() || m_xml[m_pos + 2] != u'>') return false;
      m_pos += 3;
      return true;
    }
    if (IsDoubtful(c) && !IsSpace(c)) return false;
  }
  return false;
}

bool PlainXmlReader::AppendEntity() {
  static constexpr std::pair<QStringView, char16_t> kEntities[] = {
      {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}};
  for (const auto& [entity, character] : kEntities) {
    if (At(entity)) {
      m_buffer += QChar(character);
      m_pos += entity.size();
      return true;
    }
  }
  return false;
}

// The text up to the next markup, with line breaks folded to "\n" and entities replaced as
// QXmlStreamReader does; it is whitespace when it holds nothing but spaces, tabs and line breaks.
bool PlainXmlReader::ReadCharacters() {
  const qsizetype start = m_pos;
  qsizetype copied = start;  // the file's text before this is in m_buffer
  bool buffered = false;
  const auto copy = [&] {
    if (!buffered) m_buffer.resize(0);
    m_buffer += m_xml.sliced(copied, m_pos - copied);
    buffered = true;
  };
  m_whitespace = true;
  while (m_pos < m_xml.size()) {
    const char16_t c = m_xml[m_pos].unicode();
    const unsigned char charClass = ClassOf(c);
    if (charClass & kPlainText) {
      m_whitespace = false;
      ++m_pos;
    } else if (charClass & kSpace) {
      ++m_pos;
    } else if (c == u'<') {
      break;
    } else if (c == u'\r') {
      copy();
      m_buffer += u'\n';
      m_pos += m_pos + 1 < m_xml.size() && m_xml[m_pos + 1] == u'\n' ? 2 : 1;
      copied = m_pos;
    } else if (c == u'&') {
      copy();
      if (!AppendEntity()) return false;
      m_whitespace = false;
      copied = m_pos;
    } else {
      if (IsDoubtful(c) || (c == u']' && Peek(1) == u']' && Peek(2) == u'>')) return false;
      m_whitespace = false;
      ++m_pos;
    }
  }
  if (buffered) {
    copy();
    m_text = m_buffer;
  } else {
    m_text = m_xml.sliced(start, m_pos - start);
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
    if (m_xml[m_pos] == u'>') {
      ++m_pos;
      selfClosing = false;
      return true;
    }
    if (m_xml[m_pos] == u'/' && Peek(1) == u'>') {
      m_pos += 2;
      selfClosing = true;
      return true;
    }
    const QStringView name = ReadName();
    // Names from "xml" on are reserved, namespace declarations among them.
    if (!spaced || name.isEmpty() || name.startsWith(u"xml", Qt::CaseInsensitive)) return false;
    SkipSpace();
    if (m_pos >= m_xml.size() || m_xml[m_pos] != u'=') return false;
    ++m_pos;
    SkipSpace();
    if (m_pos >= m_xml.size() || (m_xml[m_pos] != u'"' && m_xml[m_pos] != u'\'')) return false;
    const QChar quote = m_xml[m_pos++];
    const qsizetype start = m_pos;
    for (; m_pos < m_xml.size() && m_xml[m_pos] != quote; ++m_pos) {
      const char16_t c = m_xml[m_pos].unicode();
      if (c == u'<' || c == u'&' || IsDoubtful(c)) return false;
    }
    if (m_pos >= m_xml.size()) return false;
    for (const auto& attribute : m_attributes)
      if (attribute.first == name) return false;
    m_attributes.emplace_back(name, m_xml.sliced(start, m_pos - start));
    ++m_pos;
  }
}

Token PlainXmlReader::ReadStartTag() {
  ++m_pos;
  m_name = ReadName();
  bool selfClosing = false;
  if (m_rootDone || m_name.isEmpty() || !ReadAttributes(selfClosing)) return Decline();
  if (selfClosing)
    m_pendingEnd = true;
  else
    m_open.append(m_name);
  return m_type = Token::StartElement;
}

Token PlainXmlReader::ReadEndTag() {
  m_pos += 2;
  m_name = ReadName();
  SkipSpace();
  if (m_open.isEmpty() || m_name.isEmpty() || m_name != m_open.back() || m_pos >= m_xml.size() ||
      m_xml[m_pos] != u'>')
    return Decline();
  ++m_pos;
  m_open.removeLast();
  m_rootDone = m_open.isEmpty();
  return m_type = Token::EndElement;
}

Token PlainXmlReader::readNext() {
  if (atEnd()) return Decline();
  if (m_pendingEnd) {
    m_pendingEnd = false;
    m_rootDone = m_open.isEmpty();
    return m_type = Token::EndElement;
  }
  while (m_pos < m_xml.size()) {
    if (m_xml[m_pos] != u'<') {
      if (!ReadCharacters()) return Decline();
      if (m_open.isEmpty()) {
        if (m_whitespace) continue;  // around the root
        return Decline();            // text outside the root element
      }
      return m_type = Token::Characters;
    } else if (Peek(1) == u'/') {
      return ReadEndTag();
    } else if (Peek(1) == u'!' && Peek(2) == u'-' && Peek(3) == u'-') {
      if (!SkipComment()) return Decline();
    } else if (Peek(1) == u'!' || Peek(1) == u'?') {
      return Decline();
    } else {
      return ReadStartTag();
    }
  }
  return m_rootDone ? m_type = Token::EndDocument : Decline();
}

bool PlainXmlReader::readNextStartElement() {
  while (readNext() != Token::Invalid) {
    if (m_type == Token::EndElement || m_type == Token::EndDocument) return false;
    if (m_type == Token::StartElement) return true;
  }
  return false;
}

void PlainXmlReader::skipCurrentElement() {
  for (int depth = 1; depth > 0 && readNext() != Token::Invalid;) {
    if (m_type == Token::EndElement)
      --depth;
    else if (m_type == Token::StartElement)
      ++depth;
  }
}

std::optional<QStringView> PlainXmlReader::Attribute(QStringView name) const {
  for (const auto& [attributeName, value] : m_attributes)
    if (attributeName == name) return value;
  return std::nullopt;
}

std::optional<QString> ValueAttribute(const QXmlStreamReader& reader) {
  const QXmlStreamAttributes attributes = reader.attributes();
  if (!attributes.hasAttribute(QStringLiteral("value"))) return std::nullopt;
  return attributes.value(QStringLiteral("value")).toString();
}

std::optional<QString> ValueAttribute(const PlainXmlReader& reader) {
  if (const auto value = reader.Attribute(u"value")) return value->toString();
  return std::nullopt;
}

// The text of the element just started, nested elements included. Whitespace between elements is
// layout, not text; an element holding nothing but whitespace holds that text.
template <class Reader>
QString ElementText(Reader& reader) {
  QString text;
  QString spaces;
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
        } else if (text.isEmpty()) {  // nearly always the only piece: one allocation of the right size
          text = reader.text().toString();
        } else {
          text += reader.text();
        }
        break;
      default:
        break;
    }
  }
  return text.isEmpty() && !nested ? spaces : text;
}

// Entries are the root's child elements, whatever their tag; only the first of each part counts.
template <class Reader>
Entry ReadEntry(Reader& reader) {
  Entry entry;
  bool seenName = false, seenString = false, seenControls = false, seenValues = false;
  while (reader.readNextStartElement()) {
    const QStringView tag = reader.name();
    if (tag == u"name" && !seenName) {
      entry.name = ElementText(reader);
      seenName = true;
    } else if (tag == u"string" && !seenString) {
      entry.text = ElementText(reader);
      seenString = true;
    } else if (tag == u"controls" && !seenControls) {
      while (reader.readNextStartElement()) entry.controls.append(ElementText(reader));
      seenControls = true;
    } else if (tag == u"values" && !seenValues) {
      while (reader.readNextStartElement()) {
        Entry::StepCaption step;
        if (const std::optional<QString> position = ValueAttribute(reader)) {
          step.hasPosition = true;
          step.position = *position;
        }
        step.caption = ElementText(reader);
        entry.values.append(step);
      }
      seenValues = true;
    } else {
      reader.skipCurrentElement();
    }
  }
  return entry;
}

template <class Reader>
QList<Entry> ReadAllEntries(Reader& reader) {
  QList<Entry> entries;
  if (reader.readNextStartElement())
    while (reader.readNextStartElement()) entries.append(ReadEntry(reader));
  while (!reader.atEnd()) reader.readNext();  // anything after the root must be well-formed too
  return entries;
}

[[noreturn]] void Fail(const QString& text) { throw EKestaError(text.toStdString()); }

}  // namespace

QList<Entry> ReadLanguageEntries(const QByteArray& xml, QString* error) {
  QXmlStreamReader reader(xml);
  QList<Entry> entries = ReadAllEntries(reader);
  if (reader.hasError())
    *error = QStringLiteral("%1 (line %2, column %3)")
                 .arg(reader.errorString())
                 .arg(reader.lineNumber())
                 .arg(reader.columnNumber());
  return entries;
}

std::optional<QList<Entry>> ReadPlainLanguageEntries(const QByteArray& xml) {
  if (xml.startsWith("\xEF\xBB\xBF")) return std::nullopt;  // a byte order mark: QXmlStreamReader's case
  const QString text = QString::fromUtf8(xml);
  PlainXmlReader reader(text);
  QList<Entry> entries = ReadAllEntries(reader);
  if (reader.Declined()) return std::nullopt;
  return entries;
}

QList<Entry> ReadLanguageFile(const QString& filePath) {
  QFile file(filePath);
  if (!file.open(QIODevice::ReadOnly))
    Fail(QStringLiteral("Cannot read the language file %1: %2").arg(filePath, file.errorString()));
  const QByteArray xml = file.readAll();
  if (std::optional<QList<Entry>> entries = ReadPlainLanguageEntries(xml)) return std::move(*entries);
  QString error;
  QList<Entry> entries = ReadLanguageEntries(xml, &error);
  if (!error.isEmpty())
    Fail(QStringLiteral("The language file %1 is not valid XML: %2").arg(filePath, error));
  return entries;
}

}  // namespace kesta
