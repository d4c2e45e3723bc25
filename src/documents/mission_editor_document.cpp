#include "documents/mission_editor_document.h"

#include <pugixml.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/game_file.h"

namespace kesta {

namespace {

// Comments, the declaration and the whitespace between elements are kept, so the file is written back as
// it was read except for the attributes set.
constexpr unsigned kParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;
constexpr unsigned kSaveOptions = pugi::format_raw | pugi::format_no_declaration;

struct Options {
  pugi::xml_node mission;  // MissionOption
  pugi::xml_node player;   // PlayerOption
};

// The first child element of that name, created as the last child when there is none.
pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  pugi::xml_node child = parent.child(name);
  return child ? child : parent.append_child(name);
}

// The option elements below the document element, whatever it is called.
Options FindOptions(pugi::xml_document& document) {
  pugi::xml_node root = document.document_element();
  if (!root) throw EKestaError("The file holds no XML element.");
  pugi::xml_node application = Child(root, "ApplicationOptions");
  return {Child(Child(application, "MissionOptions"), "MissionOption"),
          Child(Child(application, "PlayerOptions"), "PlayerOption")};
}

pugi::xml_encoding Parse(pugi::xml_document& document, const Lines& lines) {
  const std::string text = JoinGameText(lines);
  const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size(), kParseOptions);
  if (!result)
    throw EKestaError("The file is not well-formed XML (" + std::string(result.description()) + " at byte " +
                      std::to_string(result.offset) + ").");
  return result.encoding;
}

bool Switch(pugi::xml_node option, const char* name) {
  return std::string_view(option.attribute(name).value()) == "1";
}

// The attribute's text; a missing attribute fails, as it cannot be shown.
std::string_view Required(pugi::xml_node option, const char* name) {
  const pugi::xml_attribute attribute = option.attribute(name);
  if (!attribute) throw EKestaError("The attribute " + std::string(name) + " is missing.");
  return attribute.value();
}

void Set(pugi::xml_node option, const char* name, const std::string& value) {
  pugi::xml_attribute attribute = option.attribute(name);
  if (!attribute) attribute = option.append_attribute(name);
  attribute.set_value(value.c_str());
}

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string SwitchName(size_t i) { return std::string(kRealismSwitches[i]); }

// The attributes the document sets, in the order they are written.
struct Setting {
  bool player;  // PlayerOption, else MissionOption
  std::string name;
  std::string value;
};

// --- Writing into the file's own bytes ---------------------------------------------------------------
// Only the values of the attributes set are replaced, and what is missing is inserted; every other byte
// (entity references the parser does not know, "<d></d>", quotes, the layout inside tags) stays as read.
// The scanning below runs over text the parser has already accepted.

