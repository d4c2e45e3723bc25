// The search field of the real window over a copy of the sample game, used from the keyboard as a person
// would: Ctrl+F or "/" to the field, words typed in English, Russian or German, the list of matches, Enter
// to open one (its page in front, the control focused and marked), "@modified" before and after Apply,
// "@page", and Escape back to where the player was.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "sets/configuration_commands.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/application_menu.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_group.h"
#include "ui/setting_finder.h"

namespace kesta {
namespace {

class SettingFinderTest : public testing::Test {
 protected:
  // The window in a language ("EN", "RU", "DE"), shown and active, on its first page.
  void Start(const char* language) {
    window.reset();
    WriteIniValue(install.SettingsFile(), "Config", "Language", language);
    window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // Start-up's deferred step may show the update page: the searches come after it, as a player's do.
    QTRY_VERIFY(!window->findChild<QTimer*>("TimerMinimize")->isActive());
    window->Pages().OpenPage("TabSheetGraphicsStandards", PageOpening::AsItsButton);
  }
  QLineEdit* Field() const { return window->Search().Field(); }
  QListWidget* List() const { return window->Search().List(); }
  // Keys go where the keyboard is, as a person's would.
  static QWidget* KeyboardTarget() {
    QWidget* target = QApplication::focusWidget();
    return target ? target : QApplication::activeWindow();
  }
  void Find(const QString& query) {
    QTest::keyClick(KeyboardTarget(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), Field());
    // Typed letter by letter, Cyrillic too, which QTest's key names do not cover.
    for (const QChar letter : query) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
      QApplication::sendEvent(Field(), &press);
    }
  }
  std::vector<std::string> Listed() const {
    std::vector<std::string> texts;
    if (!List()->isVisible()) return texts;
    for (int row = 0; row < List()->count(); ++row) texts.push_back(List()->item(row)->text().toStdString());
    return texts;
  }
  std::string ActivePage() const { return window->Pages().ActivePage()->objectName().toStdString(); }
  // The focused widget, or the named control it lies in.
  static std::string Focused() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
      if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_"))
        return widget->objectName().toStdString();
    return {};
  }
  QWidget* Mark() const { return window->findChild<QWidget*>("SearchMark"); }

  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
};

TEST_F(SettingFinderTest, TheListFollowsTheLanguageAndEnterOpensTheControl) {
  struct Case {
    const char* language;
    const char* query;
    std::vector<std::string> listed;
    std::string page;     // shown after Enter; empty for a command
    std::string focused;  // the control with the focus after Enter
  };
  const Case cases[] = {
      {"EN",
       "shadow dens",
       {"Shadow density — Standard (Display)"},
       "TabSheetGraphicsStandards",
       "SpecialSliderShadowDensity"},
      // A label's words open the edit it names.
      {"EN",
       "CLIENT port",
       {"Client port — Client settings (Game settings)"},
       "TabSheetMultiplayerClient",
       "EditClientPort"},
      {"EN",
       "unlimited",
       {"Unlimited fuel — Realism (Game settings)", "Unlimited weapons — Realism (Game settings)"},
       "TabSheetRealism",
       "CheckBoxUnlimitedFuel"},
      // Commands: on their tab, or in the application menu.
      {"EN", "black", {"Black (Options)"}, "", "dxButtonThemesBlack"},
      {"EN", "save conf", {"Save configuration"}, "", "dxButtonSaveConfig"},
      {"RU",
       "тени",
       {"Тени — Основные (Изображение)"},
       "TabSheetGraphicsStandards",
       "SpecialSliderShadowLevel"},
      {"RU",
       "ПОРТ клиен",
       {"Порт клиента — Настройки клиента (Настройки игры)"},
       "TabSheetMultiplayerClient",
       "EditClientPort"},
      // German with the accents and ß left out.
      {"DE",
       "strassenverkehr",
       {"Ziviler Straßenverkehr — Allgemein (Anzeige)"},
       "TabSheetGraphicsStandards",
       "CheckBoxTrafficCivil"},
      {"DE",
       "ABSTURZ uberst",
       {"Absturz überstehen — Realismus (Spieleinstellungen)"},
       "TabSheetRealism",
       "CheckBoxCrashRecovery"},
  };
  std::string language;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.language) + " " + c.query);
    if (language != c.language) {
      ASSERT_NO_FATAL_FAILURE(Start(c.language));
      language = c.language;
    }
    window->Pages().OpenPage("TabSheetOptionKESTA", PageOpening::AsItsButton);  // away from every answer
    Find(QString::fromUtf8(c.query));
    EXPECT_EQ(Listed(), c.listed);
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(Focused(), c.focused);
    ASSERT_NE(Mark(), nullptr);
    EXPECT_TRUE(Mark()->isVisible());
    if (!c.page.empty()) {
      EXPECT_EQ(ActivePage(), c.page);
      continue;
    }
    // A command is shown where it lives: its tab in front, or the application menu open.
    QWidget* button = QApplication::focusWidget();
    if (TRibbonTab* tab = window->Ribbon()->TabOf(button)) {
      EXPECT_EQ(window->Ribbon()->ActiveTab(), tab);
    } else {
      EXPECT_TRUE(window->Ribbon()->ApplicationMenu()->isVisible());
      window->Ribbon()->ApplicationMenu()->hide();
    }
  }
  // The mark fades and is gone by itself.
  QTRY_VERIFY_WITH_TIMEOUT(Mark() == nullptr, 20000);
}

