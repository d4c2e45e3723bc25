#include "app/kesta_application.h"

#include <cstdio>
#include <exception>

namespace kesta {

namespace {

TKestaApplication::FailureDisplay& Display() {
  static TKestaApplication::FailureDisplay display;
  return display;
}

void ShowFailure(const QString& text) noexcept {
  try {
    if (Display() && Display()(text)) return;
  } catch (...) {
    // Showing the failure failed as well: standard error is all that is left.
  }
  std::fprintf(stderr, "KESTA: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

void TKestaApplication::SetFailureDisplay(FailureDisplay display) { Display() = std::move(display); }

bool TKestaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& failure) {
    ShowFailure(QString::fromUtf8(failure.what()));
  } catch (...) {
    ShowFailure(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace kesta
