// The tray icon and its menu, hiding the window to the tray and back, and the option that starts
// the program with the desktop session.

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "documents/network_document.h"
#include "launch/launcher.h"
#include "platform/autostart.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

// The application button's orb and emblem, at the sizes trays and task bars ask for.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
  return icon;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption, bool shown) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(name);
  action->setVisible(shown);
  return action;
}

void AddSeparator(QMenu* menu, const char* name, bool shown) {
  QAction* separator = menu->addSeparator();
  separator->setObjectName(name);
  separator->setVisible(shown);
}

}  // namespace

void TFrmKESTA::JoinClick(const QAction* item) { m_launcher->JoinServer(item->data().toString()); }

void TFrmKESTA::FillTrayJoinMenu() {
  const QList<QAction*> items = m_menuSysTrayJoin->actions();
  for (qsizetype i = 2; i < items.size(); ++i) {
    m_menuSysTrayJoin->removeAction(items[i]);
    delete items[i];
  }
  const NetworkDocument* network = m_gameFiles->Find<NetworkDocument>();
  if (!network) return;  // a stand-in document of another type (tests)
  for (const std::string& entry : network->servers) {
    const QString text = FromGameText(entry);
    // "&" in a caption marks a keyboard key; the entry is shown as written.
    QAction* item = m_menuSysTrayJoin->addAction(QString(text).replace('&', "&&"));
    item->setData(text);
    connect(item, &QAction::triggered, this, [this, item] { JoinClick(item); });
  }
}

void TFrmKESTA::BuildTrayIcon() {
  m_popupDroit = new QMenu(this);
  m_popupDroit->setObjectName("PopupDroit");
  m_popupDroit->setToolTipsVisible(true);  // a disabled item's tooltip says why it is disabled
  // Some trays open the menu on a left click too; this item is the way back to the window there.
  m_popupDroit->setDefaultAction(AddItem(m_popupDroit, "MenuSysTrayShow", "KESTA", true));
  AddSeparator(m_popupDroit, "SeparateurKESTA", true);

  // The items that run commands are wired with the commands' buttons (ui/main_window_commands.cpp).
  AddItem(m_popupDroit, "MenuSysTrayPlay", "Jouez", true);
  AddItem(m_popupDroit, "MenuSysTrayCreateServer", "Creer", true);
  m_menuSysTrayJoin = new QMenu("Rejoindre", m_popupDroit);
  m_menuSysTrayJoin->setObjectName("MenuSysTrayJoin");
  AddItem(m_menuSysTrayJoin, "MenuSysTrayJoinIP", "IP", true);
  AddSeparator(m_menuSysTrayJoin, "N3", true);
  m_popupDroit->addMenu(m_menuSysTrayJoin);
  connect(this, &TFrmKESTA::JoinMenuOutdated, this, &TFrmKESTA::FillTrayJoinMenu);
  // The companion items show once start-up has found their programs.
  AddSeparator(m_popupDroit, "SeparateurLOTATC", false);
  AddItem(m_popupDroit, "MenuSysTrayLOTATCClient", "LOTATC Client", false);
  AddItem(m_popupDroit, "MenuSysTrayLOTATCServer", "LOTATC Server", false);
  AddItem(m_popupDroit, "MenuSysTrayLotatcNet", "LOTATC.NET", false);
  // Items whose commands the program does not have yet stay hidden, in their places, until it has them.
  AddSeparator(m_popupDroit, "N9", true);
  AddItem(m_popupDroit, "MenuCheckForUpdate", "Auto-update", true);
  AddItem(m_popupDroit, "MenuBugReport", "Bug report", true);
  AddItem(m_popupDroit, "MenuOpenHelp", "Help", false);
  AddItem(m_popupDroit, "MenuAbout", "A &propos", true);
  AddSeparator(m_popupDroit, "N6", true);
  AddItem(m_popupDroit, "MenuSysTrayQuit", "&Quitter", true);

  const QIcon icon = ProgramIcon();
  setWindowIcon(icon);
  m_rxTrayIcon = new QSystemTrayIcon(icon, this);
  m_rxTrayIcon->setObjectName("RxTrayIcon");
  m_rxTrayIcon->setToolTip("KESTA");
  m_rxTrayIcon->setContextMenu(m_popupDroit);
  connect(m_rxTrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) RxTrayIconClick();
  });
}

