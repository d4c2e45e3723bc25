// The saved configuration's sections and the recent list, on real files in temporary folders.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "documents/graphics_document.h"
#include "sets/game_file_set.h"
#include "sets/recent_configurations.h"
#include "sets/saved_configuration.h"
#include "settings/settings_file.h"
#include "support/program_install.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

const std::string kGraphics = "####################Config\\graphics.cfg####################";
const std::string kCockpit = "####################Config\\cockpit.cfg####################";

TEST(SavedConfigurationTest, SectionsAreTakenBetweenTheFirstTwoMarkerLines) {
  struct Case {
    const char* what;
    Lines buffer;
    bool found;
    Lines section;
  };
  const Case cases[] = {
      {"between the markers", {"before", kGraphics, "a", "b", kGraphics, "after"}, true, {"a", "b"}},
      {"a marker anywhere in a line", {"x" + kGraphics + " y", "a", "  " + kGraphics}, true, {"a"}},
      {"a blank line is a line", {kGraphics, "", kGraphics}, true, {""}},
      {"letter case counts",
       {"####################config\\Graphics.cfg####################", "a",
        "####################config\\Graphics.cfg####################"},
       false,
       {}},
      {"a missing closing marker runs to the end, other sections included",
       {kGraphics, "a", kCockpit, "c", kCockpit},
       true,
       {"a", kCockpit, "c", kCockpit}},
      {"a repeated section is ignored", {kGraphics, "a", kGraphics, kGraphics, "b", kGraphics}, true, {"a"}},
      {"nothing between the markers", {kGraphics, kGraphics, "a"}, false, {}},
      {"no marker", {"a", kCockpit, "b", kCockpit}, false, {}},
      {"another file's name inside the path",
       {"####################Config\\graphics.cfg.bak####################", "a"},
       false,
       {}},
  };
  for (const Case& c : cases) {
    SavedConfiguration configuration(c.buffer);
    Lines lines{"left from before"};
    EXPECT_EQ(configuration.TakeSection("Config\\graphics.cfg", lines), c.found) << c.what;
    EXPECT_EQ(lines, c.section) << c.what;
  }
}

