#pragma once
// The hourglass cursor over work the player waits for.

#include <functional>

namespace kesta {

// Runs the work under the hourglass cursor, put back however the work ends.
void RunWithHourglass(const std::function<void()>& work);

}  // namespace kesta
