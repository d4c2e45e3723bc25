#pragma once
// Starting other programs and opening documents. Nothing goes through a shell: arguments are a list.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kesta {

// Opens a web address or a file with the desktop's default handler (xdg-open). True when it started.
bool OpenWithDesktop(const std::string& target);

// A program name looked up on PATH as an absolute, cleaned path: the first entry holding an executable
// regular file of that name, relative entries taken from our working folder, empty entries skipped.
// Empty when none has it (or for an empty name). A name with a slash is not looked up: empty too.
std::filesystem::path FindExecutable(const std::string& name);

struct DetachedStartOptions {
  // Set in the program's environment over ours, in this order (a later one wins).
  std::vector<std::pair<std::string, std::string>> environment;
  bool inputFromNull = false;  // stdin from /dev/null instead of ours
};

// Starts a program detached from us, with its arguments as a list and the given working folder (ours
// when empty). A program name without a slash is looked up on PATH. The program runs in a session of its
// own, is no child of ours and inherits no descriptor beyond stdin, stdout and stderr. True when the
// program started: false when it is not there or cannot be run, or the working folder cannot be entered.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& workingFolder, const DetachedStartOptions& options = {});

}  // namespace kesta
