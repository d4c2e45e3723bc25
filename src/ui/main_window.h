#pragma once
// TFrmKESTA, the program's one window. It owns the program's state for the whole run; its members
// are implemented in the files of their subsystem, so this header reads as the table of contents.

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/param_lines.h"
#include "pages/graphics/visibility_profiles.h"
#include "settings/program_folder.h"
#include "settings/settings_file.h"

class QCheckBox;
class QComboBox;
class QLabel;
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
class TFormTranslator;
class TFrmSplashScreen;
class TGameFileSet;
class TRibbon;
class TRibbonButton;
class TRibbonTab;
class TSpecialSlider;
class TSpecialSliderModMan;
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

class TFrmKESTA : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFrmKESTA(WindowEnvironment environment, TFrmSplashScreen* splash = nullptr);
  ~TFrmKESTA() override;

  // --- Start-up and shut-down (app/loading_sequence.cpp) ---
  void FormCreate();          // the loading sequence
  void TimerMinimizeTimer();  // the deferred start-up step
  void BitBtnQuitClick();     // the Quit command
  bool Busy() const { return m_busy; }
  bool QuitFlag() const { return m_quit; }
  // Reported once when the settings file cannot be written, instead of failing silently.
  void ReportSettingsWriteFailure(const std::string& failure);

  // --- Game folder (app/game_folder.cpp) ---
  bool DetermineGameFolder();
  bool ChooseGameFolder();
  void MenuChangePath1Click();
  const std::string& GameFolder() const { return m_gameFolder; }
  std::filesystem::path GamePathOf(std::string_view catalogKey) const;

  // --- Language (language/language_setup.cpp) ---
  void LoadLanguage(const std::string& code);
  void ComboBoxLanguageChange(int index);
  QString LookupMessage(const QString& key) const;
  std::string LookupMessageUtf8(std::string_view key) const;

  // --- Frame, navigation, preview, appearance, status (ui/main_window_navigation.cpp) ---
  void PageButtonClick(TRibbonButton* button);
  void dxRibbonTabChanged(TRibbonTab* tab);
  void CheckPageButton(TRibbonButton* button);
  void PageControlChange();
  // Shows a picture of the images folder above the page; a picture that cannot be shown is reported.
  bool ShowPreviewPicture(const QString& name);
  void ShowStatusMessage(const QString& text);
  void TimerStatutBarTimer();
  void dxButtonBlueStyleClick();
  void dxButtonGreyStyleClick();
  void dxButtonBlackStyleClick();
  void dxButtonFormStyleClick();
  void ApplyStoredAppearance();
  QWidget* ActivePage() const;
  TRibbon* Ribbon() const { return m_ribbon; }
  TRibbonButton* RibbonButton(const QString& name) const;
  ColorScheme CurrentColorScheme() const { return m_colorScheme; }
  bool NewFormStyle() const { return m_newFormStyle; }
  QString StatusText(int panel) const;

  // --- Apply, Cancel and the backup page (sets/apply_cancel.cpp) ---
  void EnableApplyCancel(bool apply, bool cancel);
  bool ApplyEnabled() const;
  bool CancelEnabled() const;
  void dxButtonApplyClick();
  void dxButtonCancelClick();
  void ComboBoxBackupChange();
  void SpeedButtonLoadLockonSettingsClick(QObject* sender);
  TGameFileSet& GameFiles() { return *m_gameFiles; }

  // --- Cockpit page (pages/graphics/cockpit_page.cpp) ---
  void LoadCockpitSettings(const std::filesystem::path& path);
  void ApplyCockpitSettings(const std::filesystem::path& targetPath);
  void ButtonCanopyClick();  // renames the canopy effect's folder at once, not through Apply
  void SpecialSliderMirrorsStep();
  void SpecialSliderReflectionsStep();
  void SpecialSliderMirrorResolutionStep();
  void CheckboxRussianHUDClick();

  // --- Graphics pages (pages/graphics/graphics_page.cpp, resolution_pages.cpp, visibility_pages.cpp) ---
  // Returns true only when `checkAspectOnly` is set and the file's aspect differs from the selected one.
  bool LoadGraphicsSettings(const std::filesystem::path& path, bool checkAspectOnly);
  void ApplyGraphicsSettings(const std::filesystem::path& targetPath);
  void FillResolutions();
  void ConnectLateSliderHandlers();  // loading sequence, after the first graphics load
  void SpecialSliderTextureLevelStep();
  void SpecialSliderPrecachingStep();
  void SpecialSliderWaterQualityStep();
  void SpecialSliderFogQualityStep();
  void SpecialSliderLightsLevelStep();
  void SpecialSliderEffectOptionsStep();
  void SpecialSliderShadowLevelStep();
  void SpecialSliderShadowDensityStep();
  void SpecialSliderScenesStep();
  void CheckboxExhausClick();
  void CheckBoxTrafficCivilClick();
  void CheckboxJPGClick();
  void CheckboxBMPClick();
  void MarkGraphicsModified();  // the handlers that do nothing more than mark the pages modified
  void ComboBoxOptimization1Change(QObject* sender);
  void SpeedButtonAddOptiClick();
  void SpeedButtonRemoveOptiClick();
  const std::vector<TOpti>& Optis() const { return m_optis; }

  // --- Program files ---
  const ProgramFolder& Folder() const { return m_environment.folder; }
  const SettingsFile& Settings() const { return m_settings; }
  DialogService& Dialogs() const { return *m_dialogs; }

  // --- Tray, minimising, options (app/tray.cpp) ---
  void RxTrayIconClick();       // left click on the tray icon: shown <-> hidden
  void JvAppEvents1Minimize();  // the window was minimised: to the tray while the option is on
  void MenuMinimize1Click();    // keeps the tray icon in step with the box, busy or not
  void MenuStartWithWindows1Click();
  bool TrayAvailable() const;
  QSystemTrayIcon* TrayIcon() const { return m_rxTrayIcon; }

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void changeEvent(QEvent* event) override;      // app/tray.cpp: notices minimising

 private:
  // Construction (ui/main_window.cpp).
  void BuildWindow();
  void BuildPages();
  void BuildStatusBar();
  void BuildOptionsPage(TTabSheet* page);  // pages/options/options_page.cpp
  void BuildBackupPage(TTabSheet* page);   // sets/backup_page.cpp
  void ConnectCommands();
  TTabSheet* Page(const QString& name) const;
  void ShowPage(const QString& name);
  void SetColorScheme(ColorScheme scheme);
  void SetFormStyle(bool newStyle);
  void StatusStep(const QString& text);
  void FillBackupPageList();
  void LoadScriptCatalogue();
  void LoadRecentList();
  void LoadOptionCheckBoxes();
  void WriteOptionCheckBox(QCheckBox* box, const char* key);
  void CommitSessionData();  // WMQueryEndSession
  void RunWithHourglass(const std::function<void()>& work);
  // Shows a picture of the images folder above the page; fails with a text for the user.
  void LoadPreviewPicture(const QString& name);

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
  bool m_sliderUpdate = false;
  bool m_settingsFailureReported = false;
  bool m_quitting = false;
  QString m_pendingPreview;  // the picture start-up asked for last, shown when it ends  // the Quit command, not a close box, is closing the window

  std::string m_registryKeyPath;
  std::string m_languageCode;
  std::string m_gameFolder;
  QDateTime m_graphicsTimeStamp;
  std::vector<std::string> m_exportScripts;  // lines of the script catalogue
  std::vector<std::string> m_recentList;     // lines of the recent list

  // Window parts.
  TRibbon* m_ribbon = nullptr;
  std::unique_ptr<RibbonLayout> m_layout;
  QWidget* m_panelMain = nullptr;
  QWidget* m_panelImageGraphics = nullptr;
  QLabel* m_imageGraphics = nullptr;
  QStackedWidget* m_pageControl = nullptr;
  std::map<QString, TTabSheet*> m_pages;
  TStatusBar* m_statusBar = nullptr;
  QLabel* m_statusPanels[2] = {nullptr, nullptr};
  QTimer* m_timerStatutBar = nullptr;
  QTimer* m_timerMinimize = nullptr;
  ColorScheme m_colorScheme;
  bool m_newFormStyle = true;
  bool m_tabChangeConnected = false;

  // Options page.
  QComboBox* m_comboBoxLanguage = nullptr;
  std::vector<std::pair<QCheckBox*, const char*>> m_optionBoxes;  // settings check boxes and their keys
  QCheckBox* m_menuMinimize = nullptr;
  QCheckBox* m_menuStartMinimize = nullptr;
  QCheckBox* m_menuCheckForUpdateWhenStarting = nullptr;
  QCheckBox* m_menuSynchronizeDate = nullptr;
  QCheckBox* m_menuStartWithWindows = nullptr;

  // Tray, minimising, options (app/tray.cpp).
  void BuildTrayIcon();
  void LoadStartWithSessionState();  // loading sequence step 11
  void RestoreFromTray();
  QSystemTrayIcon* m_rxTrayIcon = nullptr;
  QMenu* m_popupDroit = nullptr;

  // Cockpit page (pages/graphics/cockpit_page.cpp).
  class TCockpitFile;  // the cockpit file's page logic, plugged into m_gameFiles
  void BuildCockpitPage(TTabSheet* page);
  void ReadCockpitLines(const Lines& lines);
  void WriteCockpitLines(Lines& lines) const;
  void ShowCanopyState();
  TSpecialSlider* m_specialSliderMirrors = nullptr;
  TSpecialSlider* m_specialSliderMirrorResolution = nullptr;
  TSpecialSlider* m_specialSliderReflections = nullptr;
  QCheckBox* m_checkboxRussianHUD = nullptr;
  QPlainTextEdit* m_memoCanopy = nullptr;
  QPushButton* m_buttonCanopy = nullptr;

  // Graphics pages (pages/graphics/graphics_page.cpp, resolution_pages.cpp, visibility_pages.cpp).
  class TGraphicsFile;  // graphics.cfg's page logic, plugged into m_gameFiles
  void BuildGraphicsStandardsPage(TTabSheet* page);
  void BuildResolutionPage(TTabSheet* page);
  void BuildScreenshotPage(TTabSheet* page);
  void BuildOptimization1Page(TTabSheet* page);
  void BuildVisibilityPages(TTabSheet* clipping, TTabSheet* density);
  void ReadGraphicsLines(const Lines& lines);
  void ReadGraphicsValues(const Lines& lines);
  void WriteGraphicsLines(Lines& lines);
  void ReadResolutionLines(const Lines& lines);
  void WriteGameResolutionLines(Lines& lines);
  void WriteMovieAspectFullScreenLines(Lines& lines);
  void ReadScreenshotLines(const Lines& lines);
  void WriteScreenshotLines(Lines& lines) const;
  void ReadOptimization1Lines(const Lines& lines);
  void WriteOptimization1Lines(Lines& lines) const;
  void ReadProfiles(const Lines& lines);
  void SelectCurrentProfile(const std::string& current);
  void OptiSliderStep(const OptiSlider& slider);
  // Shows a handler's picture; while the file loads, a missing one is kept to fail the load.
  void GraphicsPreview(const QString& name);
  bool m_graphicsLoading = false;
  std::string m_graphicsPreviewFailure;
  TSpecialSlider* m_specialSliderTextureLevel = nullptr;
  TSpecialSlider* m_specialSliderPrecaching = nullptr;
  TSpecialSlider* m_specialSliderWaterQuality = nullptr;
  TSpecialSlider* m_specialSliderFogQuality = nullptr;
  TSpecialSlider* m_specialSliderLightsLevel = nullptr;
  TSpecialSlider* m_specialSliderEffectOptions = nullptr;
  TSpecialSlider* m_specialSliderShadowLevel = nullptr;
  TSpecialSliderModMan* m_specialSliderShadowDensity = nullptr;
  TSpecialSlider* m_specialSliderScenes = nullptr;
  QCheckBox* m_checkboxExhaust = nullptr;
  QCheckBox* m_checkBoxTrafficCivil = nullptr;
  bool m_missionEditorLoading = false;  // set while the mission-editor file fills the scenes and traffic
  QComboBox* m_comboBoxGameResolution = nullptr;
  QComboBox* m_comboBoxBits = nullptr;
  QComboBox* m_comboBoxGameAspect = nullptr;
  QCheckBox* m_checkBoxGameFullScreen = nullptr;
  QComboBox* m_comboBoxMovieResolution = nullptr;
  QCheckBox* m_checkBoxMovieFullScreen = nullptr;
  QLineEdit* m_editScreenShotName = nullptr;
  QLineEdit* m_editScreenShotQuality = nullptr;
  QCheckBox* m_checkboxJPG = nullptr;
  QCheckBox* m_checkboxBMP = nullptr;
  std::map<std::string, QLineEdit*> m_optimization1Edits;  // by control name
  bool m_checkAspectOnly = false;
  bool m_aspectDiffers = false;
  std::filesystem::path m_graphicsLoadPath;  // the path given to LoadGraphicsSettings, not the default copy
  std::vector<TOpti> m_optis;
  QComboBox* m_comboBoxOptimization1 = nullptr;
  QComboBox* m_comboBoxOptimization2 = nullptr;
  std::vector<QToolButton*> m_removeOptiButtons;
  std::map<std::string_view, TSpecialSliderModMan*> m_optiSliders;  // by key
  bool m_lateSlidersConnected = false;

  // Backup page.
  QComboBox* m_comboBoxBackup = nullptr;
  QLabel* m_labelBackupInfo = nullptr;
  std::vector<QToolButton*> m_backupButtons;
};

}  // namespace kesta