TEST_F(SettingFinderTest, AWordFoundNowhereListsThatAndEnterLeavesThePageAlone) {
  ASSERT_NO_FATAL_FAILURE(Start("EN"));
  Find("zzzqx");
  EXPECT_EQ(Listed(), std::vector<std::string>{"No setting matches."});
  for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Return})
    QTest::keyClick(Field(), key);
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
  EXPECT_EQ(Mark(), nullptr);
}

TEST_F(SettingFinderTest, ModifiedListsTheEditsNotAppliedAndNothingAfterApply) {
  ASSERT_NO_FATAL_FAILURE(Start("EN"));
  window->findChild<QCheckBox*>("CheckboxExhaust")->click();
  window->Pages().OpenPage("TabSheetRealism", PageOpening::AsItsButton);
  window->findChild<QCheckBox*>("CheckBoxUnlimitedFuel")->click();

  Find("@modified");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Engine exhaust smoke — Standard (Display)",
                                                "Unlimited fuel — Realism (Game settings)"}));
  // Filters and words together, and one page.
  QTest::keyClick(Field(), Qt::Key_Escape);
  Find("@modified fuel");
  EXPECT_EQ(Listed(), std::vector<std::string>{"Unlimited fuel — Realism (Game settings)"});
  QTest::keyClick(Field(), Qt::Key_Escape);
  Find("@modified @page standard");
  EXPECT_EQ(Listed(), std::vector<std::string>{"Engine exhaust smoke — Standard (Display)"});
  QTest::keyClick(Field(), Qt::Key_Escape);

  window->Configuration().dxButtonApplyClick();
  Find("@modified");
  EXPECT_EQ(Listed(), std::vector<std::string>{"No change is waiting for Apply."});
}

TEST_F(SettingFinderTest, SlashArrowsAndEscapeWorkFromTheKeyboard) {
  ASSERT_NO_FATAL_FAILURE(Start("EN"));
  window->Pages().OpenPage("TabSheetMultiplayerClient", PageOpening::AsItsButton);
  // "/" typed in a text box is text.
  auto* name = window->findChild<QLineEdit*>("EditPlayerName");
  name->setFocus();
  name->setText("A");
  QTest::keyClick(name, Qt::Key_Slash);
  EXPECT_EQ(name->text(), "A/");
  EXPECT_EQ(QApplication::focusWidget(), name);
  // Elsewhere it goes to the field; Escape leaves it for where the keyboard was.
  window->Pages().OpenPage("TabSheetViewGlobal", PageOpening::AsItsButton);
  auto* checkBox = window->findChild<QWidget*>("CheckboxCockpitMouse");
  ASSERT_NE(checkBox, nullptr);
  checkBox->setFocus();
  QTest::keyClick(checkBox, Qt::Key_Slash);
  ASSERT_EQ(QApplication::focusWidget(), Field());
  QTest::keyClicks(Field(), "@page realism");
  ASSERT_GT(List()->count(), 3);
  EXPECT_EQ(List()->item(0)->text(), "Realism — Realism (Game settings)");
  EXPECT_EQ(List()->currentRow(), 0);
  QTest::keyClick(Field(), Qt::Key_Down);
  QTest::keyClick(Field(), Qt::Key_Down);
  EXPECT_EQ(List()->currentRow(), 2);
  QTest::keyClick(Field(), Qt::Key_Up);
  EXPECT_EQ(List()->currentRow(), 1);
  QTest::keyClick(Field(), Qt::Key_Up);
  QTest::keyClick(Field(), Qt::Key_Up);  // from the first row to the last
  EXPECT_EQ(List()->currentRow(), List()->count() - 1);
  QTest::keyClick(Field(), Qt::Key_Escape);
  EXPECT_FALSE(List()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), checkBox);
  EXPECT_EQ(ActivePage(), "TabSheetViewGlobal");
  // A click on an entry opens it.
  Find("mouse");
  ASSERT_GE(List()->count(), 1);
  ASSERT_EQ(List()->item(0)->text(), "Mouse view — Mouse view (Customization)");
  const QRect first = List()->visualItemRect(List()->item(0));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_FALSE(List()->isVisible());
  EXPECT_NE(Mark(), nullptr);
  // The mark goes when its control does: here the page button, with its ribbon tab.
  window->Pages().OpenPage("TabSheetMultiplayerClient", PageOpening::AsItsButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Mark(), nullptr);
}

}  // namespace
}  // namespace kesta
