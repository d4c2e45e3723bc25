// Starting a program in a prefix through its runner, with stub runners that record how they were started;
// and the checks that keep a start from harming the prefix.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/processes.h"
#include "platform/wine_start.h"
#include "support/named_process.h"
#include "support/scoped_env.h"
#include "support/scoped_stdin.h"
#include "support/stub_runner.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using Variables = std::vector<std::pair<std::string, std::string>>;

void SetModified(const fs::path& file, std::int64_t seconds) {
  fs::last_write_time(
      file, fs::file_time_type::clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds))));
}

class PrefixStartTest : public testing::Test {
 protected:
  PrefixStartTest() {
    fs::create_directories(folder);
    std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n";
    std::ofstream(game) << "MZ";
    fs::create_directories(bin);
  }

  // A stub at `executable` that records into records/<name>.
  fs::path Stub(const fs::path& executable, const std::string& name) const {
    const fs::path record = root / "records" / name;
    test::WriteStubRunner(executable, record);
    return record;
  }
  // The record of a stub that must have run, removed for the next start.
  test::StubRecord Ran(const fs::path& record) const {
    const std::optional<test::StubRecord> found = test::WaitForStubRecord(record);
    EXPECT_TRUE(found) << record << " did not run";
    fs::remove(record);
    return found.value_or(test::StubRecord{});
  }
  // The program and the game's arguments, after `before`.
  std::vector<std::string> GameCommand(std::vector<std::string> before = {}) const {
    before.push_back(game.string());
    before.insert(before.end(), arguments.begin(), arguments.end());
    return before;
  }
  // A build as game managers keep one: bin/wine (a stub) and share/wine/wine.inf of that date.
  fs::path Build(const fs::path& root, std::int64_t wineInfDate, const std::string& record) const {
    Stub(root / "bin/wine", record);
    const fs::path wineInf = root / "share/wine/wine.inf";
    fs::create_directories(wineInf.parent_path());
    std::ofstream(wineInf) << "[Version]\n";
    SetModified(wineInf, wineInfDate);
    return root / "bin/wine";
  }
  PrefixRunner Lutris(const fs::path& wine) const {
    return test::MakeRunner(PrefixManager::Lutris, RunnerKind::Wine, "Lock On", "lutris-7.2", wine, {},
                            {{"WINEARCH", "win64"},
                             {"WINE", wine.string()},
                             {"WINEESYNC", "1"},
                             {"WINEFSYNC", "0"},
                             {"WINEDLLOVERRIDES", "winemenubuilder.exe=d;d3d9,d3d10core,d3d11,dxgi=n"},
                             {"MY_SETTING", "a b"}});
  }
  PrefixRunner Proton(const fs::path& build) const {
    return test::MakeRunner(PrefixManager::Steam, RunnerKind::Proton, "212510", "Proton 8.0",
                            build / "proton", {},
                            {{"STEAM_COMPAT_DATA_PATH", prefix.parent_path().string()},
                             {"STEAM_COMPAT_CLIENT_INSTALL_PATH", (root / "steam").string()}});
  }
  PrefixRunner Bottles(std::vector<std::string> command) const {
    return test::MakeRunner(PrefixManager::Bottles, RunnerKind::BottlesCli, "Lock On", "soda-7.0-9", {},
                            std::move(command));
  }

  test::TempFolder root;
  fs::path prefix = root / "steamapps/compatdata/212510/pfx";
  fs::path folder = prefix / "drive_c/Games/Lock On";
  fs::path game = folder / "LockOn.exe";
  fs::path bin = root / "bin";  // the PATH, with the tools the stubs use
  const std::vector<std::string> arguments{"-server",
                                           "playername=\xC3\x89mile\xC2\xA0"
                                           "Ace",
                                           "roomname=My  Server", "roompassword=", "maxplayers=16"};
  test::ScopedEnv path{"PATH", (bin.string() + ":/usr/bin:/bin").c_str()};
  test::ScopedEnv wine{"WINE", nullptr};
  test::ScopedEnv wineprefix{"WINEPREFIX", nullptr};
  test::ScopedEnv locale{"LC_ALL", "C.UTF-8"};
};

