#pragma once
// The running processes, read from /proc. A Windows program under Wine shows its own name in "comm"
// (cut to 15 bytes) and the path Wine was given as argv[0]; its executable is Wine's loader, so the
// executable link tells nothing about which program it is.

#include <filesystem>
#include <string>
#include <string_view>

namespace kesta {

// The name a process goes by: the file name of argv[0] (after the last "\" or "/") without its
// extension, or comm's when argv[0] is empty (kernel threads, programs that clear it), in upper case.
std::string ProcessName(std::string_view argv0, std::string_view comm);

// Whether a process of that name runs ("TrackIR" finds TrackIR.exe in any letter case, not TrackIR2.exe).
bool FindProcess(std::string_view name);

// Whether a process of that name runs in that Wine prefix: its WINEPREFIX, or ~/.wine without one.
// Processes of other users, whose environment we may not read, do not count.
bool FindProcessInPrefix(std::string_view name, const std::filesystem::path& prefix);

}  // namespace kesta
