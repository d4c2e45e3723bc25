// The pages the page area builds, each with what it needs beyond its host.

#include "ui/page_factory.h"

#include "app/game_folder.h"
#include "app/tray_and_options.h"
#include "language/language_setup.h"
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
#include "ui/command_table.h"
#include "ui/main_window.h"
#include "update/update_page.h"

namespace kesta {

namespace {

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
  links.languageIndex = [&window] { return window.Language().LanguageIndex(); };
  links.chooseLanguage = [&window](int index) { window.Language().ComboBoxLanguageChange(index); };
  links.toggleOn = [&window](OptionToggle toggle) { return window.Tray().OptionToggleOn(toggle); };
  links.setToggle = [&window](OptionToggle toggle, bool on) { window.Tray().SetOptionToggle(toggle, on); };
  links.changeGameFolder = [&window] { window.Game().MenuChangePath1Click(); };
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

}  // namespace

TGamePage* MakeGamePage(TFrmKESTA& window, const QString& page, TTabSheet* sheet) {
  const GamePageDesign* design = FindGamePage(page);
  return design ? design->make(window, sheet) : nullptr;
}

bool PageShowsFile(const QString& page, std::string_view catalogKey) {
  const GamePageDesign* design = FindGamePage(page);
  return design && ShowsFile(*design, catalogKey);
}

}  // namespace kesta
