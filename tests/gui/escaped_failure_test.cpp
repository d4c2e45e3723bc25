// A failure that escapes an event handler is shown, and the program goes on: Qt itself would end the
// program on an exception that reaches its event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include "app/kesta_application.h"
#include "engine/failure.h"

namespace kesta {
namespace {

class ThrowingObject : public QObject {
 public:
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    ++handled;
    if (handled == 1) throw EKestaError("Cannot open file \"graphics.cfg\". No such process");
    if (handled == 2) throw 42;  // not even an exception class
    return true;
  }
};

TEST(EscapedFailureTest, IsShownAndTheEventLoopGoesOn) {
  QStringList shown;
  TKestaApplication::SetFailureDisplay([&shown](const QString& text) {
    shown << text;
    return true;
  });
  ThrowingObject object;
  for (int event = 0; event < 3; ++event) QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  bool timerRan = false;
  QTimer::singleShot(0, [&timerRan] {
    timerRan = true;
    throw std::runtime_error("from a timer");
  });
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  TKestaApplication::SetFailureDisplay({});

  EXPECT_EQ(object.handled, 3);  // the event after the failures was still delivered
  EXPECT_TRUE(timerRan);
  EXPECT_EQ(shown, QStringList({"Cannot open file \"graphics.cfg\". No such process", "Unknown error",
                                "from a timer"}));
}

}  // namespace
}  // namespace kesta
