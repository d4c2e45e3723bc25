#include "language/setting_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

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

}  // namespace
}  // namespace kesta
