#pragma once
// How a program starts in a Wine prefix the way the game manager that owns the prefix starts it: through
// the manager's own command (bottles-cli, Proton's script), or with the Wine build the manager recorded
// and the environment it sets. A plain prefix (~/.wine, $WINEPREFIX, a folder the player chose) uses the
// system's Wine, as the player's shell would.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kesta {

enum class PrefixManager { None, Lutris, Bottles, PlayOnLinux, Steam };

enum class RunnerKind {
  Wine,        // `wine` (the recorded build's bin/wine, else the system's) PROGRAM ARGS, with `environment`
  BottlesCli,  // `command...` run -b NAME -e PROGRAM ARGS: Bottles sets the rest itself
  Proton,      // `<build>/proton` run|runinprefix PROGRAM ARGS, with the Steam variables in `environment`
};

struct PrefixRunner {
  PrefixManager manager = PrefixManager::None;
  RunnerKind kind = RunnerKind::Wine;
  // How the player knows the set-up in the manager: the Lutris game, the bottle, the Steam app, the
  // PlayOnLinux prefix. Empty for a plain prefix.
  std::string name;
  // The build as the manager names it ("lutris-GE-Proton8-26", "sys-wine-9.0", "Proton 8.0", "7.0-rc6");
  // empty for the system's Wine.
  std::string build;
  // RunnerKind::Wine: the build's wine executable, empty for the system's Wine. RunnerKind::Proton: the
  // build's `proton` script.
  std::filesystem::path executable;
  // RunnerKind::BottlesCli: the command before "run" (`bottles-cli`, or the Flatpak's `flatpak run
  // --command=bottles-cli com.usebottles.bottles`).
  std::vector<std::string> command;
  // The variables the manager sets at launch, in its order; WINEPREFIX is set by the start itself.
  std::vector<std::pair<std::string, std::string>> environment;
  // The recorded build is gone (a deleted runner): a start must say so, never fall back to another Wine.
  bool buildMissing = false;
  // The wine executable of the build that runs the prefix, whatever the kind (Proton's files/bin/wine,
  // the bottle's runner behind bottles-cli): its share/wine/wine.inf and its wineserver lie beside it.
  // Empty for the system's Wine.
  std::filesystem::path buildWine;

  bool operator==(const PrefixRunner&) const = default;
};

// Where the managers' own commands are found: the PATH searched for bottles-cli and flatpak, and the
// Flatpak installations searched for Bottles' app.
struct ManagerPlaces {
  std::string path;                                 // as $PATH: folders separated by ":"
  std::vector<std::filesystem::path> flatpakRoots;  // folders holding app/<id>/current
};

// This system's: $PATH, and the Flatpak installations of the user (under `home`) and of the system.
ManagerPlaces SystemManagerPlaces(const std::filesystem::path& home);

// The runner of `prefix`, as the manager that owns it records it (the managers' files under `home`); a
// plain runner (the system's Wine) when no manager owns it. Reads only the managers' small files.
PrefixRunner RunnerOfPrefix(const std::filesystem::path& prefix, const std::filesystem::path& home);
PrefixRunner RunnerOfPrefix(const std::filesystem::path& prefix, const std::filesystem::path& home,
                            const ManagerPlaces& places);

// One line for `kesta-cli prefixes` and for messages: "Lutris: wine lutris-7.2", "Bottles: bottles-cli
// (bottle Games)", "Steam: Proton 8.0", "PlayOnLinux: wine 7.0 (amd64)", "system wine"; a missing build
// is named as such.
std::string DescribeRunner(const PrefixRunner& runner);

}  // namespace kesta
