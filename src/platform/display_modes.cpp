#include "platform/display_modes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace kesta {

namespace {

const XRRModeInfo* ModeOf(const XRRScreenResources& resources, RRMode id) {
  for (int i = 0; i < resources.nmode; ++i)
    if (resources.modes[i].id == id) return &resources.modes[i];
  return nullptr;
}

}  // namespace

std::vector<std::pair<int, int>> DisplayModes() {
  std::vector<std::pair<int, int>> modes;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return modes;
  // The current resources: asking the outputs to probe again would cost start-up time for nothing.
  if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display))) {
    // Only the modes of connected outputs: the server also knows modes no screen here can show.
    for (int o = 0; o < resources->noutput; ++o) {
      XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[o]);
      if (!output) continue;
      if (output->connection == RR_Connected) {
        for (int m = 0; m < output->nmode; ++m) {
          const XRRModeInfo* mode = ModeOf(*resources, output->modes[m]);
          if (!mode) continue;
          const std::pair<int, int> size(static_cast<int>(mode->width), static_cast<int>(mode->height));
          // Refresh rates and interlacing give several modes of one size; the lists show sizes only.
          if (std::find(modes.begin(), modes.end(), size) == modes.end()) modes.push_back(size);
        }
      }
      XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
  }
  XCloseDisplay(display);
  return modes;
}

}  // namespace kesta