TEST_F(PrefixStartTest, StartsAsTheManagerOfThePrefixWould) {
  const fs::path protonBuild = root / "steamapps/common/Proton 8.0";
  Stub(protonBuild / "files/bin/wine", "proton-wine");  // the script's to run, never ours
  struct Case {
    std::string name;
    PrefixRunner runner;
    fs::path stub;
    std::vector<std::string> command;
    Variables environment;  // "<unset>": not set
  };
  const fs::path lutrisWine = root / "lutris/runners/wine/lutris-7.2/bin/wine";
  PrefixRunner protonWithoutItsFolder = Proton(protonBuild);
  protonWithoutItsFolder.environment.erase(protonWithoutItsFolder.environment.begin());
  const Case cases[] = {
      {"lutris",
       Lutris(lutrisWine),
       lutrisWine,
       GameCommand(),
       {{"WINEPREFIX", prefix.string()},
        {"WINEARCH", "win64"},
        {"WINE", lutrisWine.string()},
        {"WINEESYNC", "1"},
        {"WINEFSYNC", "0"},
        {"WINEDLLOVERRIDES", "winemenubuilder.exe=d;d3d9,d3d10core,d3d11,dxgi=n"},
        {"MY_SETTING", "a b"}}},
      {"system",
       test::MakeRunner(PrefixManager::PlayOnLinux, RunnerKind::Wine, "LockOn", ""),
       bin / "wine",
       GameCommand(),
       {{"WINEPREFIX", prefix.string()}}},
      {"bottles-cli",
       Bottles({"bottles-cli"}),
       bin / "bottles-cli",
       GameCommand({"run", "-b", "Lock On", "-e"}),
       {{"WINEPREFIX", "<unset>"}}},
      {"flatpak",
       Bottles({"flatpak", "run", "--command=bottles-cli", "com.usebottles.bottles"}),
       bin / "flatpak",
       GameCommand({"run", "--command=bottles-cli", "com.usebottles.bottles", "run", "-b", "Lock On", "-e"}),
       {}},
      {"proton",
       Proton(protonBuild),
       protonBuild / "proton",
       GameCommand({"run"}),
       {{"STEAM_COMPAT_DATA_PATH", prefix.parent_path().string()},
        {"STEAM_COMPAT_CLIENT_INSTALL_PATH", (root / "steam").string()},
        {"WINEPREFIX", "<unset>"}}},
      {"proton-without-data-path",
       protonWithoutItsFolder,
       protonBuild / "proton",
       GameCommand({"run"}),
       {{"STEAM_COMPAT_DATA_PATH", prefix.parent_path().string()}}},
  };
  const test::ScopedPipeStdin ourInput;  // never the game's
  for (const Case& c : cases) {
    const fs::path record = Stub(c.stub, c.name);
    ASSERT_EQ(StartInPrefix(c.runner, game.string(), arguments, folder, prefix), WineStartOutcome::Started)
        << c.name;
    const test::StubRecord started = Ran(record);
    std::vector<std::string> expected = c.command;
    // bottles-cli reads what follows "--" as the program's, "-server" included.
    if (c.runner.kind == RunnerKind::BottlesCli)
      expected.insert(expected.end() - static_cast<std::ptrdiff_t>(arguments.size()), "--");
    EXPECT_EQ(started.arguments, expected) << c.name;
    EXPECT_EQ(started.program, c.stub.string()) << c.name;
    EXPECT_EQ(started.folder, fs::canonical(folder)) << c.name;
    EXPECT_EQ(started.input, "/dev/null") << c.name;
    for (const auto& [name, value] : c.environment)
      EXPECT_EQ(started.Variable(name), value) << c.name << name;
    fs::remove(c.stub);
  }
  EXPECT_FALSE(test::StubRan(root / "records/proton-wine"));
}

