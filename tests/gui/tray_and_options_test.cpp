// The tray icon and its menu, minimising and closing with and without a tray, the option check
// boxes, and the start with the desktop session, on the real window over a temporary installation.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "app/tray_and_options.h"
#include "platform/autostart.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon_icons.h"

namespace kesta {
namespace {

using test::ProgramInstall;
using test::ScriptedDialogs;
using test::TempFolder;

// The settings check boxes and their keys in section "Config".
constexpr std::pair<const char*, const char*> kSettingsBoxes[] = {
    {"MenuCheckForUpdateWhenStarting", "CheckForUpdateWhenStarting"},
    {"MenuStartMinimize", "StartMinimize"},
    {"MenuMinimize", "MinimizeInSysTray"},
    {"MenuReloadSettings", "ReloadSettingsMessage"},
    {"MenuSynchronizeDate", "SynchronizeDate"},
    {"MenuDeleteTrackIrIni", "AutoDeleteTrackIrIni"},
    {"MenuCheckTrackIR", "CheckTrackIR"},
};

class TrayAndOptionsTest : public testing::Test {
 protected:
  TrayAndOptionsTest() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfigHome = old;
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  }
  ~TrayAndOptionsTest() override {
    oldConfigHome ? ::setenv("XDG_CONFIG_HOME", oldConfigHome->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  }

  std::unique_ptr<TFrmKESTA> Start() {
    WindowEnvironment environment{install.Folder(), &dialogs, {}};
    environment.trayAvailable = [this] { return trayAvailable; };
    auto window = std::make_unique<TFrmKESTA>(environment);
    window->FormCreate();
    return window;
  }
  void Store(const char* key, const char* value) {
    WriteIniValue(install.SettingsFile(), "Config", key, value);
  }
  std::string Setting(const char* key) { return ReadIniValue(install.SettingsFile(), "Config", key); }
  // The box on the options page, which is built on its first visit.
  QCheckBox* Box(TFrmKESTA& window, const char* name) {
    window.Pages().ShowPage("TabSheetOptionKESTA");
    return window.findChild<QCheckBox*>(name);
  }
  std::filesystem::path Entry() const { return config / "autostart/kesta.desktop"; }
  std::string ExpectedExec() const {
    return "Exec=\"" + install.Folder().Executable().string() + "\" /delay\n";
  }

  ProgramInstall install;
  ScriptedDialogs dialogs;
  TempFolder config;
  std::optional<std::string> oldConfigHome;
  bool trayAvailable = true;
};

// Runs the application's event loop with `action` as its first event: true when the program ends
// by itself within the time.
bool ProgramEnds(const std::function<void()>& action, int milliseconds = 3000) {
  bool ended = true;
  QTimer::singleShot(0, action);
  QTimer limit;  // dies with this call, so it cannot end a later test's event loop
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [&ended] {
    ended = false;
    QApplication::exit(1);
  });
  limit.start(milliseconds);
  QApplication::exec();
  return ended;
}

TEST_F(TrayAndOptionsTest, OptionBoxesSetByStartUpWriteNothingAndEachClickWritesItsKey) {
  Start();  // the first start writes every default
  for (const auto& [name, key] : kSettingsBoxes) Store(key, "1");
  const std::string stored = test::ReadBytes(install.SettingsFile());
  auto window = Start();
  EXPECT_EQ(test::ReadBytes(install.SettingsFile()), stored);
  for (const auto& [name, key] : kSettingsBoxes) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Box(*window, name)->isChecked());
    for (const char* expected : {"0", "1"}) {
      Box(*window, name)->click();
      EXPECT_EQ(Setting(key), expected);
      EXPECT_EQ(window->Tray().TrayIcon()->isVisible(), Box(*window, "MenuMinimize")->isChecked());
    }
  }
}

