// Game files whose bytes hold a NUL, through the appliers every whole-set command uses: such a file is
// neither written nor written from, and the other files are written as always.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "documents/cockpit_document.h"
#include "documents/graphics_document.h"
#include "sets/game_file_set.h"
#include "sets/saved_configuration.h"
#include "settings/settings_file.h"
#include "support/program_install.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// The sample file's bytes with a NUL put in after its first line, and a line behind it no page shows.
std::string WithNul(const std::string& bytes, size_t at) {
  return bytes.substr(0, at) + std::string(1, '\0') + "HiddenFromKesta = 1;\r\n" + bytes.substr(at);
}

class NulByteTest : public testing::Test {
 protected:
  NulByteTest() {
    context.settings = &settings;
    context.lookup = [](std::string_view key) {
      return key == "FileHoldsNul" ? std::string("<%1> holds a NUL at %2") : std::string(key);
    };
    context.defaultsFolder = install.Folder().Defaults();
    context.enableApplyCancel = [](bool, bool) {};
    context.askErrorQuestion = [this](const std::string&) { return loadDefaultCopy; };
    context.reportError = [this](const std::string& message) { reports.push_back(message); };
  }

  fs::path Game(std::string_view key) const {
    return install.Game(GamePathOf(settings.ReadSetting("Files", key)));
  }
  static fs::path GamePathOf(std::string catalogPath) {
    for (char& c : catalogPath)
      if (c == '\\') c = '/';
    return catalogPath;
  }

  test::ProgramInstall install;
  SettingsFile settings{install.SettingsFile()};
  TGameFileSet::Context context;
  std::vector<std::string> reports;
  bool loadDefaultCopy = false;  // the answer to a loader's question
};

TEST_F(NulByteTest, ApplyLeavesTheFileAsItIsAndWritesTheOthers) {
  const std::string graphics = test::ReadBytes(Game("Graphics"));
  const size_t afterFirstLine = graphics.find('\n') + 1;
  struct Case {
    const char* what;
    std::string gameBytes;              // graphics.cfg in the game folder
    std::optional<std::string> chosen;  // a file loaded from the backup page in its place
    bool loadDefaultCopy;               // the answer to the question a file that reads badly asks
    std::string named;                  // the file the message names: "game" or "chosen"
    size_t offset;
  };
  const Case cases[] = {
      {"a NUL inside the game file", WithNul(graphics, afterFirstLine), std::nullopt, false, "game",
       afterFirstLine},
      {"a NUL at the game file's first byte, the default copy loaded after the question",
       WithNul(graphics, 0), std::nullopt, true, "game", 0},
      {"a NUL in the game file, the default copy loaded after the question",
       WithNul(graphics, afterFirstLine), std::nullopt, true, "game", afterFirstLine},
      {"a chosen file holding a NUL, applied to the clean game file", graphics,
       WithNul(graphics, afterFirstLine), false, "chosen", afterFirstLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reports.clear();
    loadDefaultCopy = c.loadDefaultCopy;
    test::TempFolder elsewhere;
    const fs::path chosen = elsewhere / "graphics.cfg";
    std::ofstream(Game("Graphics"), std::ios::binary | std::ios::trunc) << c.gameBytes;
    if (c.chosen) std::ofstream(chosen, std::ios::binary) << *c.chosen;
    const std::string cockpit = test::ReadBytes(Game("Cockpit"));

    TGameFileSet files(context);
    for (std::string_view key : WholeSetOrder())
      files.Load(key, key == "Graphics" && c.chosen ? chosen : Game(key));
    files.Get<GraphicsDocument>().textureLevel = 0;
    files.Get<CockpitDocument>().mirrors = 1 - files.Get<CockpitDocument>().mirrors;
    for (std::string_view key : WholeSetOrder()) {
      EXPECT_EQ(files.Apply(key, Game(key)), key != "Graphics") << key;
    }

    EXPECT_EQ(test::ReadBytes(Game("Graphics")), c.gameBytes);
    if (c.chosen) {
      EXPECT_EQ(test::ReadBytes(chosen), *c.chosen);
    }
    EXPECT_NE(test::ReadBytes(Game("Cockpit")), cockpit);  // the others are still written
    const fs::path named = c.named == "game" ? Game("Graphics") : chosen;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              ApplyFailureMessage(GameFileKindOf("Graphics"),
                                  "<" + named.string() + "> holds a NUL at " + std::to_string(c.offset),
                                  context.lookup));

    // Saving a configuration replaces no file, so only a base holding a NUL leaves the file without a
    // section.
    SavedConfiguration configuration;
    {
      AttachedSections attached(files.Access(), configuration);
      EXPECT_EQ(files.Apply("Graphics", Game("Graphics")), c.loadDefaultCopy);
      EXPECT_TRUE(files.Apply("Cockpit", Game("Cockpit")));
    }
    Lines section;
    EXPECT_EQ(configuration.TakeSection(settings.ReadSetting("Files", "Graphics"), section),
              c.loadDefaultCopy);
    EXPECT_TRUE(configuration.TakeSection(settings.ReadSetting("Files", "Cockpit"), section));
  }
}

// A saved configuration is read whole or not at all: a NUL would hide every section after it.
TEST_F(NulByteTest, SavedConfigurationHoldingANulCannotBeRead) {
  test::TempFolder folder;
  const fs::path kst = folder / "config.kst";
  SavedConfiguration saved;
  saved.PutSection("Config\\graphics.cfg", {"a = 1;"});
  saved.PutSection("Config\\cockpit.cfg", {"b = 2;"});
  saved.Write(kst);
  std::string bytes = test::ReadBytes(kst);
  bytes.insert(bytes.find("b = 2;"), 1, '\0');
  std::ofstream(kst, std::ios::binary | std::ios::trunc) << bytes;
  try {
    SavedConfiguration::Read(kst, context.lookup);
    FAIL() << "a configuration holding a NUL was read";
  } catch (const EKestaError& failure) {
    EXPECT_EQ(std::string(failure.what()),
              "<" + kst.string() + "> holds a NUL at " + std::to_string(bytes.find('\0')));
  }
}

}  // namespace
}  // namespace kesta
