#include "language/setting_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "documents/game_document.h"
#include "sets/game_file_set.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

struct QueryCase {
  const char* language;  // file name in resources/Languages
  const char* query;
  std::vector<const char*> controls;  // expected, in page order
};

const TMessageCatalogue& Catalogue(const char* language) {
  static std::map<std::string, std::unique_ptr<TMessageCatalogue>> catalogues;
  auto& slot = catalogues[language];
  if (!slot)
    slot = std::make_unique<TMessageCatalogue>(test::SourceFolder() / "resources/Languages" / language);
  return *slot;
}

std::vector<std::string> ControlsFound(const char* language, const char* query) {
  const TSettingSearch search(Catalogue(language));
  std::vector<std::string> controls;
  for (const SearchEntry& entry : search.Find(query)) controls.push_back(entry.control);
  return controls;
}

TEST(SettingSearch, FindsTheControlsEveryWordMatches) {
  const QueryCase cases[] = {
      // Whole words, parts of words, another case.
      {"en-EN.xml", "shadows", {"SpecialSliderShadowLevel"}},
      {"en-EN.xml", "SHADOW", {"SpecialSliderShadowLevel", "SpecialSliderShadowDensity"}},
      {"en-EN.xml", "shad dens", {"SpecialSliderShadowDensity"}},
      {"en-EN.xml", "client port", {"LabelClientPort"}},
      // A ribbon command and a page button.
      {"en-EN.xml", "black", {"dxButtonThemesBlack"}},
      {"en-EN.xml", "client settings", {"dxButtonMultiClient"}},
      // A command's hint.
      {"en-EN.xml", "configuration to lock", {"dxButtonApply"}},
      {"en-EN.xml", "zzzqx", {}},
      {"en-EN.xml", "   ", {}},
      // Cyrillic in either case; ё stays ё.
      {"ru-RU.xml", "тени", {"SpecialSliderShadowLevel"}},
      {"ru-RU.xml", "ТЕН", {"SpecialSliderShadowLevel", "SpecialSliderShadowDensity"}},
      {"ru-RU.xml",
       "порт",
       {"CheckBoxTrafficCivil", "LabelClientPort", "LabelServerPort", "dxButtonLUA",
        "RadioGroupActiveExport"}},
      {"ru-RU.xml", "ПОРТ клиен", {"LabelClientPort"}},
      {"ru-RU.xml", "чёрн", {"dxButtonThemesBlack"}},
      // German with the accents left out, and ß written ss.
      {"de-DE.xml", "schatten", {"SpecialSliderShadowLevel", "SpecialSliderShadowDensity"}},
      {"de-DE.xml", "absturz uberstehen", {"CheckBoxCrashRecovery"}},
      {"de-DE.xml", "AUSSENANSICHT", {"CheckBoxExternalView", "CheckboxExternalMouse"}},
      {"de-DE.xml", "strassenverkehr", {"CheckBoxTrafficCivil"}},
      {"de-DE.xml", "Straßenverkehr", {"CheckBoxTrafficCivil"}},
  };
  for (const QueryCase& c : cases) {
    const std::vector<std::string> expected(c.controls.begin(), c.controls.end());
    EXPECT_EQ(ControlsFound(c.language, c.query), expected) << c.language << " " << c.query;
  }
}

// Folding takes accents off Latin letters and lowers every case the languages use; other scripts stay.
TEST(SettingSearch, FoldsLettersForMatching) {
  const struct {
    const char* text;
    const char* folded;
  } cases[] = {
      {"Shadow LEVEL 2", "shadow level 2"},
      {"ÀÉÎÕÜÇÑÝ àéîõüçñýÿ", "aeioucny aeioucnyy"},
      {"Straße Æther Œuvre ØLÐĐŁ", "strasse aether oeuvre olðdl"},
      {"ČĆŠŽ čćšž ĞİŞ", "ccsz ccsz gis"},
      {"ЁЛКА Ёлка ЯЗЫК ЇЄІЎ", "ёлка ёлка язык їєіў"},
      {"ΑΒΓ Ωμέγα ΆΈΌ", "αβγ ωμέγα άέό"},
      {"Þ × ÷ ĸ ſ 中文 😀", "þ × ÷ ĸ ſ 中文 😀"},
      {"a\xFF"
       "b\xC3",
       "a\xFF"
       "b\xC3"},  // bytes that are not UTF-8 stay as they are
  };
  for (const auto& c : cases) EXPECT_EQ(FoldForSearch(c.text), c.folded) << c.text;
}

