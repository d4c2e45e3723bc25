// Coming back to the program on the real window over a copy of the sample game: what an outside change
// of the game files reloads, what the question and the user's pending changes hold back, and the aspect
// written back at once.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/tray_and_options.h"
#include "documents/cockpit_document.h"
#include "documents/graphics_document.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

class ReactivationTest : public test::PageTest {
 protected:
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  fs::path CockpitFile() const { return install.Game("Config/cockpit.cfg"); }
  const GraphicsDocument& Graphics() const { return window->GameFiles().Get<GraphicsDocument>(); }
  const CockpitDocument& Cockpit() const { return window->GameFiles().Get<CockpitDocument>(); }

  // Rewrites the file with one text replaced, as another program would, and gives it a write time of
  // its own, so that no two changes of a test share one.
  void ChangeOutside(const fs::path& file, const std::string& from, const std::string& to) {
    std::string text = test::ReadBytes(file);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    ++m_changes;
    fs::last_write_time(
        file, fs::file_time_type::clock::now() - std::chrono::hours(1) + std::chrono::seconds(m_changes));
  }
  void ChangeGraphicsOutside() { ChangeOutside(GraphicsFile(), "TextureLevel = 2;", "TextureLevel = 0;"); }
  void ChangeCockpitOutside() { ChangeOutside(CockpitFile(), "RussianHUD = 1;", "RussianHUD = 0;"); }
  void AskBeforeReloading() { window->Tray().SetOptionToggle(OptionToggle::ReloadSettings, true); }

  // The window shown and the active one, as the player sees it.
  void ShowActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Settle();
  }
  static void Report(Qt::ApplicationState state) { emit qApp->applicationStateChanged(state); }
  // The player leaves the program for another and comes back to it, some time after the last box of
  // ours closed. (The offscreen platform has no other program to leave for: the application's state
  // changes are reported as the desktop would report them.)
  static void LeaveAndReturn() {
    QTest::qWait(1500);
    Report(Qt::ApplicationInactive);
    Report(Qt::ApplicationActive);
    Settle();
  }
  // The checks and boxes that the return started have run.
  static void Settle() { QTest::qWait(200); }
  // The next question stands on the screen as a real box over the window, takes the focus and is
  // answered before the script's answer is used. Once it is closed, the application is reported
  // inactive and active again, as X11 reports it (seen with openbox).
  void NextQuestionInARealBox() {
    dialogs.WhileNextMessageShows([this] {
      // Shown and waited for rather than run with exec(): an earlier test's quit of the application
      // would end a nested event loop at once.
      QMessageBox box(QMessageBox::Information, "KESTA", "?", QMessageBox::Yes | QMessageBox::No,
                      window.get());
      box.setWindowModality(Qt::ApplicationModal);
      box.show();
      box.activateWindow();
      if (!QTest::qWaitFor([&box] { return QGuiApplication::focusWindow() == box.windowHandle(); }))
        ADD_FAILURE() << "the box never took the focus";
      box.button(QMessageBox::Yes)->click();
      ASSERT_FALSE(box.isVisible());
      QTimer::singleShot(0, qApp, [] {
        Report(Qt::ApplicationInactive);
        Report(Qt::ApplicationActive);
      });
    });
  }

 private:
  int m_changes = 0;
};

TEST_F(ReactivationTest, OnlyAChangedGraphicsFileReloadsAndThenEveryFile) {
  ChangeCockpitOutside();
  window->Configuration().JvAppEvents1Activate();
  EXPECT_TRUE(Cockpit().russianHud);  // the cockpit file alone is not watched

  ChangeGraphicsOutside();
  window->EnableApplyCancel(false, true);  // a state the reload settles
  window->Configuration().JvAppEvents1Activate();
  EXPECT_EQ(Graphics().textureLevel, 0);
  EXPECT_FALSE(Cockpit().russianHud);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_FALSE(window->Configuration().CancelEnabled());

  // Seen once: the next activation finds the time stamp current.
  ChangeOutside(CockpitFile(), "RussianHUD = 0;", "RussianHUD = 1;");
  window->Configuration().JvAppEvents1Activate();
  EXPECT_FALSE(Cockpit().russianHud);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ReactivationTest, AnsweringNoKeepsThePagesAndOffersApplyOnly) {
  AskBeforeReloading();
  ChangeGraphicsOutside();
  dialogs.QueueNo();
  window->Configuration().JvAppEvents1Activate();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Information");
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("ReloadAll"));
  EXPECT_EQ(dialogs.Recorded()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(Graphics().textureLevel, 2);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_FALSE(window->Configuration().CancelEnabled());
  // Not asked again until the file changes once more.
  window->Configuration().JvAppEvents1Activate();
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
}

