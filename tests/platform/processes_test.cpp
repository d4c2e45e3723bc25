#include "platform/processes.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/wine_start.h"
#include "support/named_process.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

TEST(ProcessName, TakesArgvZerosFileNameWithoutExtensionElseComm) {
  struct Case {
    const char *argv0, *comm, *expected;
  };
  const Case cases[] = {
      {"C:\\Games\\Lock On\\LockOn.exe", "LockOn.exe", "LOCKON"},
      {"/home/p/.wine/drive_c/Games/Lock On/lockon.EXE", "lockon.EXE", "LOCKON"},
      {"/usr/bin/opentrack", "opentrack", "OPENTRACK"},
      {"TrackIR5.exe", "TrackIR5.exe", "TRACKIR5"},
      {"", "LockOn.exe", "LOCKON"},        // argv[0] cleared: the kernel's name
      {"", "kworker/0:1", "KWORKER/0:1"},  // comm is no path
      {"C:\\x\\my.game.exe", "my.game.exe", "MY.GAME"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProcessName(c.argv0, c.comm), c.expected) << c.argv0;
}

TEST(FindProcess, SeesAWindowsProgramByArgvZeroWhileItRuns) {
  const std::string name = "KestaProbe" + std::to_string(::getpid());
  {
    test::NamedProcess windows("C:\\Games\\Lock On\\" + name + ".exe");
    ASSERT_TRUE(windows.Started());
    EXPECT_TRUE(FindProcess(name));
    EXPECT_TRUE(FindProcess("kestaprobe" + std::to_string(::getpid())));  // any letter case
    EXPECT_FALSE(FindProcess(name.substr(0, name.size() - 1)));           // a name it merely begins with
    test::NamedProcess native("/opt/tools/Native" + name);
    EXPECT_TRUE(FindProcess("Native" + name));
  }
  EXPECT_FALSE(FindProcess(name));
  EXPECT_FALSE(FindProcess("Native" + name));
}

TEST(FindProcess, CountsOnlyProcessesOfTheGivenPrefix) {
  test::TempFolder root;
  fs::create_directories(root / "game-prefix");
  fs::create_directories(root / "home/.wine");
  fs::create_directories(root / "other");
  const std::string name = "KestaGame" + std::to_string(::getpid());
  const std::string argv0 = "C:\\Games\\" + name + ".exe";

  test::NamedProcess inGamePrefix(argv0, {"WINEPREFIX=" + (root / "game-prefix").string()});
  EXPECT_TRUE(FindProcessInPrefix(name, root / "game-prefix"));
  EXPECT_FALSE(FindProcessInPrefix(name, root / "other"));
  inGamePrefix.Stop();
  EXPECT_FALSE(FindProcessInPrefix(name, root / "game-prefix"));

  test::NamedProcess inHomePrefix(argv0, {"HOME=" + (root / "home").string()});
  EXPECT_TRUE(FindProcessInPrefix(name, root / "home/.wine"));
  EXPECT_FALSE(FindProcessInPrefix(name, root / "game-prefix"));
}

// Game managers write the prefix their own way: Proton with a trailing slash, others through a link. A
// relative one Wine refuses, and it would name a folder relative to us, not to the game.
TEST(FindProcess, PrefixIsTheSameFolderHoweverItIsWritten) {
  test::TempFolder root;
  const fs::path prefix = root / "compatdata/212510/pfx";
  fs::create_directories(prefix);
  fs::create_directory_symlink(prefix, root / "link");
  const std::string name = "KestaManaged" + std::to_string(::getpid());
  struct Case {
    std::string written;
    bool found;
  };
  const Case cases[] = {
      {prefix.string() + "/", true},
      {(root / "link").string(), true},
      {(root / "link").string() + "/", true},
      {(root / "compatdata/212510/./pfx").string(), true},
      {fs::relative(prefix, fs::current_path()).string(), false},
  };
  for (const Case& c : cases) {
    test::NamedProcess game("C:\\Games\\" + name + ".exe", {"WINEPREFIX=" + c.written});
    ASSERT_TRUE(game.Started());
    EXPECT_EQ(FindProcessInPrefix(name, prefix), c.found) << c.written;
    EXPECT_EQ(FindProcessInPrefix(name, root / "link/"), c.found) << c.written;
  }
}

// Processes that end while the scan reads their files (even between opening one and reading it) must
// simply not match. Threads start and reap short-lived processes of the name looked for, so their
// environment is read too, while the scan runs for a few seconds.
TEST(FindProcess, ScanGoesOnWhileProcessesStartAndEnd) {
  const std::string name = "KestaChurn" + std::to_string(::getpid());
  std::atomic<bool> stop{false};
  auto churn = [&stop, argv0 = name]() mutable {
    char* argv[] = {argv0.data(), nullptr};
    while (!stop) {
      pid_t pid = 0;
      if (::posix_spawn(&pid, "/bin/true", nullptr, nullptr, argv, environ) == 0) ::waitpid(pid, nullptr, 0);
    }
  };
  std::vector<std::thread> churning;
  for (int thread = 0; thread < 6; ++thread) churning.emplace_back(churn);
  int scans = 0;
  std::string failure;
  for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
       std::chrono::steady_clock::now() < end && failure.empty(); ++scans) {
    try {
      if (FindProcessInPrefix(name, "/nonexistent-prefix")) failure = "matched another prefix";
    } catch (const std::exception& error) {
      failure = error.what();
    }
  }
  stop = true;
  for (std::thread& thread : churning) thread.join();
  EXPECT_EQ(failure, "") << "after " << scans << " scans";
  EXPECT_TRUE(FindProcess("kesta_core_tests"));  // the scan still sees what runs
}

