#include "language/setting_search.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "engine/case_fold.h"
#include "engine/utf8.h"

namespace kesta {

namespace {

constexpr PagePlace kPagePlaces[] = {
    {"TabSheetGraphicsStandards", "dxButtonGraphicsStandard", "dxTabDisplay"},
    {"TabSheetGraphicsCockpit", "dxButtonGraphicsCockpit", "dxTabDisplay"},
    {"TabSheetResolution", "dxButtonResolution", "dxTabDisplay"},
    {"TabSheetScreenshot", "dxButtonScreenshots", "dxTabDisplay"},
    {"TabSheetOptimization1", "dxButtonOptimisation", "dxTabDisplay"},
    {"TabSheetOptimization2", "dxButtonObjectClipping", "dxTabDisplay"},
    {"TabSheetOptimization3", "dxButtonObjectDensity", "dxTabDisplay"},
    {"TabSheetMultiplayerClient", "dxButtonMultiClient", "dxTabGameSettings"},
    {"TabSheetMultiplayerServer", "dxButtonMultiServer", "dxTabGameSettings"},
    {"TabSheetRealism", "dxButtonRealism", "dxTabGameSettings"},
    {"TabSheetOther1", "dxButtonOther", "dxTabGameSettings"},
    {"TabSheetLUA", "dxButtonLUA", "dxTabGameSettings"},
    {"TabSheetViewCockpit", "dxButtonView", "dxTabCustomization"},
    {"TabSheetViewGlobal", "dxButtonMouseView", "dxTabCustomization"},
    {"TabSheetSmokeColor", "dxButtonSmokeColor", "dxTabCustomization"},
    {"TabSheetOptionKESTA", "dxButtonOptions", "dxTabOptions"},
    {"TabSheetBackup", "dxButtonBackup", "dxTabOptions"},
};

struct PageControls {
  const char* page;
  std::vector<const char*> controls;
};

// The named controls of each page that a language file labels.
const std::vector<PageControls>& ControlsOfPages() {
  static const std::vector<PageControls> pages{
      {"TabSheetGraphicsStandards",
       {"GroupBoxGraphicsStandards", "SpecialSliderTextureLevel", "SpecialSliderPrecaching",
        "SpecialSliderWaterQuality", "SpecialSliderFogQuality", "SpecialSliderLightsLevel",
        "SpecialSliderEffectOptions", "SpecialSliderShadowLevel", "SpecialSliderShadowDensity",
        "SpecialSliderScenes", "CheckboxExhaust", "CheckBoxTrafficCivil"}},
      {"TabSheetGraphicsCockpit",
       {"GroupBoxMirror", "SpecialSliderMirrors", "SpecialSliderMirrorResolution", "SpecialSliderReflections",
        "CheckboxRussianHUD", "GroupBoxCanopy"}},
      {"TabSheetResolution",
       {"GroupBoxGameResolution", "MemoInfoAspect", "CheckBoxGameFullScreen", "LabelGameResolution",
        "LabelBits", "LabelGameAspect", "GroupBoxMovieResolution", "CheckBoxMovieFullScreen",
        "LabelMovieResolution"}},
      {"TabSheetScreenshot",
       {"GroupBoxScreenshot", "CheckboxJPG", "CheckboxBMP", "LabelScreenShotName", "LabelScreenShotQuality"}},
      {"TabSheetOptimization1",
       {"LabelLandDay", "LabelLandNight", "LabelMFD", "GroupBoxFogParams", "GroupBoxLandOptions", "LabelL01",
        "LabelL12", "LabelFogParam1", "LabelFogParam2", "LabelObjectFogMultiplier"}},
      {"TabSheetOptimization2",
       {"LabelTextureLevel", "SpeedButtonAddOpti", "SpeedButtonRemoveOpti", "SliderDynamicClip",
        "SliderFarClip", "SliderLightsClip", "SliderLod", "SliderMiddleClip", "SliderMirageClip",
        "SliderNearClip", "SliderObjectsClip", "SliderStructuresClip", "SliderSurfaceClip",
        "SliderTreesClip"}},
      {"TabSheetOptimization3",
       {"LabelTextureLevelBis", "SpeedButtonAddOptiBis", "SpeedButtonRemoveOptiBis", "SliderDynamicDensity",
        "SliderLightsDensity", "SliderMirageDensity", "SliderObjectsDensity", "SliderStructuresDensity",
        "SliderSurfaceDensity", "SliderTreesDensity"}},
      {"TabSheetMultiplayerClient",
       {"LabelPlayerName", "LabelClientPort", "LabelServerDefault", "LabelChatHeight", "LabelChatDelay",
        "GroupBoxClient", "LabelConnexionType", "GroupBoxServerList", "SpeedButtonServerListAdd",
        "SpeedButtonServerListDelete", "SpeedButtonServerListOpen", "SpeedButtonServerListSave",
        "LabelServerList", "GroupBoxChat"}},
      {"TabSheetMultiplayerServer",
       {"GroupBoxServer", "LabelServerPassword", "LabelConnexionTypeServer", "LabelInterface",
        "CheckBoxShowMessage", "GroupBoxServerViews", "CheckboxDisableCombatViews",
        "CheckboxCameraTerrainRestriction", "LabelServerName", "LabelServerPort", "LabelMaxPlayers"}},
      {"TabSheetRealism", {"GroupBoxRealismMyAircraft", "SpecialSliderGEffects",
                           "GroupBoxRealismIA",         "SpecialSliderMissilesEffectiveness",
                           "GroupBoxRealismView",       "CheckBoxMapMyAircraft",
                           "CheckBoxMapAllies",         "CheckBoxMapEnnemies",
                           "CheckBoxAircraftSwitching", "CheckBoxAwacsView",
                           "CheckBoxCrashRecovery",     "CheckBoxEasyFlight",
                           "CheckBoxEasyRadar",         "CheckBoxExternalLabels",
                           "CheckBoxExternalView",      "CheckBoxImmortal",
                           "CheckBoxMiniHUD",           "CheckBoxPadLock",
                           "CheckBoxRadioAssist",       "CheckBoxUnlimitedFuel",
                           "CheckBoxUnlimitedWeapons"}},
      {"TabSheetOther1", {"RadioGroupFFB", "GroupBoxMissionDate", "LabelInfoMissionDate"}},
      {"TabSheetLUA",
       {"RadioGroupActiveExport", "LabelInfoActiveExport", "GroupBoxLUAScripts", "LabelLUAScripts",
        "LabelScriptInfoTitle", "LabelScriptAuteurTitle", "LabelScriptSiteTitle", "LabelScriptDispo",
        "LabelScriptNonDispo", "CheckBoxScriptEnabled"}},
      {"TabSheetViewCockpit",
       {"LabelAircraft", "GroupBoxViewAngleLimits", "SpecialSliderViewAngleMin", "SpecialSliderViewAngleMax",
        "LabelViewANgleDefaultTrackIR", "GroupBoxHUDColor", "ButtonColorChange", "GroupBoxDefaultView",
        "SpecialSliderViewAngleDefault", "SpecialSliderVAngle", "SpecialSliderHAngle", "GroupBoxRearCamera",
        "ButtonF4View"}},
      {"TabSheetViewGlobal", {"GroupBoxMouseView", "CheckboxCockpitMouse", "CheckboxExternalMouse"}},
      {"TabSheetSmokeColor",
       {"GroupBoxSmokeColor", "GroupBoxSmokeColorRU", "ButtonPodRUBlue",   "ButtonPodRUGreen",
        "ButtonPodRUOrange",  "ButtonPodRURed",       "ButtonPodRUWhite",  "ButtonPodRUYellow",
        "ButtonPodUSBlue",    "ButtonPodUSGreen",     "ButtonPodUSOrange", "ButtonPodUSRed",
        "ButtonPodUSWhite",   "ButtonPodUSYellow",    "LabelPodRUBlue",    "LabelPodRUGreen",
        "LabelPodRUOrange",   "LabelPodRURed",        "LabelPodRUWhite",   "LabelPodRUYellow",
        "LabelPodUSBlue",     "LabelPodUSGreen",      "LabelPodUSOrange",  "LabelPodUSRed",
        "LabelPodUSWhite",    "LabelPodUSYellow"}},
      {"TabSheetOptionKESTA",
       {"GroupBoxOptionsKESTA", "LabelLanguage", "MenuChangePath", "MenuStartWithWindows",
        "MenuStartMinimize", "MenuMinimize", "MenuCheckForUpdateWhenStarting", "MenuSynchronizeDate",
        "MenuCheckTrackIR", "MenuDeleteTrackIrIni", "MenuReloadSettings"}},
      {"TabSheetBackup",
       {"SpeedButtonLoadLockonSettings", "SpeedButtonLoadDefault", "GroupBoxBackup",
        "GroupBoxAutomaticBackup", "ButtonAutomaticBackup", "GroupBoxBackupInput", "ButtonBackupInput",
        "ButtonApplyHistory", "SpeedButtonLoadFromFile", "SpeedButtonSaveToFile"}},
  };
  return pages;
}

// Ribbon commands that are no page button: the appearance commands on their tab, then the application
// menu's, on no tab.
constexpr std::pair<const char*, const char*> kCommands[] = {
    {"dxButtonThemesBlue", "dxTabOptions"},
    {"dxButtonThemesSilver", "dxTabOptions"},
    {"dxButtonThemesBlack", "dxTabOptions"},
    {"dxButtonFormStyle", "dxTabOptions"},
    {"dxButtonApply", ""},
    {"dxButtonReview", ""},
    {"dxButtonCancel", ""},
    {"dxButtonUndoApply", ""},
    {"dxButtonOpenConfig", ""},
    {"dxButtonSaveConfig", ""},
    {"dxButtonPlay", ""},
    {"dxButtonOpenServer", ""},
    {"dxButtonJoinServer", ""},
    {"dxButtonLotatcNet", ""},
    {"dxButtonLotatcClient", ""},
    {"dxButtonLotatcServer", ""},
    {"dxButtonKESTAUpdate", ""},
    {"dxButtonReportBug", ""},
    {"dxButtonAbout", ""},
    {"dxButtonExit", ""},
};

// Value controls captioned by a control whose name is not theirs with "Label" for "Edit" or "ComboBox".
constexpr std::pair<const char*, const char*> kCaptionedBy[] = {
    {"EditLandDayL01", "LabelLandDay"},
    {"EditLandDayL12", "LabelLandDay"},
    {"EditLandNightL01", "LabelLandNight"},
    {"EditLandNightL12", "LabelLandNight"},
    {"EditMFDL01", "LabelMFD"},
    {"EditMFDL12", "LabelMFD"},
    {"ComboBoxOptimization1", "LabelTextureLevel"},
    {"ComboBoxOptimization2", "LabelTextureLevelBis"},
    {"DateTimePicker", "GroupBoxMissionDate"},
    {"F4ViewX", "ButtonF4View"},
    {"F4ViewY", "ButtonF4View"},
    {"F4ViewZ", "ButtonF4View"},
    {"PanelColor", "GroupBoxHUDColor"},
};

// What each letter from U+00C0 to U+024F folds to: the bare Latin letter of one with an accent, else its
// lower case; "#" for the letters that fold to two (kTwoLetters).
constexpr char16_t kLatinFolds[] =
    u"aaaaaa#ceeeeiiiiðnooooo×ouuuuyþ#aaaaaa#ceeeeiiii"  // U+00C0
    u"ðnooooo÷ouuuuyþyaaaaaaccccccccddddeeeeeeeeeegggg"  // U+00F0
    u"gggghhħħiiiiiiiiiıĳĳjjkkĸllllllŀŀllnnnnnnŉŋŋoooo"  // U+0120
    u"oo##rrrrrrssssssssttttŧŧuuuuuuuuuuuuwwyyyzzzzzzſ"  // U+0150
    u"ƀɓƃƃƅƅɔƈƈɖɗƌƌƍǝəɛƒƒɠɣƕɩɨƙƙƚƛɯɲƞɵooƣƣƥƥʀƨƨʃƪƫƭƭʈu"  // U+0180
    u"uʊʋƴƴƶƶʒƹƹƺƻƽƽƾƿǀǁǂǃǆǆǆǉǉǉǌǌǌaaiioouuuuuuuuuuǝaa"  // U+01B0
    u"aaǣǣǥǥggkkooooǯǯjǳǳǳggƕƿnnaaǽǽǿǿaaaaeeeeiiiioooo"  // U+01E0
    u"rrrruuuussttȝȝhhƞȡȣȣȥȥaaeeooooooooyyȴȵȶȷȸȹⱥȼȼƚⱦȿ"  // U+0210
    u"ɀɂɂƀʉʌɇɇɉɉɋɋɍɍɏɏ";                                 // U+0240
constexpr char32_t kLatinFoldsFirst = 0xC0;
static_assert(std::size(kLatinFolds) - 1 == 0x250 - kLatinFoldsFirst);

const char* TwoLetters(char32_t letter) {
  switch (letter) {
    case 0x00DF:
      return "ss";
    case 0x00C6:
    case 0x00E6:
      return "ae";
    default:  // Œ, œ
      return "oe";
  }
}

void AppendFolded(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : char(c);
  } else if (c >= kLatinFoldsFirst && c < 0x250) {
    const char32_t folded = kLatinFolds[c - kLatinFoldsFirst];
    if (folded == u'#')
      out += TwoLetters(c);
    else
      AppendUtf8(folded, out);
  } else {
    AppendUtf8(FoldCase(c), out);  // Greek and Cyrillic; other scripts stay as they are
  }
}

// The characters QChar::isSpace counts as space.
bool IsSpaceCharacter(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// The length of the space character at text[pos]; 0 where none starts.
std::size_t SpaceLength(std::string_view text, std::size_t pos) {
  const Utf8Char c = ReadUtf8Char(text, pos);
  return c.length > 0 && IsSpaceCharacter(c.code) ? c.length : 0;
}

// The text without space at either end, every run of space inside made one " ".
std::string Simplified(std::string_view text) {
  std::string simplified;
  bool space = false;
  for (std::size_t pos = 0; pos < text.size();) {
    if (const std::size_t length = SpaceLength(text, pos)) {
      space = !simplified.empty();
      pos += length;
    } else {
      if (space) simplified += ' ';
      space = false;
      simplified += text[pos++];
    }
  }
  return simplified;
}

// The parts of the text between spaces (" " only), empty parts left out.
void AppendWords(std::string_view text, std::vector<std::string>& words) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    if (end > pos) words.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x | 0x20 : x) == (y >= 'A' && y <= 'Z' ? y | 0x20 : y);
         });
}

