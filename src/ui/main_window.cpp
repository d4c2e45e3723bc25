#include "ui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSessionManager>
#include <QTimer>

#include "app/game_folder.h"
#include "app/splash_screen.h"
#include "app/tray_and_options.h"
#include "language/language_setup.h"
#include "language/setting_search.h"
#include "launch/launcher.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "sets/whole_set.h"
#include "settings/ini_file.h"
#include "ui/about_window.h"
#include "ui/appearance.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/page_area.h"
#include "ui/page_factory.h"
#include "ui/ribbon.h"
#include "ui/ribbon_layout.h"
#include "ui/setting_finder.h"
#include "ui/theme.h"
#include "ui/window_status.h"

namespace kesta {

TFrmKESTA::TFrmKESTA(WindowEnvironment environment, TFrmSplashScreen* splash)
    : m_environment(std::move(environment)),
      m_settings(m_environment.folder.SettingsFile()),
      m_splash(splash) {
  if (m_environment.dialogs) {
    m_dialogs = m_environment.dialogs;
  } else {
    m_ownDialogs = std::make_unique<QtDialogService>(this);
    m_dialogs = m_ownDialogs.get();
  }
  m_language = std::make_unique<TLanguageSetup>(TLanguageSetup::Collaborators{
      *this, *m_dialogs, m_environment.folder,
      [this](std::string_view code) { StoreSetting("Config", "Language", code); }});
  m_game = std::make_unique<TGameFolder>(TGameFolder::Collaborators{
      m_settings, m_environment.folder, *m_dialogs, [this](const QString& key) { return LookupMessage(key); },
      [this](std::string_view section, std::string_view key, std::string_view value) {
        StoreSetting(section, key, value);
      },
      [this](const std::string& folder) { m_status->ShowGameFolder(folder); }, m_environment.startProgram,
      [this] { BitBtnQuitClick(); }});
  TGameFileSet::Context files;
  files.settings = &m_settings;
  files.lookup = [this](std::string_view key) { return m_language->LookupMessageUtf8(key); };
  files.defaultsFolder = m_environment.folder.Defaults();
  files.journalFolder = m_environment.folder.Journal();
  files.enableApplyCancel = [this](bool apply, bool cancel) { EnableApplyCancel(apply, cancel); };
  files.askErrorQuestion = [this](const std::string& question) {
    return m_dialogs->ErrorQuestion(QString::fromStdString(question));
  };
  files.reportError = [this](const std::string& message) {
    m_dialogs->Error(QString::fromStdString(message));
  };
  files.documentRead = [this](std::string_view catalogKey) { RefreshPages(catalogKey); };
  m_gameFiles = std::make_unique<TGameFileSet>(std::move(files));
  // The tray's join entries follow config.lua's server list, loaded or edited.
  m_gameFiles->SetLoadedHook(
      "Network", [this](GameDocument&, const GameDocument&) { m_gameFiles->ServerListChanged(); });
  m_gameFiles->SetServerListChangedHook([this] { m_tray->RebuildJoinMenu(); });

  BuildWindow();
  ConnectCommands();
  m_configuration = std::make_unique<TConfigurationCommands>(TConfigurationCommands::Collaborators{
      *m_gameFiles, *m_dialogs, [this](const QString& key) { return LookupMessage(key); }, m_settings,
      m_environment.folder, m_busy, *m_commands, *this,
      [this] { return m_launcher->ConfirmApplyWhileGameRuns(); },
      [this] { return m_tray->OptionToggleOn(OptionToggle::ReloadSettings); },
      [this](const QString& name) { m_pageArea->CheckPreviewPicture(name); },
      [this](const QString& name) { m_pageArea->LoadPreviewPicture(name); }, *m_ribbon->ApplicationMenu(),
      this});
  m_about = std::make_unique<TAboutCommands>(
      TAboutCommands::Collaborators{*this, m_environment.folder, m_settings, *m_dialogs,
                                    [this](const QString& key) { return LookupMessage(key); }, *m_commands,
                                    [this](QWidget* part) { m_language->TranslateControls(part); }});
  m_configuration->ConnectGraphicsFileLoads();
  m_configuration->ConnectReactivation();
  m_launcher = std::make_unique<TLauncher>(TLauncher::Collaborators{
      *m_gameFiles, *m_dialogs, [this](const QString& key) { return LookupMessage(key); }, m_settings,
      m_game->Folder(), [this](OptionToggle toggle) { return m_tray->OptionToggleOn(toggle); }, *m_commands});
  // The desktop session is ending: leave as the Quit command does.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { CommitSessionData(); });
}

TFrmKESTA::~TFrmKESTA() = default;

void TFrmKESTA::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (m_tray) m_tray->WindowChanged(*event);  // the window's own set-up changes it before the tray exists
}

