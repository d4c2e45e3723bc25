#pragma once
// TFrmKESTA, the program's one window. It owns the program's state for the whole run; its members
// are implemented in the files of their subsystem, so this header reads as the table of contents.

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
  // Reported once when the settings file cannot be written, instead of failing silently.
  void ReportSettingsWriteFailure(const std::string& failure);
  std::string ReadSetting(std::string_view section, std::string_view key) const override;
  // Stores the value, or reports the failure once.
  void StoreSetting(std::string_view section, std::string_view key, std::string_view value) override;

  // --- The game's folder and where its files lie (app/game_folder.h) ---
  TGameFolder& Game() const { return *m_game; }
  const std::string& GameFolder() const override;
  std::filesystem::path GamePathOf(std::string_view catalogKey) const override;

  // --- Language (language/language_setup.h) ---
  TLanguageSetup& Language() const { return *m_language; }
  QString LookupMessage(const QString& key) const override;

  // --- The pages, their buttons and the picture above them (ui/page_area.h) ---
  TPageArea& Pages() const { return *m_pageArea; }
  void OpenPage(const QString& page, PageOpening how) override;
  void RefreshPages(std::string_view catalogKey) override;
  bool ShowPreviewPicture(const QString& name) override;

  // --- Frame: ribbon, commands, status bar, colour scheme and window style ---
  TRibbon* Ribbon() const { return m_ribbon; }
  TRibbonButton* RibbonButton(const QString& name) const;
  TCommandTable& Commands() const { return *m_commands; }  // ui/command_table.h
  TWindowStatus& Status() const { return *m_status; }      // ui/window_status.h
  void ShowStatusMessage(const QString& text) override;
  TAppearance& Appearance() const { return *m_appearance; }  // ui/appearance.h

  // --- Apply/Cancel, reactivation, saved configurations, graphics loads (sets/configuration_commands.h) ---
  // Pages mark themselves modified through the host; the configuration commands own the state.
  void EnableApplyCancel(bool apply, bool cancel) override;
  TGameFileSet& GameFiles() override { return *m_gameFiles; }
  TConfigurationCommands& Configuration() const { return *m_configuration; }

  // --- Game launch and companion programs (launch/launcher.h) ---
  TLauncher& Launcher() const { return *m_launcher; }

  // --- Program files ---
  const ProgramFolder& Folder() const override { return m_environment.folder; }
  const SettingsFile& Settings() const { return m_settings; }
  DialogService& Dialogs() const override { return *m_dialogs; }
  // The lines of the export-script catalogue, in file order, as read at start-up.
  const std::vector<std::string>& ExportScripts() const { return m_exportScripts; }

  // --- Update (ui/main_window_navigation.cpp) ---
  // Shows the update page and starts the check there, unless one runs.
  void CheckForUpdate(bool atStartUp);

  // --- About window and bug report (ui/about_window.h) ---
  TAboutCommands& About() const { return *m_about; }

  // --- Tray, minimising, option toggles (app/tray_and_options.h) ---
  TTrayAndOptions& Tray() const { return *m_tray; }

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void changeEvent(QEvent* event) override;      // tells the tray of minimising

 private:
  // Construction (ui/main_window.cpp).
  void BuildWindow();
  void ConnectCommands();  // ui/main_window_commands.cpp
  void StatusStep(const QString& text);
  void LoadStartUpFile(std::string_view catalogKey);
  void LoadScriptCatalogue();
  void CommitSessionData();  // WMQueryEndSession

  WindowEnvironment m_environment;
  SettingsFile m_settings;
  std::unique_ptr<DialogService> m_ownDialogs;
  DialogService* m_dialogs = nullptr;
  QPointer<TFrmSplashScreen> m_splash;
  std::unique_ptr<TLanguageSetup> m_language;
  std::unique_ptr<TGameFileSet> m_gameFiles;

  // Flags of the running program.
  bool m_busy = false;
  bool m_quit = false;
  bool m_settingsFailureReported = false;
  bool m_quitting = false;  // the Quit command, not a close box, is closing the window

  std::unique_ptr<TGameFolder> m_game;
  std::vector<std::string> m_exportScripts;  // lines of the script catalogue

  // Window parts.
  TRibbon* m_ribbon = nullptr;
  std::unique_ptr<RibbonLayout> m_layout;
  std::unique_ptr<TCommandTable> m_commands;
  TPageArea* m_pageArea = nullptr;
  std::unique_ptr<TWindowStatus> m_status;
  std::unique_ptr<TAppearance> m_appearance;
  QTimer* m_timerMinimize = nullptr;

  // Tray, minimising, option toggles.
  std::unique_ptr<TTrayAndOptions> m_tray;

  // Game launch and companions.
  std::unique_ptr<TLauncher> m_launcher;

  // Apply and Cancel, reactivation, saved configurations, graphics loads.
  std::unique_ptr<TConfigurationCommands> m_configuration;
  std::unique_ptr<TAboutCommands> m_about;
};

}  // namespace kesta
