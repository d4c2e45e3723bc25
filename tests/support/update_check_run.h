#pragma once
// Runs an update check on the test's event loop until it ends (or 20 seconds have passed).

#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "update/update_check.h"

namespace kesta::test {

// The check's outcome; nothing when it did not end in time.
inline std::optional<UpdateOutcome> RunUntilFinished(UpdateCheck& check) {
  QEventLoop loop;
  std::optional<UpdateOutcome> outcome;
  QObject::connect(&check, &UpdateCheck::Finished, &loop, [&](UpdateOutcome ended) {
    outcome = ended;
    loop.quit();
  });
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  check.Start();
  if (!outcome) loop.exec();
  return outcome;
}

}  // namespace kesta::test
