#pragma once
// What the window needs from the world outside it; tests provide their own.

#include <filesystem>
#include <functional>

#include "settings/program_folder.h"

namespace kesta {

class DialogService;

struct WindowEnvironment {
  ProgramFolder folder;
  DialogService* dialogs = nullptr;  // the window's own Qt dialogs when null
  // Starts a program detached (the relaunch after a change of game folder).
  std::function<bool(const std::filesystem::path& program, const std::filesystem::path& workingFolder)>
      startProgram;
  // Whether the desktop shows tray icons right now; Qt's answer when empty. (The "= {}" lets callers
  // that list only the members above leave it out.)
  std::function<bool()> trayAvailable = {};
};

}  // namespace kesta
