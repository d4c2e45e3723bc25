#include "app/compat_relaunch.h"

#include "engine/text.h"
#include "platform/registry.h"

namespace kesta {

bool CompatibilityRelaunchCheck(RegistryStore& registry, const std::filesystem::path& executable,
                                const std::function<bool(const std::filesystem::path&)>& startProgram) {
  constexpr std::string_view layersKey =
      "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
  try {
    // The relaunch writes this key (the same question the write asks): where it cannot, the answer is
    // "no relaunch" whatever the values hold, so none is read. A Wine prefix's system.reg is large.
    if (!registry.CanWrite(RegRoot::CurrentUser, layersKey)) return false;

    const ScopedRegistryStore scope(registry);
    const std::string version = ReadRegString(
        RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion");
    if (version.empty() || version.front() != '6') return false;

    const std::string layers = Trim(ReadRegString(RegRoot::CurrentUser, layersKey, executable.string()));
    if (!layers.empty() && layers.find("WINXPSP2") != std::string::npos) return false;

    WriteRegString(RegRoot::CurrentUser, layersKey, executable.string(), Trim("WINXPSP2 " + layers));
    startProgram(executable);
    return true;
  } catch (...) {
    return false;  // any failure means a normal start
  }
}

}  // namespace kesta
