#include "settings/program_folder.h"

#include <unistd.h>

#include "engine/failure.h"
#include "platform/file_io.h"
#include "platform/user_folders.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

constexpr char kUserFolderName[] = "kesta";

// Copies the file unless the target exists; atomically, so a start cut short leaves no half copy that
// would then count as the player's own.
void CopyIfAbsent(const fs::path& source, const fs::path& target) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error)) || !fs::is_regular_file(source, error)) return;
  try {
    WriteFileAtomically(target, ReadWholeFile(source));
  } catch (const EKestaError&) {
    // Best effort: without the copy the player starts from the defaults.
  }
}

// The shipped server lists, copied once into a new per-user folder: the folder appears complete or not
// at all, and lists the player later deletes do not come back.
void SeedServerLists(const fs::path& shipped, const fs::path& target) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) return;
  const fs::path partial = fs::path(target).concat(".partial");
  fs::remove_all(partial, error);
  if (!fs::create_directory(partial, error)) return;
  for (const fs::directory_entry& entry : fs::directory_iterator(shipped, error))
    CopyIfAbsent(entry.path(), partial / entry.path().filename());
  fs::rename(partial, target, error);
  if (error) fs::remove_all(partial, error);
}

}  // namespace

bool FolderIsWritable(const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

bool IsPackagedInstallation(const fs::path& folder) {
  std::error_code error;
  return fs::exists(fs::symlink_status(folder / kPackagedInstallationMarker, error));
}

ProgramFolder::ProgramFolder(fs::path executable, const WritableCheck& writable)
    : m_executable(std::move(executable)),
      m_folder(m_executable.parent_path()),
      m_configFolder(m_folder),
      m_dataFolder(m_folder) {
  // A package manager's folder is not written even by root, who may: what is written there would outlive
  // the package's removal, and an upgrade would find it in its way.
  if (!IsPackagedInstallation(m_folder) && writable(m_folder)) return;
  try {
    m_configFolder = XdgBaseFolder("XDG_CONFIG_HOME", ".config") / kUserFolderName;
    m_dataFolder = XdgBaseFolder("XDG_DATA_HOME", ".local/share") / kUserFolderName;
  } catch (const EKestaError&) {
    // No home folder: the files stay where they were, and the first write says why it failed.
    m_configFolder = m_dataFolder = m_folder;
    return;
  }
  PrepareUserFolders();
}

fs::path ProgramFolder::SettingsFile() const {
  fs::path name = m_executable.filename();
  name.replace_extension(".ini");
  return m_configFolder / name;
}

void ProgramFolder::PrepareUserFolders() const {
  std::error_code error;
  fs::create_directories(m_configFolder, error);
  fs::create_directories(m_dataFolder, error);
  fs::create_directory(Backups(), error);
  fs::path shippedSettings = m_executable;
  shippedSettings.replace_extension(".ini");
  CopyIfAbsent(shippedSettings, SettingsFile());
  SeedServerLists(m_folder / "ServerList", ServerLists());
}

}  // namespace kesta
