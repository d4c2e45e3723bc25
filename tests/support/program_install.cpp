#include "support/program_install.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/game_paths.h"
#include "sets/backups.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace kesta::test {

namespace fs = std::filesystem;

namespace {

// The program folder is made first: where the program keeps its files depends on it being writable.
fs::path MadeFolder(const fs::path& folder) {
  fs::create_directories(folder);
  return folder;
}

}  // namespace

ProgramInstall::ProgramInstall(bool withGameFolderSetting)
    : m_folder(MadeFolder(m_root / "kesta") / "kesta") {
  const fs::path built = BinaryFolder();
  for (const char* entry : {"Languages", "Default", "Images", "luascripts.ini"}) {
    if (fs::exists(built / entry))
      fs::copy(built / entry, m_root / "kesta" / entry, fs::copy_options::recursive);
  }
  fs::copy(built.parent_path() / "sample-game", m_root / "game", fs::copy_options::recursive);
  // As after the first start: the automatic backup exists, so a start reports nothing of it.
  const BackupReport made =
      BackupGameFiles(m_folder.Backups(), kAutomaticBackupPrefix,
                      [this](std::string_view key) { return GamePath(GameFolder(), DefaultSetting(key)); });
  if (made.made.size() != std::size(kGameFileBackups)) ADD_FAILURE() << "the sample game lacks a game file";
  if (withGameFolderSetting) WriteIniValueOrFail(SettingsFile(), "Config", "LockOnPath", GameFolder());
  // Start-up reads and may rewrite the session's autostart entry: keep it inside this installation.
  ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
}

}  // namespace kesta::test
