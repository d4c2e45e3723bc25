#include "documents/graphics_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "documents/document_fields.h"
#include "engine/failure.h"
#include "engine/lua_text.h"
#include "engine/number_format.h"
#include "engine/text.h"
#include "settings/helpers.h"

namespace kesta {

namespace {

using D = GraphicsDocument;

constexpr std::string_view kPrecaching[] = {"25000", "50000", "100000"};
constexpr std::string_view kSceneFiles[] = {"\"Low\"", "\"Medium\"", "\"High\""};
constexpr std::string_view kAspects[] = {"1.333333373", "1.25", "1.77", "1.6"};

// The texture-distance and fog boxes: member, name read and written (two tabs before the distances),
// anchor, value when absent, control.
struct EditLine {
  std::string D::*member;
  std::string_view name;
  std::string_view anchor;
  std::string_view absent;
  std::string_view control;
};
constexpr EditLine kEditLines[] = {
    {&D::landDayL01, "L01", "", "10000", "EditLandDayL01"},
    {&D::landDayL12, "L12", "", "40000", "EditLandDayL12"},
    {&D::landNightL01, "L01", "LandNight", "8000", "EditLandNightL01"},
    {&D::landNightL12, "L12", "LandNight", "15000", "EditLandNightL12"},
    {&D::mfdL01, "L01", "MFD", "10000", "EditMFDL01"},
    {&D::mfdL12, "L12", "MFD", "25000", "EditMFDL12"},
    {&D::fogParam1, "FogParam1", "", "12", "EditFogParam1"},
    {&D::fogParam2, "FogParam2", "", "1.1", "EditFogParam2"},
    {&D::objectFogMultiplier, "ObjectFogMultiplier", "", "0.6", "EditObjectFogMultiplier"},
};
constexpr size_t kEditLength = 6;

std::string RemoveAllNoCase(std::string text, std::string_view what) {
  for (size_t at = 0; at + what.size() <= text.size();) {
    if (EqualsNoCase(std::string_view(text).substr(at, what.size()), what))
      text.erase(at, what.size());
    else
      ++at;
  }
  return text;
}

bool IsInteger(const std::string& text) {
  int value = 0;
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return !text.empty() && error == std::errc() && end == last;
}

// "1024 x 768" -> "{1024, 768}"; a text without "x" stands for both sides. Fails with the translated
// "InvalidResolution" when a side is not a whole number.
std::string ResolutionValue(std::string text, const MessageLookup& lookup) {
  const std::string width = Trim(SplitAtFirst(text, "x"));
  const std::string height = Trim(text);
  if (!IsInteger(width) || !IsInteger(height)) throw EKestaError("- " + lookup("InvalidResolution"));
  return "{" + width + ", " + height + "}";
}

void WriteThree(Lines& lines, std::string_view name, const std::string& value) {
  SetParam(lines, "\t" + std::string(name), value, "", false);
  SetParam(lines, "\t\t" + std::string(name), value, "Interface", false);
  SetParam(lines, "\t\t" + std::string(name), value, "Simulation", false);
}

void ReadScreenshot(const Lines& lines, D& d) {
  std::string name = GetParam(lines, "ScreenshotName", "ScreenShots/ScreenShot_%03d.jpg", "", false);
  std::erase(name, '"');
  // A name written as a Lua string reads back with its quotes, backslashes and line breaks.
  if (std::optional<std::string> text = LuaStringValue(GetRawParam(lines, "ScreenshotName", "", "")))
    name = std::move(*text);
  name = RemoveAllNoCase(name, "%03d");
  d.screenshotJpg = Contains(name, ".jpg") || Contains(name, ".JPG");
  d.screenshotName = RemoveAllNoCase(RemoveAllNoCase(name, ".jpg"), ".bmp");
  d.screenshotQuality = GetNumberParam(lines, "ScreenshotQuality", "90", "");
}

void ReadResolutions(const Lines& lines, D& d) {
  d.gameResolution = ResolutionText(GetParam(lines, "resolution", "{1024, 768}", "", false));
  const std::string depth = GetParam(lines, "bpp", "32", "", false) + "bits";
  const auto& depths = ColourDepthEntries();
  d.colourDepth = std::find(depths.begin(), depths.end(), depth) != depths.end() ? depth : "";
  const std::string aspect = GetParam(lines, "aspect", "1.333333373", "", false);
  d.aspect = 0;
  for (int item = 1; item < 4; ++item)
    if (aspect == kAspects[item]) d.aspect = item;
  d.movieResolution = ResolutionText(GetParam(lines, "resolution", "{640, 480}", "AVI", false));
  d.gameFullScreen = GetParam(lines, "fullscreen", "1", "", false) == "1";
  d.movieFullScreen = GetParam(lines, "fullscreen", "0", "AVI", false) == "1";
}

const std::vector<DocumentField<D>>& Fields() {
  static const std::vector<DocumentField<D>> fields = [] {
    std::vector<DocumentField<D>> list{
        PositionField<D>("SpecialSliderTextureLevel", &D::textureLevel, 0, 2),
        PositionField<D>("SpecialSliderPrecaching", &D::precaching, 0, 2),
        PositionField<D>("SpecialSliderWaterQuality", &D::waterQuality, 0, 3),
        PositionField<D>("SpecialSliderFogQuality", &D::fogQuality, 0, 1),
        PositionField<D>("SpecialSliderLightsLevel", &D::lightsLevel, 0, 2),
        PositionField<D>("SpecialSliderEffectOptions", &D::effectOptions, 0, 3),
        PositionField<D>("SpecialSliderShadowLevel", &D::shadowLevel, 0, 3),
        PositionField<D>("SpecialSliderShadowDensity", &D::shadowDensity, 0, 10),
        CheckField<D>("CheckboxExhaust", &D::exhaust),
    };
    for (const EditLine& line : kEditLines)
      list.push_back(NumberField<D>(line.control, line.member, kEditLength));
    list.push_back(TextField<D>("EditScreenShotName", &D::screenshotName, 32767));
    list.push_back(CheckField<D>("CheckboxJPG", &D::screenshotJpg));
    list.push_back(NumberField<D>("EditScreenShotQuality", &D::screenshotQuality, 3));
    list.push_back(TextField<D>("ComboBoxGameResolution", &D::gameResolution, 32767));
    list.push_back({"ComboBoxBits", [](const D& d) { return d.colourDepth; },
                    [](D& d, std::string_view text) {
                      // "" is the list without a selection, as a depth the list does not hold shows it.
                      std::vector<std::string_view> entries = ColourDepthEntries();
                      entries.insert(entries.begin(), "");
                      d.colourDepth = CheckedEntry(text, entries);
                    }});
    list.push_back(
        {"ComboBoxGameAspect", [](const D& d) { return std::string(AspectEntries().at(d.aspect)); },
         [](D& d, std::string_view text) {
           const auto& entries = AspectEntries();
           const std::string entry = CheckedEntry(text, entries);
           d.aspect = static_cast<int>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
         }});
    list.push_back(CheckField<D>("CheckBoxGameFullScreen", &D::gameFullScreen));
    // The film list offers display sizes; any size the game can read is one the list could offer.
    list.push_back({"ComboBoxMovieResolution", [](const D& d) { return d.movieResolution; },
                    [](D& d, std::string_view text) {
                      ResolutionValue(std::string(text),
                                      [](std::string_view) { return "not a size such as 640x480"; });
                      d.movieResolution = text;
                    }});
    list.push_back(CheckField<D>("CheckBoxMovieFullScreen", &D::movieFullScreen));
    list.push_back({"ComboBoxOptimization1", [](const D& d) { return d.currentProfile; },
                    [](D& d, std::string_view text) {
                      // The list may show no profile at all, when "current" names none.
                      const std::vector<std::string> names = d.ProfileNames();
                      if (text != d.currentProfile &&
                          std::find(names.begin(), names.end(), text) == names.end())
                        throw EKestaError("\"" + std::string(text) + "\" is not a visibility-range profile");
                      d.ShowProfile(std::string(text));
                    }});
    return list;
  }();
  return fields;
}

// The record a value named "Slider...[Profile]" goes to: the last one of that name not removed.
TOpti& ProfileNamed(D& d, std::string_view name) {
  for (auto it = d.optis.rbegin(); it != d.optis.rend(); ++it)
    if (it->Name == name && !it->Deleted) return *it;
  throw EKestaError("\"" + std::string(name) + "\" is not a visibility-range profile");
}

bool HasSlider(const TOpti& opti, const OptiSlider& slider) {
  return slider.key != "middle_clip" || opti.Name != "Low";
}

// The value as the slider shows it: on its grid, within its range. Fails for a value that is no number.
std::string OnSlider(const std::string& value, const OptiSlider& slider) {
  const int position = std::clamp(OptiSliderPosition(value, slider.multiplier), slider.min, slider.max);
  return FormatFloat(slider.format, position * slider.multiplier);
}

void PutOnSlider(TOpti& opti, const OptiSlider& slider) {
  opti.*slider.field = OnSlider(opti.*slider.field, slider);
}

}  // namespace

const std::vector<std::string_view>& AspectEntries() {
  static const std::vector<std::string_view> entries{"4/3 (1.33..)", "5/4 (1.25)", "16/9 (1.77)",
                                                     "16/10 (1.6)"};
  return entries;
}

const std::vector<std::string_view>& ColourDepthEntries() {
  static const std::vector<std::string_view> entries{"16bits", "32bits"};
  return entries;
}

std::string ProfileShowFailure(std::string_view failure) {
  const std::string rule = "----------------------";
  return "Loading Textures optimizations Settings\r\n" + rule + "\r\n" + std::string(failure) + "\r\n" +
         rule + "\r\n\r\n" + rule + "\r\nPlease contact the developper!";
}

std::string ResolutionText(std::string value) {
  std::erase(value, '{');
  std::erase(value, '}');
  std::erase(value, ' ');
  std::replace(value.begin(), value.end(), ',', 'x');
  return value;
}

const GameFileKind& GraphicsDocument::Kind() const { return GameFileKindOf(kCatalogKey); }

void GraphicsDocument::Read(const Lines& lines, const MessageLookup& lookup) {
  D d = *this;  // a precaching value the slider has no position for leaves it where it was
  d.textureLevel = std::clamp(IntegerValue(lines, "TextureLevel", "2"), 0, 2);
  const std::string precaching = GetParam(lines, "around_camera", "50000", "", false);
  for (int position = 0; position < 3; ++position)
    if (precaching == kPrecaching[position]) d.precaching = position;
  d.waterQuality = std::clamp(IntegerValue(lines, "WaterQuality", "1"), 0, 3);
  d.fogQuality = std::clamp(IntegerValue(lines, "FogQuality", "1"), 0, 1);
  d.lightsLevel = std::clamp(IntegerValue(lines, "LightsLevel", "2"), 0, 2);
  std::string current = GetParam(lines, "current", "Medium", "", false);
  std::erase(current, '"');
  d.effectOptions = std::clamp(IntegerValue(lines, "EffectOptions", "1"), 0, 3);
  d.exhaust = GetParam(lines, "Exhaust", "0", "", false) != "0";
  d.shadowLevel = std::clamp(IntegerValue(lines, "ShadowLevel", "1"), 0, 3);
  const double density = ParseFloat(GetParam(lines, "ShadowDensity", "0.6", "", false));
  d.shadowDensity = static_cast<int>(std::clamp(std::nearbyint(density / 0.1), 0.0, 10.0));
  for (const EditLine& line : kEditLines)
    d.*line.member = GetNumberParam(lines, line.name, line.absent, line.anchor);
  d.optis = ReadOptis(lines, lookup);
  // Every profile holds what its sliders would show, whichever one the pages show, so that each Apply
  // writes the same; a value that is no number is for showing its profile to report. Profiles mostly
  // share their values: each value is put on each slider's grid once (nothing: it is no number).
  const auto& sliders = OptiSliders();
  std::vector<std::unordered_map<std::string, std::optional<std::string>>> onGrid(sliders.size());
  for (TOpti& opti : d.optis)
    for (size_t s = 0; s < sliders.size(); ++s) {
      if (!HasSlider(opti, sliders[s])) continue;
      std::string& value = opti.*sliders[s].field;
      const auto [entry, added] = onGrid[s].try_emplace(value);
      if (added) {
        try {
          entry->second = OnSlider(value, sliders[s]);
        } catch (const std::exception&) {
        }
      }
      if (entry->second) value = *entry->second;
    }
  ReadScreenshot(lines, d);
  ReadResolutions(lines, d);
  // "current" naming no profile leaves the profile list without a selection.
  if (current.empty()) current = "Medium";
  const std::vector<std::string> names = d.ProfileNames();
  d.ShowProfile(std::find(names.begin(), names.end(), current) != names.end() ? current : "");
  *this = std::move(d);
}

void GraphicsDocument::Write(Lines& lines, const MessageLookup& lookup) const {
  const auto position = [&lines](std::string_view name, int value) {
    SetParam(lines, name, std::to_string(value), "", false);
  };
  position("TextureLevel", textureLevel);
  SetParam(lines, "\taround_camera", kPrecaching[std::clamp(precaching, 0, 2)], "", false);
  position("WaterQuality", waterQuality);
  position("FogQuality", fogQuality);
  position("LightsLevel", lightsLevel);
  // The profiles' long string is read by the game's own reader, not as Lua: the name goes in as it is,
  // unless it could end that string (only a shared file holds such a name).
  if (!Contains(currentProfile, "]")) SetParam(lines, "\tcurrent", "\"" + currentProfile + "\"", "", false);
  position("EffectOptions", effectOptions);
  SetParam(lines, "Exhaust", exhaust ? "1" : "0", "", false);
  position("ShadowLevel", shadowLevel);
  SetParam(lines, "ShadowDensity", FormatFloat("0.0", shadowDensity * 0.1), "", false);
  if (sceneFile)
    SetParam(lines, "SceneFile", std::string(kSceneFiles[std::clamp(*sceneFile, 0, 2)]), "", false);
  for (const EditLine& line : kEditLines) {
    const std::string name =
        line.name.starts_with('L') ? "\t\t" + std::string(line.name) : std::string(line.name);
    SetParam(lines, name, WrittenNumber(line.name, this->*line.member, lookup), line.anchor, false);
  }
  SetParam(lines, "ScreenshotName", LuaQuoted(screenshotName + "%03d" + (screenshotJpg ? ".jpg" : ".bmp")),
           "", false);
  SetParam(lines, "ScreenshotQuality", WrittenNumber("ScreenshotQuality", screenshotQuality, lookup), "",
           false);
  WriteThree(lines, "resolution", ResolutionValue(gameResolution, lookup));
  // A depth the list does not hold stays as the file has it rather than becoming empty.
  if (!colourDepth.empty()) WriteThree(lines, "bpp", Trim(RemoveAllNoCase(colourDepth, "bits")));
  // The profiles go between the game and the film resolution. A value from a shared file that could end
  // their long string is refused, as any value that is no number is where Lua reads it.
  for (const TOpti& opti : optis)
    if (const std::optional<std::string> line = ValueLineWithBracket(opti); line && !opti.Deleted)
      throw EKestaError("- " + lookup("InvalidNumber") + " " + *line);
  WriteOptis(lines, optis);
  SetParam(lines, "\t\tresolution", ResolutionValue(movieResolution, lookup), "AVI", false);
  if (aspect >= 0 && aspect < 4) WriteThree(lines, "aspect", std::string(kAspects[aspect]));
  WriteThree(lines, "fullscreen", gameFullScreen ? "1" : "0");
  SetParam(lines, "\t\tfullscreen", movieFullScreen ? "1" : "0", "AVI", false);
}

std::vector<NamedValue> GraphicsDocument::Values() const {
  std::vector<NamedValue> values = FieldValues(Fields(), *this);
  for (const std::string& name : ProfileNames()) {
    const TOpti* opti = ShownOpti(optis, name);
    for (const OptiSlider& slider : OptiSliders()) {
      if (!HasSlider(*opti, slider)) continue;
      int position = 0;
      try {
        position =
            std::clamp(OptiSliderPosition(opti->*slider.field, slider.multiplier), slider.min, slider.max);
      } catch (const EKestaError&) {
        position = slider.min;  // a value that is no number shows the slider at its start
      }
      values.push_back({std::string(slider.sliderName) + "[" + name + "]", std::to_string(position)});
    }
  }
  return values;
}

void GraphicsDocument::SetValue(std::string_view name, std::string_view value) {
  const auto [control, entry] = SplitEntry(name);
  if (entry.empty()) {
    if (!SetFieldValue(Fields(), *this, name, value)) FailUnknownValue(name);
    return;
  }
  for (const OptiSlider& slider : OptiSliders()) {
    if (slider.sliderName != control) continue;
    TOpti& opti = ProfileNamed(*this, entry);
    if (!HasSlider(opti, slider)) throw EKestaError("the profile \"Low\" has no middle clipping plane");
    const int position = ParsePosition(value, slider.min, slider.max);
    opti.*slider.field = FormatFloat(slider.format, position * slider.multiplier);
    return;
  }
  FailUnknownValue(name);
}

void GraphicsDocument::ShowProfile(std::string name) {
  currentProfile = std::move(name);
  TOpti* opti = ShownOpti(optis, currentProfile);
  if (!opti) return;
  // A blank list text is decided on as "Low"; the record shown is still the first one.
  const bool low = Trim(currentProfile).empty() || currentProfile == "Low";
  try {
    for (const OptiSlider& slider : OptiSliders()) {
      if (slider.key == "middle_clip" && (low || opti->Name == "Low")) continue;
      PutOnSlider(*opti, slider);
    }
  } catch (const std::exception& failure) {
    throw EKestaError(ProfileShowFailure(failure.what()));
  }
}

std::vector<std::string> GraphicsDocument::ProfileNames() const {
  std::vector<std::string> names;
  for (const TOpti& opti : optis)
    if (!opti.Deleted) names.push_back(opti.Name);
  return names;
}

}  // namespace kesta
