// The journal of Applies in the real window over a copy of the sample game: an Apply that a crash cut
// short is taken up at start-up before the pages read the files, and the player is told in a box; the
// window's own Apply leaves its entry in the history.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "documents/graphics_document.h"
#include "sets/apply_journal.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

class JournalRecoveryTest : public testing::Test {
 protected:
  std::unique_ptr<TFrmKESTA> Start() {
    auto window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    return window;
  }
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  fs::path CockpitFile() const { return install.Game("Config/cockpit.cfg"); }
  static void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  fs::path NetworkFile() const { return install.Game("Config/network/config.lua"); }
  // As a kesta-cli apply of graphics.cfg, cockpit.cfg and config.lua killed after the first file.
  void CutShortAfterGraphics() {
    const std::string newGraphics = Replaced(graphics, "TextureLevel = 2;", "TextureLevel = 0;");
    const std::vector<PlannedWrite> writes{{GraphicsFile(), newGraphics},
                                           {CockpitFile(), Replaced(cockpit, "Mirrors = 1;", "Mirrors = 0;")},
                                           {NetworkFile(), network + "-- new\r\n"}};
    ApplyJournal(install.Folder().Journal()).Begin("kesta-cli apply", writes);
    WriteBytes(GraphicsFile(), newGraphics);
  }
  static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  }

  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  const std::string graphics = test::ReadBytes(GraphicsFile());
  const std::string cockpit = test::ReadBytes(CockpitFile());
  const std::string network = test::ReadBytes(NetworkFile());
};

// Rolled back before the pages read graphics.cfg, in a box that names the file; a config.lua changed by
// someone else since is left as it is and named, in an error box.
TEST_F(JournalRecoveryTest, StartUpRollsBackAnApplyCutShortAndSaysSo) {
  struct Case {
    const char* what;
    bool networkChangedSince;
    const char* kind;
  };
  for (const Case& c : {Case{"rolled back", false, "Information"}, Case{"changed since", true, "Error"}}) {
    SCOPED_TRACE(c.what);
    WriteBytes(GraphicsFile(), graphics);
    WriteBytes(NetworkFile(), network);
    dialogs.ClearRecorded();
    CutShortAfterGraphics();
    const std::string changed = network + "-- the player's own line\r\n";
    if (c.networkChangedSince) WriteBytes(NetworkFile(), changed);

    const auto window = Start();
    ASSERT_EQ(dialogs.Recorded().size(), 1u);
    const test::RecordedDialog& box = dialogs.Recorded()[0];
    EXPECT_EQ(box.kind, c.kind);
    const QString rolledBack = window->LookupMessage("RecoveryRolledBack").section('%', 0, 0);
    EXPECT_TRUE(box.text.startsWith(rolledBack)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("kesta-cli apply"));
    EXPECT_TRUE(box.text.contains(QString::fromStdString(GraphicsFile().string())));
    EXPECT_EQ(box.text.contains(window->LookupMessage("RecoveryChangedSince") + "\n" +
                                QString::fromStdString(NetworkFile().string())),
              c.networkChangedSince);
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), graphics);
    EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);
    EXPECT_EQ(test::ReadBytes(NetworkFile()), c.networkChangedSince ? changed : network);
    EXPECT_EQ(window->GameFiles().Get<GraphicsDocument>().textureLevel, 2);  // read after the roll-back
    EXPECT_TRUE(fs::is_empty(install.Folder().Journal()));
  }
}

// The window's Apply writes every file through the journal and leaves a complete entry; the next start
// finds nothing to take up.
TEST_F(JournalRecoveryTest, TheWindowsApplyLeavesItsEntryInTheHistory) {
  {
    const auto window = Start();
    window->GameFiles().Get<GraphicsDocument>().textureLevel = 0;
    window->Configuration().dxButtonApplyClick();
    EXPECT_TRUE(dialogs.Recorded().empty());
  }
  const std::vector<JournalEntry> history = ApplyJournal(install.Folder().Journal()).History();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].command, "Apply");
  EXPECT_EQ(history[0].files.size(), WholeSetOrder().size());
  EXPECT_EQ(history[0].files[0].before, graphics);
  EXPECT_EQ(history[0].files[0].after, HashBytes(test::ReadBytes(GraphicsFile())));
  const auto again = Start();
  EXPECT_TRUE(dialogs.Recorded().empty());
}

}  // namespace
}  // namespace kesta