bool TFrmKESTA::TrayAvailable() const {
  return m_environment.trayAvailable ? m_environment.trayAvailable()
                                     : QSystemTrayIcon::isSystemTrayAvailable();
}

void TFrmKESTA::RxTrayIconClick() {
  if (isVisible() && !isMinimized()) {
    if (OptionToggleOn(OptionToggle::Minimize) && TrayAvailable())
      hide();
    else
      showMinimized();
    return;
  }
  RestoreFromTray();
}

void TFrmKESTA::RestoreFromTray() {
  ++m_restores;  // a minimise queued before now is over
  showNormal();
  raise();
  activateWindow();
}

void TFrmKESTA::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Hiding in the middle of the state change confuses some window managers: hide once it is done,
  // unless the window was restored meanwhile.
  if (event->type() == QEvent::WindowStateChange && isMinimized())
    QMetaObject::invokeMethod(
        this,
        [this, restores = m_restores] {
          if (restores == m_restores) JvAppEvents1Minimize();
        },
        Qt::QueuedConnection);
}

void TFrmKESTA::JvAppEvents1Minimize() {
  // Without a tray a hidden window could not be brought back: it stays minimised on the task bar.
  if (!isMinimized() || !OptionToggleOn(OptionToggle::Minimize) || !TrayAvailable()) return;
  m_rxTrayIcon->show();  // again: the tray may have appeared only after the option was set
  hide();
  // The hidden window drops its native window. Kept, it would keep the minimised hints the window
  // manager was given, and Qt maps a window before it takes them back: the manager would show the
  // restored window minimised, and it would go straight back to the tray. Made anew when shown, it
  // starts from the state the restore sets.
  destroy();
}

void TFrmKESTA::SetOptionToggle(OptionToggle toggle, bool on) {
  m_optionToggles[static_cast<size_t>(toggle)] = on;
  const OptionToggleDesign& design = kOptionToggles[static_cast<size_t>(toggle)];
  // The busy flag marks changes that are not the user's: start-up reading the settings, the Quit command.
  if (!design.settingsKey.empty() && !m_busy) StoreSetting("Config", design.settingsKey, on ? "1" : "0");
  if (toggle == OptionToggle::Minimize) MenuMinimize1Click();
  if (toggle == OptionToggle::StartWithWindows) MenuStartWithWindows1Click();
  m_pageArea->RefreshPage("TabSheetOptionKESTA");
}

void TFrmKESTA::LoadOptionCheckBoxes() {
  // The order in which start-up reads them, which is the order missing keys reach the settings file.
  constexpr OptionToggle kLoadOrder[] = {
      OptionToggle::Minimize,       OptionToggle::StartMinimize,    OptionToggle::CheckTrackIR,
      OptionToggle::ReloadSettings, OptionToggle::DeleteTrackIrIni, OptionToggle::CheckForUpdateWhenStarting,
      OptionToggle::SynchronizeDate};
  for (OptionToggle toggle : kLoadOrder)
    SetOptionToggle(toggle, m_settings.ReadSetting(
                                "Config", kOptionToggles[static_cast<size_t>(toggle)].settingsKey) == "1");
}

void TFrmKESTA::MenuMinimize1Click() { m_rxTrayIcon->setVisible(OptionToggleOn(OptionToggle::Minimize)); }

void TFrmKESTA::MenuStartWithWindows1Click() {
  if (m_busy) return;
  const bool wanted = OptionToggleOn(OptionToggle::StartWithWindows);
  try {
    if (wanted)
      WriteAutostartEntry(Folder().Executable());
    else
      RemoveAutostartEntry();
  } catch (const std::exception& failure) {
    m_dialogs->Error(QString::fromUtf8(failure.what()));
    // The box shows what the next log-in will really do.
    m_busy = true;
    SetOptionToggle(OptionToggle::StartWithWindows, !wanted);
    m_busy = false;
  }
}

void TFrmKESTA::LoadStartWithSessionState() {
  bool present = false;
  try {
    if (const std::optional<std::string> command = ReadAutostartCommand()) {
      // An entry written by a copy of the program elsewhere now starts this one.
      if (*command != AutostartCommand(Folder().Executable())) WriteAutostartEntry(Folder().Executable());
      present = true;
    }
  } catch (const std::exception&) {
    present = false;  // an entry that cannot be read or renewed is not one the box can promise
  }
  SetOptionToggle(OptionToggle::StartWithWindows, present);
}

}  // namespace kesta