// Changes the user has not applied are never thrown away by a reload; with the question on, it is asked
// at each activation until they are applied or cancelled.
TEST_F(ReactivationTest, PendingChangesAreNeverReloadedOver) {
  window->EnableApplyCancel(true, true);
  ChangeGraphicsOutside();
  window->Configuration().JvAppEvents1Activate();
  EXPECT_EQ(Graphics().textureLevel, 2);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();

  AskBeforeReloading();
  for (int activation = 1; activation <= 2; ++activation) {
    dialogs.QueueYes();
    window->Configuration().JvAppEvents1Activate();
    EXPECT_EQ(dialogs.Recorded().size(), static_cast<size_t>(activation)) << Recorded();
    EXPECT_EQ(Graphics().textureLevel, 2);
  }
  // Applied, they are the file's content: nothing is left to ask about.
  window->Configuration().dxButtonApplyClick();
  dialogs.ClearRecorded();
  window->Configuration().JvAppEvents1Activate();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_NE(test::ReadBytes(GraphicsFile()).find("\nTextureLevel = 2;"), std::string::npos);
}

TEST_F(ReactivationTest, OurOwnApplyIsNoOutsideChange) {
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonApplyClick();
  ASSERT_FALSE(window->Configuration().ApplyEnabled());
  // Were our write taken for an outside one, this change of the cockpit file would be reloaded.
  ChangeCockpitOutside();
  window->Configuration().JvAppEvents1Activate();
  EXPECT_TRUE(Cockpit().russianHud);
}

// The page's aspect wins: it is written back into the file at once, and the next activation reads the
// file once more, this time without writing.
TEST_F(ReactivationTest, AnotherAspectIsWrittenBackAtOnce) {
  ChangeOutside(GraphicsFile(), "\taspect = 1.333333373;", "\taspect = 1.6;");
  window->Configuration().JvAppEvents1Activate();
  EXPECT_EQ(Graphics().aspect, 0);
  const std::string written = test::ReadBytes(GraphicsFile());
  EXPECT_EQ(written.find("aspect = 1.6;"), std::string::npos);
  EXPECT_NE(written.find("\n\taspect = 1.333333373;"), std::string::npos);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());

  ChangeOutside(CockpitFile(), "RussianHUD = 1;", "RussianHUD = 0;");
  fs::last_write_time(GraphicsFile(), fs::last_write_time(GraphicsFile()));  // untouched by this test
  window->Configuration().JvAppEvents1Activate();
  EXPECT_FALSE(Cockpit().russianHud);  // read again
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), written);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ReactivationTest, AGraphicsFileWithoutATimeAsksAndReloadsNothing) {
  AskBeforeReloading();
  ChangeCockpitOutside();
  fs::remove(GraphicsFile());
  window->Configuration().JvAppEvents1Activate();
  window->Configuration().JvAppEvents1Activate();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_TRUE(Cockpit().russianHud);
}

// Switching away and back while the question is open does not ask it a second time.
TEST_F(ReactivationTest, AnActivationDuringTheQuestionStartsNoSecondCheck) {
  AskBeforeReloading();
  ChangeGraphicsOutside();
  dialogs.QueueYes();
  dialogs.WhileNextMessageShows([this] { window->Configuration().JvAppEvents1Activate(); });
  window->Configuration().JvAppEvents1Activate();
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(Graphics().textureLevel, 0);
  EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// The focus going to a box of ours and back when it closes is no return from another program: the
// question comes once per return, whatever the answer leaves to be asked again.
TEST_F(ReactivationTest, TheQuestionsOwnBoxClosingIsNoReturn) {
  struct Case {
    const char* name;
    bool pendingEdits;  // Yes then keeps the pages and leaves the question for the next return
    std::string from, to;
    int textureLevel;  // on the page after the first answer
  };
  const Case cases[] = {
      {"unapplied edits", true, "TextureLevel = 2;", "TextureLevel = 0;", 2},
      // The reload (which reads the first case's change too) writes the page's aspect back, a change of
      // the file that the next return reads.
      {"another aspect", false, "\taspect = 1.333333373;", "\taspect = 1.6;", 0},
  };
  ShowActive();
  AskBeforeReloading();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.ClearRecorded();
    window->EnableApplyCancel(c.pendingEdits, c.pendingEdits);
    ChangeOutside(GraphicsFile(), c.from, c.to);
    dialogs.QueueYes();
    NextQuestionInARealBox();
    LeaveAndReturn();
    EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
    EXPECT_EQ(window->Configuration().ApplyEnabled(), c.pendingEdits);
    EXPECT_EQ(Graphics().textureLevel, c.textureLevel);

    // The next real return asks again.
    dialogs.QueueYes();
    NextQuestionInARealBox();
    LeaveAndReturn();
    EXPECT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
    window->EnableApplyCancel(false, false);
  }
  // Nothing is left to ask about: the aspect case's second reload wrote nothing.
  LeaveAndReturn();
  EXPECT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
}

}  // namespace
}  // namespace kesta