void TFrmKESTA::EnableApplyCancel(bool apply, bool cancel) {
  m_configuration->EnableApplyCancel(apply, cancel);
}

void TFrmKESTA::BuildWindow() {
  setObjectName("FrmKESTA");
  setWindowTitle("Kesta");
  setFixedSize(490, 720);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  m_ribbon = new TRibbon(this);
  // Styled in the scheme start-up will choose before its buttons exist.
  const ColorScheme scheme = StoredColorScheme(m_settings);
  m_ribbon->SetColorScheme(scheme);
  m_layout = std::make_unique<RibbonLayout>(BuildKestaRibbon(*m_ribbon));
  setMenuWidget(m_ribbon);

  m_pageArea = new TPageArea(TPageArea::Collaborators{
      *this, *m_ribbon, *m_layout, *m_gameFiles, *m_dialogs, m_environment.folder, m_busy,
      [this](const QString& page, TTabSheet* sheet) { return MakeGamePage(*this, page, sheet); },
      &PageShowsFile, [this](QWidget* part) { m_language->TranslateControls(part); }});
  setCentralWidget(m_pageArea->Panel());
  m_finder = std::make_unique<TSettingFinder>(TSettingFinder::Collaborators{
      *this, *m_ribbon, *m_pageArea, [this] { return m_language->Catalogue(); },
      [this](const QString& key) { return LookupMessage(key); },
      [this] {
        std::vector<std::string> controls;
        for (const std::string& name :
             ChangedValueNames(*m_gameFiles, [this](std::string_view key) { return GamePathOf(key); }))
          controls.push_back(CaptionControlOf(name));
        return controls;
      }});

  m_status = std::make_unique<TWindowStatus>(*this, scheme);
  m_appearance = std::make_unique<TAppearance>(m_settings, *m_ribbon, m_status->Bar(), scheme);
  // Before the commands: the command table finds the tray's items by name.
  m_tray = std::make_unique<TTrayAndOptions>(TTrayAndOptions::Collaborators{
      .window = *this,
      .busy = m_busy,
      .readSetting = [this](std::string_view section,
                            std::string_view key) { return ReadSetting(section, key); },
      .storeSetting = [this](std::string_view section, std::string_view key,
                             std::string_view value) { StoreSetting(section, key, value); },
      .dialogs = *m_dialogs,
      .gameFiles = *m_gameFiles,
      .join = [this](const QString& address) { m_launcher->JoinServer(address); },
      .optionsChanged = [this] { m_pageArea->RefreshPage("TabSheetOptionKESTA"); },
      .trayAvailable = m_environment.trayAvailable,
      .destroyNativeWindow = [this] { destroy(); },
      .executable = Folder().Executable(),
      .images = Folder().Images()});

  m_timerMinimize = new QTimer(this);
  m_timerMinimize->setObjectName("TimerMinimize");
  m_timerMinimize->setInterval(50);
  connect(m_timerMinimize, &QTimer::timeout, this, &TFrmKESTA::TimerMinimizeTimer);
}

QString TFrmKESTA::LookupMessage(const QString& key) const { return m_language->LookupMessage(key); }

const std::string& TFrmKESTA::GameFolder() const { return m_game->Folder(); }

std::filesystem::path TFrmKESTA::GamePathOf(std::string_view catalogKey) const {
  return m_game->GamePathOf(catalogKey);
}

TRibbonButton* TFrmKESTA::RibbonButton(const QString& name) const { return m_layout->Button(name); }

}  // namespace kesta
