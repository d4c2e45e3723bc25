// Where the real dialogs of the dialog service stand: over their window when it is shown, in the middle
// of the screen while it is not (the questions of start-up, asked before the window appears).

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "ui/dialog_service.h"

namespace kesta {
namespace {

// Runs `ask`, which opens one modal box, and returns the box's frame as it was shown; the box is then
// dismissed.
QRect ShownFrame(const std::function<void()>& ask) {
  QRect frame;
  QTimer::singleShot(0, [&frame] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    frame = box->frameGeometry();
    if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
  });
  ask();
  return frame;
}

TEST(DialogPlacementTest, BoxesOfAWindowNotShownStandInTheMiddleOfTheScreen) {
  const std::pair<const char*, std::function<void(DialogService&)>> boxes[] = {
      {"message", [](DialogService& dialogs) { dialogs.Information("A line of text\nand another one"); }},
      {"question", [](DialogService& dialogs) { dialogs.ErrorQuestion("Load the default copy?"); }},
      {"input", [](DialogService& dialogs) { dialogs.InputText("Name", "Name of the new profile", "x"); }},
      {"file", [](DialogService& dialogs) { dialogs.OpenFileName({"Open", QDir::tempPath(), "All|*", "", ""}); }},
      {"colour", [](DialogService& dialogs) { dialogs.ChooseColor(Qt::red); }},
  };
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  QWidget window;  // made, placed in a corner, never shown
  window.setGeometry(screen.left(), screen.top(), 490, 720);
  for (QWidget* parent : {static_cast<QWidget*>(nullptr), &window}) {
    QtDialogService dialogs(parent);
    for (const auto& [name, ask] : boxes) {
      SCOPED_TRACE(std::string(name) + (parent ? ", hidden window" : ", no window"));
      const QRect frame = ShownFrame([&dialogs, &ask] { ask(dialogs); });
      ASSERT_TRUE(frame.isValid());
      EXPECT_LE((frame.center() - screen.center()).manhattanLength(), 2) << frame.x() << "," << frame.y();
    }
  }
}

TEST(DialogPlacementTest, BoxOfAShownWindowStandsOverIt) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  QWidget window;
  window.setGeometry(screen.left() + 20, screen.top() + 20, 490, 560);
  window.show();
  QtDialogService dialogs(&window);
  const QRect frame = ShownFrame([&dialogs] { dialogs.Information("Text"); });
  EXPECT_TRUE(window.frameGeometry().contains(frame)) << frame.x() << "," << frame.y();
  EXPECT_GT((frame.center() - screen.center()).manhattanLength(), 20);
}

}  // namespace
}  // namespace kesta
