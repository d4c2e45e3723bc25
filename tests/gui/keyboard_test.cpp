// Keyboard access to the real window: into and through the ribbon and its application menu, the
// shortcuts of the main commands, and Tab on every page.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "sets/configuration_commands.h"
#include "support/page_test.h"
#include "ui/application_menu.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta {
namespace {

class KeyboardTest : public test::ActiveWindowTest {
 protected:
  // The key goes where the keyboard is, as a person's would.
  static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    if (QWidget* popup = QApplication::activePopupWidget(); popup && !popup->isAncestorOf(target))
      target = popup;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }
  QString Focused() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString("(none)");
  }
  QAbstractButton* TabButton(const char* name) const {
    for (TRibbonTab* tab : window->Ribbon()->Tabs())
      if (tab->objectName() == name) return window->Ribbon()->TabButton(tab);
    return nullptr;
  }
  // The first control of the page shown.
  QWidget* FirstControl() const {
    for (QWidget* next = window->nextInFocusChain(); next != window.get(); next = next->nextInFocusChain())
      if (window->Pages().ActivePage()->isAncestorOf(next) && next->isVisible() &&
          (next->focusPolicy() & Qt::TabFocus))
        return next;
    return nullptr;
  }
};

TEST_F(KeyboardTest, F10EntersTheRibbonArrowsMoveEnterPressesAndEscapeGivesTheFocusBack) {
  TRibbon* ribbon = window->Ribbon();
  QWidget* control = FirstControl();
  ASSERT_NE(control, nullptr);
  control->setFocus();

  Press(Qt::Key_F10);
  EXPECT_EQ(QApplication::focusWidget(), TabButton("dxTabDisplay"));
  EXPECT_TRUE(ribbon->HasKeyboard());
  Press(Qt::Key_Escape);
  EXPECT_EQ(QApplication::focusWidget(), control);
  EXPECT_FALSE(ribbon->HasKeyboard());

  // Along the tabs, down into the active tab's buttons, and a page opened with Enter.
  Press(Qt::Key_F10);
  Press(Qt::Key_Right);
  EXPECT_EQ(ribbon->ActiveTab()->objectName(), "dxTabGameSettings");
  EXPECT_EQ(QApplication::focusWidget(), TabButton("dxTabGameSettings"));
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetMultiplayerClient");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "dxButtonMultiClient");
  Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), "dxButtonMultiServer");
  Press(Qt::Key_Return);
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetMultiplayerServer");
  EXPECT_TRUE(window->RibbonButton("dxButtonMultiServer")->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), FirstControl()) << Focused().toStdString();

  // The small buttons stacked in a column are reached with Up and Down; Left wraps round the tabs.
  Press(Qt::Key_F10);
  Press(Qt::Key_Left);
  EXPECT_EQ(ribbon->ActiveTab()->objectName(), "dxTabDisplay");
  Press(Qt::Key_Left);
  EXPECT_EQ(ribbon->ActiveTab()->objectName(), "dxTabOptions");
  Press(Qt::Key_Right);
  EXPECT_EQ(ribbon->ActiveTab()->objectName(), "dxTabDisplay");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "dxButtonGraphicsStandard");
  for (int step = 0; step < 4; ++step) Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), "dxButtonOptimisation");
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "dxButtonObjectClipping");
  Press(Qt::Key_Space);
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetOptimization2");

  // Up from the tabs reaches the application button; Escape leaves for the page shown now.
  Press(Qt::Key_F10);
  Press(Qt::Key_Up);
  EXPECT_EQ(QApplication::focusWidget(), ribbon->ApplicationButton());
  Press(Qt::Key_Escape);
  EXPECT_FALSE(ribbon->HasKeyboard());
  EXPECT_TRUE(window->Pages().ActivePage()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(KeyboardTest, AltPressedAloneEntersAndLeavesTheRibbonButNotWithAnotherKey) {
  TRibbon* ribbon = window->Ribbon();
  FirstControl()->setFocus();
  Press(Qt::Key_Alt);
  EXPECT_TRUE(ribbon->HasKeyboard());
  Press(Qt::Key_Alt);
  EXPECT_FALSE(ribbon->HasKeyboard());
  EXPECT_EQ(QApplication::focusWidget(), FirstControl());

  QWidget* focus = QApplication::focusWidget();
  QTest::keyPress(focus, Qt::Key_Alt);
  QTest::keyClick(focus, Qt::Key_X, Qt::AltModifier);
  QTest::keyRelease(focus, Qt::Key_Alt);
  EXPECT_FALSE(ribbon->HasKeyboard());
}

TEST_F(KeyboardTest, ApplicationMenuOpensOnTheKeyboardsFirstCommandAndRunsTheChosenOne) {
  TRibbon* ribbon = window->Ribbon();
  Press(Qt::Key_F10);
  Press(Qt::Key_Up);
  Press(Qt::Key_Return);
  TApplicationMenu* menu = ribbon->ApplicationMenu();
  ASSERT_TRUE(menu->isVisible());
  // Apply and Cancel have nothing to do: the keyboard starts on the first command it can run.
  EXPECT_EQ(Focused(), "dxButtonUndoApply");
  Press(Qt::Key_Up);
  EXPECT_EQ(Focused(), "dxButtonExit");  // round to the foot
  Press(Qt::Key_Escape);
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), ribbon->ApplicationButton());

  Press(Qt::Key_Return);
  Press(Qt::Key_Down);
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), "dxButtonSaveConfig");
  dialogs.QueueCancel();
  Press(Qt::Key_Return);
  EXPECT_FALSE(menu->isVisible());
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Save");
}

