// Widget tests run real Qt widgets on the offscreen platform.

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>

#include "app/kesta_application.h"

namespace {

// The Quit command ends the application's event loop with QCoreApplication::exit; called by a test with no
// loop running, it leaves the application quitting, and every later modal dialog of the same process would
// return at once. A loop run to its end after each test takes that state away again.
class EndQuitting : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo&) override {
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
  }
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QLocale::setDefault(QLocale::c());
  // Tests never see the developer's own Wine prefix: an empty one stands in unless a test makes its own.
  QTemporaryDir prefix;
  qputenv("WINEPREFIX", prefix.path().toUtf8());
  // Nor the desktop's own configuration: start-up reads and may renew the autostart entry there.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  // Nor the game managers' prefixes in the home folder, which the game is looked for in.
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  kesta::TKestaApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new EndQuitting);
  return RUN_ALL_TESTS();
}
