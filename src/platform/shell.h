#pragma once
// Starting other programs and opening documents. Nothing goes through a shell: arguments are a list.

#include <filesystem>
#include <string>
#include <vector>

namespace kesta {

// Opens a web address or a file with the desktop's default handler (xdg-open). True when it started.
bool OpenWithDesktop(const std::string& target);

// Starts a program detached from us, with its arguments as a list and the given working folder.
// True when the program started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& workingFolder);

}  // namespace kesta
