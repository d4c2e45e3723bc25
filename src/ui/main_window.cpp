#include "ui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSessionManager>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/splash_screen.h"
#include "language/form_translator.h"
#include "launch/launcher.h"
#include "pages/graphics/graphics_pages.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/focus_ring.h"
#include "ui/ribbon.h"
#include "ui/ribbon_layout.h"
#include "ui/status_bar.h"
#include "ui/tab_sheet.h"
#include "ui/theme.h"

namespace kesta {

namespace {

// The window has a fixed size, so the page area takes the room it is given and never asks the pages
// how big they would like to be: asking would lay out every hidden page at start-up. A page is laid
// out when it is shown.
class TPageStack : public QStackedWidget {
 public:
  explicit TPageStack(QWidget* parent) : QStackedWidget(parent) {
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
  }
  QSize sizeHint() const override { return {0, 0}; }
  QSize minimumSizeHint() const override { return {0, 0}; }
};

}  // namespace

namespace {

struct PageDesign {
  const char* name;
  const char* caption;
};

// The pages in the page area, with their design captions (the language file replaces them).
constexpr PageDesign kPages[] = {
    {"TabSheetGraphicsStandards", "Standards"},
    {"TabSheetGraphicsCockpit", "Cockpit"},
    {"TabSheetResolution", "Resolution"},
    {"TabSheetScreenshot", "Screenshot"},
    {"TabSheetOptimization1", "Textures / Verrière"},
    {"TabSheetOptimization2", "Clipping / Lod"},
    {"TabSheetOptimization3", "Objects Density"},
    {"TabSheetMultiplayerClient", "Client"},
    {"TabSheetMultiplayerServer", "Server"},
    {"TabSheetViewCockpit", "Cockpit"},
    {"TabSheetViewGlobal", "Global"},
    {"TabSheetSmokeColor", "TabSheetSmokeColor"},
    {"TabSheetOther1", "Other"},
    {"TabSheetLUA", "LUA"},
    {"TabSheetRealism", "Realism"},
    {"TabSheetOptionKESTA", "TabSheetOptionKESTA"},
    {"TabSheetBackup", "Backup"},
    {"TabSheetUpdate", "TabSheetUpdate"},
};

}  // namespace

TFrmKESTA::TFrmKESTA(WindowEnvironment environment, TFrmSplashScreen* splash)
    : m_environment(std::move(environment)),
      m_settings(m_environment.folder.SettingsFile()),
      m_splash(splash),
      m_colorScheme(ColorScheme::Silver) {
  if (m_environment.dialogs) {
    m_dialogs = m_environment.dialogs;
  } else {
    m_ownDialogs = std::make_unique<QtDialogService>(this);
    m_dialogs = m_ownDialogs.get();
  }
  TGameFileSet::Context files;
  files.settings = &m_settings;
  files.lookup = [this](std::string_view key) { return LookupMessageUtf8(key); };
  files.defaultsFolder = m_environment.folder.Defaults();
  files.enableApplyCancel = [this](bool apply, bool cancel) { EnableApplyCancel(apply, cancel); };
  files.askErrorQuestion = [this](const std::string& question) {
    return m_dialogs->ErrorQuestion(QString::fromStdString(question));
  };
  files.reportError = [this](const std::string& message) {
    m_dialogs->Error(QString::fromStdString(message));
  };
  files.documentRead = [this](std::string_view catalogKey) { RefreshPages(catalogKey); };
  m_gameFiles = std::make_unique<TGameFileSet>(std::move(files));
  ConnectMultiplayerFileLoads();

  BuildWindow();
  ConnectCommands();
  m_configuration = std::make_unique<TConfigurationCommands>(TConfigurationCommands::Collaborators{
      *m_gameFiles, *m_dialogs, [this](const QString& key) { return LookupMessage(key); }, m_settings,
      m_environment.folder, m_busy, *m_commands, *this,
      [this] { return m_launcher->ConfirmApplyWhileGameRuns(); },
      [this] { return OptionToggleOn(OptionToggle::ReloadSettings); },
      [this](const QString& name) { CheckPreviewPicture(name); },
      [this](const QString& name) { LoadPreviewPicture(name); }, *m_ribbon->ApplicationMenu(), this});
  m_configuration->ConnectGraphicsFileLoads();
  m_configuration->ConnectReactivation();
  m_launcher = std::make_unique<TLauncher>(TLauncher::Collaborators{
      *m_gameFiles, *m_dialogs, [this](const QString& key) { return LookupMessage(key); }, m_settings,
      m_gameFolder, [this](OptionToggle toggle) { return OptionToggleOn(toggle); }, *m_commands});
  // The desktop session is ending: leave as the Quit command does.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { CommitSessionData(); });
}

TFrmKESTA::~TFrmKESTA() = default;

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
  // Style the ribbon in the scheme start-up will choose before its buttons exist: styling them all
  // again later is a good part of start-up time. The stored value is only looked at here, not written.
  const std::string storedTheme = ReadIniKey(m_settings.Path(), "Config", "ThemeColor").value_or("");
  m_colorScheme =
      SchemeFromName(QString::fromStdString(storedTheme.empty() ? DefaultSetting("ThemeColor") : storedTheme))
          .value_or(ColorScheme::Silver);
  m_ribbon->SetColorScheme(m_colorScheme);
  m_layout = std::make_unique<RibbonLayout>(BuildKestaRibbon(*m_ribbon));
  setMenuWidget(m_ribbon);

