#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "engine/failure.h"
#include "settings/ini_file.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

TEST(SettingsFileTest, MissingKeysGetTheirDefaultWrittenBack) {
  test::TempFolder folder;
  const SettingsFile settings(folder / "kesta.ini");
  EXPECT_EQ(settings.ReadSetting("Config", "Language"), "EN");
  EXPECT_EQ(settings.ReadSetting("Config", "ServerListPath"), "");
  EXPECT_EQ(settings.ReadSetting("Lockon", "PathReg"), "Software\\Eagle Dynamics\\Lock On 1.1\\");
  EXPECT_EQ(test::ReadBytes(settings.Path()),
            "[Config]\nLanguage=EN\nServerListPath=\n\n[Lockon]\nPathReg=Software\\Eagle Dynamics\\Lock On "
            "1.1\\\n");
}

TEST(SettingsFileTest, EmptyValueReadsAsDefaultAndStaysEmpty) {
  test::TempFolder folder;
  const auto path = folder.Write("kesta.ini", "[Config]\r\nLanguage=\r\n");
  EXPECT_EQ(SettingsFile(path).ReadSetting("Config", "Language"), "EN");
  EXPECT_EQ(test::ReadBytes(path), "[Config]\r\nLanguage=\r\n");
}

TEST(SettingsFileTest, CatalogueKeysInAnotherCaseFindTheSameEntry) {
  test::TempFolder folder;
  const SettingsFile settings(folder / "kesta.ini");
  settings.WriteSetting("Files", "Drawinfo", "Config\\weapons\\mine.lua");
  EXPECT_EQ(settings.ReadSetting("Files", "DrawInfo"), "Config\\weapons\\mine.lua");
  // Read first in the other spelling, an absent entry is stored empty (that spelling has no default);
  // the empty value then reads as the default of the table's spelling.
  EXPECT_EQ(settings.ReadSetting("files", "MeCustom"), "");
  EXPECT_EQ(settings.ReadSetting("Files", "MECustom"), "ME\\MeCustom.xml");
}

TEST(SettingsFileTest, DeletedKeyComesBackWithItsDefault) {
  test::TempFolder folder;
  const SettingsFile settings(folder / "kesta.ini");
  settings.WriteSetting("Config", "ThemeColor", "Blue");
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), "Blue");
  settings.WriteSetting("Config", "ThemeColor", "");
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), "Black");
  EXPECT_EQ(test::ReadBytes(settings.Path()), "[Config]\nThemeColor=Black\n");
}

TEST(SettingsFileTest, WriteBackFailureReachesTheCaller) {
  test::TempFolder folder;
  const SettingsFile settings(folder / "no-such-folder/kesta.ini");
  EXPECT_THROW(settings.ReadSetting("Config", "Language"), EKestaError);
}

TEST(DefaultSettingTest, TableIsMatchedExactly) {
  EXPECT_EQ(DefaultSetting("AutoDeleteTrackIrIni"), "1");
  EXPECT_EQ(DefaultSetting("MECustom"), "ME\\MeCustom.xml");
  EXPECT_EQ(DefaultSetting("MeCustom"), "");
  EXPECT_EQ(DefaultSetting("Unknown"), "");
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

TEST(SettingsFileTest, WriteBackFailureGoesToTheHandlerWhenOneIsSet) {
  test::TempFolder folder;
  SettingsFile settings(folder / "no-such-folder/kesta.ini");
  std::vector<std::string> failures;
  settings.SetWriteFailureHandler([&](const std::string& failure) { failures.push_back(failure); });
  EXPECT_EQ(settings.ReadSetting("Config", "Language"), "EN");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("No such file or directory"), std::string::npos) << failures[0];
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// The parsed file is kept between reads, but any change of the file is seen at the next read: writes of
// this program, other programs replacing it, an edit in place, and the file going away.
TEST(SettingsFileTest, EveryChangeOfTheFileIsSeenByTheNextRead) {
  test::TempFolder folder;
  const auto path = folder.Write("kesta.ini", "[Config]\r\nThemeColor=Blue\r\n");
  SettingsFile settings(path);
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), "Blue");
  WriteIniValue(path, "Config", "ThemeColor", "Grey");  // replaces the file
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), "Grey");
  const auto written = std::filesystem::last_write_time(path);
  {
    std::fstream inPlace(path, std::ios::in | std::ios::out | std::ios::binary);
    inPlace.seekp(std::string_view("[Config]\r\nThemeColor=").size());
    inPlace << "Gold";  // the same size, the same file
  }
  // File times tick in steps of a few milliseconds: make the edit come a step later, as a person's would.
  std::filesystem::last_write_time(path, written + std::chrono::milliseconds(50));
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), "Gold");
  std::filesystem::remove(path);
  EXPECT_EQ(settings.ReadSetting("Config", "ThemeColor"), DefaultSetting("ThemeColor"));
  EXPECT_EQ(ReadIniKey(path, "Config", "ThemeColor"), DefaultSetting("ThemeColor"));  // written back
}

}  // namespace
}  // namespace kesta
