// The launch commands and the companions on the real window over a copy of the sample game. Wine is not
// needed here: with $WINE naming no program, a start that gets as far as Wine says so in an error box,
// which shows whether the command would have started the game; a stub standing for Wine or a game
// manager's runner records how it was started. The Wine tests start the game for real.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <fstream>

#include "app/tray_and_options.h"
#include "documents/network_document.h"
#include "launch/launcher.h"
#include "platform/code_page.h"
#include "platform/game_paths.h"
#include "platform/prefix_runner.h"
#include "platform/registry.h"
#include "platform/wine_registry.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/manager_homes.h"
#include "support/named_process.h"
#include "support/page_test.h"
#include "support/scoped_env.h"
#include "support/stub_runner.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

constexpr char kNoWine[] = "/nonexistent/wine-for-tests";

class LaunchTest : public test::PageTest {
 protected:
  NetworkDocument& Network() const { return window->GameFiles().Get<NetworkDocument>(); }
  void SetPlayer(const char* name, const char* maxPlayers) const {
    Network().playerName = name;
    Network().maxPlayers = maxPlayers;
  }
  void Click(const char* button) const { window->RibbonButton(button)->click(); }
  QAction* TrayItem(const char* name) const { return window->findChild<QAction*>(name); }
  QMenu* JoinMenu() const { return window->findChild<QMenu*>("MenuSysTrayJoin"); }
  QStringList JoinCaptions() const {
    QStringList captions;
    for (const QAction* item : JoinMenu()->actions()) captions << (item->isSeparator() ? "-" : item->text());
    return captions;
  }
  fs::path TrackIrIni() const { return install.Game("Input/trackir.ini"); }
  void WriteTrackIrIni() const { std::ofstream(TrackIrIni()) << "[TrackIR]\n"; }
  // The dialogs shown, as "Kind: text" lines.
  QStringList Shown() const {
    QStringList shown;
    for (const auto& dialog : dialogs.Recorded()) shown << dialog.kind + ": " + dialog.text;
    return shown;
  }
  QString Message(const char* key) const { return window->LookupMessage(key); }
  QString WineMissing() const { return "Error: " + Message("WineNotFound").arg(kNoWine); }

  test::ScopedEnv wine{"WINE", kNoWine};
};

TEST_F(LaunchTest, CommandsAreLiveInTheMenuAndTheTray) {
  for (const char* name : {"dxButtonPlay", "dxButtonOpenServer", "dxButtonJoinServer"})
    EXPECT_TRUE(window->RibbonButton(name)->isEnabled()) << name;
  for (const char* name : {"MenuSysTrayPlay", "MenuSysTrayCreateServer", "MenuSysTrayJoinIP"})
    EXPECT_TRUE(TrayItem(name)->isVisible()) << name;
  EXPECT_TRUE(JoinMenu()->menuAction()->isVisible());
}

TEST_F(LaunchTest, ServerAndJoinNeedAPlayerNameAndServerMaximumPlayersBeforeAnyPreLaunchStep) {
  struct Case {
    const char *player, *maxPlayers;
    std::function<void()> command;
    const char* message;
  };
  const Case cases[] = {
      {"", "16", [this] { Click("dxButtonOpenServer"); }, "PlayerNameEmpty"},
      {"Ace", "", [this] { TrayItem("MenuSysTrayCreateServer")->trigger(); }, "MaxPlayersEmpty"},
      {"", "", [this] { Click("dxButtonOpenServer"); }, "PlayerNameEmpty"},
      {"", "16", [this] { window->Launcher().JoinServer("10.0.0.1"); }, "PlayerNameEmpty"},
  };
  for (const Case& c : cases) {
    dialogs.ClearRecorded();
    SetPlayer(c.player, c.maxPlayers);
    WriteTrackIrIni();
    c.command();
    EXPECT_EQ(Shown(), QStringList{"Error: " + Message(c.message)}) << c.message;
    EXPECT_TRUE(fs::exists(TrackIrIni())) << "the pre-launch steps ran";
  }
}