TEST(SettingSearch, NamesThePageAndTabInTheLanguage) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  EXPECT_EQ(english.Find("shadows"),
            std::vector<SearchEntry>({{"SpecialSliderShadowLevel", "Shadows", "Standard", "Display"}}));
  EXPECT_EQ(english.Find("black"),
            std::vector<SearchEntry>({{"dxButtonThemesBlack", "Black", "", "Options"}}));
  const TSettingSearch russian(Catalogue("ru-RU.xml"));
  EXPECT_EQ(russian.Find("тени"),
            std::vector<SearchEntry>({{"SpecialSliderShadowLevel", "Тени", "Основные", "Изображение"}}));
  // A slider is found by its step captions too.
  const std::vector<SearchEntry> byStep = english.Find("very high");
  EXPECT_TRUE(std::any_of(byStep.begin(), byStep.end(), [](const SearchEntry& entry) {
    return entry.control == "SpecialSliderEffectOptions";
  }));
}

TEST(SettingSearch, EveryPlacedControlIsOnAPageButtonOfTheRibbon) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  EXPECT_EQ(PageOfControl("SpecialSliderShadowLevel")->page, std::string("TabSheetGraphicsStandards"));
  EXPECT_EQ(PageOfControl("NoSuchControl"), nullptr);
  for (const SearchEntry& entry : english.Entries()) EXPECT_FALSE(entry.caption.empty()) << entry.control;
}

// "@modified" keeps the controls with changes, "@page NAME" one page by a word of its caption, its caption
// in quotes or its name; with filters alone every control that passes them is listed.
TEST(SettingSearch, FiltersNarrowToChangedControlsAndOnePage) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  const std::vector<std::string> changed{"SpecialSliderShadowDensity", "LabelClientPort", "CheckBoxImmortal"};
  const struct {
    const char* query;
    std::vector<const char*> controls;
  } cases[] = {
      {"@modified", {"SpecialSliderShadowDensity", "LabelClientPort", "CheckBoxImmortal"}},
      {"@MODIFIED shadow", {"SpecialSliderShadowDensity"}},
      {"port @modified", {"LabelClientPort"}},
      {"@page realism invuln", {"CheckBoxImmortal"}},
      {"@page \"client settings\" port", {"LabelClientPort"}},
      {"@page TabSheetMultiplayerServer port", {"LabelServerPort"}},
      {"@page \"server settings",
       {"dxButtonMultiServer", "GroupBoxServer", "LabelServerPassword", "LabelConnexionTypeServer",
        "LabelInterface", "CheckBoxShowMessage", "GroupBoxServerViews", "CheckboxDisableCombatViews",
        "CheckboxCameraTerrainRestriction", "LabelServerName", "LabelServerPort", "LabelMaxPlayers"}},
      {"@modified @page standard", {"SpecialSliderShadowDensity"}},
      // Commands lie on no page; a filter still being typed matches nothing yet.
      {"@page options black", {}},
      {"@mod", {}},
      {"@page", {}},
      {"@page nosuchpage", {}},
      // Any space the field may get separates words and filters.
      {"\u00A0@modified\u3000shadow\t", {"SpecialSliderShadowDensity"}},
      {"@page\u2003\"client\u00A0settings\" port", {"LabelClientPort"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> found;
    for (const SearchEntry& entry : english.Find(ParseSearchQuery(c.query), changed))
      found.push_back(entry.control);
    EXPECT_EQ(found, std::vector<std::string>(c.controls.begin(), c.controls.end())) << c.query;
  }
}

// Every value kesta-cli names is captioned by a control the search finds, in every language, so "@modified"
// lists every change and find prints every value.
TEST(SettingSearch, EveryValueIsCaptionedByAControlTheSearchFinds) {
  for (const char* language :
       {"fr-FR.xml", "en-EN.xml", "sp-SP.xml", "ru-RU.xml", "hr-HR.xml", "de-DE.xml"}) {
    const TSettingSearch search(Catalogue(language));
    std::vector<std::string> found;
    for (const SearchEntry& entry : search.Entries()) found.push_back(entry.control);
    for (const std::string_view key : WholeSetOrder())
      for (const NamedValue& value : MakeGameDocument(key)->Values()) {
        const std::string caption = CaptionControlOf(value.name);
        EXPECT_NE(std::find(found.begin(), found.end(), caption), found.end())
            << language << " " << value.name << " -> " << caption;
      }
  }
  EXPECT_EQ(CaptionControlOf("SliderLod[High]"), "SliderLod");
  EXPECT_EQ(CaptionControlOf("EditClientPort"), "LabelClientPort");
  EXPECT_EQ(CaptionControlOf("ComboBoxGameResolution"), "LabelGameResolution");
  EXPECT_EQ(CaptionControlOf("PodRUBlue"), "LabelPodRUBlue");
}

}  // namespace
}  // namespace kesta
