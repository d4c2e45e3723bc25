#pragma once
// A temporary home folder holding one game manager's set-up as the manager writes it: the prefix (with
// the game or without), the manager's records, and an executable at each path the manager would run (a
// build's bin/wine, Proton's script, bottles-cli, flatpak), placed by a function the test passes, so a
// stub that records its start can stand there.

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/prefix_runner.h"
#include "support/temp_folder.h"

namespace kesta::test {

// Puts an executable file at the path (its folder exists).
using PlaceExecutable = std::function<void(const std::filesystem::path&)>;

// A shell script that does nothing and succeeds.
void PlaceIdleScript(const std::filesystem::path& path);

// Places a symbolic link to `target` (the system's wine, for a run that really starts).
PlaceExecutable PlaceLinkTo(const std::filesystem::path& target);

using Settings = std::vector<std::pair<std::string, std::string>>;

struct LutrisSetup {
  std::string slug = "lock-on";  // the game file is <slug>-1700000000.yml, the prefix ~/Games/<slug>
  std::string arch = "win64";    // game: arch ("" writes none)
  std::string version = "lutris-GE-Proton8-26-x86_64";  // wine: version ("" writes none)
  Settings wine = {};           // more "wine:" settings as YAML scalars ("dxvk", "false")
  Settings overrides = {};      // wine: overrides
  Settings env = {};            // system: env
  std::string runnerYaml = {};  // runners/wine.yml as written; none when empty
  bool dataFolder = false;      // ~/.local/share/lutris/ instead of ~/.config/lutris/
  bool installBuild = true;     // the build named by `version` is there
};

struct BottleSetup {
  std::string name = "Games";
  std::string runner = "soda-7.0-9";
  bool flatpak = false;  // the Flatpak's data folder
  bool dxvk = true;      // Parameters: dxvk
  std::string sync = "fsync";
  Settings dllOverrides = {};
  Settings environment = {};  // Environment_Variables
  bool installRunner = true;
  bool cli = false;  // bottles-cli on the PATH; for the Flatpak: flatpak on the PATH and the app installed
};

struct SteamSetup {
  std::string appId = "3141592653";  // a non-Steam game's id, as Steam gives it
  std::string build = "Proton 8.0";
  bool compatibilityTools = false;  // the build in compatibilitytools.d/, else steamapps/common/
  bool dist = false;                // an old build: dist/ instead of files/
  bool installBuild = true;
  bool secondLibrary = false;  // the prefix in a library named by libraryfolders.vdf
};

struct PlayOnLinuxSetup {
  std::string name = "LockOn";
  std::string version = "7.0";  // "" for the system's Wine
  std::string arch = "amd64";
  bool installBuild = true;
};

// What a set-up made: the prefix, the game folder in it, and the executable placed for the build (bin/
// wine, or Proton's script) and for the manager's command (bottles-cli, flatpak).
struct ManagedPrefix {
  std::filesystem::path prefix;
  std::filesystem::path gameFolder;
  std::filesystem::path build;
  std::filesystem::path command;
};

class ManagerHome {
 public:
  explicit ManagerHome(PlaceExecutable place = PlaceIdleScript);

  const std::filesystem::path& Home() const { return m_home.Path(); }
  std::filesystem::path operator/(const std::filesystem::path& relative) const { return m_home / relative; }
  // The PATH is ~/bin alone, the Flatpak installations are the user's and ~/system-flatpak.
  ManagerPlaces Places() const;

  // A prefix as Wine makes it; with the game, its key names drive_c/Games/Lock On/ holding LockOn.exe.
  ManagedPrefix MakePrefix(const std::filesystem::path& prefix, bool withGame = true) const;
  // A Wine build at `root`: bin/wine placed, share/wine/wine.inf written; returns bin/wine.
  std::filesystem::path MakeWineBuild(const std::filesystem::path& root) const;
  // The prefix's .update-timestamp as Wine leaves it after running the build of `wine`.
  void StampPrefix(const std::filesystem::path& prefix, const std::filesystem::path& wine) const;

  ManagedPrefix AddLutrisGame(const LutrisSetup& setup, bool withGame = true) const;
  ManagedPrefix AddBottle(const BottleSetup& setup, bool withGame = true) const;
  ManagedPrefix AddSteamApp(const SteamSetup& setup, bool withGame = true) const;
  ManagedPrefix AddPlayOnLinuxPrefix(const PlayOnLinuxSetup& setup, bool withGame = true) const;

 private:
  std::filesystem::path Place(const std::filesystem::path& path) const;

  TempFolder m_home;
  PlaceExecutable m_place;
};

}  // namespace kesta::test
