#include "app/tray_and_options.h"

#include <QAction>
#include <QEvent>
#include <QIconEngine>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <algorithm>
#include <map>

#include "documents/network_document.h"
#include "platform/autostart.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/game_text.h"
#include "ui/png_image.h"
#include "ui/ribbon_icons.h"

namespace kesta {

namespace {

// The application button's orb and emblem, at the sizes trays and task bars ask for. Each size is read from
// the picture the build drew, or drawn where that is missing, only when a tray or the window system asks
// for it: painting all of them cost start-up more than the tray icon's menu and icon together.
class TProgramIconEngine : public QIconEngine {
 public:
  explicit TProgramIconEngine(std::filesystem::path images) : m_images(std::move(images)) {}

  // One look in every mode: the program's icon is never shown disabled or selected.
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = Nearest(std::min(size.width(), size.height()));
    QPixmap& made = m_made[side];
    if (made.isNull()) {
      const QImage drawn = ReadPngFile(m_images / ProgramIconFileName(side));
      made = QPixmap::fromImage(drawn.size() == QSize(side, side) ? drawn : ProgramIconImage(side));
    }
    return made;
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = Nearest(std::min(size.width(), size.height()));
    return QSize(side, side);
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const int side : kProgramIconSizes) sizes.append(QSize(side, side));
    return sizes;
  }
  QIconEngine* clone() const override { return new TProgramIconEngine(m_images); }
  QString key() const override { return QStringLiteral("KestaProgramIcon"); }

 private:
  // The smallest drawn size that covers the one asked for, else the largest.
  static int Nearest(int asked) {
    for (const int side : kProgramIconSizes)
      if (side >= asked) return side;
    return std::end(kProgramIconSizes)[-1];
  }

  std::filesystem::path m_images;
  std::map<int, QPixmap> m_made;
};

QIcon ProgramIcon(const std::filesystem::path& images) { return QIcon(new TProgramIconEngine(images)); }

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

TTrayAndOptions::TTrayAndOptions(Collaborators collaborators) : m_with(std::move(collaborators)) {
  BuildTrayIcon();
}

void TTrayAndOptions::JoinClick(const QAction* item) { m_with.join(item->data().toString()); }

void TTrayAndOptions::FillTrayJoinMenu() {
  const QList<QAction*> items = m_menuSysTrayJoin->actions();
  for (qsizetype i = 2; i < items.size(); ++i) {
    m_menuSysTrayJoin->removeAction(items[i]);
    delete items[i];
  }
  const NetworkDocument* network = m_with.gameFiles.Find<NetworkDocument>();
  if (!network) return;  // a stand-in document of another type (tests)
  for (const std::string& entry : network->servers) {
    const QString text = FromGameText(entry);
    // "&" in a caption marks a keyboard key; the entry is shown as written.
    QAction* item = m_menuSysTrayJoin->addAction(QString(text).replace('&', "&&"));
    item->setData(text);
    connect(item, &QAction::triggered, this, [this, item] { JoinClick(item); });
  }
}

void TTrayAndOptions::BuildTrayIcon() {
  m_popupDroit = new QMenu(&m_with.window);
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
  connect(this, &TTrayAndOptions::JoinMenuOutdated, this, &TTrayAndOptions::FillTrayJoinMenu);
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

  const QIcon icon = ProgramIcon(m_with.images);
  m_with.window.setWindowIcon(icon);
  m_rxTrayIcon = new QSystemTrayIcon(icon, &m_with.window);
  m_rxTrayIcon->setObjectName("RxTrayIcon");
  m_rxTrayIcon->setToolTip("KESTA");
  m_rxTrayIcon->setContextMenu(m_popupDroit);
  connect(m_rxTrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) RxTrayIconClick();
  });
}