TEST_F(LaunchTest, BlankNameCountsAsTypedAndEveryCommandReachesWine) {
  SetPlayer("   ", "8");
  for (const char* command : {"dxButtonPlay", "dxButtonOpenServer"}) {
    dialogs.ClearRecorded();
    WriteTrackIrIni();
    Click(command);
    EXPECT_EQ(Shown(), QStringList{WineMissing()}) << command;
    EXPECT_FALSE(fs::exists(TrackIrIni())) << command;
  }
  dialogs.ClearRecorded();
  dialogs.QueueText("  &10.0.0.1 ");
  dialogs.QueueText("");  // an empty password is accepted
  Click("dxButtonJoinServer");
  EXPECT_EQ(Shown(),
            (QStringList{"Input: " + Message("IP"), "Input: " + Message("PasswordEmpty"), WineMissing()}));
}

TEST_F(LaunchTest, CancelledOrEmptyInputEndsTheJoinQuietly) {
  SetPlayer("Ace", "8");
  dialogs.QueueCancel();
  TrayItem("MenuSysTrayJoinIP")->trigger();
  dialogs.QueueText("");
  TrayItem("MenuSysTrayJoinIP")->trigger();
  dialogs.QueueText("10.0.0.1");
  dialogs.QueueCancel();
  TrayItem("MenuSysTrayJoinIP")->trigger();
  EXPECT_EQ(Shown(), (QStringList{"Input: " + Message("IP"), "Input: " + Message("IP"),
                                  "Input: " + Message("IP"), "Input: " + Message("PasswordEmpty")}));
}

TEST_F(LaunchTest, MissingGameProgramIsNamed) {
  test::ScopedEnv realProgram("WINE", "/bin/true");  // something to run, which the game's absence stops first
  SetPlayer("Ace", "8");
  Click("dxButtonPlay");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  fs::remove(install.Game("LockOn.exe"));
  Click("dxButtonPlay");
  EXPECT_EQ(Shown(),
            QStringList{
                "Error: " +
                Message("ProgramNotFound").arg(QString::fromStdString(install.Game("LockOn.exe").string()))});
}

TEST_F(LaunchTest, TrackIrQuestionDecidesTheStart) {
  window->Tray().SetOptionToggle(OptionToggle::CheckTrackIR, true);
  const QString question = "Warning: " + Message("TrackIRNotStarted");
  SetPlayer("Ace", "8");

  WriteTrackIrIni();
  dialogs.QueueNo();
  Click("dxButtonPlay");
  EXPECT_EQ(Shown(), QStringList{question});
  EXPECT_FALSE(fs::exists(TrackIrIni())) << "removed before the question";

  dialogs.ClearRecorded();
  dialogs.QueueYes();
  Click("dxButtonOpenServer");
  EXPECT_EQ(Shown(), (QStringList{question, WineMissing()}));

  dialogs.ClearRecorded();
  {
    test::NamedProcess opentrack("/usr/bin/opentrack");
    Click("dxButtonPlay");
  }
  EXPECT_EQ(Shown(), QStringList{WineMissing()}) << "opentrack stands for TrackIR";

  dialogs.ClearRecorded();
  window->Tray().SetOptionToggle(OptionToggle::CheckTrackIR, false);
  window->Tray().SetOptionToggle(OptionToggle::DeleteTrackIrIni, false);
  WriteTrackIrIni();
  Click("dxButtonPlay");
  EXPECT_EQ(Shown(), QStringList{WineMissing()});
  EXPECT_TRUE(fs::exists(TrackIrIni()));
}