TEST_F(PrefixStartTest, LocaleIsMadeUtf8WhereTheRunnerOrWeLeaveItOtherwise) {
  const fs::path record = Stub(bin / "wine", "wine");
  {
    test::ScopedEnv c("LC_ALL", "C");
    ASSERT_EQ(StartInPrefix({}, game.string(), arguments, folder, prefix), WineStartOutcome::Started);
    EXPECT_EQ(Ran(record).Variable("LC_ALL"), "C.UTF-8");
  }
  PrefixRunner runner;
  runner.environment = {{"LC_ALL", "POSIX"}};  // the player's variable in the manager
  ASSERT_EQ(StartInPrefix(runner, game.string(), arguments, folder, prefix), WineStartOutcome::Started);
  EXPECT_EQ(Ran(record).Variable("LC_ALL"), "C.UTF-8");
}

// $WINE is the player's explicit choice: it runs the program in the prefix whatever manager owns it,
// with the manager's Wine variables but none that name the manager's build.
TEST_F(PrefixStartTest, PlayersWineWinsOverEveryRunner) {
  const fs::path own = root / "own/bin/wine";
  const fs::path record = Stub(own, "own");
  test::ScopedEnv players("WINE", own.c_str());
  const fs::path lutrisWine = root / "lutris-7.2/bin/wine";
  const fs::path protonBuild = root / "Proton 8.0";
  const fs::path managers[] = {Stub(lutrisWine, "lutris"), Stub(protonBuild / "proton", "proton"),
                               Stub(protonBuild / "files/bin/wine", "proton-wine"),
                               Stub(bin / "bottles-cli", "bottles-cli")};
  PrefixRunner gone = Lutris(root / "deleted/bin/wine");
  gone.buildMissing = true;
  for (const PrefixRunner& runner :
       {Lutris(lutrisWine), Proton(protonBuild), Bottles({"bottles-cli"}), gone}) {
    ASSERT_EQ(StartInPrefix(runner, game.string(), arguments, folder, prefix), WineStartOutcome::Started)
        << runner.build;
    const test::StubRecord started = Ran(record);
    EXPECT_EQ(started.arguments, GameCommand()) << runner.build;
    EXPECT_EQ(started.Variable("WINEPREFIX"), prefix.string());
    EXPECT_EQ(started.Variable("WINE"), own.string()) << "the player's, not the manager's build";
    EXPECT_EQ(started.Variable("STEAM_COMPAT_DATA_PATH"), "<unset>");
    if (runner.manager == PrefixManager::Lutris) {
      EXPECT_EQ(started.Variable("WINEDLLOVERRIDES"), "winemenubuilder.exe=d;d3d9,d3d10core,d3d11,dxgi=n");
    }
  }
  for (const fs::path& manager : managers) EXPECT_FALSE(test::StubRan(manager)) << manager;
}

