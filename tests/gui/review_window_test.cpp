// Review changes over the real window on a copy of the sample game: it shows what Apply would write and
// writes nothing; its Apply button runs the window's Apply.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>
#include <string>

#include "documents/game_document.h"
#include "sets/apply_journal.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "ui/command_table.h"
#include "ui/review_window.h"
#include "ui/special_slider.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

class ReviewWindowTest : public test::PageTest {
 protected:
  std::map<std::string, std::string> GameFiles() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(install.Game("")))
      if (entry.is_regular_file()) files[entry.path().string()] = test::ReadBytes(entry.path());
    return files;
  }
  size_t Entries() const { return ApplyJournal(install.Folder().Journal()).History().size(); }
  TReviewWindow* Review() const { return window->findChild<TReviewWindow*>("ReviewWindow"); }
};

TEST_F(ReviewWindowTest, ShowsTheChangesWritesNothingAndItsApplyWrites) {
  // Offered with Apply only.
  EXPECT_FALSE(window->Commands().Enabled(command::kReview));
  window->EnableApplyCancel(true, true);
  // The sample's view files are written in the pages' own number format by any Apply: the review shows it.
  ASSERT_TRUE(window->Commands().Trigger(command::kReview));
  ASSERT_NE(Review(), nullptr);
  EXPECT_TRUE(Review()->Text().startsWith("Config/view/server.lua\n@@ -1,13 +1,13 @@\n"))
      << Review()->Text().toStdString();
  Review()->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  window->Configuration().dxButtonApplyClick();
  window->EnableApplyCancel(true, true);
  const auto before = GameFiles();

  // Nothing changed since: nothing would change, and its Apply is not offered.
  ASSERT_TRUE(window->Commands().Trigger(command::kReview));
  TReviewWindow* review = Review();
  ASSERT_NE(review, nullptr);
  EXPECT_EQ(review->Text().toStdString(), "Apply would change no file.");
  EXPECT_FALSE(review->findChild<QPushButton*>("ReviewApply")->isEnabled());
  review->findChild<QPushButton*>("ReviewClose")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Review(), nullptr);

  Control<TSpecialSlider>("SpecialSliderTextureLevel")->SetPosition(0);
  ASSERT_TRUE(window->Configuration().ApplyEnabled());
  ASSERT_TRUE(window->Commands().Trigger(command::kReview));
  review = Review();
  ASSERT_NE(review, nullptr);
  EXPECT_EQ(review->Text(),
            "Config/graphics.cfg\n@@ -1,6 +1,6 @@\n -- Lock On 1.1 graphics options\n \n-TextureLevel = 2;\n"
            "+TextureLevel = 0;\n WaterQuality = 2;\n FogQuality = 1;\n LightsLevel = 2;\n");
  EXPECT_TRUE(review->findChild<QPlainTextEdit*>("ReviewText")->font().fixedPitch());
  EXPECT_EQ(GameFiles(), before);
  EXPECT_EQ(Entries(), 1u);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();

  review->findChild<QPushButton*>("ReviewApply")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Review(), nullptr);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_NE(test::ReadBytes(install.Game("Config/graphics.cfg")).find("\r\nTextureLevel = 0;\r\n"),
            std::string::npos);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_EQ(Entries(), 2u);
}

// A file Apply cannot write is named above the changes, as the Apply would report it, and the others are
// still shown.
TEST_F(ReviewWindowTest, AFileApplyCannotWriteIsNamed) {
  Control<TSpecialSlider>("SpecialSliderTextureLevel")->SetPosition(0);
  window->GameFiles().Document("Cockpit").SetValue("SpecialSliderMirrors", "0");
  const fs::path graphics = install.Game("Config/graphics.cfg");
  fs::remove(graphics);
  fs::create_directory(graphics);  // a folder where the file was: it cannot be read
  ASSERT_TRUE(window->Commands().Trigger(command::kReview));
  ASSERT_NE(Review(), nullptr);
  const QString text = Review()->Text();
  EXPECT_TRUE(text.startsWith("Graphics: Apply cannot write this file: ")) << text.toStdString();
  EXPECT_TRUE(
      text.contains("\nConfig/cockpit.cfg\n@@ -1,6 +1,6 @@\n -- Cockpit options\n \n-Mirrors = 1;\n"
                    "+Mirrors = 0;\n"))
      << text.toStdString();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

}  // namespace
}  // namespace kesta
