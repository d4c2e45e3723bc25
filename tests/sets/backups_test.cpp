// Backups of the game files and of the Input folder, on real files in temporary folders.

#include "sets/backups.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <string>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;

// A game whose file of each catalogue key is game/<key>.txt holding "<key> text".
class GameFileBackupTest : public testing::Test {
 protected:
  GameFileBackupTest() {
    for (const GameFileBackup& file : kGameFileBackups)
      temp.Write(fs::path("game") / (std::string(file.catalogKey) + ".txt"),
                 std::string(file.catalogKey) + " text");
  }
  fs::path Game(std::string_view key) const { return temp / "game" / (std::string(key) + ".txt"); }
  BackupReport Backup(std::string_view prefix) {
    return BackupGameFiles(backups, prefix, [this](std::string_view key) { return Game(key); });
  }
  std::vector<fs::path> AllGameFiles() const {
    std::vector<fs::path> files;
    for (const GameFileBackup& file : kGameFileBackups) files.push_back(Game(file.catalogKey));
    return files;
  }

  TempFolder temp;
  fs::path backups = temp / "kesta/Backup";  // not made yet
};

TEST_F(GameFileBackupTest, FirstRunCopiesAllTwelveIntoANewFolderAndTheSecondNone) {
  const BackupReport first = Backup(kAutomaticBackupPrefix);
  EXPECT_EQ(first.made, AllGameFiles());
  EXPECT_TRUE(first.failed.empty());
  EXPECT_TRUE(first.folderFailure.empty());
  EXPECT_EQ(ReadBytes(backups / "automatic_backup_graphics.cfg"), "Graphics text");
  EXPECT_EQ(ReadBytes(backups / "automatic_backup_config.lua"), "Network text");
  EXPECT_EQ(ReadBytes(backups / "automatic_backup_exportconfig.lua"), "ExportConfig text");
  EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 12);

  // Existing copies are kept as they are, even when the game file changed since.
  temp.Write("game/Graphics.txt", "changed");
  EXPECT_TRUE(Backup(kAutomaticBackupPrefix).Empty());
  EXPECT_EQ(ReadBytes(backups / "automatic_backup_graphics.cfg"), "Graphics text");
}

TEST_F(GameFileBackupTest, OnlyTheMissingCopyIsMadeAgain) {
  Backup(kAutomaticBackupPrefix);
  fs::remove(backups / "automatic_backup_view.lua");
  const BackupReport again = Backup(kAutomaticBackupPrefix);
  EXPECT_EQ(again.made, std::vector<fs::path>{Game("View")});
  EXPECT_TRUE(again.failed.empty());
  EXPECT_EQ(ReadBytes(backups / "automatic_backup_view.lua"), "View text");
}

TEST_F(GameFileBackupTest, FilesThatCannotBeCopiedAreNamedWithTheirReasonAndLeaveNoCopy) {
  fs::remove(Game("Graphics"));
  fs::remove(Game("Cockpit"));
  fs::create_directory(Game("Cockpit"));  // cannot be read, not even by root
  const BackupReport report = Backup("2008-03-14 21.07.05 ");
  EXPECT_EQ(report.made.size(), 10u);
  ASSERT_EQ(report.failed.size(), 2u);
  EXPECT_EQ(report.failed[0].source, Game("Graphics"));
  EXPECT_TRUE(report.failed[0].missing);
  EXPECT_EQ(report.failed[1].source, Game("Cockpit"));
  EXPECT_FALSE(report.failed[1].missing);
  EXPECT_NE(report.failed[1].reason.find("folder"), std::string::npos) << report.failed[1].reason;
  EXPECT_FALSE(fs::exists(backups / "2008-03-14 21.07.05 backup_graphics.cfg"));
  EXPECT_FALSE(fs::exists(backups / "2008-03-14 21.07.05 backup_cockpit.cfg"));
  // Nothing half-written is left beside the copies.
  EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 10);
}