TEST_F(PrefixStartTest, MissingBuildIsNamedAndNoOtherWineStarts) {
  const fs::path system = Stub(bin / "wine", "system");
  PrefixRunner deleted = Lutris(root / "lutris/runners/wine/lutris-7.2/bin/wine");
  PrefixRunner recordedGone = deleted;
  deleted.buildMissing = true;  // as the manager's files showed it
  PrefixRunner protonGone = Proton(root / "steamapps/common/Proton 7.0");
  const PrefixRunner pol = test::MakeRunner(PrefixManager::PlayOnLinux, RunnerKind::Wine, "LockOn", "7.0-rc6",
                                            root / ".PlayOnLinux/wine/linux-x86/7.0-rc6/bin/wine");
  struct Case {
    PrefixRunner runner;
    WineStartOutcome outcome;
    std::string missing;
  };
  const Case cases[] = {
      {deleted, WineStartOutcome::BuildMissing,
       "lutris-7.2 (" + (root / "lutris/runners/wine/lutris-7.2/bin/wine").string() + ")"},
      {recordedGone, WineStartOutcome::BuildMissing,
       "lutris-7.2 (" + (root / "lutris/runners/wine/lutris-7.2/bin/wine").string() + ")"},
      {pol, WineStartOutcome::BuildMissing,
       "7.0-rc6 (" + (root / ".PlayOnLinux/wine/linux-x86/7.0-rc6/bin/wine").string() + ")"},
      {protonGone, WineStartOutcome::BuildMissing,
       "Proton 8.0 (" + (root / "steamapps/common/Proton 7.0/proton").string() + ")"},
      {Bottles({"bottles-cli"}), WineStartOutcome::CommandMissing, "bottles-cli"},
  };
  for (const Case& c : cases) {
    const StartCheck check = CheckStart(c.runner, game.string(), prefix, "");
    EXPECT_EQ(check.refusal, c.outcome) << c.missing;
    EXPECT_EQ(check.missing, c.missing);
    EXPECT_EQ(StartInPrefix(c.runner, game.string(), arguments, folder, prefix), c.outcome) << c.missing;
  }
  EXPECT_FALSE(test::StubRan(system));
}

TEST_F(PrefixStartTest, AsksBeforeABuildOtherThanThePrefixsOwnUpdatesIt) {
  constexpr std::int64_t kLutrisDate = 1600000000, kSystemDate = 1500000000;
  const fs::path lutrisWine = Build(root / "lutris-7.2", kLutrisDate, "lutris");
  // The system's wine on the PATH is a link into the build's folder, as Debian's alternatives are.
  const fs::path systemWine = Build(root / "usr", kSystemDate, "system");
  fs::create_symlink(systemWine, bin / "wine");
  const PrefixRunner lutris = Lutris(lutrisWine);
  const fs::path timestamp = prefix / ".update-timestamp";
  struct Case {
    const char* name;
    PrefixRunner runner;
    const char* stamp;  // nullptr: no file
    std::string wineOverride;
    std::optional<PrefixUpdate> expected;
  };
  const Case cases[] = {
      {"its own build", lutris, "1600000000\n", "", std::nullopt},
      {"made by the system's Wine", lutris, "1500000000\n", "",
       PrefixUpdate{kSystemDate, kLutrisDate, (bin / "wine").string()}},
      {"the system's Wine in a build's prefix",
       {},
       "1600000000\n",
       "",
       PrefixUpdate{kLutrisDate, kSystemDate, std::nullopt}},
      {"the system's Wine in its own", {}, "1500000000\n", "", std::nullopt},
      {"updates disabled", {}, "disable\n", "", std::nullopt},
      {"no record", lutris, nullptr, "", PrefixUpdate{std::nullopt, kLutrisDate, std::nullopt}},
      {"$WINE",
       {},
       "1500000000\n",
       lutrisWine.string(),
       PrefixUpdate{kSystemDate, kLutrisDate, (bin / "wine").string()}},
      {"Proton updates its own", Proton(root / "proton"), "1", "", std::nullopt},
  };
  Stub(root / "proton/proton", "proton");
  Build(root / "proton/files", 1700000000, "proton-wine");
  for (const Case& c : cases) {
    fs::remove(timestamp);
    if (c.stamp) std::ofstream(timestamp) << c.stamp;
    const StartCheck check = CheckStart(c.runner, game.string(), prefix, c.wineOverride);
    EXPECT_EQ(check.refusal, WineStartOutcome::Started) << c.name;
    ASSERT_EQ(check.prefixUpdate.has_value(), c.expected.has_value()) << c.name;
    if (!c.expected) continue;
    EXPECT_EQ(check.prefixUpdate->prefixStamp, c.expected->prefixStamp) << c.name;
    EXPECT_EQ(check.prefixUpdate->buildStamp, c.expected->buildStamp) << c.name;
    EXPECT_EQ(check.prefixUpdate->madeBy, c.expected->madeBy) << c.name;
  }
  // A prefix Wine has still to make, and a build without its wine.inf, leave nothing to compare.
  fs::remove(prefix / "system.reg");
  EXPECT_FALSE(CheckStart(lutris, game.string(), prefix, "").prefixUpdate);
  std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n";
  fs::remove(root / "lutris-7.2/share/wine/wine.inf");
  EXPECT_FALSE(CheckStart(lutris, game.string(), prefix, "").prefixUpdate);
  for (const char* stub : {"lutris", "system", "proton", "proton-wine"})
    EXPECT_FALSE(test::StubRan(root / "records" / stub)) << "checking starts nothing";
}

