#include "platform/prefix_runner.h"

#include "platform/wine_prefixes.h"

namespace kesta {

namespace fs = std::filesystem;

PrefixRunner RunnerOfPrefix(const fs::path& prefix, const fs::path& home) {
  return RunnerOfPrefix(prefix, home, SystemManagerPlaces(home));
}

PrefixRunner RunnerOfPrefix(const fs::path& prefix, const fs::path& home, const ManagerPlaces& places) {
  return ManagerRunnerOf(prefix, home, places).value_or(PrefixRunner());
}

std::string DescribeRunner(const PrefixRunner& runner) {
  std::string how;
  switch (runner.kind) {
    case RunnerKind::Wine:
      if (runner.buildMissing) {
        how = runner.build.empty() ? "wine build not recorded" : "wine " + runner.build + " (missing)";
      } else if (runner.executable.empty()) {
        how = "system wine";
        if (!runner.build.empty() && runner.build != "system") how += " (" + runner.build + ")";
      } else {
        how = "wine " + (runner.build.empty() ? runner.executable.string() : runner.build);
        // PlayOnLinux keeps a build per architecture: wine/linux-<arch>/<version>/bin/wine.
        const std::string arch =
            runner.executable.parent_path().parent_path().parent_path().filename().string();
        if (runner.manager == PrefixManager::PlayOnLinux && arch.starts_with("linux-"))
          how += " (" + arch.substr(6) + ")";
      }
      break;
    case RunnerKind::BottlesCli:
      how = std::string(runner.command.size() > 1 ? "flatpak " : "") + "bottles-cli (bottle " + runner.name +
            ")";
      if (runner.buildMissing)
        how += ", runner " + (runner.build.empty() ? std::string("not recorded") : runner.build + " missing");
      break;
    case RunnerKind::Proton:
      how = runner.build.empty() ? "Proton" : runner.build;
      if (runner.buildMissing) how += runner.build.empty() ? " build not recorded" : " (missing)";
      break;
  }
  switch (runner.manager) {
    case PrefixManager::None:
      return how;
    case PrefixManager::Lutris:
      return "Lutris: " + how;
    case PrefixManager::Bottles:
      return "Bottles: " + how;
    case PrefixManager::PlayOnLinux:
      return "PlayOnLinux: " + how;
    case PrefixManager::Steam:
      return "Steam: " + how;
  }
  return how;
}

}  // namespace kesta