TEST_F(GameFileBackupTest, ABackupFolderThatCannotBeMadeIsReportedOnceAndNothingIsTried) {
  temp.Write("kesta/Backup", "a file where the folder belongs");
  const BackupReport report = Backup(kAutomaticBackupPrefix);
  EXPECT_TRUE(report.made.empty());
  EXPECT_TRUE(report.failed.empty());
  EXPECT_NE(report.folderFailure.find(backups.string()), std::string::npos) << report.folderFailure;
}

TEST_F(GameFileBackupTest, AFolderThatRefusesNewFilesFailsEveryCopy) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  fs::create_directories(backups);
  fs::permissions(backups, fs::perms::owner_read | fs::perms::owner_exec);
  const BackupReport report = Backup(kAutomaticBackupPrefix);
  fs::permissions(backups, fs::perms::owner_all);
  EXPECT_TRUE(report.made.empty());
  ASSERT_EQ(report.failed.size(), 12u);
  EXPECT_FALSE(report.failed[0].reason.empty());
  EXPECT_TRUE(fs::is_empty(backups));
}

// Stands still until told to wait, then moves on by one second.
class SteppedClock final : public BackupClock {
 public:
  explicit SteppedClock(LocalTime start) : m_now(start) {}
  LocalTime Now() override { return m_now; }
  void WaitForNextSecond() override {
    m_now += std::chrono::seconds(1);
    ++waits;
  }
  int waits = 0;

 private:
  LocalTime m_now;
};

LocalTime At(std::chrono::year_month_day day, std::chrono::hours hour, std::chrono::minutes minute,
             std::chrono::seconds second) {
  return LocalTime(std::chrono::local_days(day)) + hour + minute + second;
}

using std::chrono::hours, std::chrono::minutes, std::chrono::seconds;
const LocalTime kEvening = At(std::chrono::year(2008) / 3 / 4, hours(21), minutes(7), seconds(5));

TEST(BackupTimeTest, TimeTextHasLeadingZerosAndTheTwentyFourHourClock) {
  EXPECT_EQ(BackupTimeText(kEvening), "2008-03-04 21.07.05");
  EXPECT_EQ(BackupTimeText(At(std::chrono::year(2010) / 11 / 30, hours(0), minutes(0), seconds(0))),
            "2010-11-30 00.00.00");
  // The second a backup is made in, never the next one.
  EXPECT_EQ(BackupTimeText(kEvening + std::chrono::milliseconds(999)), "2008-03-04 21.07.05");
}

// The system's clock tells the time of the zone set now, also when it was changed after our start.
TEST(BackupTimeTest, SystemClockGivesTheLocalTimeAndWaitsIntoTheNextSecond) {
  using namespace std::chrono;
  SystemBackupClock clock;
  clock.Now();
  const test::ScopedEnv zone("TZ", "KST-9:30");  // 9 hours 30 ahead of UTC, no summer time
  const auto Local = [](system_clock::time_point utc) {
    return LocalTime(floor<milliseconds>(utc).time_since_epoch() + hours(9) + minutes(30));
  };
  const LocalTime before = Local(system_clock::now());
  const LocalTime now = clock.Now();
  const LocalTime after = Local(system_clock::now());
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);

  const local_seconds second = floor<seconds>(clock.Now());
  clock.WaitForNextSecond();
  EXPECT_GT(floor<seconds>(clock.Now()), second);
}

TEST_F(GameFileBackupTest, ASecondSetWithinTheSameSecondWaitsForTheNextAndIsComplete) {
  SteppedClock clock(kEvening);
  const std::string first = NewTimeStampedPrefix(backups, clock);
  EXPECT_EQ(first, "2008-03-04 21.07.05 ");
  EXPECT_EQ(clock.waits, 0);
  EXPECT_EQ(Backup(first).made.size(), 12u);

  const std::string second = NewTimeStampedPrefix(backups, clock);
  EXPECT_EQ(second, "2008-03-04 21.07.06 ");
  EXPECT_EQ(clock.waits, 1);
  EXPECT_EQ(Backup(second).made.size(), 12u);

  // One name of a set is enough for the second to be taken.
  temp.Write("kesta/Backup/2008-03-04 21.07.07 backup_exportconfig.lua", "");
  EXPECT_EQ(NewTimeStampedPrefix(backups, clock), "2008-03-04 21.07.08 ");
}

