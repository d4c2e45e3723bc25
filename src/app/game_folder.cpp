// Finding the game's folder: the settings file first, then the game's registry key, then the user.

#include <algorithm>
#include <string>
#include <utility>

#include <QLabel>
#include <QStatusBar>

#include "platform/game_paths.h"
#include "platform/wine_registry.h"
#include "settings/game_folder_lookup.h"
#include "settings/ini_file.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

std::filesystem::path TFrmKESTA::GamePathOf(std::string_view catalogKey) const {
  return GamePath(m_gameFolder, m_settings.ReadSetting("Files", catalogKey));
}

bool TFrmKESTA::DetermineGameFolder() {
  std::optional<std::string> found;
  try {
    found = FindGameFolder(m_settings, m_registryKeyPath);
  } catch (const std::exception&) {
    // A game key whose "Path" is no text (a number, binary data) names no folder: the user is asked, as
    // when there is no key at all.
  }
  if (found) {
    m_gameFolder = *found;
  } else if (!ChooseGameInPrefixes()) {
    m_dialogs->Warning(LookupMessage("LockOnPathNotFound"));
    if (!ChooseGameFolder()) {
      m_dialogs->Error(LookupMessage("RegNotExists"));
      return false;
    }
  }
  ShowGameFolder();
  return true;
}

bool TFrmKESTA::ChooseGameFolder() {
  FileDialogRequest request;
  request.filter = "lockon.exe |lockon.exe";
  request.defaultExtension = "lockon.exe";
  // The game is a Windows program: it lives in the Wine prefix, not in the folder we were started from.
  if (const auto programs = InstalledProgramsFolder(WineRegistry::DefaultPrefix()))
    request.folder = QString::fromStdString(programs->string());
  const auto chosen = m_dialogs->OpenFileName(request);
  if (!chosen || chosen->isEmpty()) return false;
  return StoreGameFolder(
      WithTrailingSeparator(std::filesystem::path(chosen->toStdString()).parent_path().string()));
}

bool TFrmKESTA::ChooseGameInPrefixes() {
  const std::vector<GameInPrefix> games = GamesInOtherPrefixes(m_registryKeyPath);
  if (games.size() < 2) return false;
  QStringList entries;
  for (const GameInPrefix& game : games)
    entries << QString::fromStdString(game.prefixName) + "  \u2014  " + QString::fromStdString(game.folder);
  const std::optional<int> chosen = m_dialogs->ChooseItem(LookupMessage("GameInSeveralPrefixesCaption"),
                                                          LookupMessage("GameInSeveralPrefixes"), entries);
  return chosen && StoreGameFolder(games[static_cast<size_t>(*chosen)].folder);
}

bool TFrmKESTA::StoreGameFolder(std::string folder) {
  // The settings file holds one value a line: such a path cannot be stored, so the old folder stays.
  if (folder.find_first_of("\r\n") != std::string::npos) {
    m_dialogs->Error(LookupMessage("GameFolderLineBreak") + "\r\n" + QString::fromStdString(folder));
    return false;
  }
  m_gameFolder = std::move(folder);
  ShowGameFolder();
  StoreSetting("Config", "LockOnPath", m_gameFolder);
  return true;
}

void TFrmKESTA::MenuChangePath1Click() {
  if (!ChooseGameFolder()) return;
  m_dialogs->Information(LookupMessage("PathUpdated"));
  if (m_environment.startProgram) m_environment.startProgram(Folder().Executable(), Folder().Folder());
  BitBtnQuitClick();
}

// A game folder inside a Wine prefix is long: the panel keeps both ends, the tooltip shows all of it.
void TFrmKESTA::ShowGameFolder() {
  QLabel* panel = m_statusPanels[0];
  const QString folder = QString::fromStdString(m_gameFolder);
  panel->setToolTip(folder);
  const int room =
      panel->maximumWidth() - 2 * panel->margin() - 2 * panel->fontMetrics().horizontalAdvance('x');
  panel->setText(panel->fontMetrics().elidedText(folder, Qt::ElideMiddle, room));
}

}  // namespace kesta
