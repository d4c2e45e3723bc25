// The launch commands end to end in a real Wine prefix (made once per run by make_wine_prefix.sh): the
// window finds the game and LoTATC there and starts the stub LockOn.exe, which logs the command line
// Windows programs see and its working folder.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include "app/tray_and_options.h"
#include "documents/network_document.h"
#include "launch/launcher.h"
#include "platform/processes.h"
#include "platform/wine_registry.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scoped_env.h"
#include "support/scripted_dialogs.h"
#include "support/stub_runner.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "update/update_check.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct LogLine {
  std::string commandLine;  // bytes
  std::string folder;
};

std::vector<LogLine> ReadLog(const fs::path& log) {
  std::vector<LogLine> lines;
  std::ifstream file(log, std::ios::binary);
  for (std::string hex, folder; file >> hex && std::getline(file >> std::ws, folder);) {
    LogLine line{{}, folder};
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      line.commandLine += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    lines.push_back(line);
  }
  return lines;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit = std::chrono::seconds(60)) {
  for (const auto end = Clock::now() + limit; Clock::now() < end;) {
    if (condition()) return true;
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

class WineLaunchTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* wineprefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(wineprefix && *wineprefix);
    prefix = wineprefix;
    game = prefix / "drive_c/Games/Lock On";
    lotatc = prefix / "drive_c/Program Files/LoTATC";
    for (const fs::path& file : {game / "launch.log", game / "hold", lotatc / "launch.log"}) fs::remove(file);
    window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    ASSERT_TRUE(dialogs.Recorded().empty()) << dialogs.Recorded().front().text.toStdString();
  }
  void TearDown() override { fs::remove(game / "hold"); }

  // The log's line `index` once the stub has written it.
  LogLine Started(const fs::path& folder, std::size_t index) const {
    const bool written = WaitFor([&] { return ReadLog(folder / "launch.log").size() > index; });
    EXPECT_TRUE(written) << "no start logged in " << folder;
    return written ? ReadLog(folder / "launch.log")[index] : LogLine{};
  }
  NetworkDocument& Network() const { return window->GameFiles().Get<NetworkDocument>(); }

  test::ProgramInstall install{false};  // the game folder comes from the prefix's registry
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
  fs::path prefix, game, lotatc;
};

const std::string kGame = "\"C:\\Games\\Lock On\\LockOn.exe\"";

