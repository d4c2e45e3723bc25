// The runner of each manager's prefix, read from the manager's records in a temporary home written as
// the manager writes them, with the builds' executables in place or deleted.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>

#include "platform/prefix_runner.h"
#include "platform/wine_prefixes.h"
#include "support/forked_run.h"
#include "support/manager_homes.h"
#include "support/stub_runner.h"

namespace kesta {

void PrintTo(const PrefixRunner& runner, std::ostream* out) {
  *out << "{manager " << static_cast<int>(runner.manager) << ", kind " << static_cast<int>(runner.kind)
       << ", name \"" << runner.name << "\", build \"" << runner.build << "\", executable "
       << runner.executable << ", command [";
  for (const std::string& part : runner.command) *out << " " << part;
  *out << " ], environment [";
  for (const auto& [name, value] : runner.environment) *out << " " << name << "=" << value;
  *out << " ], missing " << runner.buildMissing << ", buildWine " << runner.buildWine << "}";
}

namespace {

namespace fs = std::filesystem;
using test::ManagedPrefix;
using test::ManagerHome;

using Variables = std::vector<std::pair<std::string, std::string>>;

const std::string kDxvk = "d3d9,d3d10core,d3d11,dxgi=n";

// The runner found for the prefix both ways: by the search of every prefix and by the prefix alone.
PrefixRunner RunnerFound(const ManagerHome& home, const fs::path& prefix) {
  const PrefixRunner direct = RunnerOfPrefix(prefix, home.Home(), home.Places());
  for (const WinePrefix& found : FindWinePrefixes(home.Home(), std::nullopt, home.Places()))
    if (found.path == prefix) {
      EXPECT_EQ(found.runner, direct) << "the search and RunnerOfPrefix disagree";
      return direct;
    }
  ADD_FAILURE() << "the search did not list " << prefix;
  return direct;
}

// ---- Lutris

struct LutrisCase {
  const char* what;
  test::LutrisSetup setup;
  std::function<void(const ManagerHome&)> more;  // further files, written after the set-up's
  // The expected runner from the home folder, the prefix and the build placed.
  std::function<PrefixRunner(const fs::path& home, const ManagedPrefix&)> expected;
};

// A runner of kind Wine: `wine` is its executable and build.
PrefixRunner WineRunner(PrefixManager manager, const std::string& name, const std::string& build,
                        const fs::path& wine, Variables environment, bool missing = false) {
  PrefixRunner runner;
  runner.manager = manager;
  runner.name = name;
  runner.build = build;
  runner.executable = wine;
  runner.buildWine = wine;
  runner.environment = std::move(environment);
  runner.buildMissing = missing;
  return runner;
}

PrefixRunner Lutris(const std::string& build, const fs::path& wine, Variables environment,
                    bool missing = false) {
  return WineRunner(PrefixManager::Lutris, "lock-on-1700000000", build, wine, std::move(environment),
                    missing);
}

// What Lutris sets for a win64 game by its defaults: esync, fsync and DXVK on.
Variables LutrisDefaults(const fs::path& wine, const std::string& overrides = kDxvk) {
  return {{"WINEARCH", "win64"},
          {"WINE", wine.string()},
          {"WINEESYNC", "1"},
          {"WINEFSYNC", "1"},
          {"WINEDLLOVERRIDES", overrides}};
}

fs::path LutrisWine(const fs::path& home, const std::string& version) {
  return home / ".local/share/lutris/runners/wine" / version / "bin/wine";
}

TEST(PrefixRunnerTest, LutrisGameWithItsBuildAndEnvironment) {
  const std::string ge = "lutris-GE-Proton8-26-x86_64";
  const std::vector<LutrisCase> cases = {
      {"DXVK, esync and fsync on by Lutris's defaults",
       {},
       {},
       [&](const fs::path&, const ManagedPrefix& made) {
         return Lutris(ge, made.build, LutrisDefaults(made.build));
       }},
      {"DXVK, esync off; the game's overrides and variables; WINEPREFIX is not the manager's to move",
       {.arch = "win32",
        .wine = {{"dxvk", "false"}, {"esync", "false"}, {"fsync", "true"}},
        .overrides = {{"d3dx9_43", "n,b"}, {"bad;name", "n"}, {"xinput1_3", "disabled"}},
        .env = {{"DXVK_HUD", "fps"}, {"WINEPREFIX", "/elsewhere"}, {"WINEESYNC", "'1'"}}},
       {},
       [&](const fs::path&, const ManagedPrefix& made) {
         return Lutris(ge, made.build,
                       {{"WINEARCH", "win32"},
                        {"WINE", made.build.string()},
                        {"WINEESYNC", "1"},
                        {"WINEFSYNC", "1"},
                        {"WINEDLLOVERRIDES", "d3dx9_43=n,b;xinput1_3=disabled"},
                        {"DXVK_HUD", "fps"}});
       }},
      {"an override of a DXVK library wins over DXVK's",
       {.overrides = {{"d3d11", "b"}}},
       {},
       [&](const fs::path&, const ManagedPrefix& made) {
         return Lutris(ge, made.build, LutrisDefaults(made.build, "d3d11=b;d3d9,d3d10core,dxgi=n"));
       }},
      {"the game level over the runner level, key by key",
       {.arch = "",
        .wine = {{"esync", "true"}},
        .runnerYaml =
            "system:\n  env:\n    FROM: runner\nwine:\n  dxvk: false\n  esync: false\n  fsync: false\n"
            "  version: lutris-7.2\n"},
       {},
       [&](const fs::path&, const ManagedPrefix& made) {
         return Lutris(
             ge, made.build,
             {{"WINE", made.build.string()}, {"WINEESYNC", "1"}, {"WINEFSYNC", "0"}, {"FROM", "runner"}});
       }},
      {"the build named at the runner level only, games and runners under ~/.local/share/lutris",
       {.version = "", .runnerYaml = "wine:\n  version: lutris-7.2-2-x86_64\n", .dataFolder = true},
       [](const ManagerHome& home) {
         home.MakeWineBuild(home / ".local/share/lutris/runners/wine/lutris-7.2-2-x86_64");
       },
       [&](const fs::path& home, const ManagedPrefix&) {
         const fs::path wine = LutrisWine(home, "lutris-7.2-2-x86_64");
         return Lutris("lutris-7.2-2-x86_64", wine, LutrisDefaults(wine));
       }},
      {"a deleted build is named, never replaced",
       {.installBuild = false},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Lutris(ge, LutrisWine(home, ge), LutrisDefaults(LutrisWine(home, ge)), true);
       }},
      {"Lutris's \"system\" build is the system's Wine",
       {.version = "system", .wine = {{"dxvk", "false"}}},
       {},
       [&](const fs::path&, const ManagedPrefix&) {
         return Lutris("system", {}, {{"WINEARCH", "win64"}, {"WINEESYNC", "1"}, {"WINEFSYNC", "1"}});
       }},
      {"a custom build",
       {.version = "custom", .wine = {{"custom_wine_path", "~/wine-tkg/bin/wine"}, {"dxvk", "false"}}},
       [](const ManagerHome& home) { home.MakeWineBuild(home / "wine-tkg"); },
       [&](const fs::path& home, const ManagedPrefix&) {
         return Lutris("custom", home / "wine-tkg/bin/wine",
                       {{"WINEARCH", "win64"},
                        {"WINE", (home / "wine-tkg/bin/wine").string()},
                        {"WINEESYNC", "1"},
                        {"WINEFSYNC", "1"}});
       }},
      {"a build name leading out of the builds' folder names no build",
       {.version = "../../../../usr", .wine = {{"dxvk", "false"}}, .installBuild = false},
       {},
       [&](const fs::path&, const ManagedPrefix&) {
         return Lutris("../../../../usr", {}, {{"WINEARCH", "win64"}, {"WINEESYNC", "1"}, {"WINEFSYNC", "1"}},
                       true);
       }},
  };
  for (const LutrisCase& c : cases) {
    SCOPED_TRACE(c.what);
    ManagerHome home;
    const ManagedPrefix made = home.AddLutrisGame(c.setup);
    if (c.more) c.more(home);
    EXPECT_EQ(RunnerFound(home, made.prefix), c.expected(home.Home(), made));
  }
}

// A build's bin/wine may be a link to another Wine (the system's): it counts while what it leads to is
// there, and is missing once that is gone.
TEST(PrefixRunnerTest, LutrisBuildLinkedToAnotherWine) {
  test::TempFolder elsewhere;
  const fs::path wine = elsewhere / "bin/wine";
  fs::create_directories(wine.parent_path());
  test::PlaceIdleScript(wine);
  ManagerHome home(test::PlaceLinkTo(wine));
  const ManagedPrefix made = home.AddLutrisGame({.version = "system-wine-link"});
  ASSERT_TRUE(fs::is_symlink(made.build));
  EXPECT_EQ(RunnerFound(home, made.prefix),
            Lutris("system-wine-link", made.build, LutrisDefaults(made.build)));
  fs::remove(wine);
  EXPECT_TRUE(RunnerFound(home, made.prefix).buildMissing);
}

// Games sharing a prefix: the one that runs LockOn.exe gives the prefix its name and runner.
TEST(PrefixRunnerTest, LutrisGameRunningLockOnOwnsASharedPrefix) {
  ManagerHome home;
  const ManagedPrefix made = home.AddLutrisGame({.version = "lutris-7.2"});
  home.MakeWineBuild(home / ".local/share/lutris/runners/wine/lutris-6.0");
  std::ofstream(home / ".config/lutris/games/a-lotatc-1600000000.yml")
      << "game:\n  exe: " << (made.prefix / "drive_c/LoTATC/LoTATC.exe").string()
      << "\n  prefix: " << made.prefix.string() << "\nwine:\n  version: lutris-6.0\n";
  const std::vector<WinePrefix> found = FindWinePrefixes(home.Home(), std::nullopt, home.Places());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "lock-on-1700000000");
  EXPECT_EQ(found[0].runner.build, "lutris-7.2");
  EXPECT_EQ(RunnerOfPrefix(made.prefix, home.Home(), home.Places()).build, "lutris-7.2");
}