TEST_F(LaunchTest, TrayJoinMenuFollowsTheServerListAndJoinsByItsEntry) {
  const QString byAddress = Message("MenuSysTrayJoinIP");  // translated, and kept by every rebuild
  EXPECT_EQ(JoinCaptions(), (QStringList{byAddress, "-", "192.168.0.10", "lockon.example.org"}))
      << "the sample's list";
  window->Pages().ShowPage("TabSheetMultiplayerClient");
  window->findChild<QComboBox*>("ComboBoxServerList")->setEditText("&a&b");
  window->findChild<QToolButton*>("SpeedButtonServerListAdd")->click();
  EXPECT_EQ(JoinCaptions().back(), "&&a&&b") << "shown as typed, not as a keyboard mark";

  Network().servers = {"x"};
  window->Tray().RebuildJoinMenu();
  EXPECT_EQ(JoinCaptions(), (QStringList{byAddress, "-", "x"}));

  QAction* last = JoinMenu()->actions().back();
  SetPlayer("Ace", "8");
  dialogs.QueueCancel();
  last->trigger();
  EXPECT_EQ(Shown(), QStringList{"Input: " + Message("PasswordEmpty")}) << "only the password is asked";
}

// A prefix's registry files, written as Wine writes them.
void WriteRegistry(const fs::path& prefix, std::string_view machine, std::string_view user) {
  fs::create_directories(prefix / "drive_c");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                                       << machine;
  std::ofstream(prefix / "user.reg")
      << "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
      << user;
}

