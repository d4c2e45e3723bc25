#pragma once
// The tray icon and its menu, hiding the window to the tray and back, the option toggles and the start
// with the desktop session. It sees the window only as a QMainWindow to show, hide and minimise, never
// the program's window class.

#include <QObject>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "app/option_toggles.h"

class QAction;
class QEvent;
class QMainWindow;
class QMenu;
class QSystemTrayIcon;

namespace kesta {

class DialogService;
class TGameFileSet;

class TTrayAndOptions : public QObject {
  Q_OBJECT

 public:
  struct Collaborators {
    QMainWindow& window;  // also the parent of the icon and the menus, where lookups by name find them
    // Set while changes are not the user's (start-up reading the settings, the Quit command): toggles
    // changed then are not stored.
    bool& busy;
    std::function<std::string(std::string_view section, std::string_view key)> readSetting;
    // Reports a failure to store by itself.
    std::function<void(std::string_view section, std::string_view key, std::string_view value)> storeSetting;
    DialogService& dialogs;
    TGameFileSet& gameFiles;  // the server list the join menu offers
    std::function<void(const QString& address)> join;
    std::function<void()> optionsChanged;  // the options page shows the toggles again
    std::function<bool()> trayAvailable;   // whether the desktop shows tray icons now; Qt's answer when empty
    // Drops the window's native window (a protected member of every widget).
    std::function<void()> destroyNativeWindow;
    std::filesystem::path executable;  // what the session's autostart entry starts
    std::filesystem::path images;      // the program's pictures, its icon drawn at build time among them
  };

  // Makes the icon and its menu and sets the program's icon on the window.
  explicit TTrayAndOptions(Collaborators collaborators);

  // --- Option toggles ---
  bool OptionToggleOn(OptionToggle toggle) const { return m_optionToggles[static_cast<size_t>(toggle)]; }
  // The user's change of an option: stored (unless the busy flag is set) and acted on.
  void SetOptionToggle(OptionToggle toggle, bool on);
  void LoadOptionCheckBoxes();       // from the settings file, at start-up
  void LoadStartWithSessionState();  // from the session's autostart entry, at start-up
  void MenuMinimize1Click();         // keeps the tray icon in step with the box, busy or not
  void MenuStartWithWindows1Click();

  // --- Tray and minimising ---
  void RxTrayIconClick();       // left click on the tray icon: shown <-> hidden
  void JvAppEvents1Minimize();  // the window was minimised: to the tray while the option is on
  // Shown, restored and in front, from the tray or minimised: also what a second start of the program
  // asks for.
  void RestoreFromTray();
  // Every change event of the window: a minimise hides it to the tray once the change is done.
  void WindowChanged(const QEvent& event);
  bool TrayAvailable() const;
  QSystemTrayIcon* TrayIcon() const { return m_rxTrayIcon; }
  QMenu* PopupDroit() const { return m_popupDroit; }

  // --- The join menu ---
  // The tray's join entries follow the server list: after each load of config.lua, and each edit.
  void RebuildJoinMenu() { emit JoinMenuOutdated(); }
  void JoinClick(const QAction* item);  // an entry of the join menu

 signals:
  void JoinMenuOutdated();

 private:
  void BuildTrayIcon();
  void FillTrayJoinMenu();

  Collaborators m_with;
  std::array<bool, kOptionToggles.size()> m_optionToggles{};
  unsigned m_restores = 0;  // restores from the tray so far
  QSystemTrayIcon* m_rxTrayIcon = nullptr;
  QMenu* m_popupDroit = nullptr;
  QMenu* m_menuSysTrayJoin = nullptr;
};

}  // namespace kesta