// The text without space at either end.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && SpaceLength(text, 0)) text.remove_prefix(SpaceLength(text, 0));
  while (!text.empty()) {
    std::size_t last = text.size() - 1;  // where the last character starts
    while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
    if (SpaceLength(text, last) != text.size() - last) break;
    text.remove_suffix(text.size() - last);
  }
  return text;
}

// A label beside an edit ends in a colon, which reads wrong in "caption — page".
std::string CaptionForList(std::string_view text) {
  std::string_view caption = Trimmed(text);
  for (;;) {
    if (caption.ends_with(':'))
      caption.remove_suffix(1);
    else if (caption.ends_with("\uFF1A"))
      caption.remove_suffix(3);
    else
      return std::string(Trimmed(caption));
  }
}

// Property references whose text names the control to a reader; a hint explains it and is searched too.
bool LabelsControl(std::string_view property) {
  return EqualsIgnoringAsciiCase(property, "Caption") || EqualsIgnoringAsciiCase(property, "Text") ||
         EqualsIgnoringAsciiCase(property, "Title");
}

}  // namespace

std::span<const PagePlace> PagePlaces() { return kPagePlaces; }

std::string CaptionControlOf(std::string_view valueControl) {
  const std::string_view control = valueControl.substr(0, valueControl.find('['));
  for (const auto& [value, caption] : kCaptionedBy)
    if (control == value) return caption;
  for (const std::string_view prefix : {"Edit", "ComboBox"})
    if (control.starts_with(prefix)) return "Label" + std::string(control.substr(prefix.size()));
  // The smoke colours: a colour button beside a label, the value named by the colour alone.
  if (control.starts_with("Pod")) return "Label" + std::string(control);
  return std::string(control);
}