TEST_F(TrayAndOptionsTest, TrayMenuHasTheTabledItemsWithOnlyWorkingOnesShown) {
  auto window = Start();
  QSystemTrayIcon* tray = window->Tray().TrayIcon();
  EXPECT_EQ(tray->objectName(), "RxTrayIcon");
  EXPECT_EQ(tray->toolTip(), "KESTA");
  EXPECT_FALSE(tray->icon().isNull());
  QMenu* menu = tray->contextMenu();
  ASSERT_EQ(menu, window->findChild<QMenu*>("PopupDroit"));
  QStringList names;
  QStringList shown;
  for (QAction* action : menu->actions()) {
    const QString name = action->menu() ? action->menu()->objectName() : action->objectName();
    names << name;
    if (action->isVisible()) shown << name;
  }
  EXPECT_EQ(names,
            QStringList({"MenuSysTrayShow", "SeparateurKESTA", "MenuSysTrayPlay", "MenuSysTrayCreateServer",
                         "MenuSysTrayJoin", "SeparateurLOTATC", "MenuSysTrayLOTATCClient",
                         "MenuSysTrayLOTATCServer", "MenuSysTrayLotatcNet", "N9", "MenuCheckForUpdate",
                         "MenuBugReport", "MenuOpenHelp", "MenuAbout", "N6", "MenuSysTrayQuit"}));
  EXPECT_EQ(shown, QStringList({"MenuSysTrayShow", "SeparateurKESTA", "MenuSysTrayPlay",
                                "MenuSysTrayCreateServer", "MenuSysTrayJoin", "N9", "MenuCheckForUpdate",
                                "MenuBugReport", "MenuAbout", "N6", "MenuSysTrayQuit"}));
  QStringList joinNames;
  for (QAction* action : window->findChild<QMenu*>("MenuSysTrayJoin")->actions())
    joinNames << action->objectName();
  // Then one unnamed item per server of the sample's list.
  EXPECT_EQ(joinNames, QStringList({"MenuSysTrayJoinIP", "N3", "", ""}));
  // Every item is captioned in the language, the submenu too.
  for (const char* name :
       {"MenuSysTrayPlay", "MenuSysTrayCreateServer", "MenuSysTrayJoinIP", "MenuSysTrayLOTATCClient",
        "MenuSysTrayLOTATCServer", "MenuSysTrayLotatcNet", "MenuCheckForUpdate", "MenuSysTrayQuit"})
    EXPECT_EQ(window->findChild<QAction*>(name)->text(), window->LookupMessage(name)) << name;
  EXPECT_EQ(window->findChild<QMenu*>("MenuSysTrayJoin")->title(), window->LookupMessage("MenuSysTrayJoin"));
}

// The icon is read from the pictures the build drew, and drawn at start-up where one is missing or broken;
// the window and the tray show the same icon.
TEST_F(TrayAndOptionsTest, TheIconIsTheBuildsPictureOrDrawnWhenItIsMissing) {
  std::filesystem::remove(install.Folder().Images() / ProgramIconFileName(16));
  std::ofstream(install.Folder().Images() / ProgramIconFileName(24), std::ios::trunc) << "not a picture";
  // A picture of the build's, told apart from the drawn one.
  QImage red(32, 32, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(
      red.save(QString::fromStdString((install.Folder().Images() / ProgramIconFileName(32)).string())));
  auto window = Start();
  const QIcon icon = window->Tray().TrayIcon()->icon();
  EXPECT_EQ(window->windowIcon().cacheKey(), icon.cacheKey());
  for (const int size : kProgramIconSizes) {
    SCOPED_TRACE(size);
    const QImage shown = icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, size == 32 ? red : ProgramIconImage(size).convertToFormat(QImage::Format_ARGB32));
  }
}

TEST_F(TrayAndOptionsTest, WithTheOptionOnTheCloseBoxHidesToTheTrayAndTheIconTogglesTheWindow) {
  Store("MinimizeInSysTray", "1");
  auto window = Start();
  QSystemTrayIcon* tray = window->Tray().TrayIcon();
  window->show();
  EXPECT_TRUE(tray->isVisible());
  EXPECT_FALSE(ProgramEnds([&window] { window->close(); }, 300));
  EXPECT_FALSE(window->isVisible());

  emit tray->activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isMinimized());
  emit tray->activated(QSystemTrayIcon::Trigger);
  EXPECT_FALSE(window->isVisible());
  emit tray->activated(QSystemTrayIcon::Context);  // the menu's business, not a toggle
  EXPECT_FALSE(window->isVisible());
  window->findChild<QAction*>("MenuSysTrayShow")->trigger();
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isMinimized());

  // Turning the option off removes the icon and leaves the window as it is.
  Box(*window, "MenuMinimize")->click();
  EXPECT_FALSE(tray->isVisible());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(ProgramEnds([&window] { window->close(); }));
  EXPECT_EQ(Setting("MinimizeInSysTray"), "0");
}

