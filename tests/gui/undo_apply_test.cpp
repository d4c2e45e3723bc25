// Taking an Apply back in the real window over a copy of the sample game: Undo last Apply by Ctrl+Z puts
// back the files that still hold what the Apply wrote and the pages read them again; a file edited by hand
// since is left alone and named; the undo is undone in turn; Ctrl+Z in a text box stays the box's own;
// the backup page's history lists the Applies and takes back the chosen one.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <string>

#include "documents/graphics_document.h"
#include "sets/apply_journal.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/page_area.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

class UndoApplyTest : public test::ActiveWindowTest {
 protected:
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  fs::path CockpitFile() const { return install.Game("Config/cockpit.cfg"); }
  static void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  // Texture level 0 applied through the window's own Apply.
  void ApplyTextureLevel(int level) {
    window->GameFiles().Get<GraphicsDocument>().textureLevel = level;
    window->EnableApplyCancel(true, true);
    window->Configuration().dxButtonApplyClick();
  }
  // Ctrl+Z where the keyboard is, as a person's would go.
  static void PressCtrlZ() {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
  }
  int TextureLevel() const { return window->GameFiles().Get<GraphicsDocument>().textureLevel; }
  QString Path(const fs::path& path) const { return QString::fromStdString(path.string()); }

  const std::string graphics = test::ReadBytes(GraphicsFile());
  const std::string cockpit = test::ReadBytes(CockpitFile());
};

TEST_F(UndoApplyTest, CtrlZUndoesTheLastApplyLeavesAFileEditedSinceAndIsUndoneInTurn) {
  struct Case {
    const char* what;
    bool cockpitEdited;
  };
  for (const Case& c : {Case{"nothing changed since", false}, Case{"cockpit.cfg edited by hand", true}}) {
    SCOPED_TRACE(c.what);
    WriteBytes(GraphicsFile(), graphics);
    WriteBytes(CockpitFile(), cockpit);
    fs::remove_all(install.Folder().Journal());
    window->Configuration().dxButtonCancelClick();  // the pages read the files as they are now
    ASSERT_EQ(TextureLevel(), 2);
    ApplyTextureLevel(0);
    const std::string applied = test::ReadBytes(GraphicsFile());
    ASSERT_NE(applied, graphics);
    const std::string edited = test::ReadBytes(CockpitFile()) + "-- the player's own line\r\n";
    if (c.cockpitEdited) WriteBytes(CockpitFile(), edited);
    dialogs.ClearRecorded();

    window->setFocus();
    dialogs.QueueYes();
    PressCtrlZ();
    ASSERT_EQ(dialogs.Recorded().size(), 2u);
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Warning");
    EXPECT_TRUE(dialogs.Recorded()[0].text.contains("(Apply)")) << dialogs.Recorded()[0].text.toStdString();
    const test::RecordedDialog& report = dialogs.Recorded()[1];
    EXPECT_EQ(report.kind, c.cockpitEdited ? "Error" : "Information");
    EXPECT_TRUE(
        report.text.contains(window->LookupMessage("UndoApplyRestored") + "\n" + Path(GraphicsFile())));
    EXPECT_EQ(
        report.text.contains(window->LookupMessage("UndoApplyChangedSince") + "\n" + Path(CockpitFile())),
        c.cockpitEdited);
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), graphics);
    EXPECT_EQ(test::ReadBytes(CockpitFile()), c.cockpitEdited ? edited : cockpit);
    EXPECT_EQ(TextureLevel(), 2);  // the pages read the files again
    EXPECT_FALSE(window->Configuration().ApplyEnabled());

    // Ctrl+Z again takes back the undo: the Apply's bytes once more.
    dialogs.ClearRecorded();
    dialogs.QueueYes();
    PressCtrlZ();
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), applied);
    EXPECT_EQ(test::ReadBytes(CockpitFile()), c.cockpitEdited ? edited : test::ReadBytes(CockpitFile()));
    EXPECT_EQ(TextureLevel(), 0);
    const std::vector<JournalEntry> history = ApplyJournal(install.Folder().Journal()).History();
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].command, "undo of undo of Apply");
    EXPECT_EQ(history[1].command, "undo of Apply");
  }
}

