// Finding the Wine prefixes of a player's game managers in a temporary home folder, the prefixes' files
// written the way Wine writes them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/wine_prefixes.h"
#include "support/forked_run.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "Software\\Eagle Dynamics\\Lock On 1.1\\";

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// A prefix with drive C linked as Wine links it; `gamePath` is the Windows path its game key holds, or
// nothing for a prefix without the game.
void MakePrefix(const fs::path& prefix, const std::optional<std::string>& gamePath = std::nullopt) {
  fs::create_directories(prefix / "drive_c/Games");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  Write(prefix / "system.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n");
  std::string user =
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
  if (gamePath)
    user += "\n[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1700000000\n#time=1da0000000000000\n\"Path\"=\"" +
            *gamePath + "\"\n";
  Write(prefix / "user.reg", user);
}

TEST(WinePrefixesTest, EveryManagersPlaceIsSearchedAndEachPrefixListedOnce) {
  test::TempFolder home;
  MakePrefix(home / ".wine");
  // Lutris names its prefix in the game's YAML file, here below ~/Games.
  MakePrefix(home / "Games/lock-on", "C:\\\\Games\\\\Lock On\\\\");
  fs::create_directories(home / "Games/lock-on/drive_c/Games/Lock On");
  Write(home / ".config/lutris/games/lock-on-1700000000.yml",
        "game:\n  exe: /x/LockOn.exe\n  prefix: ~/Games/lock-on\nwine:\n  version: lutris-7.2\n");
  Write(home / ".config/lutris/games/other.yml", "game:\n  exe: /x/other.exe\n");
  // Bottles: a key whose folder is gone, and a folder that is no prefix.
  MakePrefix(home / ".local/share/bottles/bottles/Flight", "C:\\\\Gone\\\\");
  fs::create_directories(home / ".local/share/bottles/bottles/Broken/drive_c");
  MakePrefix(home / ".var/app/com.usebottles.bottles/data/bottles/bottles/Flatpak");
  MakePrefix(home / ".PlayOnLinux/wineprefix/LockOn");
  // Steam: its own library and a second one named in libraryfolders.vdf.
  MakePrefix(home / ".steam/steam/steamapps/compatdata/700/pfx");
  Write(home / ".steam/steam/steamapps/libraryfolders.vdf",
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + (home / ".steam/steam").string() +
            "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + (home / "SteamLibrary").string() + "\"\n\t}\n}\n");
  MakePrefix(home / "SteamLibrary/steamapps/compatdata/17231/pfx");

  // The environment's prefix comes first, and the Lutris one it is is not listed twice.
  const auto start = std::chrono::steady_clock::now();
  const std::vector<WinePrefix> found = FindWinePrefixes(home.Path(), home / "Games/lock-on");
  const auto took = std::chrono::steady_clock::now() - start;
  std::vector<std::pair<std::string, fs::path>> listed;
  for (const WinePrefix& prefix : found) listed.emplace_back(prefix.name, prefix.path);
  const std::vector<std::pair<std::string, fs::path>> expected = {
      {"lock-on", home / "Games/lock-on"},
      {".wine", home / ".wine"},
      {"Flight", home / ".local/share/bottles/bottles/Flight"},
      {"Flatpak", home / ".var/app/com.usebottles.bottles/data/bottles/bottles/Flatpak"},
      {"LockOn", home / ".PlayOnLinux/wineprefix/LockOn"},
      {"Steam 700", home / ".steam/steam/steamapps/compatdata/700/pfx"},
      {"Steam 17231", home / "SteamLibrary/steamapps/compatdata/17231/pfx"},
  };
  EXPECT_EQ(listed, expected);
  std::cout << "search with " << found.size()
            << " prefixes: " << std::chrono::duration_cast<std::chrono::microseconds>(took).count()
            << " us\n";

  const std::optional<fs::path> game = GameFolderNamedBy(home / "Games/lock-on", kKey);
  ASSERT_TRUE(game);
  EXPECT_TRUE(fs::equivalent(*game, home / "Games/lock-on/drive_c/Games/Lock On"));
  const std::optional<fs::path> gone = GameFolderNamedBy(home / ".local/share/bottles/bottles/Flight", kKey);
  ASSERT_TRUE(gone);
  EXPECT_FALSE(fs::exists(*gone));
  EXPECT_FALSE(GameFolderNamedBy(home / ".wine", kKey));
}

TEST(WinePrefixesTest, NoneFoundInAnEmptyHome) {
  test::TempFolder home;
  EXPECT_TRUE(FindWinePrefixes(home.Path(), std::nullopt).empty());
  // A prefix named by the environment but not there is no prefix either.
  EXPECT_TRUE(FindWinePrefixes(home.Path(), home / "nowhere").empty());
}

// The managers' folders are theirs: what lies there under a file's name may be a folder, a FIFO no one
// writes to, or a file we may not read. None of them may stop the search, throw or make it wait.
TEST(WinePrefixesTest, FoldersAndFifosUnderTheManagersFileNamesAreSkipped) {
  test::TempFolder home;
  MakePrefix(home / "Games/lock-on", "C:\\\\Games\\\\Lock On\\\\");
  Write(home / ".config/lutris/games/lock-on.yml",
        "game:\n  prefix: " + (home / "Games/lock-on").string() + "\n");
  fs::create_directories(home / ".config/lutris/games/folder.yml");
  ASSERT_EQ(::mkfifo((home / ".config/lutris/games/fifo.yml").c_str(), 0600), 0);
  MakePrefix(home / ".steam/steam/steamapps/compatdata/700/pfx");
  ASSERT_EQ(::mkfifo((home / ".steam/steam/steamapps/libraryfolders.vdf").c_str(), 0600), 0);

  // Searched in a child process, so a search that waits on a FIFO fails the test instead of hanging it.
  const std::optional<int> status = test::ExitStatusInChild(
      [&] {
        std::vector<fs::path> paths;
        for (const WinePrefix& prefix : FindWinePrefixes(home.Path(), std::nullopt))
          paths.push_back(prefix.path);
        const std::vector<fs::path> expected = {home / "Games/lock-on",
                                                home / ".steam/steam/steamapps/compatdata/700/pfx"};
        return paths == expected ? 0 : 4;
      },
      std::chrono::seconds(30));
  ASSERT_TRUE(status) << "the search waited on a FIFO or ended abnormally";
  EXPECT_EQ(*status, 0) << "3: it threw; 4: it found other prefixes";
}

}  // namespace
}  // namespace kesta
