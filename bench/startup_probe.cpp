// Starts either the real KESTA window on a program folder or an empty Qt Widgets window, the same way
// the program starts, and exits as soon as the window is up and idle. Timed by startup_bench.
//   kesta_startup_probe real PROGRAM_FOLDER | empty | label
// "label" is the empty window with one line of text: any window that shows text pays for loading the
// font database, which the empty window never does.

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstring>
#include <iostream>

#include "app/single_instance.h"
#include "app/start_up.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const bool real = argc >= 3 && std::strcmp(argv[1], "real") == 0;
  const bool label = argc >= 2 && std::strcmp(argv[1], "label") == 0;
  if (!real && !label && !(argc >= 2 && std::strcmp(argv[1], "empty") == 0)) {
    std::cerr << "usage: kesta_startup_probe real PROGRAM_FOLDER | empty | label\n";
    return 2;
  }
  std::unique_ptr<QMainWindow> window;
  // The first start on a program folder reports the backup it made in a message box; nobody is there to
  // close it. It is closed and its text shown, so that a box that should not be there is still seen.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::cerr << "message box closed: " << box->text().toStdString() << "\n";
      box->accept();
    }
  });
  answer.start(50);
  if (real) {
    // The program's own start, relaunch check, registry and single-instance claim included; nothing is
    // ever started again.
    kesta::TSingleInstance instance;
    window = kesta::StartMainWindow(std::filesystem::path(argv[2]) / "kesta", {},
                                    [&instance] { return instance.ClaimOrWake(); });
    if (!window) {
      std::cerr << "the program asked to be started again\n";
      return 1;
    }
  } else {
    QLocale::setDefault(QLocale::c());
    window = std::make_unique<QMainWindow>();
    window->setWindowTitle("Empty");
    window->setFixedSize(490, 720);
    if (label) window->setCentralWidget(new QLabel("Kesta"));
    window->show();
  }
  // Idle: the window is on screen, painted, and every event the start-up queued has run. (The
  // deferred start-up step is a timer 50 ms later by design; it is not counted.) The moment goes to
  // standard output, on the monotonic clock the bench started from, so that closing the window down
  // is not counted as start-up.
  while (!window->windowHandle()->isExposed()) QApplication::processEvents();
  QApplication::processEvents();
  QTimer::singleShot(0, &application, [&application] {
    std::cout << std::chrono::steady_clock::now().time_since_epoch().count() << std::endl;
    application.quit();
  });
  return application.exec();
}