// ---- Bottles

struct BottleCase {
  const char* what;
  test::BottleSetup setup;
  std::function<PrefixRunner(const fs::path& home, const ManagedPrefix&)> expected;
};

PrefixRunner Bottle(const std::string& build, const fs::path& wine, Variables environment,
                    bool missing = false) {
  return WineRunner(PrefixManager::Bottles, "Games", build, wine, std::move(environment), missing);
}

PrefixRunner BottlesCli(const std::string& name, const std::string& build, const fs::path& wine,
                        std::vector<std::string> command, bool missing = false) {
  PrefixRunner runner = WineRunner(PrefixManager::Bottles, name, build, {}, {}, missing);
  runner.kind = RunnerKind::BottlesCli;
  runner.buildWine = wine;
  runner.command = std::move(command);
  return runner;
}

TEST(PrefixRunnerTest, BottleWithItsRunnerOrBottlesCli) {
  const std::string flatpakData = ".var/app/com.usebottles.bottles/data/bottles";
  const std::vector<BottleCase> cases = {
      {"the bottle's runner, DXVK and fsync",
       {},
       [](const fs::path&, const ManagedPrefix& made) {
         return Bottle("soda-7.0-9", made.build, {{"WINEDLLOVERRIDES", kDxvk}, {"WINEFSYNC", "1"}});
       }},
      {"its overrides and variables, esync, no DXVK",
       {.dxvk = false,
        .sync = "esync",
        .dllOverrides = {{"d3dcompiler_47", "n"}},
        .environment = {{"DXVK_ASYNC", "'1'"}, {"WINEESYNC", "'0'"}}},
       [](const fs::path&, const ManagedPrefix& made) {
         return Bottle("soda-7.0-9", made.build,
                       {{"WINEDLLOVERRIDES", "d3dcompiler_47=n"}, {"WINEESYNC", "0"}, {"DXVK_ASYNC", "1"}});
       }},
      {"a sys-* runner is the system's Wine",
       {.runner = "sys-wine-9.0", .dxvk = false, .sync = "wine"},
       [](const fs::path&, const ManagedPrefix&) { return Bottle("sys-wine-9.0", {}, {}); }},
      {"a deleted runner is named",
       {.installRunner = false},
       [](const fs::path& home, const ManagedPrefix&) {
         const fs::path wine = home / ".local/share/bottles/runners/soda-7.0-9/bin/wine";
         return Bottle("soda-7.0-9", wine, {{"WINEDLLOVERRIDES", kDxvk}, {"WINEFSYNC", "1"}}, true);
       }},
      {"bottles-cli on the PATH",
       {.cli = true},
       [](const fs::path& home, const ManagedPrefix& made) {
         return BottlesCli("Games", "soda-7.0-9", made.build, {(home / "bin/bottles-cli").string()});
       }},
      {"bottles-cli with a deleted runner",
       {.installRunner = false, .cli = true},
       [](const fs::path& home, const ManagedPrefix&) {
         return BottlesCli("Games", "soda-7.0-9", home / ".local/share/bottles/runners/soda-7.0-9/bin/wine",
                           {(home / "bin/bottles-cli").string()}, true);
       }},
      {"the Flatpak's bottle, the Flatpak installed",
       {.flatpak = true, .cli = true},
       [](const fs::path& home, const ManagedPrefix& made) {
         return BottlesCli(
             "Games", "soda-7.0-9", made.build,
             {(home / "bin/flatpak").string(), "run", "--command=bottles-cli", "com.usebottles.bottles"});
       }},
      {"the Flatpak's bottle without the Flatpak: its runner",
       {.flatpak = true},
       [&](const fs::path& home, const ManagedPrefix&) {
         const fs::path wine = home / flatpakData / "runners/soda-7.0-9/bin/wine";
         return Bottle("soda-7.0-9", wine, {{"WINEDLLOVERRIDES", kDxvk}, {"WINEFSYNC", "1"}});
       }},
  };
  for (const BottleCase& c : cases) {
    SCOPED_TRACE(c.what);
    ManagerHome home;
    const ManagedPrefix made = home.AddBottle(c.setup);
    EXPECT_EQ(RunnerFound(home, made.prefix), c.expected(home.Home(), made));
  }

  // bottles-cli serves native bottles only, the Flatpak's command the Flatpak's bottles only.
  ManagerHome home;
  const ManagedPrefix native = home.AddBottle({.cli = false});
  home.AddBottle({.name = "Other", .flatpak = true, .cli = true});
  EXPECT_EQ(RunnerOfPrefix(native.prefix, home.Home(), home.Places()).kind, RunnerKind::Wine);

  // An empty or relative PATH entry would run whatever our working folder holds: never searched.
  test::PlaceIdleScript(home / "bin/bottles-cli");
  const fs::path before = fs::current_path();
  fs::current_path(home.Home());
  ManagerPlaces relative = home.Places();
  relative.path = "bin::.";
  const RunnerKind kind = RunnerOfPrefix(native.prefix, home.Home(), relative).kind;
  fs::current_path(before);
  EXPECT_EQ(kind, RunnerKind::Wine);
  EXPECT_EQ(RunnerOfPrefix(native.prefix, home.Home(), home.Places()).kind, RunnerKind::BottlesCli);
}