TEST_F(WineLaunchTest, FindsTheGameAndLotatcInThePrefixAndStartsLotatc) {
  EXPECT_TRUE(fs::equivalent(window->GameFolder(), game)) << window->GameFolder();
  EXPECT_EQ(window->Launcher().LotatcClientPath(), "C:\\Program Files\\LoTATC\\LoTATC.exe");
  EXPECT_EQ(window->Launcher().LotatcServerPath(), "C:\\Program Files\\LoTATC\\lotatcsrv.exe");
  for (const char* name : {"dxButtonLotatcClient", "dxButtonLotatcServer", "dxButtonLotatcNet"})
    EXPECT_FALSE(window->RibbonButton(name)->isHidden()) << name;
  EXPECT_TRUE(window->findChild<QAction*>("SeparateurLOTATC")->isVisible());

  window->RibbonButton("dxButtonLotatcClient")->click();
  const LogLine client = Started(lotatc, 0);
  window->findChild<QAction*>("MenuSysTrayLOTATCServer")->trigger();
  const LogLine server = Started(lotatc, 1);
  EXPECT_EQ(client.commandLine, "\"C:\\Program Files\\LoTATC\\LoTATC.exe\"");
  EXPECT_EQ(client.folder, "C:\\Program Files\\LoTATC");
  EXPECT_EQ(server.commandLine, "\"C:\\Program Files\\LoTATC\\lotatcsrv.exe\"");
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST_F(WineLaunchTest, EveryCommandStartsTheGameWithItsCommandLineInAnyLocale) {
  // "Émile Ace" in the game's code page (1252: the prefix was made in a C.UTF-8 locale).
  Network().playerName = "\xC9mile Ace";
  Network().serverName = " My  Server ";
  Network().maxPlayers = "16";
  Network().servers = {"10.0.0.7"};
  window->Tray().RebuildJoinMenu();
  window->Pages().ShowPage("TabSheetMultiplayerServer");
  window->findChild<QLineEdit*>("EditServerPassword")->setText("p w");

  struct Case {
    const char* locale;  // LC_ALL of our own process
    std::function<void()> command;
    std::string expected;
  };
  const Case cases[] = {
      {nullptr, [&] { window->RibbonButton("dxButtonPlay")->click(); }, kGame},
      {"C", [&] { window->findChild<QAction*>("MenuSysTrayCreateServer")->trigger(); },
       kGame + " -server playername=\xC9mile\xA0"
               "Ace roomname=My\xA0\xA0Server roompassword=p\xA0w maxplayers=16"},
      {"POSIX",
       [&] {
         dialogs.QueueText("se cret");
         window->findChild<QMenu*>("MenuSysTrayJoin")->actions().back()->trigger();
       },
       kGame + " -client serverip=10.0.0.7 playername=\xC9mile\xA0"
               "Ace roompassword=se\xA0"
               "cret"},
      {"C.UTF-8",
       [&] {
         dialogs.QueueText(" &192.168.1.2 ");
         dialogs.QueueText("");
         window->RibbonButton("dxButtonJoinServer")->click();
       },
       kGame + " -client serverip=192.168.1.2 playername=\xC9mile\xA0"
               "Ace roompassword="},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    test::ScopedEnv locale("LC_ALL", cases[i].locale);
    const auto start = Clock::now();
    cases[i].command();
    const LogLine line = Started(game, i);
    if (i == 0)
      std::cout << "Play to the game's first log line: "
                << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()
                << " ms\n";
    EXPECT_EQ(line.commandLine, cases[i].expected) << (cases[i].locale ? cases[i].locale : "(our locale)");
    EXPECT_EQ(line.folder, "C:\\Games\\Lock On");
  }
  EXPECT_EQ(dialogs.Recorded().size(), 3u) << "the three input boxes only";
}

TEST_F(WineLaunchTest, RunningGameIsSeenUntilItEndsAndApplyAsksMeanwhile) {
  std::ofstream(game / "hold") << "";
  window->RibbonButton("dxButtonPlay")->click();
  Started(game, 0);
  EXPECT_TRUE(FindProcess("LockOn"));
  EXPECT_TRUE(FindProcessInPrefix("lockon", prefix));

  window->EnableApplyCancel(true, true);
  dialogs.QueueNo();
  window->RibbonButton("dxButtonApply")->click();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded().front().text, window->LookupMessage("GameRunningApply"));
  EXPECT_TRUE(window->Configuration().ApplyEnabled());

  fs::remove(game / "hold");
  EXPECT_TRUE(WaitFor([] { return !FindProcess("LockOn"); }, std::chrono::seconds(15)));
}

// A game manager's build that is the system's Wine under another folder (its bin/wine records how it
// was started and goes on as the system's wine; its wine.inf is the system's): the game starts through
// it with the manager's variables, and the prefix is not updated.
TEST_F(WineLaunchTest, GameStartsThroughAManagersBuildWithoutUpdatingThePrefix) {
  const fs::path systemWine = QStandardPaths::findExecutable("wine").toStdString();
  ASSERT_FALSE(systemWine.empty());
  test::TempFolder runners;
  const fs::path build = runners / "lutris/runners/wine/system-copy";
  const fs::path record = runners / "wine-record";
  test::WriteStubRunner(build / "bin/wine", record, systemWine);
  fs::create_directories(build / "share/wine");
  fs::create_symlink(BuildRoot(systemWine) / "share/wine/wine.inf", build / "share/wine/wine.inf");
  PrefixRunner runner;
  runner.manager = PrefixManager::Lutris;
  runner.name = "Lock On";
  runner.build = "system-copy";
  runner.executable = build / "bin/wine";
  runner.environment = {{"WINEDLLOVERRIDES", "mscoree,mshtml="}, {"KESTA_MANAGER_SETTING", "kept"}};
  std::vector<fs::path> asked;
  TLauncher launcher(TLauncher::Collaborators{
      window->GameFiles(), dialogs, [this](const QString& key) { return window->LookupMessage(key); },
      window->Settings(), window->GameFolder(), [](OptionToggle) { return false; }, window->Commands(),
      StartInPrefix,
      [&](const fs::path& itsPrefix) {
        asked.push_back(itsPrefix);
        return runner;
      }});
  // The build stands for another one, so a system wineserver still serving the prefix after the test
  // before would rightly stop the start: wait until it has ended.
  ASSERT_EQ(QProcess::execute("wineserver", {"-w"}), 0);
  const fs::path timestamp = prefix / ".update-timestamp";
  const std::string stamp = test::ReadBytes(timestamp);
  ASSERT_NE(stamp, "<missing>");
  const auto stampWritten = fs::last_write_time(timestamp);

  launcher.MenuPlayClick();
  const std::optional<test::StubRecord> started = test::WaitForStubRecord(record);
  ASSERT_TRUE(started);
  EXPECT_EQ(started->arguments, std::vector<std::string>{(game / "LockOn.exe").string()});
  EXPECT_EQ(started->Variable("KESTA_MANAGER_SETTING"), "kept");
  EXPECT_TRUE(fs::equivalent(started->Variable("WINEPREFIX"), prefix));
  EXPECT_EQ(Started(game, 0).commandLine, kGame);
  EXPECT_TRUE(dialogs.Recorded().empty()) << dialogs.Recorded().front().text.toStdString();
  EXPECT_TRUE(fs::equivalent(asked.at(0), prefix));
  // Wine would have rewritten it while starting the game had it updated the prefix.
  EXPECT_EQ(test::ReadBytes(timestamp), stamp);
  EXPECT_EQ(fs::last_write_time(timestamp), stampWritten);
}

