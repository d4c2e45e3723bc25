#include "app/game_folder.h"

#include <QStringList>
#include <string>
#include <utility>

#include "platform/game_paths.h"
#include "platform/wine_registry.h"
#include "settings/game_folder_lookup.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"
#include "ui/dialog_service.h"

namespace kesta {

TGameFolder::TGameFolder(Collaborators collaborators) : m_collaborators(std::move(collaborators)) {}

void TGameFolder::ReadRegistryKeyPath() {
  m_registryKeyPath = m_collaborators.settings.ReadSetting("Lockon", "PathReg");
}

std::filesystem::path TGameFolder::GamePathOf(std::string_view catalogKey) const {
  return GamePath(m_folder, m_collaborators.settings.ReadSetting("Files", catalogKey));
}

bool TGameFolder::DetermineGameFolder() {
  std::optional<std::string> found;
  try {
    found = FindGameFolder(m_collaborators.settings, m_registryKeyPath);
  } catch (const std::exception&) {
    // A game key whose "Path" is no text (a number, binary data) names no folder: the user is asked, as
    // when there is no key at all.
  }
  if (found) {
    m_folder = *found;
  } else if (!ChooseGameInPrefixes()) {
    m_collaborators.dialogs.Warning(m_collaborators.lookup("LockOnPathNotFound"));
    if (!ChooseGameFolder()) {
      m_collaborators.dialogs.Error(m_collaborators.lookup("RegNotExists"));
      return false;
    }
  }
  m_collaborators.shown(m_folder);
  return true;
}

bool TGameFolder::ChooseGameFolder() {
  FileDialogRequest request;
  request.filter = "lockon.exe |lockon.exe";
  request.defaultExtension = "lockon.exe";
  // The game is a Windows program: it lives in the Wine prefix, not in the folder we were started from.
  if (const auto programs = InstalledProgramsFolder(WineRegistry::DefaultPrefix()))
    request.folder = QString::fromStdString(programs->string());
  const auto chosen = m_collaborators.dialogs.OpenFileName(request);
  if (!chosen || chosen->isEmpty()) return false;
  return StoreGameFolder(
      WithTrailingSeparator(std::filesystem::path(chosen->toStdString()).parent_path().string()));
}

bool TGameFolder::ChooseGameInPrefixes() {
  const std::vector<GameInPrefix> games = GamesInOtherPrefixes(m_registryKeyPath);
  if (games.size() < 2) return false;
  QStringList entries;
  for (const GameInPrefix& game : games)
    entries << QString::fromStdString(game.prefixName) + "  \u2014  " + QString::fromStdString(game.folder);
  const std::optional<int> chosen =
      m_collaborators.dialogs.ChooseItem(m_collaborators.lookup("GameInSeveralPrefixesCaption"),
                                         m_collaborators.lookup("GameInSeveralPrefixes"), entries);
  return chosen && StoreGameFolder(games[static_cast<size_t>(*chosen)].folder);
}

bool TGameFolder::StoreGameFolder(std::string folder) {
  // The settings file holds one value a line: such a path cannot be stored, so the old folder stays.
  if (folder.find_first_of("\r\n") != std::string::npos) {
    m_collaborators.dialogs.Error(m_collaborators.lookup("GameFolderLineBreak") + "\r\n" +
                                  QString::fromStdString(folder));
    return false;
  }
  m_folder = std::move(folder);
  m_collaborators.shown(m_folder);
  m_collaborators.storeSetting("Config", "LockOnPath", m_folder);
  return true;
}

void TGameFolder::MenuChangePath1Click() {
  if (!ChooseGameFolder()) return;
  m_collaborators.dialogs.Information(m_collaborators.lookup("PathUpdated"));
  const ProgramFolder& program = m_collaborators.program;
  if (m_collaborators.startProgram) m_collaborators.startProgram(program.Executable(), program.Folder());
  m_collaborators.quit();
}

}  // namespace kesta
