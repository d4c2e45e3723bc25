// The whole-set operations over real game files: Apply's first phase writes nothing, its second writes
// what the first prepared, and a failed write stops the rest or not as the caller asks; with a journal,
// the Apply is one transaction.

#include "sets/whole_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "documents/cockpit_document.h"
#include "documents/graphics_document.h"
#include "documents/network_document.h"
#include "engine/game_file.h"
#include "sets/apply_journal.h"
#include "sets/game_file_set.h"
#include "settings/settings_file.h"
#include "support/program_install.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

class WholeSetTest : public testing::Test {
 protected:
  WholeSetTest() { files = MakeFiles({}); }
  // The set reporting into `reports`; with a journal when `journalFolder` is not empty.
  std::unique_ptr<TGameFileSet> MakeFiles(const fs::path& journalFolder) {
    TGameFileSet::Context context;
    context.settings = &settings;
    context.lookup = [](std::string_view key) { return std::string(key); };
    context.reportError = [this](const std::string& message) { reports.push_back(message); };
    context.journalFolder = journalFolder;
    return std::make_unique<TGameFileSet>(std::move(context));
  }

  fs::path Game(std::string_view key) const {
    std::string catalogPath = settings.ReadSetting("Files", key);
    for (char& c : catalogPath)
      if (c == '\\') c = '/';
    return install.Game(catalogPath);
  }
  GamePathFunction PathOf() const {
    return [this](std::string_view key) { return Game(key); };
  }
  std::map<std::string_view, std::string> Bytes() const {
    std::map<std::string_view, std::string> bytes;
    for (std::string_view key : WholeSetOrder()) bytes[key] = test::ReadBytes(Game(key));
    return bytes;
  }
  // Changes a value in each of graphics.cfg, cockpit.cfg and config.lua.
  void Edit() {
    files->Get<GraphicsDocument>().textureLevel = files->Get<GraphicsDocument>().textureLevel == 0 ? 1 : 0;
    files->Get<CockpitDocument>().mirrors = !files->Get<CockpitDocument>().mirrors;
    files->Get<NetworkDocument>().playerName = "Edited pilot";
  }

  test::ProgramInstall install;
  SettingsFile settings{install.SettingsFile()};
  std::vector<std::string> reports;
  std::unique_ptr<TGameFileSet> files;
};

TEST_F(WholeSetTest, PreparingWritesNothingAndTheWritesPutThePreparedLines) {
  LoadFromGameFolder(*files, WholeSetOrder(), PathOf());
  ASSERT_TRUE(reports.empty()) << reports.front();
  Edit();
  const auto before = Bytes();

  const PreparedApply prepared = PrepareApply(*files, WholeSetOrder(), PathOf());
  ASSERT_TRUE(prepared.failures.empty()) << prepared.failures.front().reason;
  ASSERT_EQ(prepared.files.size(), WholeSetOrder().size());
  EXPECT_EQ(Bytes(), before);

  const WrittenFiles written = WritePrepared(*files, prepared.files, true);
  EXPECT_TRUE(written.failures.empty());
  EXPECT_EQ(written.written.size(), WholeSetOrder().size());
  for (const PreparedFile& file : prepared.files)
    EXPECT_EQ(test::ReadBytes(file.target), JoinGameText(file.lines)) << file.catalogKey;
  const auto after = Bytes();
  for (std::string_view key : {"Graphics", "Cockpit", "Network"})
    EXPECT_NE(after.at(key), before.at(key)) << key;
  EXPECT_EQ(after.at("Stats"), before.at("Stats"));  // written back as it was
}

// cockpit.cfg's place is taken by a folder after it was read: its lines are prepared, its write fails.
TEST_F(WholeSetTest, AFailedWriteStopsTheRestOrNotAsTheCallerAsks) {
  struct Case {
    const char* what;
    bool stopAtFailure;
    std::vector<std::string_view> written;
    std::vector<std::string_view> notWritten;
  };
  const Case cases[] = {
      {"kesta-cli: the first failure stops", true, {"Graphics"}, {"Cockpit", "Network"}},
      {"the window: every other file is written", false, {"Graphics", "Network"}, {}},
  };
  const std::vector<std::string_view> keys{"Graphics", "Cockpit", "Network"};
  const auto original = Bytes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::string_view key : keys) {
      fs::remove_all(Game(key));
      std::ofstream(Game(key), std::ios::binary) << original.at(key);
    }
    LoadFromGameFolder(*files, keys, PathOf());
    Edit();
    const PreparedApply prepared = PrepareApply(*files, keys, PathOf());
    ASSERT_TRUE(prepared.failures.empty());
    fs::remove(Game("Cockpit"));
    fs::create_directories(Game("Cockpit") / "in the way");

    const WrittenFiles outcome = WritePrepared(*files, prepared.files, c.stopAtFailure);
    EXPECT_EQ(outcome.written, c.written);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].catalogKey, "Cockpit");
    EXPECT_FALSE(outcome.failures[0].heldNul);
    EXPECT_EQ(outcome.notWritten, c.notWritten);
    EXPECT_NE(test::ReadBytes(Game("Graphics")), original.at("Graphics"));
    EXPECT_EQ(test::ReadBytes(Game("Network")) != original.at("Network"), !c.stopAtFailure);
    EXPECT_TRUE(fs::is_directory(Game("Cockpit")));
  }
}