bool TTrayAndOptions::TrayAvailable() const {
  return m_with.trayAvailable ? m_with.trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayAndOptions::RxTrayIconClick() {
  QMainWindow& window = m_with.window;
  if (window.isVisible() && !window.isMinimized()) {
    if (OptionToggleOn(OptionToggle::Minimize) && TrayAvailable())
      window.hide();
    else
      window.showMinimized();
    return;
  }
  RestoreFromTray();
}

void TTrayAndOptions::RestoreFromTray() {
  ++m_restores;  // a minimise queued before now is over
  m_with.window.showNormal();
  m_with.window.raise();
  m_with.window.activateWindow();
}

void TTrayAndOptions::WindowChanged(const QEvent& event) {
  // Hiding in the middle of the state change confuses some window managers: hide once it is done,
  // unless the window was restored meanwhile.
  if (event.type() == QEvent::WindowStateChange && m_with.window.isMinimized())
    QMetaObject::invokeMethod(
        this,
        [this, restores = m_restores] {
          if (restores == m_restores) JvAppEvents1Minimize();
        },
        Qt::QueuedConnection);
}

void TTrayAndOptions::JvAppEvents1Minimize() {
  // Without a tray a hidden window could not be brought back: it stays minimised on the task bar.
  if (!m_with.window.isMinimized() || !OptionToggleOn(OptionToggle::Minimize) || !TrayAvailable()) return;
  m_rxTrayIcon->show();  // again: the tray may have appeared only after the option was set
  m_with.window.hide();
  // The hidden window drops its native window. Kept, it would keep the minimised hints the window
  // manager was given, and Qt maps a window before it takes them back: the manager would show the
  // restored window minimised, and it would go straight back to the tray. Made anew when shown, it
  // starts from the state the restore sets.
  m_with.destroyNativeWindow();
}

void TTrayAndOptions::SetOptionToggle(OptionToggle toggle, bool on) {
  m_optionToggles[static_cast<size_t>(toggle)] = on;
  const OptionToggleDesign& design = kOptionToggles[static_cast<size_t>(toggle)];
  // The busy flag marks changes that are not the user's: start-up reading the settings, the Quit command.
  if (!design.settingsKey.empty() && !m_with.busy)
    m_with.storeSetting("Config", design.settingsKey, on ? "1" : "0");
  if (toggle == OptionToggle::Minimize) MenuMinimize1Click();
  if (toggle == OptionToggle::StartWithWindows) MenuStartWithWindows1Click();
  m_with.optionsChanged();
}

void TTrayAndOptions::LoadOptionCheckBoxes() {
  // The order in which start-up reads them, which is the order missing keys reach the settings file.
  constexpr OptionToggle kLoadOrder[] = {
      OptionToggle::Minimize,       OptionToggle::StartMinimize,    OptionToggle::CheckTrackIR,
      OptionToggle::ReloadSettings, OptionToggle::DeleteTrackIrIni, OptionToggle::CheckForUpdateWhenStarting,
      OptionToggle::SynchronizeDate};
  for (OptionToggle toggle : kLoadOrder)
    SetOptionToggle(
        toggle, m_with.readSetting("Config", kOptionToggles[static_cast<size_t>(toggle)].settingsKey) == "1");
}

void TTrayAndOptions::MenuMinimize1Click() {
  m_rxTrayIcon->setVisible(OptionToggleOn(OptionToggle::Minimize));
}

void TTrayAndOptions::MenuStartWithWindows1Click() {
  if (m_with.busy) return;
  const bool wanted = OptionToggleOn(OptionToggle::StartWithWindows);
  try {
    if (wanted)
      WriteAutostartEntry(m_with.executable);
    else
      RemoveAutostartEntry();
  } catch (const std::exception& failure) {
    m_with.dialogs.Error(QString::fromUtf8(failure.what()));
    // The box shows what the next log-in will really do.
    m_with.busy = true;
    SetOptionToggle(OptionToggle::StartWithWindows, !wanted);
    m_with.busy = false;
  }
}

void TTrayAndOptions::LoadStartWithSessionState() {
  bool present = false;
  try {
    if (const std::optional<std::string> command = ReadAutostartCommand()) {
      // An entry written by a copy of the program elsewhere now starts this one.
      if (*command != AutostartCommand(m_with.executable)) WriteAutostartEntry(m_with.executable);
      present = true;
    }
  } catch (const std::exception&) {
    present = false;  // an entry that cannot be read or renewed is not one the box can promise
  }
  SetOptionToggle(OptionToggle::StartWithWindows, present);
}

}  // namespace kesta
