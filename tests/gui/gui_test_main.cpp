// Widget tests run real Qt widgets on the offscreen platform.

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include "app/kesta_application.h"

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
  return RUN_ALL_TESTS();
}