constexpr size_t kNone = std::string_view::npos;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Just past the '>' of the tag opening at `open`, quoted values skipped.
size_t TagEnd(std::string_view text, size_t open) {
  char quote = 0;
  for (size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return kNone;
}

size_t Past(std::string_view text, size_t from, std::string_view end) {
  const size_t at = text.find(end, from);
  return at == kNone ? kNone : at + end.size();
}

// The '<' of the end tag of the element whose content starts at `content`.
size_t EndTagAt(std::string_view text, size_t content) {
  int depth = 1;
  for (size_t i = text.find('<', content); i != kNone; i = text.find('<', i)) {
    const std::string_view rest = text.substr(i);
    size_t next;
    if (rest.starts_with("<!--")) {
      next = Past(text, i + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      next = Past(text, i + 9, "]]>");
    } else if (rest.starts_with("<?")) {
      next = Past(text, i + 2, "?>");
    } else if (rest.starts_with("</")) {
      if (--depth == 0) return i;
      next = TagEnd(text, i);
    } else {
      next = TagEnd(text, i);
      if (next != kNone && !rest.starts_with("<!") && text[next - 2] != '/') ++depth;
    }
    if (next == kNone) return kNone;
    i = next;
  }
  return kNone;
}

struct StartTag {
  size_t nameEnd;  // just past the element's name
  size_t end;      // just past its '>'
  bool empty;      // "<name .../>"
};

std::optional<StartTag> StartTagOf(std::string_view text, pugi::xml_node node) {
  const ptrdiff_t offset = node.offset_debug();
  const std::string_view name = node.name();
  if (offset < 1 || static_cast<size_t>(offset) > text.size() || text[offset - 1] != '<' ||
      text.substr(offset, name.size()) != name)
    return std::nullopt;
  const size_t end = TagEnd(text, offset - 1);
  if (end == kNone) return std::nullopt;
  return StartTag{offset + name.size(), end, text[end - 2] == '/'};
}

std::string Escaped(std::string_view value, char quote) {
  std::string text;
  for (const char c : value) {
    if (c == '&')
      text += "&amp;";
    else if (c == '<')
      text += "&lt;";
    else if (c == '>')
      text += "&gt;";
    else if (c == '"' && quote == '"')
      text += "&quot;";
    else if (c == '\'' && quote == '\'')
      text += "&apos;";
    else
      text += c;
  }
  return text;
}

struct Edit {
  size_t at;
  size_t removed;
  std::string inserted;
};

class BytePatch {
 public:
  explicit BytePatch(std::string_view text) : m_text(text) {}

  // Adds `content` as the last children of the element.
  bool Append(pugi::xml_node element, const std::string& content) {
    const std::optional<StartTag> tag = StartTagOf(m_text, element);
    if (!tag) return false;
    if (tag->empty) {
      m_edits.push_back({tag->end - 2, 2, ">" + content + "</" + element.name() + ">"});
      return true;
    }
    const size_t at = EndTagAt(m_text, tag->end);
    if (at == kNone) return false;
    m_edits.push_back({at, 0, content});
    return true;
  }

  // Replaces the values of the attributes the element has, in their own quotes, and adds the others after
  // its last attribute.
  bool SetAttributes(pugi::xml_node element, const std::vector<const Setting*>& settings) {
    const std::optional<StartTag> tag = StartTagOf(m_text, element);
    if (!tag) return false;
    struct Found {
      std::string_view name;
      size_t value, valueEnd;
      char quote;
    };
    std::vector<Found> found;
    size_t i = tag->nameEnd;
    size_t afterLast = i;
    const auto skipSpace = [this, &i] {
      while (i < m_text.size() && IsSpace(m_text[i])) ++i;
    };
    for (;;) {
      skipSpace();
      if (i >= m_text.size()) return false;
      if (m_text[i] == '/' || m_text[i] == '>') break;
      const size_t nameStart = i;
      while (i < m_text.size() && !IsSpace(m_text[i]) && m_text[i] != '=' && m_text[i] != '/' &&
             m_text[i] != '>')
        ++i;
      const std::string_view name = m_text.substr(nameStart, i - nameStart);
      skipSpace();
      if (i >= m_text.size() || m_text[i] != '=') return false;
      ++i;
      skipSpace();
      if (i >= m_text.size() || (m_text[i] != '"' && m_text[i] != '\'')) return false;
      const char quote = m_text[i];
      const size_t valueEnd = m_text.find(quote, i + 1);
      if (valueEnd == kNone) return false;
      found.push_back({name, i + 1, valueEnd, quote});
      i = valueEnd + 1;
      afterLast = i;
    }
    std::string added;
    for (const Setting* setting : settings) {
      const auto same = [setting](const Found& f) { return f.name == setting->name; };
      if (const auto it = std::find_if(found.begin(), found.end(), same); it != found.end())
        m_edits.push_back({it->value, it->valueEnd - it->value, Escaped(setting->value, it->quote)});
      else
        added += " " + setting->name + "=\"" + Escaped(setting->value, '"') + "\"";
    }
    if (!added.empty()) m_edits.push_back({afterLast, 0, added});
    return true;
  }

  std::optional<std::string> Result() const {
    std::vector<Edit> edits = m_edits;
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    std::string text;
    size_t position = 0;
    for (const Edit& edit : edits) {
      if (edit.at < position) return std::nullopt;  // overlapping edits: not a case this writer knows
      text.append(m_text.substr(position, edit.at - position)).append(edit.inserted);
      position = edit.at + edit.removed;
    }
    text.append(m_text.substr(position));
    return text;
  }

 private:
  std::string_view m_text;
  std::vector<Edit> m_edits;
};

std::string OptionElement(const char* name, const std::vector<const Setting*>& settings) {
  std::string text = "<" + std::string(name);
  for (const Setting* setting : settings)
    text += " " + setting->name + "=\"" + Escaped(setting->value, '"') + "\"";
  return text + "/>";
}

// The eighteen attributes with the values to write, in the order they are written.
std::vector<Setting> SettingsOf(const MissionEditorDocument& d) {
  std::vector<Setting> settings{{true, "CivTraffic", d.civilTraffic ? "1" : "0"},
                                {false, "WorldDensity", std::to_string(d.scenes + 1)}};
  for (size_t i = 0; i < kRealismSwitches.size(); ++i)
    settings.push_back({true, SwitchName(i), d.switches[i] ? "1" : "0"});
  settings.push_back({true, "GEffects", std::to_string(d.gEffects)});
  settings.push_back({false, "MissilesEffectiveness", std::to_string(d.missilesEffectiveness)});
  settings.push_back(
      {true, "AwacsViewFilter",
       std::to_string((d.mapMyAircraft ? 1 : 0) + (d.mapAllies ? 2 : 0) + (d.mapEnemies ? 4 : 0))});
  return settings;
}

// True when the text parses to the document `expected` is the saved form of.
bool ReadsAs(const std::string& text, pugi::xml_encoding encoding, const std::string& expected) {
  pugi::xml_document check;
  StringWriter checked;
  if (!check.load_buffer(text.data(), text.size(), kParseOptions)) return false;
  check.save(checked, "", kSaveOptions, encoding);
  return checked.text == expected;
}

// The file's text with the settings written into its own bytes, as the elements are looked up on reading
// (missing ones created last in their parent); nothing when the text is beyond this writer.
std::optional<std::string> PatchedText(std::string_view text, const std::vector<Setting>& settings) {
  pugi::xml_document document;
  // The bytes as they are, so that the parser's offsets are offsets into them.
  if (!document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8))
    return std::nullopt;
  const pugi::xml_node root = document.document_element();
  if (!root) return std::nullopt;
  std::vector<const Setting*> mission, player;
  for (const Setting& setting : settings) (setting.player ? player : mission).push_back(&setting);
  const struct {
    const char* group;
    const char* option;
    const std::vector<const Setting*>& settings;
  } groups[] = {{"MissionOptions", "MissionOption", mission}, {"PlayerOptions", "PlayerOption", player}};

  BytePatch patch(text);
  const pugi::xml_node application = root.child("ApplicationOptions");
  std::string newGroups;
  for (const auto& g : groups) {
    const std::string option = OptionElement(g.option, g.settings);
    const pugi::xml_node group = application.child(g.group);
    if (!group) {
      newGroups += "<" + std::string(g.group) + ">" + option + "</" + g.group + ">";
      continue;
    }
    const pugi::xml_node element = group.child(g.option);
    if (!(element ? patch.SetAttributes(element, g.settings) : patch.Append(group, option)))
      return std::nullopt;
  }
  if (!application) {
    if (!patch.Append(root, "<ApplicationOptions>" + newGroups + "</ApplicationOptions>"))
      return std::nullopt;
  } else if (!newGroups.empty() && !patch.Append(application, newGroups)) {
    return std::nullopt;
  }
  return patch.Result();
}

}  // namespace