TEST_F(LaunchTest, CompanionCommandsShowWhatTheRegistryHolds) {
  const std::string lotatc =
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\LOTATC] 1\n"
      "\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\LoTATC\\\\uninst.exe\\\"\"\n";
  auto dotNet = [](const char* name) {
    return std::string("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\a1b2] 1\n") +
           "\"DisplayName\"=\"" + name + "\"\n";
  };
  struct Case {
    std::string machine, user;
    bool lotatc, dotNet;
  };
  const Case cases[] = {
      {lotatc, "", true, false},
      {"", dotNet("lotatc.NET"), false, true},
      {lotatc, dotNet("LoTATC .NET"), true, true},
      {"", dotNet("LoTATC .NET 2"), false, false},  // a name that only begins like it
      {"", "", false, false},
  };
  for (const Case& c : cases) {
    test::TempFolder prefix;
    WriteRegistry(prefix.Path(), c.machine, c.user);
    WineRegistry registry(prefix.Path());
    ScopedRegistryStore installed(registry);
    window->Launcher().DetectCompanions();
    const std::string which = c.machine + c.user;
    for (const char* name : {"dxButtonLotatcClient", "dxButtonLotatcServer"})
      EXPECT_EQ(!window->RibbonButton(name)->isHidden(), c.lotatc) << name << which;
    for (const char* name : {"MenuSysTrayLOTATCClient", "MenuSysTrayLOTATCServer"})
      EXPECT_EQ(TrayItem(name)->isVisible(), c.lotatc) << name << which;
    EXPECT_EQ(!window->RibbonButton("dxButtonLotatcNet")->isHidden(), c.dotNet) << which;
    EXPECT_EQ(TrayItem("MenuSysTrayLotatcNet")->isVisible(), c.dotNet) << which;
    EXPECT_EQ(TrayItem("SeparateurLOTATC")->isVisible(), c.lotatc || c.dotNet) << which;
    if (c.lotatc) {
      EXPECT_EQ(window->Launcher().LotatcClientPath(), "C:\\Program Files\\LoTATC\\LoTATC.exe");
      EXPECT_EQ(window->Launcher().LotatcServerPath(), "C:\\Program Files\\LoTATC\\lotatcsrv.exe");
    }
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(LaunchTest, CompanionStartFailuresSayWhatIsMissing) {
  test::TempFolder prefix;
  WriteRegistry(prefix.Path(),
                "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\LOTATC] 1\n"
                "\"UninstallString\"=\"C:\\\\LoTATC\\\\uninst.exe\"\n",
                "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\x] 1\n"
                "\"DisplayName\"=\"LoTATC.NET\"\n");
  WineRegistry registry(prefix.Path());
  ScopedRegistryStore installed(registry);
  window->Launcher().DetectCompanions();

  window->RibbonButton("dxButtonLotatcClient")->click();
  test::ScopedEnv realProgram("WINE", "/bin/true");
  TrayItem("MenuSysTrayLOTATCServer")->trigger();
  // Neither the setting nor the installation says where LoTATC .NET comes from.
  window->RibbonButton("dxButtonLotatcNet")->click();
  const QString server = QString::fromStdString((prefix / "drive_c/LoTATC/lotatcsrv.exe").string());
  EXPECT_EQ(
      Shown(),
      (QStringList{"Error: " + Message("LOTATCClient") + "\n\n" + Message("WineNotFound").arg(kNoWine),
                   "Error: " + Message("LOTATCServer") + "\n\n" + Message("ProgramNotFound").arg(server),
                   "Error: " + Message("LoTATCNetStartError")}));
}

TEST_F(LaunchTest, LotatcNetAddressComesFromTheSettingElseFromItsInstallation) {
  test::TempFolder prefix;
  WriteRegistry(prefix.Path(), "",
                "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\x] 1\n"
                "\"DisplayName\"=\"LoTATC .NET\"\n"
                "\"UrlUpdateInfo\"=\"http://installed.example/update/LotatcDotNET.application\"\n");
  WineRegistry registry(prefix.Path());
  ScopedRegistryStore installed(registry);
  window->Launcher().DetectCompanions();
  EXPECT_EQ(window->Launcher().LotatcNetAddress(),
            "http://installed.example/update/LotatcDotNET.application");
  WriteIniValueOrFail(install.SettingsFile(), "Config", "LotatcNetHost", "lotatc.example:8080");
  EXPECT_EQ(window->Launcher().LotatcNetAddress(),
            "http://lotatc.example:8080/update/LotatcDotNET.application");
}

TEST_F(LaunchTest, ApplyAsksFirstWhileTheGameRunsInItsPrefix) {
  test::TempFolder prefixes;
  fs::create_directories(prefixes / "game");
  fs::create_directories(prefixes / "other");
  test::ScopedEnv gamePrefix("WINEPREFIX", (prefixes / "game").c_str());
  const fs::path config = install.Game("Config/network/config.lua");
  auto edit = [&](const char* name) {
    Network().playerName = name;
    window->EnableApplyCancel(true, true);
    dialogs.ClearRecorded();
  };
  auto fileHas = [&](const char* name) {
    std::ifstream file(config);
    return std::string(std::istreambuf_iterator<char>(file), {}).find(name) != std::string::npos;
  };
  const QStringList question{"Warning: " + Message("GameRunningApply")};

  test::NamedProcess game("C:\\Games\\Lock On\\LockOn.exe", {"WINEPREFIX=" + (prefixes / "game").string()});
  edit("Kept");
  dialogs.QueueNo();
  Click("dxButtonApply");
  EXPECT_EQ(Shown(), question);
  EXPECT_FALSE(fileHas("Kept"));
  EXPECT_TRUE(window->Configuration().ApplyEnabled());

  dialogs.QueueYes();
  Click("dxButtonApply");
  EXPECT_TRUE(fileHas("Kept"));
  game.Stop();

  test::NamedProcess elsewhere("C:\\Games\\Lock On\\LockOn.exe",
                               {"WINEPREFIX=" + (prefixes / "other").string()});
  edit("Written");
  Click("dxButtonApply");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_TRUE(fileHas("Written"));
}

// The ribbon, the tray and the join menu start the game through the prefix's runner: for a prefix no
// manager owns, the system's wine on the PATH, with the game's command line as it is.
TEST_F(LaunchTest, RibbonTrayAndJoinMenuStartThroughThePrefixsRunner) {
  test::TempFolder stubs;
  const fs::path record = stubs / "wine-record";
  test::WriteStubRunner(stubs / "bin/wine", record);
  test::ScopedEnv path("PATH", ((stubs / "bin").string() + ":/usr/bin:/bin").c_str());
  test::ScopedEnv noWine("WINE", nullptr);
  test::ScopedEnv locale("LC_ALL", "C.UTF-8");
  SetPlayer("Ace", "8");
  Network().serverName = "My Server";
  Network().servers = {"10.0.0.7"};
  window->Tray().RebuildJoinMenu();
  const std::string game = install.Game("LockOn.exe").string();
  struct Case {
    std::function<void()> command;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {[this] { Click("dxButtonPlay"); }, {game}},
      {[this] { TrayItem("MenuSysTrayCreateServer")->trigger(); },
       {game, "-server", "playername=Ace", "roomname=My\xC2\xA0Server", "roompassword=", "maxplayers=8"}},
      {[this] {
         dialogs.QueueText("pw");
         JoinMenu()->actions().back()->trigger();
       },
       {game, "-client", "serverip=10.0.0.7", "playername=Ace", "roompassword=pw"}},
  };
  for (const Case& c : cases) {
    c.command();
    const std::optional<test::StubRecord> started = test::WaitForStubRecord(record);
    ASSERT_TRUE(started) << Recorded();
    fs::remove(record);
    EXPECT_EQ(started->arguments, c.arguments);
    EXPECT_EQ(started->folder, fs::canonical(install.Game("")));
    EXPECT_EQ(started->Variable("WINEPREFIX"), window->Launcher().GamePrefix().string());
  }
  EXPECT_EQ(Shown(), QStringList{"Input: " + Message("PasswordEmpty")});
}

// The launcher on the window's game files and dialogs, with the runner a test gives for each prefix.
class RunnerLaunchTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    WriteRegistry(prefix, uninstallLotatc,
                  "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\x] 1\n"
                  "\"DisplayName\"=\"LoTATC .NET\"\n");
    registry = std::make_unique<WineRegistry>(prefix);
    installed = std::make_unique<ScopedRegistryStore>(*registry);
    fs::create_directories(prefix / "drive_c/LoTATC");
    for (const char* program : {"drive_c/LoTATC/LoTATC.exe", "drive_c/LoTATC/lotatcsrv.exe"})
      std::ofstream(prefix / program) << "MZ";
    test::WriteStubRunner(wine, record);
    runner.manager = PrefixManager::Lutris;
    runner.name = "Lock On";
    runner.build = "lutris-7.2";
    runner.executable = wine;
    runner.environment = {{"WINEESYNC", "1"}, {"WINEDLLOVERRIDES", "d3d9,d3d10core,d3d11,dxgi=n"}};
    launcher = std::make_unique<TLauncher>(TLauncher::Collaborators{
        window->GameFiles(), dialogs, [this](const QString& key) { return window->LookupMessage(key); },
        window->Settings(), window->GameFolder(), [](OptionToggle) { return false; }, window->Commands(),
        StartInPrefix,
        [this](const fs::path& itsPrefix) {
          asked.push_back(itsPrefix);
          return runner;
        }});
    launcher->DetectCompanions();
    SetPlayer("Ace", "8");
  }
  std::optional<test::StubRecord> Started() const {
    std::optional<test::StubRecord> started = test::WaitForStubRecord(record);
    fs::remove(record);
    return started;
  }

  test::TempFolder home;
  fs::path prefix = home / "Games/lock-on";  // the game's prefix and LoTATC's
  fs::path wine = home / ".local/share/lutris/runners/wine/lutris-7.2/bin/wine";
  fs::path record = home / "wine-record";
  const std::string uninstallLotatc =
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\LOTATC] 1\n"
      "\"UninstallString\"=\"C:\\\\LoTATC\\\\uninst.exe\"\n";
  test::ScopedEnv gamePrefix{"WINEPREFIX", prefix.c_str()};
  test::ScopedEnv noWine{"WINE", nullptr};
  test::ScopedEnv locale{"LC_ALL", "C.UTF-8"};
  std::unique_ptr<WineRegistry> registry;
  std::unique_ptr<ScopedRegistryStore> installed;
  PrefixRunner runner;
  std::vector<fs::path> asked;
  std::unique_ptr<TLauncher> launcher;
};