// ---- Steam

struct SteamCase {
  const char* what;
  test::SteamSetup setup;
  std::function<void(const ManagerHome&, const ManagedPrefix&)> more;
  std::function<PrefixRunner(const fs::path& home, const ManagedPrefix&)> expected;
};

PrefixRunner Proton(const fs::path& home, const fs::path& compatdata, const std::string& build,
                    const fs::path& root, const char* files, bool missing = false) {
  PrefixRunner runner;
  runner.manager = PrefixManager::Steam;
  runner.kind = RunnerKind::Proton;
  runner.name = compatdata.filename().string();
  runner.build = build;
  if (!root.empty()) {
    runner.executable = root / "proton";
    runner.buildWine = root / files / "bin/wine";
  }
  // Both by their real paths, as Steam gives them.
  runner.environment = {
      {"STEAM_COMPAT_DATA_PATH", fs::canonical(compatdata).string()},
      {"STEAM_COMPAT_CLIENT_INSTALL_PATH", fs::canonical(home / ".local/share/Steam").string()}};
  runner.buildMissing = missing;
  return runner;
}

TEST(PrefixRunnerTest, SteamAppWithTheProtonThatSetItUp) {
  const fs::path steam = ".local/share/Steam";
  const fs::path compatdata = steam / "steamapps/compatdata/3141592653";
  const std::vector<SteamCase> cases = {
      {"Proton from steamapps/common",
       {},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "Proton 8.0", home / steam / "steamapps/common/Proton 8.0",
                       "files");
       }},
      {"GE-Proton from compatibilitytools.d",
       {.build = "GE-Proton8-26", .compatibilityTools = true},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "GE-Proton8-26",
                       home / steam / "compatibilitytools.d/GE-Proton8-26", "files");
       }},
      {"an old build with dist/",
       {.build = "Proton 4.11", .dist = true},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "Proton 4.11", home / steam / "steamapps/common/Proton 4.11",
                       "dist");
       }},
      {"a prefix in a second library",
       {.secondLibrary = true},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / "Games/SteamLibrary/steamapps/compatdata/3141592653", "Proton 8.0",
                       home / steam / "steamapps/common/Proton 8.0", "files");
       }},
      {"a deleted build is named",
       {.installBuild = false},
       {},
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "Proton 8.0", home / steam / "steamapps/common/Proton 8.0",
                       "files", true);
       }},
      {"the proton script gone, its wine left",
       {},
       [](const ManagerHome&, const ManagedPrefix& made) { fs::remove(made.build); },
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "Proton 8.0", home / steam / "steamapps/common/Proton 8.0",
                       "files", true);
       }},
      {"no config_info: never set up by Proton, no build to name",
       {},
       [](const ManagerHome&, const ManagedPrefix& made) {
         fs::remove(made.prefix.parent_path() / "config_info");
       },
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "", {}, "", true);
       }},
      {"a config_info line that is no build's fonts folder",
       {},
       [](const ManagerHome&, const ManagedPrefix& made) {
         std::ofstream(made.prefix.parent_path() / "config_info") << "8.0-104\n/usr/share/fonts/\n";
       },
       [&](const fs::path& home, const ManagedPrefix&) {
         return Proton(home, home / compatdata, "", {}, "", true);
       }},
  };
  for (const SteamCase& c : cases) {
    SCOPED_TRACE(c.what);
    ManagerHome home;
    const ManagedPrefix made = home.AddSteamApp(c.setup);
    if (c.more) c.more(home, made);
    // Found through ~/.steam/steam, Steam's link to its folder, and named by its real path.
    const fs::path prefix =
        c.setup.secondLibrary ? made.prefix : home / ".steam/steam/steamapps/compatdata/3141592653/pfx";
    EXPECT_EQ(RunnerFound(home, prefix), c.expected(home.Home(), made));
  }
}

