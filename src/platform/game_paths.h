#pragma once
// Game paths: the game folder followed by a catalogue path stored the Windows way ("Config\graphics.cfg").
// Wine finds files without regard to letter case, and so must we: each component that does not exist
// with its exact name is matched against the folder's entries ignoring case.

#include <filesystem>
#include <string_view>

namespace kesta {

// The native path of game folder + catalogue path (plain text concatenation, as the game folder may lack
// its trailing separator), with backslashes taken as separators and letter case resolved.
std::filesystem::path GamePath(std::string_view gameFolder, std::string_view catalogPath);

// A native path whose components are matched without regard to case where the exact name is missing.
// Components that do not exist in any case are kept as written.
std::filesystem::path ResolveCaseInsensitive(const std::filesystem::path& path);

// "Config\\network\\config.lua" -> "Config/network/config.lua"
std::string WindowsToNativeSeparators(std::string_view path);

}  // namespace kesta
