#pragma once
// The program keeps its own files beside its executable. Everything that needs one of those paths asks
// this object, made once from the executable's path (tests make one over a temporary folder).

#include <filesystem>

namespace kesta {

class ProgramFolder {
 public:
  explicit ProgramFolder(std::filesystem::path executable);

  const std::filesystem::path& Executable() const { return m_executable; }
  const std::filesystem::path& Folder() const { return m_folder; }

  // The executable's path with the extension ".ini".
  std::filesystem::path SettingsFile() const;
  std::filesystem::path Images() const { return m_folder / "Images"; }
  std::filesystem::path Defaults() const { return m_folder / "Default"; }
  std::filesystem::path Backups() const { return m_folder / "Backup"; }
  std::filesystem::path Languages() const { return m_folder / "Languages"; }
  std::filesystem::path ServerLists() const { return m_folder / "ServerList"; }
  std::filesystem::path ScriptCatalogue() const { return m_folder / "luascripts.ini"; }
  std::filesystem::path RecentList() const { return m_folder / "lastfile.ini"; }

 private:
  std::filesystem::path m_executable;
  std::filesystem::path m_folder;
};

}  // namespace kesta