// ---- PlayOnLinux

TEST(PrefixRunnerTest, PlayOnLinuxPrefixWithItsVersionAndArchitecture) {
  struct Case {
    const char* what;
    test::PlayOnLinuxSetup setup;
    const char* wine;  // below ~/.PlayOnLinux/wine/, "" for the system's
    bool missing;
  };
  const std::vector<Case> cases = {
      {"amd64", {}, "linux-amd64/7.0/bin/wine", false},
      {"x86", {.version = "4.0", .arch = "x86"}, "linux-x86/4.0/bin/wine", false},
      {"no ARCH is x86", {.version = "4.0", .arch = ""}, "linux-x86/4.0/bin/wine", false},
      {"an empty VERSION is the system's Wine", {.version = ""}, "", false},
      {"a deleted build is named", {.installBuild = false}, "linux-amd64/7.0/bin/wine", true},
      {"a version leading elsewhere names no build", {.version = "..", .installBuild = false}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ManagerHome home;
    const ManagedPrefix made = home.AddPlayOnLinuxPrefix(c.setup);
    PrefixRunner expected;
    expected.manager = PrefixManager::PlayOnLinux;
    expected.name = "LockOn";
    expected.build = c.setup.version;
    if (*c.wine) expected.executable = expected.buildWine = home / ".PlayOnLinux/wine" / c.wine;
    expected.buildMissing = c.missing;
    EXPECT_EQ(RunnerFound(home, made.prefix), expected);
  }
}

// ---- Any prefix

TEST(PrefixRunnerTest, PrefixesNoManagerKeepsRunTheSystemsWineAndKeptOnesAreFoundByAnyPath) {
  ManagerHome home;
  const ManagedPrefix plain = home.MakePrefix(home / ".wine");
  const ManagedPrefix chosen = home.MakePrefix(home / "Games/chosen");
  const ManagedPrefix lutris = home.AddLutrisGame({.version = "lutris-7.2"});
  EXPECT_EQ(RunnerOfPrefix(plain.prefix, home.Home(), home.Places()), PrefixRunner());
  EXPECT_EQ(RunnerOfPrefix(chosen.prefix, home.Home(), home.Places()), PrefixRunner());
  EXPECT_EQ(RunnerOfPrefix(home / "nowhere", home.Home(), home.Places()), PrefixRunner());

  // The same folder through a link, with a trailing separator, or as $WINEPREFIX keeps its manager.
  fs::create_directory_symlink(lutris.prefix, home / "link");
  const PrefixRunner runner = RunnerOfPrefix(lutris.prefix, home.Home(), home.Places());
  EXPECT_EQ(runner.manager, PrefixManager::Lutris);
  EXPECT_EQ(RunnerOfPrefix(home / "link", home.Home(), home.Places()), runner);
  EXPECT_EQ(RunnerOfPrefix(lutris.prefix.string() + "/", home.Home(), home.Places()), runner);
  const std::vector<WinePrefix> found = FindWinePrefixes(home.Home(), home / "link", home.Places());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, home / "link");
  EXPECT_EQ(found[0].runner, runner);
  EXPECT_EQ(found[1].path, home / ".wine");
  EXPECT_EQ(found[1].runner, PrefixRunner());
}