const GameFileKind& MissionEditorDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void MissionEditorDocument::Read(const Lines& lines, const MessageLookup&) {
  pugi::xml_document document;
  Parse(document, lines);
  const Options options = FindOptions(document);
  MissionEditorDocument read;
  read.civilTraffic = Switch(options.player, "CivTraffic");
  const std::string_view density = Required(options.mission, "WorldDensity");
  read.scenes = density == "3" ? 2 : density == "1" ? 0 : 1;
  for (size_t i = 0; i < kRealismSwitches.size(); ++i)
    read.switches[i] = Switch(options.player, SwitchName(i).c_str());
  // The sliders show any whole number at the end of their range.
  read.gEffects = std::clamp(WholeNumber(Required(options.player, "GEffects")), 0, 2);
  read.missilesEffectiveness =
      std::clamp(WholeNumber(Required(options.mission, "MissilesEffectiveness")), 0, 100);
  const std::string_view filter = Required(options.player, "AwacsViewFilter");
  const int bits = filter.size() == 1 && filter[0] >= '1' && filter[0] <= '7' ? filter[0] - '0' : 0;
  read.mapMyAircraft = bits & 1;
  read.mapAllies = bits & 2;
  read.mapEnemies = bits & 4;
  *this = read;
}

void MissionEditorDocument::Write(Lines& lines, const MessageLookup&) const {
  pugi::xml_document document;
  const pugi::xml_encoding encoding = Parse(document, lines);
  const Options options = FindOptions(document);
  const std::vector<Setting> settings = SettingsOf(*this);
  for (const Setting& setting : settings)
    Set(setting.player ? options.player : options.mission, setting.name.c_str(), setting.value);
  // In the encoding the file declared, so that its other texts keep their bytes' meaning.
  StringWriter whole;
  document.save(whole, "", kSaveOptions, encoding);
  // The file's own bytes with the values written in, taken only when they read as the document just
  // written: text the parser took in an odd way must not be half kept.
  const std::string read = JoinGameText(lines);
  if (const std::optional<std::string> patched = PatchedText(read, settings);
      patched && ReadsAs(*patched, encoding, whole.text)) {
    lines = SplitGameText(*patched);
    return;
  }
  std::string text = whole.text;
  if (encoding == pugi::encoding_utf8) {
    // What stands before the document element (declaration, comments, their line breaks) is kept byte for
    // byte, as the parser keeps no whitespace outside the elements. Taken only when the result reads back
    // as the same document: text the parser took in an odd way must not be half kept.
    const pugi::xml_node root = document.document_element();
    const size_t start = read.rfind('<', static_cast<size_t>(std::max<ptrdiff_t>(root.offset_debug(), 0)));
    StringWriter kept;
    kept.text = read.substr(0, start == std::string::npos ? 0 : start);
    for (pugi::xml_node node = root; node; node = node.next_sibling()) {
      if (node != root) kept.text += "\r\n";
      node.print(kept, "", kSaveOptions, encoding);
    }
    if (ReadsAs(kept.text, encoding, whole.text)) text = kept.text;
  }
  lines = SplitGameText(text);
}

