// Finding the game's folder: the settings file first, then the game's registry key, then the user.

#include <string>
#include <utility>

#include <QLabel>
#include <QStatusBar>

#include "platform/game_paths.h"
#include "settings/game_folder_lookup.h"
#include "settings/ini_file.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

std::filesystem::path TFrmKESTA::GamePathOf(std::string_view catalogKey) const {
  return GamePath(m_gameFolder, m_settings.ReadSetting("Files", catalogKey));
}

bool TFrmKESTA::DetermineGameFolder() {
  if (const std::optional<std::string> found = FindGameFolder(m_settings, m_registryKeyPath)) {
    m_gameFolder = *found;
  } else {
    m_dialogs->Warning(LookupMessage("LockOnPathNotFound"));
    if (!ChooseGameFolder()) {
      m_dialogs->Error(LookupMessage("RegNotExists"));
      return false;
    }
  }
  m_statusPanels[0]->setText(QString::fromStdString(m_gameFolder));
  return true;
}

bool TFrmKESTA::ChooseGameFolder() {
  FileDialogRequest request;
  request.filter = "lockon.exe |lockon.exe";
  request.defaultExtension = "lockon.exe";
  const auto chosen = m_dialogs->OpenFileName(request);
  if (!chosen || chosen->isEmpty()) return false;
  std::string folder =
      WithTrailingSeparator(std::filesystem::path(chosen->toStdString()).parent_path().string());
  // The settings file holds one value a line: such a path cannot be stored, so the old folder stays.
  if (folder.find_first_of("\r\n") != std::string::npos) {
    m_dialogs->Error(LookupMessage("GameFolderLineBreak") + "\r\n" + QString::fromStdString(folder));
    return false;
  }
  m_gameFolder = std::move(folder);
  m_statusPanels[0]->setText(QString::fromStdString(m_gameFolder));
  try {
    WriteIniValueOrFail(m_settings.Path(), "Config", "LockOnPath", m_gameFolder);
  } catch (const std::exception& failure) {
    ReportSettingsWriteFailure(failure.what());
  }
  return true;
}

void TFrmKESTA::MenuChangePath1Click() {
  if (!ChooseGameFolder()) return;
  m_dialogs->Information(LookupMessage("PathUpdated"));
  if (m_environment.startProgram) m_environment.startProgram(Folder().Executable(), Folder().Folder());
  BitBtnQuitClick();
}

}  // namespace kesta
