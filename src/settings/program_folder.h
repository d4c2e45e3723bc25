#pragma once
// Where the program's files are. Everything that needs one of those paths asks this object, made once
// at start-up from the executable's path (tests make one over a temporary folder).
//
// What the program ships (Default/, Languages/, Images/, luascripts.ini) is read from the executable's
// folder. What it writes (the settings file, the recent list, backups, server lists) stays beside the
// executable too while that folder may be written, as in a folder the player unpacked or built; in an
// installation the player may not write to (under /usr or /opt, or read-only), it goes to the per-user
// folders instead: settings to $XDG_CONFIG_HOME/kesta, the rest to $XDG_DATA_HOME/kesta.

#include <filesystem>
#include <functional>

namespace kesta {

// Whether the folder takes new files for this process (permissions, a read-only file system).
bool FolderIsWritable(const std::filesystem::path& folder);

// The file that marks a program folder installed by a package (the Debian package ships it): the player's
// files then always go to the per-user folders, whoever runs the program.
inline constexpr char kPackagedInstallationMarker[] = "installed-by-package";
bool IsPackagedInstallation(const std::filesystem::path& folder);

class ProgramFolder {
 public:
  using WritableCheck = std::function<bool(const std::filesystem::path& folder)>;

  // Decides where the player's files go, by `writable` asked once about the executable's folder (a
  // packaged installation counts as not writable). When they go to the per-user folders, makes those and
  // starts them from what lies beside the executable on the first start: a settings file there (an
  // administrator's preset) and the shipped server lists, each copied only while the player has none, so
  // nothing of theirs is overwritten. A folder that cannot be made shows later, as a failure to write the
  // file that needed it.
  explicit ProgramFolder(std::filesystem::path executable, const WritableCheck& writable = FolderIsWritable);

  const std::filesystem::path& Executable() const { return m_executable; }
  // The executable's folder, which holds the shipped files.
  const std::filesystem::path& Folder() const { return m_folder; }
  // True when the player's files are kept beside the executable.
  bool KeepsFilesBesideExecutable() const { return m_dataFolder == m_folder; }

  // The executable's name with the extension ".ini".
  std::filesystem::path SettingsFile() const;
  std::filesystem::path Images() const { return m_folder / "Images"; }
  std::filesystem::path Defaults() const { return m_folder / "Default"; }
  std::filesystem::path Languages() const { return m_folder / "Languages"; }
  std::filesystem::path ScriptCatalogue() const { return m_folder / "luascripts.ini"; }
  std::filesystem::path Backups() const { return m_dataFolder / "Backup"; }
  // The journal of Applies: what each Apply of the game files replaced, to finish or undo one cut short.
  std::filesystem::path Journal() const { return m_dataFolder / "Journal"; }
  std::filesystem::path ServerLists() const { return m_dataFolder / "ServerList"; }
  std::filesystem::path RecentList() const { return m_dataFolder / "lastfile.ini"; }

 private:
  void PrepareUserFolders() const;

  std::filesystem::path m_executable;
  std::filesystem::path m_folder;
  std::filesystem::path m_configFolder;
  std::filesystem::path m_dataFolder;
};

}  // namespace kesta