// A window manager shows a window with the hints its native window was last given; the window hidden in
// the tray must come back normal at the first click, however it got there.
TEST_F(TrayAndOptionsTest, OneClickRestoresTheWindowNormalAndNoMinimiseQueuedBeforeHidesItAgain) {
  Store("MinimizeInSysTray", "1");
  auto window = Start();
  QSystemTrayIcon* tray = window->Tray().TrayIcon();
  window->show();
  for (const char* how : {"close box", "minimise"}) {
    SCOPED_TRACE(how);
    if (std::string_view(how) == "close box")
      window->close();
    else
      window->showMinimized();
    QTest::qWait(50);  // the hiding is queued after the state change
    ASSERT_FALSE(window->isVisible());
    // Hidden, it has no native window left to carry the minimised hints into the next showing.
    EXPECT_EQ(window->windowHandle(), nullptr);

    emit tray->activated(QSystemTrayIcon::Trigger);
    QTest::qWait(50);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    ASSERT_NE(window->windowHandle(), nullptr);
    EXPECT_EQ(window->windowHandle()->windowStates(), Qt::WindowNoState);
  }
  // Minimised and restored before the queued hiding runs: the restore wins.
  window->showMinimized();
  window->findChild<QAction*>("MenuSysTrayShow")->trigger();
  QTest::qWait(50);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isMinimized());
  EXPECT_TRUE(ProgramEnds([&window] { window->findChild<QAction*>("MenuSysTrayQuit")->trigger(); }));
}

TEST_F(TrayAndOptionsTest, QuitFromTheTrayMenuEndsTheProgramHiddenOrNotAndKeepsTheOption) {
  Store("MinimizeInSysTray", "1");
  for (bool hidden : {true, false}) {
    SCOPED_TRACE(hidden ? "hidden in the tray" : "shown");
    auto window = Start();
    window->show();
    if (hidden) emit window->Tray().TrayIcon()->activated(QSystemTrayIcon::Trigger);
    ASSERT_EQ(window->isVisible(), !hidden);
    EXPECT_TRUE(ProgramEnds([&window] { window->findChild<QAction*>("MenuSysTrayQuit")->trigger(); }));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Tray().TrayIcon()->isVisible());
    EXPECT_EQ(Setting("MinimizeInSysTray"), "1");
  }
  EXPECT_TRUE(Box(*Start(), "MenuMinimize")->isChecked());
}

