// The backups the window makes: the automatic set at start-up, the time-stamped set and the Input folder
// copy of the backup page. The real window on a copy of the sample game; the dialogs are scripted.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>

#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/page_area.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGameFiles[] = {
    "Config/graphics.cfg",         "Config/cockpit.cfg",     "Config/network/config.lua",
    "Config/network/stats.lua",    "Config/view/server.lua", "Config/view/view.lua",
    "Config/view/snapviews.lua",   "Config/producer.cfg",    "Config/World/World.lua",
    "Config/weapons/drawinfo.lua", "ME/MeCustom.xml",        "Config/Export/config.lua",
};

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BackupTest : public testing::Test {
 protected:
  std::unique_ptr<TFrmKESTA> Start() {
    auto window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    return window;
  }
  // The window's page with its buttons, built.
  std::unique_ptr<TFrmKESTA> StartOnBackupPage() {
    auto window = Start();
    window->Pages().ShowPage("TabSheetBackup");
    dialogs.ClearRecorded();
    return window;
  }
  static void Click(TFrmKESTA& window, const char* button) {
    window.findChild<QToolButton*>(button)->click();
  }
  QString Game(const char* relative) const { return QString::fromStdString(install.Game(relative).string()); }
  QString BackupFolder() const { return QString::fromStdString(install.Folder().Backups().string()); }
  std::string Texts() const {
    std::string texts;
    for (const auto& dialog : dialogs.Recorded())
      texts += (dialog.kind + ": " + dialog.text + "\n").toStdString();
    return texts;
  }
  // The names of the time-stamped copies, without their time.
  std::vector<std::string> TimeStampedSets() const {
    std::vector<std::string> names;
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d )");
    for (const std::string& name : NamesIn(install.Folder().Backups()))
      if (stamp.match(QString::fromStdString(name)).hasMatch()) names.push_back(name.substr(20));
    return names;
  }

  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
};

TEST_F(BackupTest, FirstStartCopiesTheTwelveFilesAndSaysSoOnceThenNeverAgain) {
  fs::remove_all(install.Folder().Backups());  // the program's first start, its folder not even made
  Start();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Texts();
  QStringList made;
  for (const char* file : kGameFiles) made << Game(file);
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Information");
  EXPECT_EQ(dialogs.Recorded()[0].text, "KESTA has made a backup copy of these game files:\n\n" +
                                            made.join('\n') + "\n\nThe copies are kept in this folder:\n\n" +
                                            BackupFolder());
  EXPECT_EQ(NamesIn(install.Folder().Backups()).size(), 12u);
  EXPECT_EQ(test::ReadBytes(install.Folder().Backups() / "automatic_backup_mecustom.xml"),
            test::ReadBytes(install.Game("ME/MeCustom.xml")));

  dialogs.ClearRecorded();
  Start();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Texts();
}

TEST_F(BackupTest, ADeletedAutomaticCopyIsMadeAgainAlone) {
  fs::remove(install.Folder().Backups() / "automatic_backup_view.lua");
  Start();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Texts();
  EXPECT_TRUE(
      dialogs.Recorded()[0].text.contains("files:\n\n" + Game("Config/view/view.lua") + "\n\nThe copies"))
      << Texts();
  EXPECT_TRUE(fs::exists(install.Folder().Backups() / "automatic_backup_view.lua"));
}

TEST_F(BackupTest, TwoClicksWithinOneSecondMakeTwoCompleteSets) {
  auto window = StartOnBackupPage();
  Click(*window, "ButtonAutomaticBackup");
  Click(*window, "ButtonAutomaticBackup");
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Texts();
  for (const auto& dialog : dialogs.Recorded()) {
    EXPECT_EQ(dialog.kind, "Information");
    EXPECT_EQ(dialog.text.count(Game("")), 12);  // each set lists all twelve
  }
  const std::vector<std::string> sets = TimeStampedSets();
  EXPECT_EQ(sets.size(), 24u);
  EXPECT_EQ(std::count(sets.begin(), sets.end(), "backup_graphics.cfg"), 2);
}

TEST_F(BackupTest, AMissingGameFileIsNamedAsNotBackedUpAndHasNoCopy) {
  auto window = StartOnBackupPage();
  fs::remove(install.Game("Config/view/view.lua"));
  Click(*window, "ButtonAutomaticBackup");
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Texts();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Warning");
  const QString text = dialogs.Recorded()[0].text;
  EXPECT_TRUE(text.endsWith("\n\nThese game files could not be backed up:\n\n" +
                            Game("Config/view/view.lua") + ": does not exist"))
      << text.toStdString();
  EXPECT_FALSE(text.section("could not be backed up", 0, 0).contains("view.lua")) << text.toStdString();
  const std::vector<std::string> sets = TimeStampedSets();
  EXPECT_EQ(sets.size(), 11u);
  EXPECT_EQ(std::count(sets.begin(), sets.end(), "backup_view.lua"), 0);
}

