#include "support/manager_homes.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace kesta::test {

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// "key: value" lines at `indent`, sorted by key as PyYAML writes a map; "{}" for none.
std::string YamlMap(Settings settings, const std::string& indent) {
  std::sort(settings.begin(), settings.end());
  std::string text;
  for (const auto& [key, value] : settings) text += indent + key + ": " + value + "\n";
  return text;
}

std::string MapOrEmpty(const std::string& key, const Settings& settings, const std::string& indent) {
  if (settings.empty()) return indent + key + ": {}\n";
  return indent + key + ":\n" + YamlMap(settings, indent + "  ");
}

}  // namespace

void PlaceIdleScript(const fs::path& path) {
  Write(path, "#!/bin/sh\nexit 0\n");
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

PlaceExecutable PlaceLinkTo(const fs::path& target) {
  return [target](const fs::path& path) { fs::create_symlink(target, path); };
}

ManagerHome::ManagerHome(PlaceExecutable place) : m_place(std::move(place)) {}

ManagerPlaces ManagerHome::Places() const {
  return {(m_home / "bin").string(), {m_home / ".local/share/flatpak", m_home / "system-flatpak"}};
}

fs::path ManagerHome::Place(const fs::path& path) const {
  fs::create_directories(path.parent_path());
  m_place(path);
  return path;
}

ManagedPrefix ManagerHome::MakePrefix(const fs::path& prefix, bool withGame) const {
  fs::create_directories(prefix / "drive_c/windows/system32");
  fs::create_directories(prefix / "dosdevices");
  std::error_code ec;
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:", ec);
  Write(prefix / "system.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n");
  std::string user =
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
  ManagedPrefix made{prefix, {}, {}, {}};
  if (withGame) {
    user +=
        "\n[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1700000000\n#time=1da0000000000000\n"
        "\"Path\"=\"C:\\\\Games\\\\Lock On\\\\\"\n";
    made.gameFolder = prefix / "drive_c/Games/Lock On";
    Write(made.gameFolder / "LockOn.exe", "MZ");
  }
  Write(prefix / "user.reg", user);
  return made;
}

fs::path ManagerHome::MakeWineBuild(const fs::path& root) const {
  Write(root / "share/wine/wine.inf", "[Version]\nSignature=\"$CHICAGO$\"\n");
  return Place(root / "bin/wine");
}

void ManagerHome::StampPrefix(const fs::path& prefix, const fs::path& wine) const {
  struct stat info {};
  const fs::path inf = wine.parent_path().parent_path() / "share/wine/wine.inf";
  if (::stat(inf.c_str(), &info) != 0) throw std::runtime_error("no wine.inf beside " + wine.string());
  Write(prefix / ".update-timestamp", std::to_string(info.st_mtim.tv_sec) + "\n");
}

ManagedPrefix ManagerHome::AddLutrisGame(const LutrisSetup& setup, bool withGame) const {
  const fs::path prefix = m_home / "Games" / setup.slug;
  ManagedPrefix made = MakePrefix(prefix, withGame);
  const fs::path config = m_home / (setup.dataFolder ? ".local/share/lutris" : ".config/lutris");
  std::string game = "game:\n";
  if (!setup.arch.empty()) game += "  arch: " + setup.arch + "\n";
  game += "  exe: " + (prefix / "drive_c/Games/Lock On/LockOn.exe").string() +
          "\n  prefix: " + prefix.string() + "\n";
  std::string system = setup.env.empty() ? "system: {}\n" : "system:\n" + MapOrEmpty("env", setup.env, "  ");
  Settings wine = setup.wine;
  if (!setup.version.empty()) wine.emplace_back("version", setup.version);
  std::string wineSection = "wine:\n";
  Settings sorted = wine;
  if (!setup.overrides.empty()) sorted.emplace_back("overrides", "");
  std::sort(sorted.begin(), sorted.end());
  for (const auto& [key, value] : sorted)
    wineSection += key == "overrides" ? MapOrEmpty("overrides", setup.overrides, "  ")
                                      : "  " + key + ": " + value + "\n";
  if (sorted.empty()) wineSection = "wine: {}\n";
  Write(config / "games" / (setup.slug + "-1700000000.yml"), game + system + wineSection);
  if (!setup.runnerYaml.empty()) Write(config / "runners/wine.yml", setup.runnerYaml);
  if (setup.installBuild && !setup.version.empty()) {
    made.build = MakeWineBuild(m_home / ".local/share/lutris/runners/wine" / setup.version);
    StampPrefix(prefix, made.build);
  }
  return made;
}

ManagedPrefix ManagerHome::AddBottle(const BottleSetup& setup, bool withGame) const {
  const fs::path root =
      m_home / (setup.flatpak ? ".var/app/com.usebottles.bottles/data/bottles" : ".local/share/bottles");
  const fs::path prefix = root / "bottles" / setup.name;
  ManagedPrefix made = MakePrefix(prefix, withGame);
  const Settings parameters = {{"dxvk", setup.dxvk ? "true" : "false"},
                               {"dxvk_nvapi", "false"},
                               {"fixme_logs", "false"},
                               {"sync", setup.sync},
                               {"vkd3d", "true"}};
  const std::string yaml =
      "Arch: win64\nCustom_Path: false\n" + MapOrEmpty("DLL_Overrides", setup.dllOverrides, "") +
      "DXVK: dxvk-2.3\nEnvironment: Gaming\n" + MapOrEmpty("Environment_Variables", setup.environment, "") +
      "External_Programs: {}\nName: " + setup.name + "\n" + MapOrEmpty("Parameters", parameters, "") +
      "Path: " + setup.name + "\nRunner: " + setup.runner + "\nVersioning: false\nWindows: win10\n";
  Write(prefix / "bottle.yml", yaml);
  if (setup.installRunner && !setup.runner.starts_with("sys-")) {
    made.build = MakeWineBuild(root / "runners" / setup.runner);
    StampPrefix(prefix, made.build);
  }
  if (setup.cli && !setup.flatpak) made.command = Place(m_home / "bin/bottles-cli");
  if (setup.cli && setup.flatpak) {
    made.command = Place(m_home / "bin/flatpak");
    const fs::path app = m_home / ".local/share/flatpak/app/com.usebottles.bottles";
    fs::create_directories(app / "x86_64/stable/active/files");
    fs::create_directory_symlink("x86_64/stable", app / "current");
  }
  return made;
}

ManagedPrefix ManagerHome::AddSteamApp(const SteamSetup& setup, bool withGame) const {
  const fs::path steam = m_home / ".local/share/Steam";
  fs::create_directories(m_home / ".steam");
  std::error_code ec;
  fs::create_directory_symlink(steam, m_home / ".steam/steam", ec);
  fs::create_directory_symlink(steam, m_home / ".steam/root", ec);
  fs::path library = steam;
  if (setup.secondLibrary) {
    library = m_home / "Games/SteamLibrary";
    Write(steam / "steamapps/libraryfolders.vdf",
          "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.string() +
              "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() + "\"\n\t}\n}\n");
  }
  const fs::path app = library / "steamapps/compatdata" / setup.appId;
  ManagedPrefix made = MakePrefix(app / "pfx", withGame);
  const fs::path build = setup.compatibilityTools ? steam / "compatibilitytools.d" / setup.build
                                                  : steam / "steamapps/common" / setup.build;
  const fs::path files = build / (setup.dist ? "dist" : "files");
  Write(app / "version", "8.0-104\n");
  Write(app / "config_info", "8.0-104\n" + (files / "share/fonts/").string() + "\n" +
                                 (files / "lib/").string() + "\n" + (files / "lib64/").string() + "\n");
  if (setup.installBuild) {
    Write(build / "version", "1700000000 proton-8.0-104\n");
    const fs::path wine = MakeWineBuild(files);
    fs::create_directories(files / "share/fonts");
    StampPrefix(app / "pfx", wine);
    made.build = Place(build / "proton");
  }
  return made;
}

ManagedPrefix ManagerHome::AddPlayOnLinuxPrefix(const PlayOnLinuxSetup& setup, bool withGame) const {
  const fs::path prefix = m_home / ".PlayOnLinux/wineprefix" / setup.name;
  ManagedPrefix made = MakePrefix(prefix, withGame);
  Write(prefix / "playonlinux.cfg", "ARCH=" + setup.arch + "\nVERSION=" + setup.version + "\n");
  if (setup.installBuild && !setup.version.empty()) {
    // PlayOnLinux takes a prefix without ARCH for x86.
    const std::string arch = setup.arch.empty() ? "x86" : setup.arch;
    made.build = MakeWineBuild(m_home / ".PlayOnLinux/wine" / ("linux-" + arch) / setup.version);
    StampPrefix(prefix, made.build);
  }
  return made;
}

}  // namespace kesta::test