// A wineserver copy (sleep under that name) whose WINEPREFIX names the prefix, written as managers write it.
TEST_F(PrefixStartTest, AnotherBuildsWineserverInThePrefixStopsTheStart) {
  const fs::path lutrisWine = root / "lutris-7.2/bin/wine";
  const fs::path lutrisRecord = Stub(lutrisWine, "lutris");
  const PrefixRunner lutris = Lutris(lutrisWine);
  const fs::path protonBuild = root / "Proton 8.0";
  const fs::path protonRecord = Stub(protonBuild / "proton", "proton");
  Stub(protonBuild / "files/bin/wine", "proton-wine");
  const fs::path linked = root / "linked-prefix";
  fs::create_directory_symlink(prefix, linked);
  auto server = [&](const fs::path& executable, const fs::path& itsPrefix) {
    fs::create_directories(executable.parent_path());
    fs::copy_file("/bin/sleep", executable, fs::copy_options::overwrite_existing);
    return std::make_unique<test::NamedProcess>(executable.string(),
                                                std::vector<std::string>{"WINEPREFIX=" + itsPrefix.string()},
                                                executable.string());
  };

  {  // Debian names the system's wineserver64.
    const fs::path other = root / "usr/lib/wine/wineserver64";
    const auto running = server(other, prefix.string() + "/");
    ASSERT_TRUE(running->Started());
    const StartCheck check = CheckStart(lutris, game.string(), prefix, "");
    EXPECT_EQ(check.refusal, WineStartOutcome::OtherWineServer);
    EXPECT_EQ(check.otherServerPid, running->Pid());
    EXPECT_EQ(check.otherServer, other);
    EXPECT_EQ(check.wineLabel, "lutris-7.2 (" + lutrisWine.string() + ")");
    EXPECT_EQ(StartInPrefix(lutris, game.string(), arguments, folder, prefix),
              WineStartOutcome::OtherWineServer);
    EXPECT_EQ(StartInPrefix(Proton(protonBuild), game.string(), arguments, folder, prefix),
              WineStartOutcome::OtherWineServer);
    // Another prefix's server is no matter.
    EXPECT_EQ(CheckStart(lutris, game.string(), root / "elsewhere", "").refusal, WineStartOutcome::Started);
  }
  EXPECT_FALSE(test::StubRan(lutrisRecord));
  EXPECT_FALSE(test::StubRan(protonRecord));

  {  // The build's own server: the start goes on; Proton joins the running prefix.
    const auto running = server(lutrisWine.parent_path() / "wineserver", linked);
    const StartCheck check = CheckStart(lutris, game.string(), prefix, "");
    EXPECT_EQ(check.refusal, WineStartOutcome::Started);
    EXPECT_TRUE(check.prefixServed);
  }
  {
    const auto running = server(protonBuild / "files/bin/wineserver", prefix);
    ASSERT_EQ(StartInPrefix(Proton(protonBuild), game.string(), arguments, folder, prefix),
              WineStartOutcome::Started);
    EXPECT_EQ(Ran(protonRecord).arguments, GameCommand({"runinprefix"}));
  }
}

}  // namespace
}  // namespace kesta
