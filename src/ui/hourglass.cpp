#include "ui/hourglass.h"

#include <QApplication>

namespace kesta {

void RunWithHourglass(const std::function<void()>& work) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    work();
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
}

}  // namespace kesta
