#include "support/page_test.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>
#include <QTest>

#include "support/run_program.h"
#include "ui/jpeg_image.h"

namespace kesta::test {

void PageTest::SetUp() {
  window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
  window->FormCreate();
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
  // Pages are built on their first visit; the tests reach every control, so every page is visited.
  for (const QString& page : TPageArea::PageNames()) window->Pages().ShowPage(page);
  window->Pages().ShowPage("TabSheetGraphicsStandards");
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

void ActiveWindowTest::SetUp() {
  window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
  window->FormCreate();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

std::string PageTest::Recorded() const {
  std::string texts;
  for (const auto& dialog : dialogs.Recorded())
    texts += (dialog.kind + ": " + dialog.text + "\n").toStdString();
  return texts;
}

bool PageTest::Shows(const char* picture) const {
  const QImage shown = window->findChild<QLabel*>("ImageGraphics")->pixmap().toImage();
  const QImage expected = DecodeJpegFile(install.Folder().Images() / picture);
  return shown.convertToFormat(QImage::Format_RGB32) == expected.convertToFormat(QImage::Format_RGB32);
}

void PageTest::ExpectLuaReads(const std::filesystem::path& file) const {
  const auto lua =
      RunProgram("/bin/bash", {(SourceFolder() / "scripts/check_lua.sh").string(), file.string()});
  EXPECT_EQ(lua.exitStatus, 0) << lua.err;
}

}  // namespace kesta::test