  m_panelMain = new QWidget(this);
  m_panelMain->setObjectName("PanelMain");
  auto* main = new QVBoxLayout(m_panelMain);
  main->setContentsMargins(8, 8, 8, 8);
  main->setSpacing(6);

  m_panelImageGraphics = new QWidget(m_panelMain);
  m_panelImageGraphics->setObjectName("PanelImageGraphics");
  m_panelImageGraphics->setFixedHeight(135);
  auto* preview = new QVBoxLayout(m_panelImageGraphics);
  preview->setContentsMargins(0, 0, 0, 0);
  m_imageGraphics = new QLabel(m_panelImageGraphics);
  m_imageGraphics->setObjectName("ImageGraphics");
  m_imageGraphics->setAlignment(Qt::AlignCenter);
  m_imageGraphics->setMinimumHeight(135);
  preview->addWidget(m_imageGraphics);
  main->addWidget(m_panelImageGraphics);

  m_pageControl = new TPageStack(m_panelMain);
  m_pageControl->setObjectName("PageControl");
  main->addWidget(m_pageControl, 1);
  new TFocusRing(m_pageControl);
  setCentralWidget(m_panelMain);

  BuildStatusBar();
  BuildTrayIcon();

  m_timerStatutBar = new QTimer(this);
  m_timerStatutBar->setObjectName("TimerStatutBar");
  m_timerStatutBar->setInterval(2000);
  connect(m_timerStatutBar, &QTimer::timeout, this, &TFrmKESTA::TimerStatutBarTimer);
  m_timerStatutBar->start();

  m_timerMinimize = new QTimer(this);
  m_timerMinimize->setObjectName("TimerMinimize");
  m_timerMinimize->setInterval(50);
  connect(m_timerMinimize, &QTimer::timeout, this, &TFrmKESTA::TimerMinimizeTimer);
}

QStringList TFrmKESTA::PageNames() {
  QStringList names;
  for (const PageDesign& design : kPages) names.append(design.name);
  return names;
}

TTabSheet* TFrmKESTA::Sheet(const QString& name) {
  if (const auto found = m_pages.find(name); found != m_pages.end()) return found->second;
  const auto design = std::find_if(std::begin(kPages), std::end(kPages),
                                   [&name](const PageDesign& page) { return name == page.name; });
  if (design == std::end(kPages)) return nullptr;
  auto* sheet = new TTabSheet(design->name, QString::fromUtf8(design->caption), m_pageControl);
  m_pageControl->addWidget(sheet);
  m_pages[design->name] = sheet;
  BuildPageContent(name, sheet);
  return sheet;
}

void TFrmKESTA::BuildStatusBar() {
  m_statusBar = new TStatusBar(this);
  m_statusBar->setObjectName("StatusBar");
  m_statusBar->SetColorScheme(m_colorScheme);  // the ribbon starts in the same scheme
  setStatusBar(m_statusBar);
  for (int panel = 0; panel < 2; ++panel) {
    m_statusPanels[panel] = new QLabel(m_statusBar);
    m_statusPanels[panel]->setObjectName(QString("StatusBarPanel%1").arg(panel));
  }
  m_statusPanels[0]->setMinimumWidth(300);
  m_statusPanels[0]->setMaximumWidth(300);
  m_statusBar->AddPanel(m_statusPanels[0]);
  m_statusBar->AddPanel(m_statusPanels[1], 1);
}

QString TFrmKESTA::StatusText(int panel) const { return m_statusPanels[panel]->text(); }

TRibbonButton* TFrmKESTA::RibbonButton(const QString& name) const { return m_layout->Button(name); }

QWidget* TFrmKESTA::ActivePage() const { return m_pageControl->currentWidget(); }

}  // namespace kesta