TEST(InputBackupFolderTest, NamedAfterTheTimeWithASpaceBeforeInputAndNeverTakenTwice) {
  TempFolder temp;
  SteppedClock clock(kEvening);
  const fs::path first = NewInputBackupFolder(temp.Path(), clock);
  EXPECT_EQ(first, temp / "2008-03-04 21.07.05 Input");
  fs::create_directory(first);
  EXPECT_EQ(NewInputBackupFolder(temp.Path(), clock), temp / "2008-03-04 21.07.06 Input");
  EXPECT_EQ(clock.waits, 1);
}

// Every file below the folder with its bytes, by relative path, and its subfolders.
std::map<std::string, std::string> Content(const fs::path& folder) {
  std::map<std::string, std::string> content;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    content[entry.path().lexically_relative(folder).string()] =
        entry.is_directory() ? "<folder>" : ReadBytes(entry.path());
  return content;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(CopyFolderTest, CopiesFilesAndSubfoldersAndCountsEachFile) {
  TempFolder temp;
  temp.Write("Input/trackir.ini", "[TrackIR]\r\n");
  temp.Write("Input/Joystick/Su-27.lua", "keys = {}\n");
  temp.Write("Input/Joystick/deep/x.cfg", "");
  fs::create_directories(temp / "Input/Empty");
  std::vector<std::pair<int, int>> steps;
  const FolderCopy copy = CopyFolder(temp / "Input", temp / "Backup/2008-03-04 21.07.05 Input",
                                     [&steps](int done, int total) { steps.emplace_back(done, total); });
  ASSERT_FALSE(copy.failure) << copy.failure->reason;
  EXPECT_EQ(copy.files, 3);
  EXPECT_EQ(Content(temp / "Backup/2008-03-04 21.07.05 Input"), Content(temp / "Input"));
  EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(NamesIn(temp / "Backup"), std::vector<std::string>{"2008-03-04 21.07.05 Input"});
}

TEST(CopyFolderTest, AFailedCopyNamesTheCulpritAndLeavesNoFolderBehind) {
  struct Case {
    const char* name;
    std::function<void(const TempFolder&)> arrange;
    const char* culprit;  // relative to the temporary folder
    bool missing;
    const char* inReason;
  };
  const Case cases[] = {
      {"no Input folder", [](const TempFolder&) {}, "Input", true, ""},
      {"Input is a file", [](const TempFolder& t) { t.Write("Input", "x"); }, "Input", false, "not a folder"},
      // A FIFO cannot be copied, not even by root; the files before it were copied already.
      {"a FIFO among the files",
       [](const TempFolder& t) {
         t.Write("Input/a.ini", "a");
         t.Write("Input/sub/b.ini", "b");
         ASSERT_EQ(::mkfifo((t / "Input/sub/pipe").c_str(), 0600), 0);
       },
       "Input/sub/pipe", false, "FIFO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    c.arrange(temp);
    fs::create_directories(temp / "Backup");
    const FolderCopy copy = CopyFolder(temp / "Input", temp / "Backup/2008-03-04 21.07.05 Input");
    ASSERT_TRUE(copy.failure);
    EXPECT_EQ(copy.failure->source, temp / c.culprit);
    EXPECT_EQ(copy.failure->missing, c.missing);
    EXPECT_NE(copy.failure->reason.find(c.inReason), std::string::npos) << copy.failure->reason;
    EXPECT_TRUE(copy.leftOver.empty());
    EXPECT_TRUE(NamesIn(temp / "Backup").empty()) << testing::PrintToString(NamesIn(temp / "Backup"));
  }
}

}  // namespace
}  // namespace kesta