TEST_F(RunnerLaunchTest, GameAndCompanionsStartThroughTheRunnerOfTheirPrefix) {
  WriteIniValueOrFail(install.SettingsFile(), "Config", "LotatcNetHost", "lotatc.example:8080");
  const std::string game = install.Game("LockOn.exe").string();
  struct Case {
    std::function<void()> command;
    std::vector<std::string> arguments;
    fs::path folder;
  };
  const Case cases[] = {
      {[this] { launcher->MenuPlayClick(); }, {game}, install.Game("")},
      {[this] {
         dialogs.QueueText("");
         launcher->JoinServer("&10.0.0.1");
       },
       {game, "-client", "serverip=10.0.0.1", "playername=Ace", "roompassword="},
       install.Game("")},
      {[this] { launcher->MenuLOTATCClientClick(); },
       {(prefix / "drive_c/LoTATC/LoTATC.exe").string()},
       prefix / "drive_c/LoTATC"},
      {[this] { launcher->MenuLOTATCServerClick(); },
       {(prefix / "drive_c/LoTATC/lotatcsrv.exe").string()},
       prefix / "drive_c/LoTATC"},
      {[this] { launcher->dxButtonLotatcNetClick(); },
       {"rundll32.exe", "dfshim.dll,ShOpenVerbApplication",
        "http://lotatc.example:8080/update/LotatcDotNET.application"},
       {}},
  };
  for (const Case& c : cases) {
    asked.clear();
    c.command();
    const std::optional<test::StubRecord> started = Started();
    ASSERT_TRUE(started) << Recorded();
    EXPECT_EQ(started->program, wine.string());
    EXPECT_EQ(started->arguments, c.arguments);
    if (!c.folder.empty()) {
      EXPECT_EQ(started->folder, fs::canonical(c.folder));
    }
    EXPECT_EQ(started->Variable("WINEPREFIX"), prefix.string());
    EXPECT_EQ(started->Variable("WINEESYNC"), "1");
    EXPECT_EQ(started->Variable("WINEDLLOVERRIDES"), "d3d9,d3d10core,d3d11,dxgi=n");
    EXPECT_EQ(asked, std::vector<fs::path>{prefix});
  }
  EXPECT_EQ(Shown(), QStringList{"Input: " + Message("PasswordEmpty")});
}

