// The Wine tests run real widgets on the offscreen platform in the prefix the fixture made.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QLocale::setDefault(QLocale::c());
  // The prefix the fixture made; the program under test reads WINEPREFIX as the player's environment.
  qputenv("WINEPREFIX", KESTA_WINE_PREFIX);
  qputenv("WINEDEBUG", "-all");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
