#pragma once
// The application object. Qt cannot carry an exception out of an event handler: it would end the
// program. Every failure that escapes a handler is caught here and shown instead, and the program goes on.

#include <QApplication>
#include <functional>

namespace kesta {

class TKestaApplication : public QApplication {
 public:
  // Shows the failure's text; false when it could not (its window is gone).
  using FailureDisplay = std::function<bool(const QString& text)>;

  TKestaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  // Where escaped failures are shown (the window's error box); standard error until one is set.
  static void SetFailureDisplay(FailureDisplay display);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kesta