// What Wine itself wrote into the prefix reads as `wine reg query` shows it: through link keys, with
// control characters in octal, and a multi-string in the same form as a quoted one.
TEST(WinePrefixRegistryTest, ReadsWhatWineWrote) {
  const fs::path prefix = std::getenv("WINEPREFIX");
  WineRegistry wine(prefix);
  EXPECT_EQ(
      wine.ReadString(RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP"),
      "1252");
  // "Windows\CurrentVersion\Time Zones" is a link to the "Windows NT" key.
  const auto linked = wine.ReadString(
      RegRoot::LocalMachine,
      "Software\\Microsoft\\Windows\\CurrentVersion\\Time Zones\\Alaskan Standard Time", "Std");
  ASSERT_TRUE(linked);
  EXPECT_FALSE(linked->empty());
  EXPECT_EQ(linked,
            wine.ReadString(
                RegRoot::LocalMachine,
                "Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\Alaskan Standard Time", "Std"));
  EXPECT_EQ(wine.ReadString(RegRoot::CurrentUser, "Software\\KESTA test", "Control"),
            "A\x01"
            "5B\x1B");

  std::ifstream file(prefix / "user.reg", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const ParsedRegistry keys = ParseWineRegistry(text);
  const WineRegKey* key = keys.FindKey("Software\\KESTA test");
  ASSERT_NE(key, nullptr);
  const WineRegValue* multi = key->FindValue("Multi");
  ASSERT_NE(multi, nullptr);
  EXPECT_EQ(multi->type, kRegMultiSz);
  EXPECT_EQ(multi->data, std::string("a\0b\0", 4));
}

// A game key whose "Path" Wine stored as a number names no folder: the program asks for one.
TEST(WinePrefixRegistryTest, GameKeyWithANumberForItsPathAsksForTheFolder) {
  test::ProgramInstall install{false};
  WriteIniValue(install.SettingsFile(), "Lockon", "PathReg", "Software\\KESTA test\\");
  test::ScriptedDialogs dialogs;
  dialogs.QueueCancel();
  TFrmKESTA window(WindowEnvironment{install.Folder(), &dialogs, {}});
  window.FormCreate();
  ASSERT_EQ(dialogs.Recorded().size(), 3u);
  EXPECT_EQ(dialogs.Recorded()[0].text, window.LookupMessage("LockOnPathNotFound"));
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Open");
  EXPECT_TRUE(window.QuitFlag());
}

// A Windows installer fetched by the update check starts under Wine from the folder it lies in; the folder
// sits in the prefix's drive C so that the stub's log names it the way Windows programs see it.
TEST_F(WineLaunchTest, UpdateInstallerStartsUnderWineInItsFolder) {
  const fs::path folder = prefix / "drive_c/users/Public/Temp/kesta-update";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy_file(game / "LockOn.exe", folder / "KESTASetup.exe");
  ReleaseManifest release{"3.0.4"};
  ASSERT_EQ(HashFile(folder / "KESTASetup.exe", release.sha256, release.installerSize), "");
  ASSERT_EQ(StartVerifiedInstaller({folder, folder / "KESTASetup.exe", release}), QString());
  const LogLine line = Started(folder, 0);
  EXPECT_EQ(line.folder, "C:\\users\\Public\\Temp\\kesta-update");
  EXPECT_NE(line.commandLine.find("KESTASetup.exe"), std::string::npos) << line.commandLine;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kesta
