#include "documents/mission_editor_document.h"

#include <pugixml.hpp>

#include <algorithm>
#include <string>

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

bool Switch(pugi::xml_node option, const char* name) { return std::string_view(option.attribute(name).value()) == "1"; }

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

void SetSwitch(pugi::xml_node option, const char* name, bool on) { Set(option, name, on ? "1" : "0"); }

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string SwitchName(size_t i) { return std::string(kRealismSwitches[i]); }

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
  read.missilesEffectiveness = std::clamp(WholeNumber(Required(options.mission, "MissilesEffectiveness")), 0, 100);
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
  SetSwitch(options.player, "CivTraffic", civilTraffic);
  Set(options.mission, "WorldDensity", std::to_string(scenes + 1));
  for (size_t i = 0; i < kRealismSwitches.size(); ++i) SetSwitch(options.player, SwitchName(i).c_str(), switches[i]);
  Set(options.player, "GEffects", std::to_string(gEffects));
  Set(options.mission, "MissilesEffectiveness", std::to_string(missilesEffectiveness));
  Set(options.player, "AwacsViewFilter",
      std::to_string((mapMyAircraft ? 1 : 0) + (mapAllies ? 2 : 0) + (mapEnemies ? 4 : 0)));
  // In the encoding the file declared, so that its other texts keep their bytes' meaning.
  StringWriter whole;
  document.save(whole, "", kSaveOptions, encoding);
  std::string text = whole.text;
  if (encoding == pugi::encoding_utf8) {
    // What stands before the document element (declaration, comments, their line breaks) is kept byte for
    // byte, as the parser keeps no whitespace outside the elements. Taken only when the result reads back
    // as the same document: text the parser took in an odd way must not be half kept.
    const std::string read = JoinGameText(lines);
    const pugi::xml_node root = document.document_element();
    const size_t start = read.rfind('<', static_cast<size_t>(std::max<ptrdiff_t>(root.offset_debug(), 0)));
    StringWriter kept;
    kept.text = read.substr(0, start == std::string::npos ? 0 : start);
    for (pugi::xml_node node = root; node; node = node.next_sibling()) {
      if (node != root) kept.text += "\r\n";
      node.print(kept, "", kSaveOptions, encoding);
    }
    pugi::xml_document check;
    StringWriter checked;
    if (check.load_buffer(kept.text.data(), kept.text.size(), kParseOptions)) {
      check.save(checked, "", kSaveOptions, encoding);
      if (checked.text == whole.text) text = kept.text;
    }
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