// Answering No writes nothing; edits on the pages not applied yet are named in the question. With no
// Apply in the journal the player is told so.
TEST_F(UndoApplyTest, NoWritesNothingAndAnEmptyJournalIsSaid) {
  window->setFocus();
  PressCtrlZ();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("UndoApplyNone"));

  ApplyTextureLevel(0);
  const std::string applied = test::ReadBytes(GraphicsFile());
  window->GameFiles().Get<GraphicsDocument>().textureLevel = 1;
  window->EnableApplyCancel(true, true);
  dialogs.ClearRecorded();
  dialogs.QueueNo();
  PressCtrlZ();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(dialogs.Recorded()[0].text.endsWith(window->LookupMessage("UndoApplyLosesEdits")));
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), applied);
  EXPECT_EQ(TextureLevel(), 1);
  EXPECT_EQ(ApplyJournal(install.Folder().Journal()).History().size(), 1u);
}

// In a text box Ctrl+Z undoes the typing, never an Apply.
TEST_F(UndoApplyTest, CtrlZInATextBoxIsTheBoxsOwnUndo) {
  ApplyTextureLevel(0);
  const std::string applied = test::ReadBytes(GraphicsFile());
  window->Pages().ShowPage("TabSheetScreenshot");
  auto* edit = window->findChild<QLineEdit*>("EditScreenShotName");
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), edit);
  const QString before = edit->text();
  QTest::keyClicks(edit, "xy");
  dialogs.ClearRecorded();
  PressCtrlZ();
  EXPECT_EQ(edit->text(), before);
  EXPECT_TRUE(dialogs.Recorded().empty());
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), applied);
}

// The backup page's history lists the Applies newest first, with their files below the game folder; the
// chosen one is taken back and the list shows the undo.
TEST_F(UndoApplyTest, TheBackupPagesHistoryTakesBackTheChosenApply) {
  ApplyTextureLevel(0);
  const std::string first = test::ReadBytes(GraphicsFile());
  ApplyTextureLevel(1);
  const std::uint64_t newer = ApplyJournal(install.Folder().Journal()).History().front().sequence;
  window->Pages().ShowPage("TabSheetBackup");
  window->findChild<QToolButton*>("ButtonApplyHistory")->click();
  auto* tree = window->findChild<QTreeWidget*>("TreeApplyHistory");
  auto* button = window->findChild<QToolButton*>("ButtonUndoChosenApply");
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(button, nullptr);
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(1), "Apply");
  EXPECT_TRUE(tree->topLevelItem(0)->text(2).startsWith("Config/graphics.cfg, Config/cockpit.cfg"))
      << tree->topLevelItem(0)->text(2).toStdString();
  EXPECT_FALSE(button->isEnabled());

  // The older Apply: graphics.cfg holds the newer one's bytes, so it is changed since and left alone.
  tree->setCurrentItem(tree->topLevelItem(1));
  ASSERT_TRUE(button->isEnabled());
  dialogs.ClearRecorded();
  dialogs.QueueYes();
  button->click();
  ASSERT_EQ(dialogs.Recorded().size(), 2u);
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Error");
  EXPECT_TRUE(dialogs.Recorded()[1].text.contains(window->LookupMessage("UndoApplyChangedSince") + "\n" +
                                                  Path(GraphicsFile())));
  EXPECT_NE(test::ReadBytes(GraphicsFile()), graphics);

  // The newer one, wherever the list now has it: graphics.cfg gets the first Apply's bytes back.
  const int before = tree->topLevelItemCount();
  for (int i = 0; i < before; ++i)
    if (tree->topLevelItem(i)->data(0, Qt::UserRole).toULongLong() == newer)
      tree->setCurrentItem(tree->topLevelItem(i));
  ASSERT_EQ(tree->currentItem()->data(0, Qt::UserRole).toULongLong(), newer);
  dialogs.ClearRecorded();
  dialogs.QueueYes();
  button->click();
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), first);
  EXPECT_EQ(TextureLevel(), 0);
  ASSERT_EQ(tree->topLevelItemCount(), before + 1);
  EXPECT_EQ(tree->topLevelItem(0)->text(1), "undo of Apply");
}

}  // namespace
}  // namespace kesta
