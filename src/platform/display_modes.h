#pragma once
// The display modes of the X display, for the resolution lists.

#include <utility>
#include <vector>

namespace kesta {

// Width and height of every mode of the connected outputs of the default X display, each size once,
// in the server's order.
// Empty when no X display can be opened (for example on the offscreen platform).
std::vector<std::pair<int, int>> DisplayModes();

}  // namespace kesta