TEST_F(TrayAndOptionsTest, MinimisingHidesToTheTrayOnlyWithTheOptionOnAndATrayToComeBackFrom) {
  enum class How { MinimiseBox, CloseBox, StartMinimised };
  struct Case {
    const char* name;
    bool option;
    bool tray;
    How how;
    bool hidden;  // else minimised on the task bar
  };
  const Case cases[] = {
      {"option on, minimise box", true, true, How::MinimiseBox, true},
      {"option on, start minimised", true, true, How::StartMinimised, true},
      {"option off, minimise box", false, true, How::MinimiseBox, false},
      {"option off, start minimised", false, true, How::StartMinimised, false},
      {"no tray, minimise box", true, false, How::MinimiseBox, false},
      {"no tray, close box", true, false, How::CloseBox, false},
      {"no tray, start minimised", true, false, How::StartMinimised, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store("MinimizeInSysTray", c.option ? "1" : "0");
    Store("StartMinimize", c.how == How::StartMinimised ? "1" : "0");
    trayAvailable = c.tray;
    auto window = Start();
    window->show();
    if (c.how == How::MinimiseBox) window->showMinimized();
    if (c.how == How::CloseBox) {
      EXPECT_FALSE(window->close());
    }
    // The deferred start-up step, then the hiding queued after the state change; a busy machine may
    // take a while to run them.
    const auto* deferred = window->findChild<QTimer*>("TimerMinimize");
    for (int waited = 0; deferred->isActive() && waited < 5000; waited += 20) QTest::qWait(20);
    QTest::qWait(50);
    EXPECT_EQ(window->isVisible(), !c.hidden);
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(window->Tray().TrayIcon()->isVisible(), c.option);
    EXPECT_EQ(Setting("MinimizeInSysTray"), c.option ? "1" : "0");
  }
}

TEST_F(TrayAndOptionsTest, SessionEntryIsCreatedFollowsTheExecutableAndIsRemoved) {
  auto window = Start();
  QCheckBox* box = Box(*window, "MenuStartWithWindows");
  EXPECT_FALSE(box->isChecked());
  EXPECT_FALSE(std::filesystem::exists(config / "autostart"));

  box->click();
  const std::string entry = test::ReadBytes(Entry());
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n")) << entry;
  for (const std::string& line :
       {std::string("Type=Application\n"), std::string("Name=KESTA\n"), ExpectedExec()})
    EXPECT_NE(entry.find(line), std::string::npos) << line;

  // An entry naming another copy of the program is renewed; one naming this copy is left alone.
  config.Write("autostart/kesta.desktop",
               "[Desktop Entry]\nType=Application\nName=KESTA\nExec=\"/old/kesta\" /delay\n");
  EXPECT_TRUE(Box(*Start(), "MenuStartWithWindows")->isChecked());
  EXPECT_NE(test::ReadBytes(Entry()).find(ExpectedExec()), std::string::npos) << test::ReadBytes(Entry());
  const std::string edited = test::ReadBytes(Entry()) + "X-KDE-autostart-phase=2\n";
  config.Write("autostart/kesta.desktop", edited);
  window = Start();
  box = Box(*window, "MenuStartWithWindows");
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(test::ReadBytes(Entry()), edited);

  box->click();
  EXPECT_FALSE(std::filesystem::exists(Entry()));
  box->click();
  std::filesystem::remove(Entry());
  box->click();  // already gone: nothing to say
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST_F(TrayAndOptionsTest, EntriesTheSessionWouldNotRunLeaveTheBoxUncheckedWithoutAWord) {
  const std::pair<const char*, const char*> cases[] = {
      {"turned off by the desktop",
       "[Desktop Entry]\nType=Application\nExec=\"/old/kesta\" /delay\nHidden=true\n"},
      {"unreadable", nullptr},  // a folder where the entry should be
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(config / "autostart");
    if (content)
      config.Write("autostart/kesta.desktop", content);
    else
      config.Write("autostart/kesta.desktop/inside", "");
    auto window = Start();
    EXPECT_FALSE(Box(*window, "MenuStartWithWindows")->isChecked());
    if (content) {
      EXPECT_EQ(test::ReadBytes(Entry()), content);
    }
  }
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST_F(TrayAndOptionsTest, FailedWriteOrRemovalIsReportedAndTheBoxShowsTheTruth) {
  auto window = Start();
  QCheckBox* box = Box(*window, "MenuStartWithWindows");
  config.Write("autostart", "a file where the folder should be");
  box->click();
  EXPECT_FALSE(box->isChecked());
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains(QString::fromStdString((config / "autostart").string())));

  std::filesystem::remove(config / "autostart");
  box->click();
  ASSERT_TRUE(std::filesystem::exists(Entry()));
  std::filesystem::remove(Entry());
  config.Write("autostart/kesta.desktop/inside", "");  // cannot be removed
  box->click();
  EXPECT_TRUE(box->isChecked());
  ASSERT_EQ(dialogs.Recorded().size(), 2u);
  EXPECT_TRUE(dialogs.Recorded()[1].text.contains("kesta.desktop"));
}

}  // namespace
}  // namespace kesta
