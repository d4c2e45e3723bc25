#include "settings/game_folder_lookup.h"

#include "engine/text.h"
#include "platform/registry.h"
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
  if (!RegKeyExists(RegRoot::CurrentUser, registryKeyPath)) return std::nullopt;
  // The registry holds a Windows path; the prefix's drive links say where it is on this machine.
  const std::string windowsPath = ReadRegString(RegRoot::CurrentUser, registryKeyPath, "Path");
  return WithTrailingSeparator(MapWindowsPath(WineRegistry::DefaultPrefix(), windowsPath).string());
}

}  // namespace kesta
