#pragma once
// TFrmKESTA, the program's one window: the frame, the features it owns, and the handlers that belong to
// the window itself. Each feature owns its state and sees only its collaborators (docs/architecture.md).

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/page_host.h"
#include "settings/settings_file.h"
#include "ui/window_environment.h"

class QTimer;

namespace kesta {

class DialogService;
class TAboutCommands;
class TAppearance;
class TCommandTable;
class TConfigurationCommands;
class TFrmSplashScreen;
class TGameFileSet;
class TGameFolder;
class TLanguageSetup;
class TLauncher;
class TPageArea;
class TRibbon;
class TRibbonButton;
class TSettingFinder;
class TWindowStatus;
class TTrayAndOptions;
struct RibbonLayout;

class TFrmKESTA : public QMainWindow, public TPageHost {
  Q_OBJECT

 public:
  explicit TFrmKESTA(WindowEnvironment environment, TFrmSplashScreen* splash = nullptr);
  ~TFrmKESTA() override;

  // --- Start-up and shut-down (ui/loading_sequence.cpp) ---
  void FormCreate();          // the loading sequence
  void TimerMinimizeTimer();  // the deferred start-up step
  // Sets the missions' date to today and writes World.lua (the option to keep it synchronised).
  void SynchronizeMissionDate();
  void BitBtnQuitClick();  // the Quit command
  bool Busy() const { return m_busy; }
  bool QuitFlag() const { return m_quit; }
  // Shows the update page and starts the check there, unless one runs (ui/main_window_navigation.cpp).
  void CheckForUpdate(bool atStartUp);

  // --- The features (each header says what it owns) ---
  TGameFolder& Game() const { return *m_game; }                               // app/game_folder.h
  TLanguageSetup& Language() const { return *m_language; }                    // language/language_setup.h
  TPageArea& Pages() const { return *m_pageArea; }                            // ui/page_area.h
  TConfigurationCommands& Configuration() const { return *m_configuration; }  // sets/configuration_commands.h
  TLauncher& Launcher() const { return *m_launcher; }                         // launch/launcher.h
  TTrayAndOptions& Tray() const { return *m_tray; }                           // app/tray_and_options.h
  TAboutCommands& About() const { return *m_about; }                          // ui/about_window.h
  TAppearance& Appearance() const { return *m_appearance; }                   // ui/appearance.h
  TWindowStatus& Status() const { return *m_status; }                         // ui/window_status.h
  TCommandTable& Commands() const { return *m_commands; }                     // ui/command_table.h
  TSettingFinder& Search() const { return *m_finder; }                        // ui/setting_finder.h
  TRibbon* Ribbon() const { return m_ribbon; }
  TRibbonButton* RibbonButton(const QString& name) const;
  const SettingsFile& Settings() const { return m_settings; }
  // The lines of the export-script catalogue, in file order, as read at start-up.
  const std::vector<std::string>& ExportScripts() const { return m_exportScripts; }

  // --- The page host, mostly forwarded to the features ---
  TGameFileSet& GameFiles() override { return *m_gameFiles; }
  void EnableApplyCancel(bool apply, bool cancel) override;
  QString LookupMessage(const QString& key) const override;
  DialogService& Dialogs() const override { return *m_dialogs; }
  const ProgramFolder& Folder() const override { return m_environment.folder; }
  std::string ReadSetting(std::string_view section, std::string_view key) const override;
  // Stores the value, or reports the failure once.
  void StoreSetting(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& GameFolder() const override;
  std::filesystem::path GamePathOf(std::string_view catalogKey) const override;
  bool ShowPreviewPicture(const QString& name) override;
  void ShowStatusMessage(const QString& text) override;
  void RefreshPages(std::string_view catalogKey) override;
  void OpenPage(const QString& page, PageOpening how) override;
  void UndoApply(std::optional<std::uint64_t> number) override;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void changeEvent(QEvent* event) override;      // tells the tray of minimising

 private:
  void BuildWindow();      // ui/main_window.cpp
  void ConnectCommands();  // ui/main_window_commands.cpp
  void StatusStep(const QString& text);
  void LoadStartUpFile(std::string_view catalogKey);
  void LoadScriptCatalogue();
  void CommitSessionData();  // WMQueryEndSession
  // Reported once when the settings file cannot be written, instead of failing silently.
  void ReportSettingsWriteFailure(const std::string& failure);

  WindowEnvironment m_environment;
  SettingsFile m_settings;
  std::unique_ptr<DialogService> m_ownDialogs;  // when the environment gives none
  DialogService* m_dialogs = nullptr;
  QPointer<TFrmSplashScreen> m_splash;
  std::vector<std::string> m_exportScripts;

  // Flags of the running program; the busy flag is shared with the features.
  bool m_busy = false;
  bool m_quit = false;
  bool m_settingsFailureReported = false;
  bool m_quitting = false;  // the Quit command, not a close box, is closing the window

  // The frame.
  TRibbon* m_ribbon = nullptr;
  std::unique_ptr<RibbonLayout> m_layout;
  std::unique_ptr<TCommandTable> m_commands;
  TPageArea* m_pageArea = nullptr;
  std::unique_ptr<TWindowStatus> m_status;
  std::unique_ptr<TAppearance> m_appearance;
  QTimer* m_timerMinimize = nullptr;

  // The features.
  std::unique_ptr<TLanguageSetup> m_language;
  std::unique_ptr<TGameFileSet> m_gameFiles;
  std::unique_ptr<TGameFolder> m_game;
  std::unique_ptr<TTrayAndOptions> m_tray;
  std::unique_ptr<TLauncher> m_launcher;
  std::unique_ptr<TConfigurationCommands> m_configuration;
  std::unique_ptr<TAboutCommands> m_about;
  std::unique_ptr<TSettingFinder> m_finder;
};

}  // namespace kesta