// The window's Apply reports the file that failed, in Apply's words, and writes the others.
TEST_F(WholeSetTest, TheWindowsApplyReportsEachFailureAndWritesTheOthers) {
  LoadFromGameFolder(*files, WholeSetOrder(), PathOf());
  Edit();
  const std::string cockpit = test::ReadBytes(Game("Cockpit"));
  // A NUL written into cockpit.cfg after it was read: neither written nor written from.
  std::ofstream(Game("Cockpit"), std::ios::binary | std::ios::app) << std::string(1, '\0');
  reports.clear();

  EXPECT_FALSE(ApplyWholeSet(*files, PathOf()));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("FileHoldsNul"), std::string::npos) << reports[0];
  EXPECT_EQ(test::ReadBytes(Game("Cockpit")), cockpit + std::string(1, '\0'));
  EXPECT_NE(test::ReadBytes(Game("Network")).find("Edited pilot"), std::string::npos);
}

// The whole-set Apply with a journal: the entry is complete after it; a write that fails midway (a folder
// takes cockpit.cfg's place once the entry is written) undoes graphics.cfg, written before it, and the
// window's Apply says so.
// The changes not applied yet are the values whose document differs from the file on disk: none after a
// load, those edited after an edit, none after an Apply, and every
// value of a file that disappeared.
TEST_F(WholeSetTest, ChangedValuesAreTheEditsTheFilesDoNotHoldYet) {
  LoadFromGameFolder(*files, WholeSetOrder(), PathOf());
  ASSERT_TRUE(reports.empty()) << reports.front();
  EXPECT_EQ(ChangedValueNames(*files, PathOf()), std::vector<std::string>{});

  Edit();
  EXPECT_EQ(
      ChangedValueNames(*files, PathOf()),
      (std::vector<std::string>{"SpecialSliderTextureLevel", "SpecialSliderMirrors", "EditPlayerName"}));
  EXPECT_TRUE(ApplyWholeSet(*files, PathOf()));
  EXPECT_EQ(ChangedValueNames(*files, PathOf()), std::vector<std::string>{});

  fs::remove(Game("Cockpit"));
  std::vector<std::string> cockpitValues;
  for (const NamedValue& value : files->Get<CockpitDocument>().Values()) cockpitValues.push_back(value.name);
  EXPECT_EQ(ChangedValueNames(*files, PathOf()), cockpitValues);
}

class JournalledApplyTest : public WholeSetTest {
 protected:
  JournalledApplyTest() {
    files = MakeFiles(install.Folder().Journal());
    LoadFromGameFolder(*files, WholeSetOrder(), PathOf());
    Edit();
  }
  ~JournalledApplyTest() override { SetJournalStepHook(nullptr); }
  bool JournalEmpty() const { return fs::is_empty(install.Folder().Journal()); }

  const std::vector<std::string_view> keys{"Graphics", "Cockpit", "Network"};
  static inline fs::path s_inTheWay;
};

TEST_F(JournalledApplyTest, ACompleteApplyStaysAsHistory) {
  const auto before = Bytes();
  const PreparedApply prepared = PrepareApply(*files, keys, PathOf());
  const WrittenFiles written = WritePrepared(*files, prepared.files, true, "test apply");
  EXPECT_TRUE(written.failures.empty());
  const std::vector<JournalEntry> history = ApplyJournal(install.Folder().Journal()).History();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].command, "test apply");
  ASSERT_EQ(history[0].files.size(), 3u);
  EXPECT_EQ(history[0].files[1].path, Game("Cockpit"));
  EXPECT_EQ(history[0].files[1].before, before.at("Cockpit"));
  EXPECT_EQ(history[0].files[1].after, HashBytes(test::ReadBytes(Game("Cockpit"))));
}

TEST_F(JournalledApplyTest, AFailedWriteUndoesTheFilesWrittenBeforeIt) {
  const auto before = Bytes();
  s_inTheWay = Game("Cockpit");
  SetJournalStepHook([](std::string_view step) {
    if (step != "journal-written") return;
    fs::remove(s_inTheWay);
    fs::create_directories(s_inTheWay / "in the way");
  });
  EXPECT_FALSE(ApplyWholeSet(*files, PathOf()));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("Cannot create file"), std::string::npos) << reports[0];
  EXPECT_NE(reports[0].find("ApplyRolledBack"), std::string::npos) << reports[0];
  EXPECT_EQ(test::ReadBytes(Game("Graphics")), before.at("Graphics"));
  EXPECT_EQ(test::ReadBytes(Game("Network")), before.at("Network"));
  EXPECT_TRUE(fs::is_directory(Game("Cockpit")));
  EXPECT_TRUE(JournalEmpty());
  EXPECT_TRUE(ApplyJournal(install.Folder().Journal()).Recover().Empty());
}

// A journal that cannot be written stops the Apply before any game file is touched.
TEST_F(JournalledApplyTest, AJournalThatCannotBeWrittenWritesNoFile) {
  const auto before = Bytes();
  std::ofstream(install.Folder().Journal()) << "a file where the folder should be";
  EXPECT_FALSE(ApplyWholeSet(*files, PathOf()));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("JournalWriteFailed"), std::string::npos) << reports[0];
  EXPECT_EQ(Bytes(), before);
}

}  // namespace
}  // namespace kesta
