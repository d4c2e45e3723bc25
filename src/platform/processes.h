#pragma once
// The running processes, read from /proc. A Windows program under Wine shows its own name in "comm"
// (cut to 15 bytes) and the path Wine was given as argv[0]; its executable is Wine's loader, so the
// executable link tells nothing about which program it is.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

// The name a process goes by: the file name of argv[0] (after the last "\" or "/") without its
// extension, or comm's when argv[0] is empty (kernel threads, programs that clear it), in upper case.
std::string ProcessName(std::string_view argv0, std::string_view comm);

// Whether a process of that name runs ("TrackIR" finds TrackIR.exe in any letter case, not TrackIR2.exe).
bool FindProcess(std::string_view name);

// Whether a process of that name runs in that Wine prefix: its WINEPREFIX, or ~/.wine without one, the
// same folder however it is written (a trailing slash, a symbolic link: game managers set it so).
// Processes of other users, whose environment we may not read, do not count.
bool FindProcessInPrefix(std::string_view name, const std::filesystem::path& prefix);

struct WineServer {
  int pid = 0;
  std::filesystem::path executable;  // empty when it cannot be read
};
// The wineservers serving that prefix (named wineserver, or wineserver32/64 as some packages name it).
std::vector<WineServer> WineServersOfPrefix(const std::filesystem::path& prefix);

}  // namespace kesta