TEST_F(RunnerLaunchTest, MissingBuildAndAnotherBuildsWineserverAreNamedAndNothingStarts) {
  runner.buildMissing = true;
  launcher->MenuPlayClick();
  runner.buildMissing = false;
  fs::remove(wine);  // deleted since the manager's files were read
  launcher->MenuLOTATCClientClick();
  test::WriteStubRunner(wine, record);
  const QString build = QString::fromStdString("lutris-7.2 (" + wine.string() + ")");
  const QString prefixText = QString::fromStdString(prefix.string());

  const fs::path otherServer = home / "usr/lib/wine/wineserver";
  fs::create_directories(otherServer.parent_path());
  fs::copy_file("/bin/sleep", otherServer);
  test::NamedProcess server(otherServer.string(), {"WINEPREFIX=" + prefix.string() + "/"},
                            otherServer.string());
  ASSERT_TRUE(server.Started());
  const pid_t serverPid = server.Pid();
  launcher->MenuPlayClick();
  server.Stop();

  EXPECT_EQ(Shown(),
            (QStringList{"Error: " + Message("RunnerBuildMissing").arg("Lutris", build, prefixText),
                         "Error: " + Message("LOTATCClient") + "\n\n" +
                             Message("RunnerBuildMissing").arg("Lutris", build, prefixText),
                         "Error: " + Message("OtherWineServer")
                                         .arg(prefixText, QString::fromStdString(otherServer.string()),
                                              QString::number(serverPid), build)}));
  EXPECT_FALSE(test::StubRan(record));
}

