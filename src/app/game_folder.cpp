// Finding the game's folder: the settings file first, then the game's registry key, then the user.

#include <QLabel>
#include <QStatusBar>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/game_paths.h"
#include "platform/registry.h"
#include "platform/wine_registry.h"
#include "settings/ini_file.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

// "¤" as the settings file stores it (UTF-8); a value made only of these and spaces counts as unset.
std::string WithoutCurrencySigns(std::string text) {
  for (size_t at; (at = text.find("\xC2\xA4")) != std::string::npos;) text.erase(at, 2);
  return text;
}

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += '/';
  return folder;
}

}  // namespace

std::filesystem::path TFrmKESTA::GamePathOf(std::string_view catalogKey) const {
  return GamePath(m_gameFolder, m_settings.ReadSetting("Files", catalogKey));
}

bool TFrmKESTA::DetermineGameFolder() {
  const std::string stored = m_settings.ReadSetting("Config", "LockOnPath");
  if (!Trim(WithoutCurrencySigns(Trim(stored))).empty()) {
    m_gameFolder = stored;  // used as stored, even without its trailing separator
  } else if (RegKeyExists(RegRoot::CurrentUser, m_registryKeyPath)) {
    // The registry holds a Windows path; the prefix's drive links say where it is on this machine.
    const std::string windowsPath = ReadRegString(RegRoot::CurrentUser, m_registryKeyPath, "Path");
    m_gameFolder = WithTrailingSeparator(MapWindowsPath(WineRegistry::DefaultPrefix(), windowsPath).string());
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
  m_gameFolder = WithTrailingSeparator(std::filesystem::path(chosen->toStdString()).parent_path().string());
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
