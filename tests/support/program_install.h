#pragma once
// A complete program installation in a temporary folder: the shipped files beside a made-up
// executable, and a copy of the sample game. Tests start the real window on it. The game files'
// automatic backup is already made, as after the first start.

#include <filesystem>
#include <string>

#include "settings/program_folder.h"
#include "support/temp_folder.h"

namespace kesta::test {

class ProgramInstall {
 public:
  // `withGameFolderSetting`: the settings file names the sample game as the game folder.
  explicit ProgramInstall(bool withGameFolderSetting = true);

  const ProgramFolder& Folder() const { return m_folder; }
  std::filesystem::path SettingsFile() const { return m_folder.SettingsFile(); }
  // The game folder as the settings store it: native path with a trailing "/".
  std::string GameFolder() const { return (m_root / "game").string() + "/"; }
  std::filesystem::path Game(const std::filesystem::path& relative) const { return m_root / "game" / relative; }
  std::filesystem::path Root() const { return m_root.Path(); }

 private:
  TempFolder m_root;
  ProgramFolder m_folder;
};

}  // namespace kesta::test