// wine.inf of the build that would start against the prefix's .update-timestamp: asked first, and No
// starts nothing.
TEST_F(RunnerLaunchTest, StartThatWouldUpdateThePrefixAsksFirst) {
  const fs::path wineInf = wine.parent_path().parent_path() / "share/wine/wine.inf";
  fs::create_directories(wineInf.parent_path());
  std::ofstream(wineInf) << "[Version]\n";
  fs::last_write_time(wineInf, fs::file_time_type::clock::from_sys(
                                   std::chrono::sys_seconds(std::chrono::seconds(1600000000))));
  std::ofstream(prefix / ".update-timestamp") << "1500000000\n";
  const QString question =
      "Warning: " + Message("PrefixUpdateQuestion")
                        .arg(QString::fromStdString(prefix.string()),
                             Message("PrefixMadeByUnknown").arg("2017-07-14 02:40 UTC"),
                             QString::fromStdString("lutris-7.2 (" + wine.string() + ")"));
  dialogs.QueueNo();
  launcher->MenuPlayClick();
  EXPECT_EQ(Shown(), QStringList{question});
  EXPECT_FALSE(test::StubRan(record));

  dialogs.ClearRecorded();
  dialogs.QueueYes();
  launcher->MenuPlayClick();
  EXPECT_EQ(Shown(), QStringList{question});
  EXPECT_TRUE(Started());

  // The prefix is the build's own: no question.
  std::ofstream(prefix / ".update-timestamp") << "1600000000\n";
  dialogs.ClearRecorded();
  launcher->MenuPlayClick();
  EXPECT_TRUE(Started());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

// Discovery and start together: each manager's files as it writes them, found in a home folder, decide how
// the game and LoTATC start; the game's command lines stay as they are.
class ManagerLaunchTest : public LaunchTest {
 protected:
  struct Expected {
    fs::path program;
    std::vector<std::string> before;                             // the arguments before the program's own
    std::vector<std::pair<std::string, std::string>> variables;  // some the manager sets
    bool separated = false;  // bottles-cli takes the program's arguments after "--"
  };

  // Starts the game (alone and as a client) and LoTATC's client in `managed`, found through `home`.
  void ExpectStarts(const test::ManagerHome& home, const test::ManagedPrefix& managed,
                    const Expected& expected) {
    const fs::path lotatc = managed.prefix / "drive_c/LoTATC/LoTATC.exe";
    fs::create_directories(lotatc.parent_path());
    std::ofstream(lotatc) << "MZ";
    std::ofstream(managed.prefix / "system.reg", std::ios::app)
        << "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\LOTATC] 1\n"
           "\"UninstallString\"=\"C:\\\\LoTATC\\\\uninst.exe\"\n";
    const test::ScopedEnv prefixVariable("WINEPREFIX", managed.prefix.c_str());
    WineRegistry registry(managed.prefix);
    const ScopedRegistryStore installed(registry);
    const std::string gameFolder = managed.gameFolder.string() + "/";
    TLauncher launcher(TLauncher::Collaborators{
        window->GameFiles(), dialogs, [this](const QString& key) { return window->LookupMessage(key); },
        window->Settings(), gameFolder, [](OptionToggle) { return false; }, window->Commands(), StartInPrefix,
        [&home](const fs::path& prefix) { return RunnerOfPrefix(prefix, home.Home(), home.Places()); }});
    launcher.DetectCompanions();
    dialogs.ClearRecorded();

    const std::string game = GamePath(gameFolder, "LockOn.exe").string();
    struct Start {
      std::function<void()> command;
      std::string program;
      std::vector<std::string> arguments;
    };
    const Start starts[] = {
        {[&] { launcher.MenuPlayClick(); }, game, {}},
        {[&] {
           dialogs.QueueText("pw");
           launcher.JoinServer("10.0.0.1");
         },
         game,
         {"-client", "serverip=10.0.0.1", "playername=Ace", "roompassword=pw"}},
        {[&] { launcher.MenuLOTATCClientClick(); }, lotatc.string(), {}},
    };
    for (const Start& start : starts) {
      start.command();
      const std::optional<test::StubRecord> started = test::WaitForStubRecord(record);
      fs::remove(record);
      ASSERT_TRUE(started) << Recorded();
      std::vector<std::string> arguments = expected.before;
      arguments.push_back(start.program);
      if (expected.separated && !start.arguments.empty()) arguments.push_back("--");
      arguments.insert(arguments.end(), start.arguments.begin(), start.arguments.end());
      EXPECT_EQ(started->program, expected.program.string());
      EXPECT_EQ(started->arguments, arguments);
      for (const auto& [name, value] : expected.variables) EXPECT_EQ(started->Variable(name), value) << name;
    }
    EXPECT_EQ(Shown().join('\n').toStdString(), ("Input: " + Message("PasswordEmpty")).toStdString());
  }

  test::PlaceExecutable Stub() const {
    return [this](const fs::path& path) { test::WriteStubRunner(path, record); };
  }

  test::TempFolder records;
  fs::path record = records / "record";
  test::ScopedEnv noWine{"WINE", nullptr};
  test::ScopedEnv locale{"LC_ALL", "C.UTF-8"};
};

TEST_F(ManagerLaunchTest, EachManagersGameAndLotatcStartAsTheManagerStartsThem) {
  SetPlayer("Ace", "8");
  {
    SCOPED_TRACE("Lutris");
    const test::ManagerHome home(Stub());
    const test::ManagedPrefix managed = home.AddLutrisGame({});
    ExpectStarts(home, managed,
                 {managed.build,
                  {},
                  {{"WINEPREFIX", managed.prefix.string()},
                   {"WINEESYNC", "1"},
                   {"WINEDLLOVERRIDES", "d3d9,d3d10core,d3d11,dxgi=n"}}});
  }
  {
    SCOPED_TRACE("Bottles, through bottles-cli");
    const test::ManagerHome home(Stub());
    test::BottleSetup setup;
    setup.cli = true;
    const test::ManagedPrefix managed = home.AddBottle(setup);
    ExpectStarts(home, managed, {managed.command, {"run", "-b", "Games", "-e"}, {}, true});
  }
  {
    SCOPED_TRACE("Bottles as a Flatpak, through its bottles-cli");
    const test::ManagerHome home(Stub());
    test::BottleSetup setup;
    setup.cli = true;
    setup.flatpak = true;
    const test::ManagedPrefix managed = home.AddBottle(setup);
    ExpectStarts(home, managed,
                 {managed.command,
                  {"run", "--command=bottles-cli", "com.usebottles.bottles", "run", "-b", "Games", "-e"},
                  {},
                  true});
  }
  {
    SCOPED_TRACE("Bottles without bottles-cli: the bottle's runner");
    const test::ManagerHome home(Stub());
    const test::ManagedPrefix managed = home.AddBottle({});
    ExpectStarts(home, managed, {managed.build, {}, {{"WINEPREFIX", managed.prefix.string()}}});
  }
  {
    SCOPED_TRACE("Steam's Proton");
    const test::ManagerHome home(Stub());
    const test::ManagedPrefix managed = home.AddSteamApp({});
    ExpectStarts(home, managed,
                 {managed.build,
                  {"run"},
                  {{"STEAM_COMPAT_DATA_PATH", fs::canonical(managed.prefix.parent_path()).string()}}});
  }
  {
    SCOPED_TRACE("A prefix no manager keeps: the system's wine, the first on the PATH");
    const test::ManagerHome home(Stub());
    const test::ManagedPrefix managed = home.MakePrefix(home / ".wine");
    fs::create_directories(home / "bin");
    test::WriteStubRunner(home / "bin/wine", record);
    const std::string path = (home / "bin").string() + ":/usr/bin:/bin";
    const test::ScopedEnv systemPath("PATH", path.c_str());
    ExpectStarts(home, managed, {home / "bin/wine", {}, {{"WINEPREFIX", managed.prefix.string()}}});
  }
  {
    SCOPED_TRACE("PlayOnLinux");
    const test::ManagerHome home(Stub());
    const test::ManagedPrefix managed = home.AddPlayOnLinuxPrefix({});
    ExpectStarts(home, managed, {managed.build, {}, {{"WINEPREFIX", managed.prefix.string()}}});
  }
}

}  // namespace
}  // namespace kesta