SearchQuery ParseSearchQuery(std::string_view text) {
  SearchQuery query;
  std::size_t at = 0;
  const auto atEnd = [&text, &at] {
    while (at < text.size())
      if (const std::size_t length = SpaceLength(text, at))
        at += length;
      else
        break;
    return at == text.size();
  };
  // The next word, or the text between double quotes (the closing one may not be typed yet).
  const auto next = [&text, &at]() -> std::string_view {
    const bool quoted = text[at] == '"';
    const std::size_t start = quoted ? ++at : at;
    while (at < text.size() && (quoted ? text[at] != '"' : !SpaceLength(text, at))) ++at;
    const std::string_view word = text.substr(start, at - start);
    if (quoted && at < text.size()) ++at;
    return word;
  };
  while (!atEnd()) {
    const std::string_view word = next();
    if (EqualsIgnoringAsciiCase(word, "@modified")) {
      query.modifiedOnly = true;
    } else if (EqualsIgnoringAsciiCase(word, "@page")) {
      if (!atEnd()) query.page = Simplified(FoldForSearch(next()));
    } else if (!word.starts_with('@')) {  // a filter still being typed matches nothing yet
      AppendWords(FoldForSearch(word), query.words);
    }
  }
  return query;
}

std::string ListText(const SearchEntry& entry) {
  std::string text = entry.caption;
  if (!entry.pageCaption.empty()) text += " — " + entry.pageCaption;
  if (!entry.tabCaption.empty()) text += " (" + entry.tabCaption + ')';
  return text;
}

