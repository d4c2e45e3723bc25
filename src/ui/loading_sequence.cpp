// Start-up: the loading sequence that fills every page, the deferred step that runs once the window
// is up, and every way the program ends.

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QSessionManager>
#include <QTimer>
#include <memory>
#include <optional>

#include <unistd.h>

#include "app/game_folder.h"
#include "app/splash_screen.h"
#include "app/tray_and_options.h"
#include "documents/option_documents.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "language/language_setup.h"
#include "language/message_catalogue.h"
#include "launch/launcher.h"
#include "platform/file_io.h"
#include "sets/backup_page.h"
#include "sets/backups.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "ui/about_window.h"
#include "ui/appearance.h"
#include "ui/application_menu.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_layout.h"
#include "ui/setting_finder.h"
#include "update/update_page.h"

namespace kesta {

void TFrmKESTA::StatusStep(const QString& text) {
  if (m_splash) m_splash->StatusStep(text);
}

namespace {

// The message in the loaded language; before one is loaded (or when its file lacks the key), in English.
QString MessageOr(const TFrmKESTA& window, const char* key, const char* english) {
  const QString text = window.LookupMessage(key);
  return text == kTranslationNotFound ? QString::fromUtf8(english) : text;
}

}  // namespace

void TFrmKESTA::ReportSettingsWriteFailure(const std::string& failure) {
  if (m_settingsFailureReported) return;
  m_settingsFailureReported = true;
  const std::filesystem::path& file = m_settings.Path();
  const std::filesystem::path folder = file.parent_path();
  QString text = MessageOr(*this, "SettingsWriteFailed",
                           "KESTA cannot store its settings in\n%1\n\n%2\n\nChanged options will be lost "
                           "when KESTA ends.")
                     .arg(QString::fromStdString(file.string()), QString::fromUtf8(failure.c_str()));
  // Name what stands in the way: the file itself, or the folder that would take the new file.
  std::error_code error;
  if (std::filesystem::is_regular_file(file, error) && ::access(file.c_str(), W_OK) != 0)
    text += "\n\n" + MessageOr(*this, "SettingsFileReadOnly", "The settings file is read-only:\n%1")
                         .arg(QString::fromStdString(file.string()));
  else if (std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK) != 0)
    text += "\n\n" +
            MessageOr(*this, "SettingsFolderReadOnly", "The folder of the settings file is read-only:\n%1")
                .arg(QString::fromStdString(folder.string()));
  m_dialogs->Error(text);
}

std::string TFrmKESTA::ReadSetting(std::string_view section, std::string_view key) const {
  return m_settings.ReadSetting(section, key);
}

void TFrmKESTA::StoreSetting(std::string_view section, std::string_view key, std::string_view value) {
  try {
    WriteIniValueOrFail(m_settings.Path(), section, key, value);
  } catch (const std::exception& failure) {
    ReportSettingsWriteFailure(failure.what());
  }
}

