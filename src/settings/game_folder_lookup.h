#pragma once
// Finding the game's folder without asking anyone: the settings file first, then the game's registry key
// in the Wine prefix. The window asks the player when neither names a folder; kesta-cli reports it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

class SettingsFile;

// "LockOnPath" of "Config" as stored, when it holds more than blanks and "¤" signs; else the "Path" of
// the game's key (HKEY_CURRENT_USER `registryKeyPath`) mapped through the prefix's drive links, with a
// trailing separator; else the game folder of the one other Wine prefix (Lutris, Bottles, PlayOnLinux,
// Steam) whose game key names an existing folder; else nothing (also when several do: the player picks
// one of GamesInOtherPrefixes). Fails with the registry's text when the value cannot be read.
std::optional<std::string> FindGameFolder(const SettingsFile& settings, std::string_view registryKeyPath);

struct GameInPrefix {
  std::string prefixName;  // as the player's game manager shows it
  std::filesystem::path prefix;
  std::string folder;  // mapped into the prefix, with a trailing separator
};

// The existing game folders that the game keys of the Wine prefixes other than the default one name, in
// the search's order. Prefixes are searched below $HOME.
std::vector<GameInPrefix> GamesInOtherPrefixes(std::string_view registryKeyPath);

// Adds "/" unless the folder already ends in a separator.
std::string WithTrailingSeparator(std::string folder);

}  // namespace kesta
