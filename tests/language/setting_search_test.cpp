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
    slot = std::make_unique<TMessageCatalogue>(
        QString::fromStdString((test::SourceFolder() / "resources/Languages" / language).string()));
  return *slot;
}

std::vector<std::string> ControlsFound(const char* language, const char* query) {
  const TSettingSearch search(Catalogue(language));
  std::vector<std::string> controls;
  for (const SearchEntry& entry : search.Find(QString::fromUtf8(query)))
    controls.push_back(entry.control.toStdString());
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

TEST(SettingSearch, NamesThePageAndTabInTheLanguage) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  EXPECT_EQ(english.Find(u"shadows"),
            QList<SearchEntry>({{"SpecialSliderShadowLevel", "Shadows", "Standard", "Display"}}));
  EXPECT_EQ(english.Find(u"black"), QList<SearchEntry>({{"dxButtonThemesBlack", "Black", "", "Options"}}));
  const TSettingSearch russian(Catalogue("ru-RU.xml"));
  EXPECT_EQ(russian.Find(u"тени"),
            QList<SearchEntry>({{"SpecialSliderShadowLevel", "Тени", "Основные", "Изображение"}}));
  // A slider is found by its step captions too.
  const QList<SearchEntry> byStep = english.Find(u"very high");
  EXPECT_TRUE(std::any_of(byStep.begin(), byStep.end(), [](const SearchEntry& entry) {
    return entry.control == "SpecialSliderEffectOptions";
  }));
}

TEST(SettingSearch, EveryPlacedControlIsOnAPageButtonOfTheRibbon) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  EXPECT_EQ(PageOfControl(u"SpecialSliderShadowLevel")->page, std::string("TabSheetGraphicsStandards"));
  EXPECT_EQ(PageOfControl(u"NoSuchControl"), nullptr);
  for (const SearchEntry& entry : english.Entries())
    EXPECT_FALSE(entry.caption.isEmpty()) << entry.control.toStdString();
}

// "@modified" keeps the controls with changes, "@page NAME" one page by a word of its caption, its caption
// in quotes or its name; with filters alone every control that passes them is listed.
TEST(SettingSearch, FiltersNarrowToChangedControlsAndOnePage) {
  const TSettingSearch english(Catalogue("en-EN.xml"));
  const QStringList changed{"SpecialSliderShadowDensity", "LabelClientPort", "CheckBoxImmortal"};
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
  };
  for (const auto& c : cases) {
    std::vector<std::string> found;
    for (const SearchEntry& entry : english.Find(ParseSearchQuery(QString::fromUtf8(c.query)), changed))
      found.push_back(entry.control.toStdString());
    EXPECT_EQ(found, std::vector<std::string>(c.controls.begin(), c.controls.end())) << c.query;
  }
}

// Every value kesta-cli names is captioned by a control the search finds, in every language, so "@modified"
// lists every change and find prints every value.
TEST(SettingSearch, EveryValueIsCaptionedByAControlTheSearchFinds) {
  for (const char* language :
       {"fr-FR.xml", "en-EN.xml", "sp-SP.xml", "ru-RU.xml", "hr-HR.xml", "de-DE.xml"}) {
    const TSettingSearch search(Catalogue(language));
    QStringList found;
    for (const SearchEntry& entry : search.Entries()) found.append(entry.control);
    for (const std::string_view key : WholeSetOrder())
      for (const NamedValue& value : MakeGameDocument(key)->Values()) {
        const QString caption = CaptionControlOf(QString::fromStdString(value.name));
        EXPECT_TRUE(found.contains(caption))
            << language << " " << value.name << " -> " << caption.toStdString();
      }
  }
  EXPECT_EQ(CaptionControlOf(u"SliderLod[High]"), "SliderLod");
  EXPECT_EQ(CaptionControlOf(u"EditClientPort"), "LabelClientPort");
  EXPECT_EQ(CaptionControlOf(u"ComboBoxGameResolution"), "LabelGameResolution");
  EXPECT_EQ(CaptionControlOf(u"PodRUBlue"), "LabelPodRUBlue");
}

}  // namespace
}  // namespace kesta