TEST_F(BackupTest, ABackupFolderThatCannotBeMadeIsAnError) {
  auto window = StartOnBackupPage();
  fs::remove_all(install.Folder().Backups());
  std::ofstream(install.Folder().Backups()) << "a file in the folder's place";
  Click(*window, "ButtonAutomaticBackup");
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Texts();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith(
      "No backup could be made: the backup folder could not be created.\n\nCannot create folder \"" +
      BackupFolder() + "\""))
      << Texts();
}

TEST_F(BackupTest, TheInputFolderIsCopiedWithItsSubfoldersUnderTheTimeAndInput) {
  const fs::path input = install.Game("Input");
  std::ofstream(input / "keys.lua") << "keys";
  fs::create_directories(input / "Joystick");
  std::ofstream(input / "Joystick/x52.lua") << "axes";
  auto window = StartOnBackupPage();
  EXPECT_EQ(window->findChild<QLabel*>("MemoInputSaveInfo")->text(),
            "Makes a copy of the game's Input folder, which holds your controller and key assignments:\n" +
                QString::fromStdString(input.string()) + "/");

  Click(*window, "ButtonBackupInput");
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Texts();
  const auto& progress = dialogs.Recorded()[0];
  EXPECT_EQ(progress.kind, "Progress");
  EXPECT_EQ(progress.text, "Copying the Input folder...");
  EXPECT_EQ(progress.maximum, 3);  // trackir.ini of the sample game and the two above
  EXPECT_EQ(progress.steps, (std::vector<int>{0, 1, 2, 3}));
  const std::vector<std::string> names = NamesIn(install.Folder().Backups());
  const auto copy = std::find_if(names.begin(), names.end(), [](const std::string& name) {
    return QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d Input$)")
        .match(QString::fromStdString(name))
        .hasMatch();
  });
  ASSERT_NE(copy, names.end()) << testing::PrintToString(names);
  const fs::path target = install.Folder().Backups() / *copy;
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Information");
  EXPECT_EQ(dialogs.Recorded()[1].text,
            "The Input folder has been backed up to:\n" + QString::fromStdString(target.string()));
  EXPECT_EQ(test::ReadBytes(target / "Joystick/x52.lua"), "axes");
  EXPECT_EQ(test::ReadBytes(target / "trackir.ini"), test::ReadBytes(input / "trackir.ini"));
  EXPECT_TRUE(window->findChild<QToolButton*>("ButtonBackupInput")->isEnabled());

  // A second copy within the same second gets its own folder.
  Click(*window, "ButtonBackupInput");
  const std::vector<std::string> after = NamesIn(install.Folder().Backups());
  EXPECT_EQ(std::count_if(after.begin(), after.end(),
                          [](const std::string& name) { return name.ends_with(" Input"); }),
            2);
}

TEST_F(BackupTest, AFailedInputCopyIsReportedWithItsReasonAndKeepsNoPart) {
  struct Case {
    const char* name;
    void (*arrange)(const fs::path& input);
    QString line;  // the reason's line, after the path
  };
  const Case cases[] = {
      {"no Input folder", [](const fs::path& input) { fs::remove_all(input); }, ": does not exist"},
      // Not readable even by root, and met after trackir.ini was copied.
      {"a FIFO in it",
       [](const fs::path& input) { ASSERT_EQ(::mkfifo((input / "zz-pipe").c_str(), 0600), 0); },
       "/zz-pipe: Cannot open file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ProgramInstall fresh;
    test::ScriptedDialogs answers;
    c.arrange(fresh.Game("Input"));
    TFrmKESTA window(WindowEnvironment{fresh.Folder(), &answers, {}});
    window.FormCreate();
    window.Pages().ShowPage("TabSheetBackup");
    const std::vector<std::string> before = NamesIn(fresh.Folder().Backups());
    Click(window, "ButtonBackupInput");
    ASSERT_FALSE(answers.Recorded().empty());
    const auto& report = answers.Recorded().back();
    EXPECT_EQ(report.kind, "Error");
    EXPECT_TRUE(report.text.startsWith("The Input folder could not be backed up.\n\n" +
                                       QString::fromStdString(fresh.Game("Input").string()) + c.line))
        << report.text.toStdString();
    EXPECT_TRUE(report.text.endsWith("\n\nNo incomplete copy was kept.")) << report.text.toStdString();
    // Not even a hidden remainder.
    EXPECT_EQ(NamesIn(fresh.Folder().Backups()), before);
  }
}

}  // namespace
}  // namespace kesta