TEST_F(KeyboardTest, ShortcutsPressTheirCommandsButtonAndShowInItsTooltip) {
  struct Case {
    const char* button;
    QKeySequence keys;
  };
  const Case cases[] = {
      {"dxButtonApply", QKeySequence("Ctrl+S")},      {"dxButtonCancel", QKeySequence("Ctrl+R")},
      {"dxButtonOpenConfig", QKeySequence("Ctrl+O")}, {"dxButtonSaveConfig", QKeySequence("Ctrl+Shift+S")},
      {"dxButtonUndoApply", QKeySequence("Ctrl+Z")},  {"dxButtonPlay", QKeySequence("Ctrl+P")},
      {"dxButtonExit", QKeySequence("Ctrl+Q")},
  };
  // The language's tooltip, with the shortcut after it; both copies of Apply and Cancel carry it.
  TRibbonButton* menuApply = window->Ribbon()->ApplicationMenu()->findChild<TRibbonButton*>("dxButtonApply");
  ASSERT_NE(menuApply, window->RibbonButton("dxButtonApply"));
  EXPECT_EQ(menuApply->toolTip(), window->RibbonButton("dxButtonApply")->toolTip());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    const QString tip = window->RibbonButton(c.button)->toolTip();
    const QString shown = " (" + c.keys.toString(QKeySequence::NativeText) + ")";
    EXPECT_TRUE(tip.endsWith(shown)) << tip.toStdString();
    EXPECT_GT(tip.size(), shown.size());
  }
  // The launch itself is the launch tests' business.
  QObject::disconnect(window->RibbonButton("dxButtonPlay"), &QAbstractButton::clicked, window.get(), nullptr);
  dialogs.QueueCancel();  // Open
  dialogs.QueueCancel();  // Save
  dialogs.QueueNo();      // Undo last Apply: start-up's write of the mission date is one
  FirstControl()->setFocus();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    const bool offered =
        std::string_view(c.button) != "dxButtonApply" && std::string_view(c.button) != "dxButtonCancel";
    QSignalSpy pressed(window->RibbonButton(c.button), &QAbstractButton::clicked);
    QTest::keySequence(QApplication::focusWidget(), c.keys);
    // Apply and Cancel are not offered with nothing changed, and their keys do nothing either.
    EXPECT_EQ(pressed.size(), offered ? 1 : 0);
    if (!offered) {
      window->EnableApplyCancel(true, true);
      QTest::keySequence(QApplication::focusWidget(), c.keys);
      EXPECT_EQ(pressed.size(), 1);
      EXPECT_FALSE(window->Configuration().ApplyEnabled());
    }
  }
  QStringList kinds;
  for (const auto& dialog : dialogs.Recorded()) kinds << dialog.kind;
  EXPECT_EQ(kinds, QStringList({"Open", "Save", "Warning"}));
  EXPECT_FALSE(window->isVisible());  // Ctrl+Q
}

// Widgets Tab stops at on the page, in the order Tab takes them.
QList<QWidget*> TabStops(QWidget* window, QWidget* page) {
  QList<QWidget*> stops;
  for (QWidget* next = window->nextInFocusChain(); next != window; next = next->nextInFocusChain()) {
    if (!page->isAncestorOf(next) || !next->isVisible() || !next->isEnabled() || next->focusProxy() ||
        !(next->focusPolicy() & Qt::TabFocus))
      continue;
    stops.append(next);
  }
  return stops;
}

// Whether `b` comes after `a` in reading order: seen from the widget holding both, the part holding b
// lies below the part holding a, or beside it to the right.
bool ReadsAfter(QWidget* a, QWidget* b) {
  QWidget* common = a->parentWidget();
  while (!common->isAncestorOf(b)) common = common->parentWidget();
  const auto partOf = [common](QWidget* widget) {
    while (widget->parentWidget() != common) widget = widget->parentWidget();
    return widget;
  };
  const QRect first = partOf(a)->geometry();
  const QRect second = partOf(b)->geometry();
  if (second.top() >= first.bottom() - 2) return true;
  const bool sameBand = second.top() < first.bottom() && first.top() < second.bottom();
  return sameBand && second.left() >= first.right() - 2;
}

TEST_F(KeyboardTest, TabFollowsTheLayoutOfEveryPage) {
  for (const QString& name : TPageArea::PageNames()) {
    SCOPED_TRACE(name.toStdString());
    window->Pages().ShowPage(name);
    QApplication::processEvents();
    const QList<QWidget*> stops = TabStops(window.get(), window->Pages().ActivePage());
    EXPECT_FALSE(stops.isEmpty());
    for (qsizetype at = 1; at < stops.size(); ++at)
      EXPECT_TRUE(ReadsAfter(stops[at - 1], stops[at]))
          << stops[at - 1]->objectName().toStdString() << " then " << stops[at]->objectName().toStdString();
  }
}

}  // namespace
}  // namespace kesta
