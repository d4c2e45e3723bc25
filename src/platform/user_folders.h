#pragma once
// The per-user folders of the freedesktop base directory rules.

#include <filesystem>
#include <string_view>

namespace kesta {

// $HOME, else the user's entry in the password database. Fails with EKestaError when neither names one.
std::filesystem::path HomeFolder();

// The folder an XDG variable names ("XDG_CONFIG_HOME", "XDG_DATA_HOME") when it holds an absolute path,
// else `belowHome` in the home folder (".config", ".local/share"). Fails as HomeFolder does.
std::filesystem::path XdgBaseFolder(const char* variable, std::string_view belowHome);

}  // namespace kesta
