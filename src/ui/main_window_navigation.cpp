// Navigation between pages, the preview picture, colour schemes, window style and the status bar.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>
#include <QTimer>
#include <typeinfo>

#include "documents/graphics_document.h"
#include "engine/failure.h"
#include "language/form_translator.h"
#include "launch/launcher.h"
#include "pages/game_options/game_option_pages.h"
#include "pages/game_options/realism_page.h"
#include "pages/game_options/script_page.h"
#include "pages/game_page.h"
#include "pages/graphics/graphics_pages.h"
#include "pages/multiplayer/multiplayer_pages.h"
#include "pages/options/options_page.h"
#include "pages/views/view_pages.h"
#include "sets/backup_page.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "ui/application_menu.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/jpeg_image.h"
#include "ui/main_window.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/ribbon_layout.h"
#include "ui/status_bar.h"
#include "ui/tab_sheet.h"
#include "ui/theme.h"
#include "update/update_page.h"

namespace kesta {

namespace {

struct PageButton {
  const char* button;
  const char* page;
  bool keepsRibbonTab;  // shown from elsewhere (e.g. after a load on the backup page) without a tab switch
};

constexpr PageButton kPageButtons[] = {
    {"dxButtonGraphicsStandard", "TabSheetGraphicsStandards", false},
    {"dxButtonGraphicsCockpit", "TabSheetGraphicsCockpit", false},
    {"dxButtonResolution", "TabSheetResolution", false},
    {"dxButtonScreenshots", "TabSheetScreenshot", false},
    {"dxButtonOptimisation", "TabSheetOptimization1", false},
    {"dxButtonObjectClipping", "TabSheetOptimization2", false},
    {"dxButtonObjectDensity", "TabSheetOptimization3", false},
    {"dxButtonMultiClient", "TabSheetMultiplayerClient", false},
    {"dxButtonMultiServer", "TabSheetMultiplayerServer", false},
    {"dxButtonRealism", "TabSheetRealism", true},
    {"dxButtonOther", "TabSheetOther1", false},
    {"dxButtonLUA", "TabSheetLUA", false},
    {"dxButtonView", "TabSheetViewCockpit", false},
    {"dxButtonMouseView", "TabSheetViewGlobal", false},
    {"dxButtonSmokeColor", "TabSheetSmokeColor", false},
    {"dxButtonOptions", "TabSheetOptionKESTA", true},
    {"dxButtonBackup", "TabSheetBackup", true},
};

// The game file pages: built on their first visit, refreshed after every load of one of their files.
// Each page sees the window as its host only; what else it needs, its maker hands it here.
struct GamePageDesign {
  const char* page;
  std::string_view catalogKeys;  // separated by spaces
  TGamePage* (*make)(TFrmKESTA& window, TTabSheet* sheet);
};

// A page that needs only its host.
template <TGamePage* (*Make)(TPageHost& host, TTabSheet* sheet)>
TGamePage* HostedOnly(TFrmKESTA& window, TTabSheet* sheet) {
  return Make(window, sheet);
}

TGamePage* MakeServerPage(TFrmKESTA& window, TTabSheet* sheet) {
  return MakeMultiplayerServerPage(window, sheet, [&window](const std::string& password) {
    window.Launcher().SetServerRoomPassword(password);
  });
}

TGamePage* MakeScriptPageOf(TFrmKESTA& window, TTabSheet* sheet) {
  return MakeScriptPage(window, sheet, window.ExportScripts());
}

TGamePage* MakeOptionsPageOf(TFrmKESTA& window, TTabSheet* sheet) {
  OptionsPageLinks links;
  links.languageIndex = [&window] { return window.LanguageIndex(); };
  links.chooseLanguage = [&window](int index) { window.ComboBoxLanguageChange(index); };
  links.toggleOn = [&window](OptionToggle toggle) { return window.OptionToggleOn(toggle); };
  links.setToggle = [&window](OptionToggle toggle, bool on) { window.SetOptionToggle(toggle, on); };
  links.changeGameFolder = [&window] { window.MenuChangePath1Click(); };
  return MakeOptionsPage(window, sheet, std::move(links));
}

// The update page tells of its check; the window offers or withholds the commands that start one and
// ends when the new version's installer has started.
TGamePage* MakeUpdatePageOf(TFrmKESTA& window, TTabSheet* sheet) {
  TUpdatePage* page = MakeUpdatePage(window, sheet);
  QObject::connect(page, &TUpdatePage::CommandsEnabled, &window,
                   [&window](bool enabled) { window.Commands().SetEnabled(command::kUpdate, enabled); });
  QObject::connect(page, &TUpdatePage::QuitRequested, &window, &TFrmKESTA::BitBtnQuitClick);
  return page;
}

constexpr GamePageDesign kGamePages[] = {
    {"TabSheetGraphicsStandards", "Graphics MECustom", &HostedOnly<&MakeGraphicsStandardsPage>},
    {"TabSheetResolution", "Graphics", &HostedOnly<&MakeResolutionPage>},
    {"TabSheetScreenshot", "Graphics", &HostedOnly<&MakeScreenshotPage>},
    {"TabSheetOptimization1", "Graphics", &HostedOnly<&MakeOptimization1Page>},
    {"TabSheetOptimization2", "Graphics", &HostedOnly<&MakeClippingPage>},
    {"TabSheetOptimization3", "Graphics", &HostedOnly<&MakeDensityPage>},
    {"TabSheetGraphicsCockpit", "Cockpit", &HostedOnly<&MakeCockpitPage>},
    {"TabSheetMultiplayerClient", "Network", &HostedOnly<&MakeMultiplayerClientPage>},
    {"TabSheetMultiplayerServer", "Network Stats Server", &MakeServerPage},
    {"TabSheetOther1", "Producer World", &HostedOnly<&MakeOther1Page>},
    {"TabSheetSmokeColor", "Drawinfo", &HostedOnly<&MakeSmokeColorPage>},
    {"TabSheetRealism", "MECustom", &HostedOnly<&MakeRealismPage>},
    {"TabSheetLUA", "ExportConfig", &MakeScriptPageOf},
    {"TabSheetViewCockpit", "View SnapView", &HostedOnly<&MakeViewCockpitPage>},
    {"TabSheetViewGlobal", "View", &HostedOnly<&MakeViewGlobalPage>},
    // Pages that show no game file.
    {"TabSheetOptionKESTA", "", &MakeOptionsPageOf},
    {"TabSheetBackup", "", &HostedOnly<&MakeBackupPage>},
    {"TabSheetUpdate", "", &MakeUpdatePageOf},
};

const GamePageDesign* FindGamePage(const QString& page) {
  for (const GamePageDesign& design : kGamePages)
    if (page == design.page) return &design;
  return nullptr;
}

bool ShowsFile(const GamePageDesign& design, std::string_view catalogKey) {
  for (std::string_view keys = design.catalogKeys; !keys.empty();) {
    const size_t space = keys.find(' ');
    if (keys.substr(0, space) == catalogKey) return true;
    keys = space == std::string_view::npos ? std::string_view() : keys.substr(space + 1);
  }
  return false;
}

// The page each ribbon tab opens on, whatever page of the tab was shown before.
constexpr std::pair<const char*, const char*> kFirstButtonOfTab[] = {
    {"dxTabDisplay", "dxButtonGraphicsStandard"},
    {"dxTabCustomization", "dxButtonView"},
    {"dxTabGameSettings", "dxButtonMultiClient"},
    {"dxTabOptions", "dxButtonOptions"},
};

const PageButton* FindPageButton(const QString& buttonName) {
  for (const PageButton& entry : kPageButtons)
    if (buttonName == entry.button) return &entry;
  return nullptr;
}

// The picture a page shows above it; empty when the preview area is hidden on that page.
QString PreviewPictureOf(const QString& page, std::string_view visibilityProfile) {
  if (page == "TabSheetGraphicsStandards" || page == "TabSheetGraphicsCockpit") return "graphics_default.jpg";
  if (page == "TabSheetOptimization1") return "textures.jpg";
  if (page == "TabSheetOptimization2" || page == "TabSheetOptimization3") {
    if (visibilityProfile == "Low") return "visibilityrange_0.jpg";
    if (visibilityProfile == "Medium") return "visibilityrange_1.jpg";
    if (visibilityProfile == "High") return "visibilityrange_2.jpg";
    return "graphics_default.jpg";
  }
  return {};
}

}  // namespace

void TFrmKESTA::ConnectPageButtons() {
  for (const PageButton& entry : kPageButtons) {
    TRibbonButton* button = RibbonButton(entry.button);
    connect(button, &QToolButton::clicked, this, [this, button] { PageButtonClick(button); });
  }
}

void TFrmKESTA::ShowPage(const QString& name) {
  if (TTabSheet* sheet = Sheet(name)) m_pageControl->setCurrentWidget(sheet);
}

void TFrmKESTA::OpenPage(const QString& page, PageOpening how) {
  if (how == PageOpening::AsItsButton)
    for (const PageButton& entry : kPageButtons)
      if (page == entry.page) return PageButtonClick(RibbonButton(entry.button));
  ShowPage(page);
  PageControlChange();
}

void TFrmKESTA::CheckForUpdate(bool atStartUp) {
  // The page is built on its first showing; the check itself decides whether it stays in front.
  const QWidget* before = ActivePage();
  ShowPage("TabSheetUpdate");
  if (before) ShowPage(before->objectName());
  if (auto* page = findChild<TUpdatePage*>()) page->Check(atStartUp);
}

void TFrmKESTA::BuildPageContent(const QString& name, TTabSheet* sheet) {
  TGamePage* page = nullptr;
  if (const GamePageDesign* design = FindGamePage(name)) {
    try {
      page = design->make(*this, sheet);
      m_builtPages[name] = page;
    } catch (const std::bad_cast&) {
      // The file has a stand-in document of another type (tests), which no page shows.
    }
  }
  if (m_translator) m_translator->TranslateControls(sheet);
  if (page) page->Refresh();
}

void TFrmKESTA::RefreshPages(std::string_view catalogKey) {
  for (const auto& [name, page] : m_builtPages)
    if (!catalogKey.empty() && ShowsFile(*FindGamePage(name), catalogKey)) page->Refresh();
}

void TFrmKESTA::RefreshPage(const QString& name) {
  if (const auto built = m_builtPages.find(name); built != m_builtPages.end()) built->second->Refresh();
}

void TFrmKESTA::PageButtonClick(TRibbonButton* button) {
  const PageButton* entry = FindPageButton(button->objectName());
  if (!entry) return;
  if (!entry->keepsRibbonTab) {
    if (TRibbonTab* tab = m_ribbon->TabOf(button)) m_ribbon->SetActiveTab(tab);
  }
  ShowPage(entry->page);
  CheckPageButton(button);
}

void TFrmKESTA::dxRibbonTabChanged(TRibbonTab* tab) {
  for (const auto& [tabName, buttonName] : kFirstButtonOfTab) {
    if (tab->objectName() != tabName) continue;
    TRibbonButton* button = RibbonButton(buttonName);
    ShowPage(FindPageButton(buttonName)->page);
    CheckPageButton(button);
    PageControlChange();
    return;
  }
}

void TFrmKESTA::CheckPageButton(TRibbonButton* button) {
  for (TRibbonButton* pageButton : m_layout->pageButtons)
    if (pageButton->objectName() != button->objectName()) pageButton->SetPressed(false);
  button->SetPressed(true);
  PageControlChange();
}

void TFrmKESTA::PageControlChange() {
  const QWidget* page = ActivePage();
  const GraphicsDocument* graphics = m_gameFiles->Find<GraphicsDocument>();
  // The profile's bytes are compared as they are: converting them would read the registry for the code
  // page at start-up, where the first page has no text of the game's to show.
  const std::string profile = graphics ? graphics->currentProfile : std::string();
  const QString picture = PreviewPictureOf(page ? page->objectName() : QString(), profile);
  m_panelImageGraphics->setVisible(!picture.isEmpty());
  // The page switch is complete even when the picture cannot be shown.
  if (!picture.isEmpty()) ShowPreviewPicture(picture);
}

void TFrmKESTA::CheckPreviewPicture(const QString& name) const {
  CheckJpegFile(Folder().Images() / name.toStdString());
}

void TFrmKESTA::LoadPreviewPicture(const QString& name) {
  const std::filesystem::path file = Folder().Images() / name.toStdString();
  if (m_busy) {
    // While start-up fills the pages, only the last picture asked for is ever seen: each one is checked,
    // the last one decoded when start-up ends.
    CheckJpegFile(file);
    m_pendingPreview = name;
    return;
  }
  const QImage image = DecodeJpegFile(file);
  m_imageGraphics->setPixmap(QPixmap::fromImage(image));
}

bool TFrmKESTA::ShowPreviewPicture(const QString& name) {
  try {
    LoadPreviewPicture(name);
    return true;
  } catch (const EKestaError& failure) {
    // Only the picture stays as it was.
    m_dialogs->Error(QString::fromUtf8(failure.what()));
    return false;
  }
}

void TFrmKESTA::SetColorScheme(ColorScheme scheme) {
  if (scheme == m_colorScheme) return;  // already styled so; restyling every widget is costly
  m_colorScheme = scheme;
  m_ribbon->SetColorScheme(scheme);
  m_statusBar->SetColorScheme(scheme);
}

void TFrmKESTA::dxButtonBlueStyleClick() {
  SetColorScheme(ColorScheme::Blue);
  m_settings.WriteSetting("Config", "ThemeColor", "Blue");
}

void TFrmKESTA::dxButtonGreyStyleClick() {
  SetColorScheme(ColorScheme::Silver);
  m_settings.WriteSetting("Config", "ThemeColor", "Silver");
}

void TFrmKESTA::dxButtonBlackStyleClick() {
  SetColorScheme(ColorScheme::Black);
  m_settings.WriteSetting("Config", "ThemeColor", "Black");
}

void TFrmKESTA::SetFormStyle(bool newStyle) {
  m_newFormStyle = newStyle;
  m_ribbon->SetDrawsWindowFrame(newStyle);
}

void TFrmKESTA::dxButtonFormStyleClick() {
  SetFormStyle(!m_newFormStyle);
  m_settings.WriteSetting("Config", "FormStyle", m_newFormStyle ? "New" : "Classic");
}

void TFrmKESTA::ApplyStoredAppearance() {
  const std::string theme = m_settings.ReadSetting("Config", "ThemeColor");
  if (theme == "Blue") SetColorScheme(ColorScheme::Blue);
  if (theme == "Silver") SetColorScheme(ColorScheme::Silver);
  if (theme == "Black") SetColorScheme(ColorScheme::Black);
  SetFormStyle(m_settings.ReadSetting("Config", "FormStyle") == "New");
}

void TFrmKESTA::ShowStatusMessage(const QString& text) {
  m_statusPanels[1]->setText(text);
  m_timerStatutBar->start();  // restarting gives the message its full two seconds
}

void TFrmKESTA::TimerStatutBarTimer() { m_statusPanels[1]->clear(); }

}  // namespace kesta