const PagePlace* PlaceOfButton(std::string_view button) {
  for (const PagePlace& place : kPagePlaces)
    if (button == place.button) return &place;
  return nullptr;
}

const PagePlace* PlaceOfEntry(const SearchEntry& entry) {
  if (const PagePlace* place = PageOfControl(entry.control)) return place;
  return PlaceOfButton(entry.control);
}

const PagePlace* PageOfControl(std::string_view control) {
  for (const PageControls& page : ControlsOfPages())
    for (const char* name : page.controls)
      if (control == name)
        for (const PagePlace& place : kPagePlaces)
          if (std::string_view(place.page) == page.page) return &place;
  return nullptr;
}

std::string FoldForSearch(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = ReadUtf8Char(text, pos);
    if (c.length == 0) {  // not UTF-8: the byte as it is
      folded += text[pos++];
      continue;
    }
    AppendFolded(c.code, folded);
    pos += c.length;
  }
  return folded;
}

TSettingSearch::TSettingSearch(const TMessageCatalogue& catalogue) {
  // What labels each control, and a slider's step captions, by control name.
  struct Label {
    std::string caption;
    std::string hint;
    std::vector<std::string_view> steps;
  };
  std::unordered_map<std::string_view, Label> labels;
  for (const LanguageEntry& entry : catalogue.Entries()) {
    for (const std::string& reference : entry.controls) {
      const std::size_t dot = reference.find('.');
      if (dot == 0 || dot == std::string::npos) continue;
      const std::string_view control = std::string_view(reference).substr(0, dot);
      const std::string_view property = std::string_view(reference).substr(dot + 1);
      Label& label = labels[control];
      if (entry.text.empty()) continue;
      if (EqualsIgnoringAsciiCase(property, "Hint")) {
        if (label.hint.empty()) label.hint = entry.text;
      } else if (LabelsControl(property) && label.caption.empty()) {
        label.caption = CaptionForList(entry.text);
      }
      if (EqualsIgnoringAsciiCase(property, "Values"))
        for (const LanguageEntry::StepCaption& step : entry.values) label.steps.push_back(step.caption);
    }
  }
  const auto text = [&catalogue](const char* key) {
    const std::string* found = catalogue.Find(key);
    return found ? *found : std::string();
  };
  const auto add = [&](std::string_view control, const std::string& page, const std::string& tab) {
    const auto label = labels.find(control);
    if (label == labels.end()) return;
    // A control with a hint and no caption is listed by its hint.
    std::string caption =
        label->second.caption.empty() ? CaptionForList(label->second.hint) : label->second.caption;
    if (caption.empty()) return;
    std::string searched = caption + ' ' + label->second.hint + ' ';
    for (const std::string_view step : label->second.steps) {
      if (&step != &label->second.steps.front()) searched += ' ';
      searched += step;
    }
    m_folded.push_back(FoldForSearch(searched));
    m_entries.push_back({std::string(control), std::move(caption), page, tab});
  };
  for (const PagePlace& place : kPagePlaces) {
    const std::string page = text(place.button);
    const std::string tab = text(place.tab);
    add(place.button, page, tab);
    for (const PageControls& controls : ControlsOfPages())
      if (std::string_view(controls.page) == place.page)
        for (const char* control : controls.controls) add(control, page, tab);
  }
  for (const auto& [command, tab] : kCommands) add(command, std::string(), text(tab));
}

std::vector<SearchEntry> TSettingSearch::Find(std::string_view query) const {
  SearchQuery words;
  AppendWords(FoldForSearch(query), words.words);
  return Find(words, {});
}

std::vector<SearchEntry> TSettingSearch::Find(const SearchQuery& query,
                                              const std::vector<std::string>& changedControls) const {
  std::vector<SearchEntry> found;
  if (query.Empty()) return found;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const SearchEntry& entry = m_entries[i];
    if (query.modifiedOnly &&
        std::find(changedControls.begin(), changedControls.end(), entry.control) == changedControls.end())
      continue;
    if (!query.page.empty()) {
      const PagePlace* place = PlaceOfEntry(entry);
      if (!place || !(FoldForSearch(entry.pageCaption).find(query.page) != std::string::npos ||
                      EqualsIgnoringAsciiCase(place->page, query.page)))
        continue;
    }
    if (std::all_of(query.words.begin(), query.words.end(),
                    [&](const std::string& word) { return m_folded[i].find(word) != std::string::npos; }))
      found.push_back(entry);
  }
  return found;
}

}  // namespace kesta