// Sections are appended in the order they come, and the file holds the game's bytes with CR LF.
TEST(SavedConfigurationTest, WrittenFileReadsBackSectionBySection) {
  test::TempFolder folder;
  const fs::path file = folder / "config_2008_03_14.kst";
  folder.Write("config_2008_03_14.kst", "an older configuration\n");
  SavedConfiguration saved;
  saved.PutSection("Config\\graphics.cfg", {"Name = \"\xE9t\xE9\";", "", "\t}"});
  saved.PutSection("Config\\cockpit.cfg", {});
  saved.Write(file);
  EXPECT_EQ(test::ReadBytes(file), kGraphics + "\r\nName = \"\xE9t\xE9\";\r\n\r\n\t}\r\n" + kGraphics +
                                       "\r\n" + kCockpit + "\r\n" + kCockpit + "\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);

  SavedConfiguration opened =
      SavedConfiguration::Read(file, [](std::string_view key) { return std::string(key); });
  Lines lines;
  EXPECT_TRUE(opened.TakeSection("Config\\graphics.cfg", lines));
  EXPECT_EQ(lines, (Lines{"Name = \"\xE9t\xE9\";", "", "\t}"}));
  EXPECT_FALSE(opened.TakeSection("Config\\cockpit.cfg", lines));
  EXPECT_THROW(
      SavedConfiguration::Read(folder / "missing.kst", [](std::string_view key) { return std::string(key); }),
      std::exception);
}

// While a saved configuration is being saved no game file is written, so nothing may act as if one were.
TEST(SavedConfigurationTest, SavingIntoSectionsWritesNoGameFileAndRunsNoSavedHook) {
  test::ProgramInstall install;
  SettingsFile settings(install.SettingsFile());
  TGameFileSet::Context context;
  context.settings = &settings;
  context.lookup = [](std::string_view key) { return std::string(key); };
  context.defaultsFolder = install.Folder().Defaults();
  context.enableApplyCancel = [](bool, bool) {};
  context.askErrorQuestion = [](const std::string& question) -> bool {
    ADD_FAILURE() << question;
    return false;
  };
  context.reportError = [](const std::string& message) { ADD_FAILURE() << message; };
  TGameFileSet files(context);
  const fs::path graphics = install.Game("Config/graphics.cfg");
  ASSERT_TRUE(files.Load("Graphics", graphics));
  int savedHookRuns = 0;
  files.SetSavedHook("Graphics", [&savedHookRuns](const fs::path&) { ++savedHookRuns; });
  files.Get<GraphicsDocument>().textureLevel = 0;
  const std::string before = test::ReadBytes(graphics);

  SavedConfiguration configuration;
  {
    AttachedSections attached(files.Access(), configuration);
    EXPECT_TRUE(files.Apply("Graphics", graphics));
  }
  EXPECT_FALSE(files.Access().HasSections());
  EXPECT_EQ(test::ReadBytes(graphics), before);
  EXPECT_EQ(savedHookRuns, 0);
  Lines section;
  ASSERT_TRUE(configuration.TakeSection("Config\\graphics.cfg", section));
  EXPECT_NE(std::find(section.begin(), section.end(), "TextureLevel = 0;"), section.end());

  EXPECT_TRUE(files.Apply("Graphics", graphics));
  EXPECT_EQ(savedHookRuns, 1);
  EXPECT_NE(test::ReadBytes(graphics).find("TextureLevel = 0;"), std::string::npos);
}

class RecentConfigurationsTest : public testing::Test {
 protected:
  std::vector<std::string> FileLines() const {
    std::vector<std::string> lines;
    std::string text = test::ReadBytes(file);
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  static std::string Path(int number) {
    return "/home/pilot/Backup/config_" + std::to_string(number) + ".kst";
  }

  test::TempFolder folder;
  fs::path file = folder / "lastfile.ini";
  RecentConfigurations recent{file};
};

TEST_F(RecentConfigurationsTest, MissingFileIsCreatedEmpty) {
  recent.Load();
  EXPECT_TRUE(recent.Entries().empty());
  EXPECT_EQ(test::ReadBytes(file), "");
}

// Start-up takes a hand-edited file as it is, less blank lines and lines with "(": no cut, no rewrite.
// The next use cuts the list to eight and drops them from the file.
TEST_F(RecentConfigurationsTest, StartUpKeepsTheFileUntilTheNextUse) {
  std::string text;
  std::vector<std::string> kept;
  for (int i = 1; i <= 12; ++i) {
    kept.push_back(Path(i));
    text += Path(i) + "\r\n";
    if (i == 3) text += "  \t\r\n/home/pilot/Backup (old)/config.kst\r\n\r\n";
  }
  folder.Write("lastfile.ini", text);
  recent.Load();
  EXPECT_EQ(recent.Entries(), kept);
  EXPECT_EQ(test::ReadBytes(file), text);

  recent.Add(Path(13));
  const std::vector<std::string> expected{Path(13), Path(1), Path(2), Path(3),
                                          Path(4),  Path(5), Path(6), Path(7)};
  EXPECT_EQ(recent.Entries(), expected);
  EXPECT_EQ(FileLines(), expected);
}

TEST_F(RecentConfigurationsTest, NineConfigurationsLeaveTheEightMostRecent) {
  recent.Load();
  for (int i = 1; i <= 9; ++i) recent.Add(Path(i));
  const std::vector<std::string> expected{Path(9), Path(8), Path(7), Path(6),
                                          Path(5), Path(4), Path(3), Path(2)};
  EXPECT_EQ(recent.Entries(), expected);
  EXPECT_EQ(FileLines(), expected);
  RecentConfigurations again(file);
  again.Load();
  EXPECT_EQ(again.Entries(), expected);
}

TEST_F(RecentConfigurationsTest, APathInAnyLetterCaseIsListedOnceOnTop) {
  recent.Load();
  for (const char* path :
       {"/b/One.kst", "/b/\xC3\x89t\xC3\xA9.kst", "/b/two.kst", "/B/ONE.KST", "/b/\xC3\xA9T\xC3\x89.kst"})
    recent.Add(path);
  const std::vector<std::string> expected{"/b/\xC3\xA9T\xC3\x89.kst", "/B/ONE.KST", "/b/two.kst"};
  EXPECT_EQ(recent.Entries(), expected);
  EXPECT_EQ(FileLines(), expected);
}

TEST_F(RecentConfigurationsTest, AFileThatCannotBeWrittenFailsWithTheReason) {
  RecentConfigurations nowhere(folder / "missing folder" / "lastfile.ini");
  try {
    nowhere.Add(Path(1));
    ADD_FAILURE() << "no failure";
  } catch (const std::exception& failure) {
    EXPECT_NE(std::string(failure.what()).find("No such file or directory"), std::string::npos)
        << failure.what();
  }
}

TEST(RecentCaptionTest, IsTheFileName) {
  EXPECT_EQ(RecentCaption("/home/pilot/Backup/config_2008_03_14.kst"), "config_2008_03_14.kst");
  EXPECT_EQ(RecentCaption("plain.kst"), "plain.kst");
}

}  // namespace
}  // namespace kesta
