// Starts either the real KESTA window on a program folder or an empty Qt Widgets window, the same way
// the program starts, and exits as soon as the window is up and idle. Timed by startup_bench.
//   kesta_startup_probe real PROGRAM_FOLDER | kesta_startup_probe empty

#include <QApplication>
#include <QLocale>
#include <QMainWindow>
#include <QTimer>
#include <cstring>
#include <iostream>

#include "app/splash_screen.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QLocale::setDefault(QLocale::c());
  const bool real = argc >= 3 && std::strcmp(argv[1], "real") == 0;
  if (!real && !(argc >= 2 && std::strcmp(argv[1], "empty") == 0)) {
    std::cerr << "usage: kesta_startup_probe real PROGRAM_FOLDER | empty\n";
    return 2;
  }
  std::unique_ptr<QMainWindow> window;
  if (real) {
    auto* splash = new kesta::TFrmSplashScreen;
    splash->show();
    QApplication::processEvents();
    const std::filesystem::path executable = std::filesystem::path(argv[2]) / "kesta";
    auto kesta = std::make_unique<kesta::TFrmKESTA>(
        kesta::WindowEnvironment{kesta::ProgramFolder(executable), nullptr, {}}, splash);
    kesta->FormCreate();
    splash->close();
    window = std::move(kesta);
  } else {
    window = std::make_unique<QMainWindow>();
    window->setWindowTitle("Empty");
    window->setFixedSize(490, 720);
  }
  window->show();
  // Idle: every event the start-up queued has run, including the deferred step 50 ms later.
  QTimer::singleShot(60, &application, [] { QTimer::singleShot(0, qApp, &QApplication::quit); });
  return application.exec();
}
