// The search of game managers' Wine prefixes that start-up makes when neither the settings file nor the
// default prefix names the game folder: ten prefixes spread over Lutris, Bottles (also as a Flatpak),
// PlayOnLinux and two Steam libraries, each with a user.reg of the size a fresh prefix has (26 KB) or of
// one used for years (256 KB), and the game key in every second one.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/wine_prefixes.h"
#include "settings/game_folder_lookup.h"

namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "Software\\Eagle Dynamics\\Lock On 1.1\\";

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Keys of the shape Wine writes, until the file has about `size` bytes.
std::string UserRegistry(size_t size, bool withGame) {
  std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
  for (int key = 0; text.size() < size; ++key)
    text += "\n[Software\\\\Wine\\\\Fonts\\\\Replacements\\\\Entry" + std::to_string(key) +
            "] 1700000000\n#time=1da0000000000000\n\"Name\"=\"Some value of a font replacement\"\n@=\"default\"\n";
  if (withGame)
    text += "\n[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1700000000\n#time=1da0000000000000\n"
            "\"Path\"=\"C:\\\\Games\\\\Lock On\\\\\"\n";
  return text;
}

struct Home {
  explicit Home(size_t registrySize) {
    char pattern[] = "/tmp/kesta-prefix-bench-XXXXXX";
    root = ::mkdtemp(pattern);
    const fs::path prefixes[] = {
        root / "Games/lock-on",
        root / "Games/other-game",
        root / ".local/share/bottles/bottles/Flight",
        root / ".local/share/bottles/bottles/Office",
        root / ".var/app/com.usebottles.bottles/data/bottles/bottles/Flatpak",
        root / ".PlayOnLinux/wineprefix/LockOn",
        root / ".PlayOnLinux/wineprefix/Other",
        root / ".steam/steam/steamapps/compatdata/700/pfx",
        root / ".steam/steam/steamapps/compatdata/701/pfx",
        root / "SteamLibrary/steamapps/compatdata/17231/pfx",
    };
    bool withGame = true;
    for (const fs::path& prefix : prefixes) {
      fs::create_directories(prefix / "drive_c/Games/Lock On");
      fs::create_directories(prefix / "dosdevices");
      fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
      Write(prefix / "system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n");
      Write(prefix / "user.reg", UserRegistry(registrySize, withGame));
      withGame = !withGame;
    }
    Write(root / ".config/lutris/games/lock-on-1700000000.yml", "game:\n  prefix: " + prefixes[0].string() + "\n");
    Write(root / ".config/lutris/games/other-1700000001.yml", "game:\n  prefix: " + prefixes[1].string() + "\n");
    Write(root / ".steam/steam/steamapps/libraryfolders.vdf",
          "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + (root / ".steam/steam").string() +
              "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + (root / "SteamLibrary").string() + "\"\n\t}\n}\n");
    ::setenv("HOME", root.c_str(), 1);
    ::setenv("WINEPREFIX", (root / "no-default-prefix").c_str(), 1);
  }
  ~Home() { fs::remove_all(root); }
  fs::path root;
};

// Finding the ten prefixes only.
void BM_FindWinePrefixes(benchmark::State& state) {
  const Home home(26 * 1024);
  for (auto _ : state) {
    const auto found = kesta::FindWinePrefixes(home.root, std::nullopt);
    if (found.size() != 10) state.SkipWithError("not ten prefixes found");
    benchmark::DoNotOptimize(found);
  }
}

// Finding them and reading each one's game key, as start-up does.
void BM_GamesInOtherPrefixes(benchmark::State& state) {
  const Home home(static_cast<size_t>(state.range(0)) * 1024);
  for (auto _ : state) {
    const auto games = kesta::GamesInOtherPrefixes(kKey);
    if (games.size() != 5) state.SkipWithError("not five games found");
    benchmark::DoNotOptimize(games);
  }
}

}  // namespace

BENCHMARK(BM_FindWinePrefixes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GamesInOtherPrefixes)->Arg(26)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
