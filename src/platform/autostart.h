#pragma once
// Starting the program with the user's desktop session: a desktop entry in the XDG autostart folder,
// which every freedesktop session (GNOME, KDE, Xfce, ...) runs at log-in.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kesta {

// $XDG_CONFIG_HOME/autostart when that variable holds an absolute path, else ~/.config/autostart.
// Fails with EKestaError when no home folder is known.
std::filesystem::path AutostartFolder();

// The one entry this program owns in that folder.
std::filesystem::path AutostartEntryPath();

// One argument quoted for an Exec line: in double quotes, with the characters the shell-like
// unquoting treats specially escaped, "%" doubled so it is no field code.
std::string QuoteExecArgument(std::string_view argument);

// The Exec value, as stored in the file, that starts `executable` with the argument "/delay".
std::string AutostartCommand(const std::filesystem::path& executable);

// Creates or replaces the entry (and the folder). Fails with EKestaError carrying the system's text.
void WriteAutostartEntry(const std::filesystem::path& executable);

// Removes the entry; one that is not there is no failure. Fails with EKestaError otherwise.
void RemoveAutostartEntry();

// The stored Exec value of the entry ("" when it has none), or nothing when there is no entry the
// session would run: none at all, or one the desktop turned off with Hidden=true.
// Fails with EKestaError when the entry is there but cannot be read.
std::optional<std::string> ReadAutostartCommand();

}  // namespace kesta
