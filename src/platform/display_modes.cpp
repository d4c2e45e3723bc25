#include "platform/display_modes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace kesta {

std::vector<std::pair<int, int>> DisplayModes() {
  std::vector<std::pair<int, int>> modes;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return modes;
  if (XRRScreenResources* resources = XRRGetScreenResources(display, DefaultRootWindow(display))) {
    for (int i = 0; i < resources->nmode; ++i) {
      const std::pair<int, int> size(static_cast<int>(resources->modes[i].width),
                                     static_cast<int>(resources->modes[i].height));
      // Refresh rates and interlacing give several modes of one size; the lists show sizes only.
      if (std::find(modes.begin(), modes.end(), size) == modes.end()) modes.push_back(size);
    }
    XRRFreeScreenResources(resources);
  }
  XCloseDisplay(display);
  return modes;
}

}  // namespace kesta