// The managers' files are theirs: a FIFO, a folder or a huge or broken file under their names stops
// nothing, throws nothing and makes nothing wait; the runner says what it could not learn.
TEST(PrefixRunnerTest, FifosHugeAndBrokenManagerFilesNeitherStopNorStallTheSearch) {
  ManagerHome home;
  const ManagedPrefix lutris = home.AddLutrisGame({.wine = {{"dxvk", "false"}}});
  fs::create_directories(home / ".config/lutris/runners");
  ASSERT_EQ(::mkfifo((home / ".config/lutris/runners/wine.yml").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((home / ".config/lutris/games/fifo.yml").c_str(), 0600), 0);
  fs::create_directories(home / ".config/lutris/games/folder.yml");
  // Broken YAML and a line far longer than any: the readable keys still count.
  home.MakePrefix(home / "Games/broken");
  std::ofstream(home / ".config/lutris/games/broken.yml")
      << "game:\n  exe: '" << std::string(500000, 'x') << "\n  prefix: " << (home / "Games/broken").string()
      << "\n\tjunk: x\n  : :\n- - -\nwine:\n  version: [unclosed\n";
  // Above the size any manager's file has: not read at all.
  home.MakePrefix(home / "Games/huge");
  std::ofstream(home / ".config/lutris/games/huge.yml")
      << "game:\n  prefix: " << (home / "Games/huge").string() << "\n#" << std::string(2 << 20, 'x') << "\n";
  const ManagedPrefix bottle = home.AddBottle({});
  fs::remove(bottle.prefix / "bottle.yml");
  ASSERT_EQ(::mkfifo((bottle.prefix / "bottle.yml").c_str(), 0600), 0);
  const ManagedPrefix steam = home.AddSteamApp({});
  fs::remove(steam.prefix.parent_path() / "config_info");
  ASSERT_EQ(::mkfifo((steam.prefix.parent_path() / "config_info").c_str(), 0600), 0);
  const ManagedPrefix playOnLinux = home.AddPlayOnLinuxPrefix({});
  fs::remove(playOnLinux.prefix / "playonlinux.cfg");
  fs::create_directories(playOnLinux.prefix / "playonlinux.cfg");

  // In a child process, so that a search waiting on a FIFO fails the test instead of hanging it.
  const std::optional<int> status = test::ExitStatusInChild(
      [&] {
        std::map<fs::path, PrefixRunner> runners;
        for (WinePrefix& prefix : FindWinePrefixes(home.Home(), std::nullopt, home.Places()))
          runners[prefix.path] = prefix.runner;
        if (runners.size() != 5) return 4;
        const PrefixRunner& game = runners[lutris.prefix];  // its game level alone
        if (game.build != "lutris-GE-Proton8-26-x86_64" || game.buildMissing || game.environment.size() != 4)
          return 5;
        const PrefixRunner& broken = runners[home / "Games/broken"];
        if (broken.manager != PrefixManager::Lutris || broken.build != "[unclosed") return 6;
        if (!runners[bottle.prefix].buildMissing || runners[bottle.prefix].build != "") return 7;
        if (!runners[home / ".steam/steam/steamapps/compatdata/3141592653/pfx"].buildMissing) return 8;
        const PrefixRunner& pol = runners[playOnLinux.prefix];
        if (pol.manager != PrefixManager::PlayOnLinux || !pol.executable.empty() || pol.buildMissing)
          return 9;
        if (RunnerOfPrefix(home / "Games/huge", home.Home(), home.Places()) != PrefixRunner()) return 10;
        return 0;
      },
      std::chrono::seconds(60));
  ASSERT_TRUE(status) << "the search waited on a FIFO or ended abnormally";
  EXPECT_EQ(*status, 0) << "3: it threw; 4: other prefixes; 5-10: the runner of the Lutris game, "
                           "the broken file, the bottle, the Steam app, PlayOnLinux, the huge file";
}

TEST(PrefixRunnerTest, DescribedInOneLine) {
  const std::vector<std::pair<PrefixRunner, std::string>> cases = {
      {PrefixRunner(), "system wine"},
      {test::MakeRunner(PrefixManager::Lutris, RunnerKind::Wine, "lock-on", "lutris-GE-Proton8-26",
                        "/l/bin/wine"),
       "Lutris: wine lutris-GE-Proton8-26"},
      {test::MakeRunner(PrefixManager::Lutris, RunnerKind::Wine, "lock-on", "lutris-7.2", "/l/bin/wine", {},
                        {}, true),
       "Lutris: wine lutris-7.2 (missing)"},
      {test::MakeRunner(PrefixManager::Lutris, RunnerKind::Wine, "lock-on", "system", ""),
       "Lutris: system wine"},
      {test::MakeRunner(PrefixManager::Bottles, RunnerKind::BottlesCli, "Games", "soda-7.0-9", "",
                        {"/usr/bin/bottles-cli"}),
       "Bottles: bottles-cli (bottle Games)"},
      {test::MakeRunner(PrefixManager::Bottles, RunnerKind::BottlesCli, "Games", "soda-7.0-9", "",
                        {"/usr/bin/flatpak", "run", "--command=bottles-cli", "com.usebottles.bottles"}, {},
                        true),
       "Bottles: flatpak bottles-cli (bottle Games), runner soda-7.0-9 missing"},
      {test::MakeRunner(PrefixManager::Bottles, RunnerKind::Wine, "Games", "sys-wine-9.0", ""),
       "Bottles: system wine (sys-wine-9.0)"},
      {test::MakeRunner(PrefixManager::Bottles, RunnerKind::Wine, "Games", "", "", {}, {}, true),
       "Bottles: wine build not recorded"},
      {test::MakeRunner(PrefixManager::Steam, RunnerKind::Proton, "700", "Proton 8.0",
                        "/s/Proton 8.0/proton"),
       "Steam: Proton 8.0"},
      {test::MakeRunner(PrefixManager::Steam, RunnerKind::Proton, "700", "", "", {}, {}, true),
       "Steam: Proton build not recorded"},
      {test::MakeRunner(PrefixManager::PlayOnLinux, RunnerKind::Wine, "LockOn", "7.0",
                        "/h/.PlayOnLinux/wine/linux-amd64/7.0/bin/wine"),
       "PlayOnLinux: wine 7.0 (amd64)"},
  };
  for (const auto& [described, expected] : cases) EXPECT_EQ(DescribeRunner(described), expected);
}

}  // namespace
}  // namespace kesta
