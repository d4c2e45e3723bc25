#pragma once
// TFrmKESTA, the program's one window. It owns the program's state for the whole run; its members
// are implemented in the files of their subsystem, so this header reads as the table of contents.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/option_toggles.h"
#include "documents/visibility_profiles.h"
#include "engine/param_lines.h"
#include "pages/page_host.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QAction;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QSystemTrayIcon;
class QTimer;
class QToolButton;
class QWidget;

namespace kesta {

class DialogService;
class TApplicationMenu;
class TCommandTable;
class TConfigurationCommands;
class TFormTranslator;
class TFrmSplashScreen;
class TGameFileSet;
class TGamePage;
class TLauncher;
class TRibbon;
class TRibbonButton;
class TRibbonTab;
class TStatusBar;
class TTabSheet;
struct RibbonLayout;
enum class ColorScheme;

// What the window needs from the world outside it; tests provide their own.
struct WindowEnvironment {
  ProgramFolder folder;
  DialogService* dialogs = nullptr;  // the window's own Qt dialogs when null
  // Starts a program detached (the relaunch after a change of game folder).
  std::function<bool(const std::filesystem::path& program, const std::filesystem::path& workingFolder)>
      startProgram;
  // Whether the desktop shows tray icons right now; Qt's answer when empty. (The "= {}" lets callers
  // that list only the members above leave it out.)
  std::function<bool()> trayAvailable = {};
};

class TFrmKESTA : public QMainWindow, public TPageHost {
  Q_OBJECT

 public:
  explicit TFrmKESTA(WindowEnvironment environment, TFrmSplashScreen* splash = nullptr);
  ~TFrmKESTA() override;

  // --- Start-up and shut-down (app/loading_sequence.cpp) ---
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

  // --- Game folder (app/game_folder.cpp) ---
  bool DetermineGameFolder();
  bool ChooseGameFolder();
  // Among the game managers' prefixes that each hold the game; false when there are not several or the
  // player cancels.
  bool ChooseGameInPrefixes();
  void MenuChangePath1Click();
  const std::string& GameFolder() const override { return m_gameFolder; }
  void ShowGameFolder();  // in status bar panel 0
  // Uses `folder` from now on and stores it as "LockOnPath"; false, with the reason shown, when its path
  // holds a line break, which the settings file cannot hold.
  bool StoreGameFolder(std::string folder);
  std::filesystem::path GamePathOf(std::string_view catalogKey) const override;

  // --- Language (language/language_setup.cpp) ---
  void LoadLanguage(const std::string& code);
  void ComboBoxLanguageChange(int index);
  int LanguageIndex() const { return m_languageIndex; }  // in the options page's list
  QString LookupMessage(const QString& key) const override;
  std::string LookupMessageUtf8(std::string_view key) const;

  // --- Frame, navigation, preview, appearance, status (ui/main_window_navigation.cpp) ---
  void PageButtonClick(TRibbonButton* button);
  void dxRibbonTabChanged(TRibbonTab* tab);
  void CheckPageButton(TRibbonButton* button);
  void PageControlChange();
  // Shows a page, building it on its first visit.
  void ShowPage(const QString& name);
  // Shows a page with the picture it shows above it; as its ribbon button would, when asked so and it has
  // one.
  void OpenPage(const QString& page, PageOpening how) override;
  // Every page the page area can show, built or not.
  static QStringList PageNames();
  // Fills the built pages of a game file from its document again, after a load or a change of profile.
  void RefreshPages(std::string_view catalogKey) override;
  // Shows a picture of the images folder above the page; a picture that cannot be shown is reported.
  bool ShowPreviewPicture(const QString& name) override;
  void ShowStatusMessage(const QString& text) override;
  void TimerStatutBarTimer();
  void dxButtonBlueStyleClick();
  void dxButtonGreyStyleClick();
  void dxButtonBlackStyleClick();
  void dxButtonFormStyleClick();
  void ApplyStoredAppearance();
  QWidget* ActivePage() const;
  TRibbon* Ribbon() const { return m_ribbon; }
  TRibbonButton* RibbonButton(const QString& name) const;
  // The commands of the ribbon and the tray, by id (ui/command_table.h).
  TCommandTable& Commands() const { return *m_commands; }
  ColorScheme CurrentColorScheme() const { return m_colorScheme; }
  bool NewFormStyle() const { return m_newFormStyle; }
  QString StatusText(int panel) const;

  // --- Apply/Cancel, reactivation, saved configurations, graphics loads (sets/configuration_commands.h) ---
  // Pages mark themselves modified through the host; the configuration commands own the state.
  void EnableApplyCancel(bool apply, bool cancel) override;
  TGameFileSet& GameFiles() override { return *m_gameFiles; }
  TConfigurationCommands& Configuration() const { return *m_configuration; }

  // --- config.lua (ui/main_window_multiplayer_loads.cpp) ---
  // The tray's join entries follow the server list: after each load of config.lua, and each edit.
  void RebuildJoinMenu() { emit JoinMenuOutdated(); }

  // --- Game launch and companion programs (launch/launcher.h) ---
  TLauncher& Launcher() const { return *m_launcher; }
  void JoinClick(const QAction* item);  // an entry of the tray's join menu (app/tray.cpp)