void TFrmKESTA::FormCreate() {
  // 1-4: flags and the program's own folders.
  m_busy = true;
  m_gameFiles->Access().AttachSections(nullptr);
  // A settings file that cannot be written is reported once the language is loaded, in that language.
  auto earlyFailure = std::make_shared<std::optional<std::string>>();
  m_settings.SetWriteFailureHandler([earlyFailure](const std::string& failure) {
    if (!*earlyFailure) *earlyFailure = failure;
  });
  m_game->ReadRegistryKeyPath();

  // 5: language.
  StatusStep("Loading language...");
  m_language->LoadLanguage(m_settings.ReadSetting("Config", "Language"));
  m_pageArea->RefreshAll();  // texts the pages take from messages
  m_finder->LanguageLoaded();
  m_ribbon->ApplicationMenu()->setProperty("extraPaneHeader", LookupMessage("RecentConfig"));
  m_settings.SetWriteFailureHandler(
      [this](const std::string& failure) { ReportSettingsWriteFailure(failure); });
  if (*earlyFailure) ReportSettingsWriteFailure(**earlyFailure);
  m_about->UpdateBugReportCommands();  // its reason is in the language just loaded

  // 6-7: game folder; without one the program ends through the deferred step.
  StatusStep("Loading regkey settings...");
  if (!m_game->DetermineGameFolder()) {
    m_quit = true;
    m_timerMinimize->start();
    return;
  }
  m_quit = false;
  // An Apply cut short by a crash is finished or rolled back before any file is read into the pages.
  m_configuration->RecoverInterruptedApplies();

  // 9-11: options, appearance and the start with the desktop session.
  m_tray->LoadOptionCheckBoxes();
  m_appearance->ApplyStoredAppearance();
  m_tray->LoadStartWithSessionState();

  // 12: the companion programs.
  m_launcher->DetectCompanions();

  // 13-21: every game file, in the order the pages expect.
  // The display's modes are asked for when the resolution page is first shown.
  StatusStep("Loading resolution settings...");
  StatusStep("Loading graphic settings...");
  const std::filesystem::path graphics = GamePathOf("Graphics");
  m_configuration->TakeGraphicsTimeStamp(graphics);
  m_configuration->LoadGraphicsSettings(graphics, false);
  if (m_splash) m_splash->SetLabel("Loading cockpit settings...");
  QApplication::processEvents();
  LoadStartUpFile("Cockpit");
  StatusStep("Loading network settings...");
  LoadStartUpFile("Network");
  StatusStep("Loading stats settings...");
  LoadStartUpFile("Stats");
  StatusStep("Loading server settings...");
  LoadStartUpFile("Server");
  StatusStep("Loading view settings...");
  LoadStartUpFile("View");
  StatusStep("Loading snapview settings...");
  LoadStartUpFile("SnapView");
  StatusStep("Loading other settings...");
  for (std::string_view key : {"Producer", "World", "Drawinfo", "ExportConfig", "MECustom"})
    LoadStartUpFile(key);

  // 22-24: the script catalogue, the recent list and the first start's backup of the game files.
  LoadScriptCatalogue();
  m_configuration->LoadRecentList();
  BackupGameFilesAndReport(*this, kAutomaticBackupPrefix);

  // 25-27: the deferred step, the first page, and a clean modified state.
  m_timerMinimize->start();
  m_pageArea->ShowFirstPage();
  EnableApplyCancel(false, false);
  m_busy = false;
  m_pageArea->ShowPendingPreview();
}

void TFrmKESTA::LoadStartUpFile(std::string_view catalogKey) {
  m_gameFiles->Load(catalogKey, GamePathOf(catalogKey));
}

void TFrmKESTA::LoadScriptCatalogue() {
  try {
    m_exportScripts = SplitGameText(ReadWholeFile(Folder().ScriptCatalogue()));
  } catch (const EKestaError& failure) {
    // Without the catalogue only the export-script page is poorer; the rest of start-up goes on.
    m_exportScripts.clear();
    m_dialogs->Error(QString::fromUtf8(failure.what()) + "\n\n" + LookupMessage("ScriptCatalogueEmpty"));
  }
}

void TFrmKESTA::TimerMinimizeTimer() {
  if (m_quit) {
    m_timerMinimize->stop();
    close();
    return;
  }
  m_timerMinimize->stop();
  // Asynchronous: the check goes on while the steps below run and the window takes input.
  if (m_tray->OptionToggleOn(OptionToggle::CheckForUpdateWhenStarting)) CheckForUpdate(true);
  if (m_tray->OptionToggleOn(OptionToggle::SynchronizeDate)) SynchronizeMissionDate();
  if (m_tray->OptionToggleOn(OptionToggle::StartMinimize)) showMinimized();
}

void TFrmKESTA::SynchronizeMissionDate() {
  WorldDocument* world = m_gameFiles->Find<WorldDocument>();
  if (!world) return;
  const QDate today = QDate::currentDate();
  world->missionDate = {today.year(), today.month(), today.day()};
  RefreshPages("World");
  // Only World.lua is written. Writing every file here would, unasked, replace the values of a file whose
  // load failed at start-up with the program's defaults, and write over edits waiting for Apply.
  if (m_gameFiles->Apply("World", GamePathOf("World"), "mission date of today"))
    ShowStatusMessage(LookupMessage("Applyed"));
}

void TFrmKESTA::BitBtnQuitClick() {
  m_busy = true;
  // Not stored: the next start keeps the option as it was.
  m_tray->SetOptionToggle(OptionToggle::Minimize, false);
  m_busy = false;
  m_quitting = true;
  close();
}

void TFrmKESTA::CommitSessionData() { BitBtnQuitClick(); }

void TFrmKESTA::closeEvent(QCloseEvent* event) {
  if (!m_quitting && !m_quit && m_tray->OptionToggleOn(OptionToggle::Minimize)) {
    event->ignore();
    showMinimized();
    return;
  }
  event->accept();
  // The program ends with its window. Qt ends the event loop by itself only when a visible window
  // closes, not when the Quit command closes the window hidden in the tray.
  QCoreApplication::exit(0);
}

}  // namespace kesta