TEST(PrefixHolding, IsTheNearestFolderWithDriveCAndSystemReg) {
  test::TempFolder root;
  const fs::path prefix = root / "pfx";
  fs::create_directories(prefix / "drive_c/Games/Lock On");
  std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n";
  fs::create_directories(root / "loose/drive_c/game");  // drive_c without a registry: no prefix

  EXPECT_EQ(PrefixHolding(prefix / "drive_c/Games/Lock On/"), prefix);
  EXPECT_EQ(PrefixHolding(prefix / "drive_c/Games/Lock On/../Lock On"), prefix);
  EXPECT_EQ(PrefixHolding(root / "loose/drive_c/game"), std::nullopt);
  EXPECT_EQ(PrefixHolding(root / "missing/folder"), std::nullopt);
}

TEST(Utf8LocaleFor, KeepsUtf8LocalesAndReplacesOthersInTheirOwnVariable) {
  using Change = std::optional<std::pair<std::string, std::string>>;
  struct Case {
    const char *lcAll, *lcCtype, *lang;
    Change expected;
  };
  const Case cases[] = {
      {"", "", "C.UTF-8", std::nullopt},
      {"", "", "de_DE.utf8@euro", std::nullopt},
      {"", "en_GB.UTF-8", "C", std::nullopt},  // LC_CTYPE before LANG
      {"", "", "", Change({"LC_CTYPE", "C.UTF-8"})},
      {"C", "", "en_US.UTF-8", Change({"LC_ALL", "C.UTF-8"})},  // LC_ALL wins over the rest
      {"", "POSIX", "en_US.UTF-8", Change({"LC_CTYPE", "C.UTF-8"})},
      {"", "", "xx_YY.ISO-8859-1", Change({"LC_CTYPE", "C.UTF-8"})},  // no UTF-8 locale of that language
  };
  for (const Case& c : cases)
    EXPECT_EQ(Utf8LocaleFor(c.lcAll, c.lcCtype, c.lang), c.expected)
        << c.lcAll << "|" << c.lcCtype << "|" << c.lang;

  // The player's language is kept where its UTF-8 locale exists, so the game keeps its code page.
  locale_t russian = newlocale(LC_CTYPE_MASK, "ru_RU.UTF-8", static_cast<locale_t>(nullptr));
  if (!russian) GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
  freelocale(russian);
  EXPECT_EQ(Utf8LocaleFor("", "", "ru_RU.KOI8-R"), Change({"LC_CTYPE", "ru_RU.UTF-8"}));
}

}  // namespace
}  // namespace kesta