  // --- Program files ---
  const ProgramFolder& Folder() const override { return m_environment.folder; }
  const SettingsFile& Settings() const { return m_settings; }
  DialogService& Dialogs() const override { return *m_dialogs; }
  // The lines of the export-script catalogue, in file order, as read at start-up.
  const std::vector<std::string>& ExportScripts() const { return m_exportScripts; }

  // --- Update (ui/main_window_navigation.cpp) ---
  // Shows the update page and starts the check there, unless one runs.
  void CheckForUpdate(bool atStartUp);

  // --- About window and bug report (ui/about_window.cpp) ---
  void MenuAboutClick();
  void MenuBugReportClick();
  // The bug-report commands are offered only while a bug-report page is set; otherwise they say why not.
  void UpdateBugReportCommands();
  // Opens a web address with the desktop's handler; a failure to start one is reported.
  void OpenWebAddress(const std::string& address);

  // --- Tray, minimising, options (app/tray.cpp) ---
  bool OptionToggleOn(OptionToggle toggle) const { return m_optionToggles[static_cast<size_t>(toggle)]; }
  // The user's change of an option: stored (unless the busy flag is set) and acted on.
  void SetOptionToggle(OptionToggle toggle, bool on);
  void RxTrayIconClick();       // left click on the tray icon: shown <-> hidden
  void JvAppEvents1Minimize();  // the window was minimised: to the tray while the option is on
  // Shown, restored and in front, from the tray or minimised: also what a second start of the program
  // asks for.
  void RestoreFromTray();
  void MenuMinimize1Click();  // keeps the tray icon in step with the box, busy or not
  void MenuStartWithWindows1Click();
  bool TrayAvailable() const;
  QSystemTrayIcon* TrayIcon() const { return m_rxTrayIcon; }

 signals:
  void JoinMenuOutdated();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void changeEvent(QEvent* event) override;      // app/tray.cpp: notices minimising

 private:
  // Construction (ui/main_window.cpp).
  void BuildWindow();
  void BuildStatusBar();
  void ConnectCommands();  // ui/main_window_commands.cpp
  void ConnectPageButtons();
  // The page's sheet, made with its controls on the first call.
  TTabSheet* Sheet(const QString& name);
  void BuildPageContent(const QString& name, TTabSheet* sheet);
  void SetColorScheme(ColorScheme scheme);
  void SetFormStyle(bool newStyle);
  void StatusStep(const QString& text);
  void LoadStartUpFile(std::string_view catalogKey);
  void LoadScriptCatalogue();
  void LoadOptionCheckBoxes();
  void RefreshPage(const QString& name);
  void CommitSessionData();  // WMQueryEndSession
  // Shows a picture of the images folder above the page; fails with a text for the user.
  void LoadPreviewPicture(const QString& name);
  // Fails with a text for the user when the picture cannot be shown.
  void CheckPreviewPicture(const QString& name) const;

  WindowEnvironment m_environment;
  SettingsFile m_settings;
  std::unique_ptr<DialogService> m_ownDialogs;
  DialogService* m_dialogs = nullptr;
  QPointer<TFrmSplashScreen> m_splash;
  std::unique_ptr<TFormTranslator> m_translator;
  std::unique_ptr<TGameFileSet> m_gameFiles;

  // Flags of the running program.
  bool m_busy = false;
  bool m_quit = false;
  bool m_settingsFailureReported = false;
  bool m_quitting = false;   // the Quit command, not a close box, is closing the window
  QString m_pendingPreview;  // the picture start-up asked for last, shown when it ends

  std::string m_registryKeyPath;
  std::string m_languageCode;
  std::string m_gameFolder;
  std::vector<std::string> m_exportScripts;  // lines of the script catalogue

  // Window parts.
  TRibbon* m_ribbon = nullptr;
  std::unique_ptr<RibbonLayout> m_layout;
  std::unique_ptr<TCommandTable> m_commands;
  QWidget* m_panelMain = nullptr;
  QWidget* m_panelImageGraphics = nullptr;
  QLabel* m_imageGraphics = nullptr;
  QStackedWidget* m_pageControl = nullptr;
  std::map<QString, TTabSheet*> m_pages;       // the sheets made so far, by page name
  std::map<QString, TGamePage*> m_builtPages;  // their page objects, for the pages that have one
  TStatusBar* m_statusBar = nullptr;
  QLabel* m_statusPanels[2] = {nullptr, nullptr};
  QTimer* m_timerStatutBar = nullptr;
  QTimer* m_timerMinimize = nullptr;
  ColorScheme m_colorScheme;
  bool m_newFormStyle = true;
  bool m_tabChangeConnected = false;

  // Options.
  std::array<bool, kOptionToggles.size()> m_optionToggles{};
  int m_languageIndex = 1;

  // Tray, minimising, options (app/tray.cpp).
  void BuildTrayIcon();
  void LoadStartWithSessionState();  // loading sequence step 11
  unsigned m_restores = 0;           // restores from the tray so far
  QSystemTrayIcon* m_rxTrayIcon = nullptr;
  QMenu* m_popupDroit = nullptr;

  // Game launch and companions.
  std::unique_ptr<TLauncher> m_launcher;
  void FillTrayJoinMenu();  // app/tray.cpp
  QMenu* m_menuSysTrayJoin = nullptr;

  // Apply and Cancel, reactivation, saved configurations, graphics loads.
  std::unique_ptr<TConfigurationCommands> m_configuration;
  void ConnectMultiplayerFileLoads();
};

}  // namespace kesta
