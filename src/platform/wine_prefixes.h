#pragma once
// The Wine prefixes a Linux player's game managers keep: Wine's own, Lutris's, Bottles' (also as a
// Flatpak), PlayOnLinux's and Steam Proton's. Only the places these programs use are looked at, never the
// whole home folder, so that the search stays cheap enough for start-up.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prefix_runner.h"

namespace kesta {

struct WinePrefix {
  std::string name;  // as the player knows it: the bottle's, the game file's or the Steam app's
  std::filesystem::path path;
  PrefixRunner runner;  // how its manager starts programs in it
};

// A folder holding user.reg, system.reg and drive_c.
bool IsWinePrefix(const std::filesystem::path& folder);

// Every prefix found below `home` (and `environmentPrefix`, $WINEPREFIX, first), each once, in the order:
// the environment's, ~/.wine, Lutris, Bottles, Bottles as a Flatpak, PlayOnLinux, Steam's libraries.
// A prefix a manager owns keeps that manager's runner wherever it was found (also as $WINEPREFIX).
std::vector<WinePrefix> FindWinePrefixes(const std::filesystem::path& home,
                                         const std::optional<std::filesystem::path>& environmentPrefix);
std::vector<WinePrefix> FindWinePrefixes(const std::filesystem::path& home,
                                         const std::optional<std::filesystem::path>& environmentPrefix,
                                         const ManagerPlaces& places);

// The runner the first manager that keeps `prefix` (the same folder, links resolved) records for it;
// nothing when no manager keeps it.
std::optional<PrefixRunner> ManagerRunnerOf(const std::filesystem::path& prefix,
                                            const std::filesystem::path& home, const ManagerPlaces& places);

// The folder the prefix's game key names in its "Path", mapped into the prefix; nothing when the key or
// a textual Path is missing.
std::optional<std::filesystem::path> GameFolderNamedBy(const std::filesystem::path& prefix,
                                                       std::string_view registryKeyPath);

}  // namespace kesta
