#include "settings/game_folder_lookup.h"

#include <cstdlib>
#include <filesystem>

#include "engine/text.h"
#include "platform/registry.h"
#include "platform/wine_prefixes.h"
#include "platform/wine_registry.h"
#include "settings/settings_file.h"

namespace kesta {

namespace {

// "¤" as the settings file stores it (UTF-8); a value made only of these and spaces counts as unset.
std::string WithoutCurrencySigns(std::string text) {
  for (size_t at; (at = text.find("\xC2\xA4")) != std::string::npos;) text.erase(at, 2);
  return text;
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += '/';
  return folder;
}

std::optional<std::string> FindGameFolder(const SettingsFile& settings, std::string_view registryKeyPath) {
  const std::string stored = settings.ReadSetting("Config", "LockOnPath");
  // Used as stored, even without its trailing separator.
  if (!Trim(WithoutCurrencySigns(Trim(stored))).empty()) return stored;
  if (RegKeyExists(RegRoot::CurrentUser, registryKeyPath)) {
    // The registry holds a Windows path; the prefix's drive links say where it is on this machine.
    const std::string windowsPath = ReadRegString(RegRoot::CurrentUser, registryKeyPath, "Path");
    return WithTrailingSeparator(MapWindowsPath(WineRegistry::DefaultPrefix(), windowsPath).string());
  }
  // Game managers keep prefixes of their own. One holding the game is used as the key would be, and not
  // stored, so that the player can move it; with several the player is asked, as with none.
  const std::vector<GameInPrefix> games = GamesInOtherPrefixes(registryKeyPath);
  if (games.size() == 1) return games.front().folder;
  return std::nullopt;
}

std::vector<GameInPrefix> GamesInOtherPrefixes(std::string_view registryKeyPath) {
  const char* home = std::getenv("HOME");
  const std::filesystem::path defaultPrefix = WineRegistry::DefaultPrefix();
  std::vector<GameInPrefix> games;
  for (const WinePrefix& prefix : FindWinePrefixes(home && *home ? home : "", std::nullopt)) {
    std::error_code ec;
    if (std::filesystem::equivalent(prefix.path, defaultPrefix, ec)) continue;  // the registry step's
    const std::optional<std::filesystem::path> folder = GameFolderNamedBy(prefix.path, registryKeyPath);
    if (!folder || !std::filesystem::is_directory(*folder, ec)) continue;
    games.push_back({prefix.name, prefix.path, WithTrailingSeparator(folder->string())});
  }
  return games;
}

}  // namespace kesta