std::vector<NamedValue> MissionEditorDocument::Values() const {
  std::vector<NamedValue> values{{"CheckBoxTrafficCivil", civilTraffic ? "1" : "0"},
                                 {"SpecialSliderScenes", std::to_string(scenes)}};
  for (size_t i = 0; i < kRealismSwitches.size(); ++i)
    values.push_back({"CheckBox" + SwitchName(i), switches[i] ? "1" : "0"});
  values.push_back({"SpecialSliderGEffects", std::to_string(gEffects)});
  values.push_back({"SpecialSliderMissilesEffectiveness", std::to_string(missilesEffectiveness)});
  values.push_back({"CheckBoxMapMyAircraft", mapMyAircraft ? "1" : "0"});
  values.push_back({"CheckBoxMapAllies", mapAllies ? "1" : "0"});
  values.push_back({"CheckBoxMapEnnemies", mapEnemies ? "1" : "0"});
  return values;
}

void MissionEditorDocument::SetValue(std::string_view name, std::string_view value) {
  using D = MissionEditorDocument;
  static const std::vector<DocumentField<D>> fields = [] {
    std::vector<DocumentField<D>> list{
        CheckField<D>("CheckBoxTrafficCivil", &D::civilTraffic),
        PositionField<D>("SpecialSliderScenes", &D::scenes, 0, 2),
        PositionField<D>("SpecialSliderGEffects", &D::gEffects, 0, 2),
        PositionField<D>("SpecialSliderMissilesEffectiveness", &D::missilesEffectiveness, 0, 100),
        CheckField<D>("CheckBoxMapMyAircraft", &D::mapMyAircraft),
        CheckField<D>("CheckBoxMapAllies", &D::mapAllies),
        CheckField<D>("CheckBoxMapEnnemies", &D::mapEnemies),
    };
    return list;
  }();
  if (SetFieldValue(fields, *this, name, value)) return;
  for (size_t i = 0; i < kRealismSwitches.size(); ++i) {
    if (name != "CheckBox" + SwitchName(i)) continue;
    switches[i] = ParseCheck(value);
    return;
  }
  FailUnknownValue(name);
}

}  // namespace kesta
