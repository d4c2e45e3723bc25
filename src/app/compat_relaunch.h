#pragma once
// On Windows 6.x the program once asked to run in Windows XP compatibility and restarted itself.
// Under Wine the registry refuses writes, so the check ends in "no relaunch" without reading a value; it
// stays for registry stores that allow writes.

#include <filesystem>
#include <functional>

namespace kesta {

class RegistryStore;

// True when a new instance was started and this one must end at once. Never fails.
bool CompatibilityRelaunchCheck(RegistryStore& registry, const std::filesystem::path& executable,
                                const std::function<bool(const std::filesystem::path&)>& startProgram);

}  // namespace kesta
