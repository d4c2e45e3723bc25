#include "platform/wine_prefixes.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "engine/text.h"
#include "platform/file_io.h"
#include "platform/manager_yaml.h"
#include "platform/wine_registry.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// A manager's folder holds one prefix a subfolder; far more than a player keeps, so a damaged or
// enormous folder cannot make start-up crawl.
constexpr int kMostEntries = 200;

std::vector<fs::path> SubFolders(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code ec;
  fs::directory_iterator entries(folder, ec);
  int seen = 0;
  for (; !ec && entries != fs::directory_iterator() && seen < kMostEntries; entries.increment(ec), ++seen) {
    std::error_code typeError;
    if (entries->is_directory(typeError)) found.push_back(entries->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// A manager's file is a few kilobytes; a larger one is no file of theirs.
constexpr std::int64_t kMostManagerFileBytes = 1 << 20;

// The managers' files are theirs, not ours: a folder or FIFO under such a name, a file that vanishes or
// cannot be read counts as empty, never as an error or a wait.
std::string ReadManagerFile(const fs::path& file) {
  return ReadForeignFile(file, kMostManagerFileBytes).value_or(std::string());
}

// The "path" values of Steam's libraryfolders.vdf, with VDF's backslash escapes undone.
std::vector<std::string> VdfPathValues(std::string_view text) {
  std::vector<std::string> paths;
  static constexpr std::string_view kKey = "\"path\"";
  for (size_t at = text.find(kKey); at != std::string_view::npos; at = text.find(kKey, at)) {
    at += kKey.size();
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (at >= text.size() || text[at] != '"') continue;
    std::string path;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && at + 1 < text.size()) ++at;
      path += text[at];
    }
    if (at < text.size()) paths.push_back(std::move(path));  // an unclosed value is no path
  }
  return paths;
}

fs::path WithHome(const std::string& path, const fs::path& home) {
  if (path == "~") return home;
  if (path.starts_with("~/")) return home / path.substr(2);
  return path;
}

bool IsExecutableFile(const fs::path& file) {
  std::error_code ec;
  return !file.empty() && fs::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

// A build's name becomes one folder of a path: anything that would lead elsewhere names no build.
bool IsFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

// The first executable `name` in the PATH's absolute folders (an empty or relative entry would run
// whatever lies in our working folder).
fs::path FindOnPath(std::string_view name, std::string_view path) {
  while (!path.empty()) {
    const size_t end = std::min(path.find(':'), path.size());
    const fs::path folder(path.substr(0, end));
    path.remove_prefix(std::min(end + 1, path.size()));
    if (folder.is_absolute() && IsExecutableFile(folder / name)) return folder / name;
  }
  return {};
}

// The folder itself, links resolved, to tell whether two paths name one prefix.
fs::path Identity(const fs::path& path) {
  std::error_code ec;
  fs::path identity = fs::canonical(path, ec);
  if (ec) identity = fs::absolute(path, ec).lexically_normal();
  return ec ? path : identity;
}

// The variables a runner sets, each once: a later value of a name replaces the earlier in its place.
class Environment {
 public:
  void Set(const std::string& name, const std::string& value) {
    // WINEPREFIX is the start's to set: a manager's variable cannot move the program to another prefix.
    if (name.empty() || name == "WINEPREFIX" || name.find_first_of(std::string_view("=\0", 2)) != name.npos ||
        value.find('\0') != value.npos)
      return;
    for (auto& variable : m_variables)
      if (variable.first == name) {
        variable.second = value;
        return;
      }
    m_variables.emplace_back(name, value);
  }
  // The player's own variables of a map (Lutris's "env", Bottles' "Environment_Variables").
  void SetEach(const YamlValue* variables) {
    if (variables)
      for (const YamlEntry& entry : variables->entries) Set(entry.key, entry.value.text);
  }
  std::vector<std::pair<std::string, std::string>> Take() { return std::move(m_variables); }

 private:
  std::vector<std::pair<std::string, std::string>> m_variables;
};

// WINEDLLOVERRIDES from the manager's "dll: mode" map; with DXVK, its DLLs native unless the map names
// them. Entries that would break the variable's syntax are left out.
std::string DllOverrides(const YamlValue* overrides, bool dxvk) {
  std::string text;
  std::set<std::string> named;
  if (overrides) {
    for (const YamlEntry& entry : overrides->entries) {
      if (entry.key.empty() || entry.key.find_first_of(";=") != std::string::npos ||
          entry.value.text.find_first_of(";=") != std::string::npos)
        continue;
      text += (text.empty() ? "" : ";") + entry.key + "=" + entry.value.text;
      named.insert(entry.key);
    }
  }
  if (dxvk) {
    std::string dlls;
    for (const char* dll : {"d3d9", "d3d10core", "d3d11", "dxgi"})
      if (!named.contains(dll)) dlls += (dlls.empty() ? "" : ",") + std::string(dll);
    if (!dlls.empty()) text += (text.empty() ? "" : ";") + dlls + "=n";
  }
  return text;
}

// ---- Lutris: one YAML file a game; its "wine" and "system" settings over those of runners/wine.yml
// (and of system.yml); the builds in ~/.local/share/lutris/runners/wine/<version>/.

struct LutrisFolder {
  const char* games;
  const char* runner;
  const char* system;
};
constexpr LutrisFolder kLutrisFolders[] = {
    {".config/lutris/games", ".config/lutris/runners/wine.yml", ".config/lutris/system.yml"},
    {".local/share/lutris/games", ".local/share/lutris/runners/wine.yml", ".local/share/lutris/system.yml"},
};

PrefixRunner LutrisRunner(const std::string& name, const YamlValue& game, const LutrisFolder& folder,
                          const fs::path& home) {
  const YamlValue runnerFile = ParseManagerYaml(ReadManagerFile(home / folder.runner));
  const YamlValue systemFile = ParseManagerYaml(ReadManagerFile(home / folder.system));
  // The game's setting, else the runner's, else the one for every game.
  const auto setting = [&](std::string_view section, std::string_view key) -> const YamlValue* {
    for (const YamlValue* level : {&game, &runnerFile, &systemFile})
      if (const YamlValue* value = level->Find({section, key})) return value;
    return nullptr;
  };
  const auto text = [&](std::string_view section, std::string_view key) {
    const YamlValue* value = setting(section, key);
    return value ? Trim(value->text) : std::string();
  };

  PrefixRunner runner;
  runner.manager = PrefixManager::Lutris;
  runner.name = name;
  runner.build = text("wine", "version");
  if (runner.build == "custom") {
    runner.executable = WithHome(text("wine", "custom_wine_path"), home);
    runner.buildMissing = !IsExecutableFile(runner.executable);
  } else if (runner.build == "system" || runner.build.empty()) {
    // Lutris's "system" build is the system's Wine; without a recorded build the system's is taken too,
    // and the start's check of the prefix's stamp catches a build that does not fit.
  } else if (!IsFolderName(runner.build)) {
    runner.buildMissing = true;
  } else {
    runner.executable = home / ".local/share/lutris/runners/wine" / runner.build / "bin/wine";
    runner.buildMissing = !IsExecutableFile(runner.executable);
  }
  runner.buildWine = runner.executable;

  Environment environment;
  // Without an arch Wine keeps the prefix's own; a wrong one would refuse to start.
  if (const YamlValue* arch = game.Find({"game", "arch"});
      arch && (arch->text == "win32" || arch->text == "win64"))
    environment.Set("WINEARCH", arch->text);
  if (!runner.executable.empty()) environment.Set("WINE", runner.executable.string());
  // Lutris turns these on unless the game or the runner turns them off.
  const auto on = [&](std::string_view key) {
    const YamlValue* value = setting("wine", key);
    return value ? value->Flag(true) : true;
  };
  environment.Set("WINEESYNC", on("esync") ? "1" : "0");
  environment.Set("WINEFSYNC", on("fsync") ? "1" : "0");
  if (const std::string overrides = DllOverrides(setting("wine", "overrides"), on("dxvk"));
      !overrides.empty())
    environment.Set("WINEDLLOVERRIDES", overrides);
  environment.SetEach(setting("system", "env"));
  runner.environment = environment.Take();
  return runner;
}

bool RunsLockOn(const YamlValue& game) {
  const YamlValue* exe = game.Find({"game", "exe"});
  if (!exe) return false;
  const std::string_view path = exe->text;
  return EqualsNoCase(path.substr(std::min(path.find_last_of("/\\") + 1, path.size())), "LockOn.exe");
}

// ---- Bottles: bottles/<name>/bottle.yml; its runner in runners/<Runner>/bin/wine, "sys-*" the system's.

constexpr char kBottlesApp[] = "com.usebottles.bottles";

PrefixRunner BottleRunner(const fs::path& bottle, const fs::path& bottlesRoot, bool flatpak,
                          const ManagerPlaces& places) {
  const YamlValue config = ParseManagerYaml(ReadManagerFile(bottle / "bottle.yml"));
  const auto text = [&](std::string_view key) {
    const YamlValue* value = config.Find(key);
    return value ? Trim(value->text) : std::string();
  };
  PrefixRunner runner;
  runner.manager = PrefixManager::Bottles;
  runner.name = text("Name").empty() ? bottle.filename().string() : text("Name");
  runner.build = text("Runner");
  fs::path wine;
  if (runner.build.starts_with("sys-")) {
    // the system's Wine
  } else if (!IsFolderName(runner.build)) {
    runner.buildMissing = true;  // none recorded (no readable bottle.yml): Bottles would pick any
  } else {
    wine = bottlesRoot / "runners" / runner.build / "bin/wine";
    runner.buildMissing = !IsExecutableFile(wine);
  }
  runner.buildWine = wine;

  // Bottles' own command sets up everything for the bottle; preferred wherever it can be run.
  if (flatpak) {
    const fs::path flatpakCommand = FindOnPath("flatpak", places.path);
    const bool installed =
        std::any_of(places.flatpakRoots.begin(), places.flatpakRoots.end(), [](const fs::path& root) {
          std::error_code ec;
          return fs::is_directory(root / "app" / kBottlesApp / "current", ec);
        });
    if (!flatpakCommand.empty() && installed)
      runner.command = {flatpakCommand.string(), "run", "--command=bottles-cli", kBottlesApp};
  } else if (const fs::path cli = FindOnPath("bottles-cli", places.path); !cli.empty()) {
    runner.command = {cli.string()};
  }
  if (!runner.command.empty()) {
    runner.kind = RunnerKind::BottlesCli;
    return runner;
  }

  runner.executable = wine;
  Environment environment;
  const YamlValue* parameters = config.Find("Parameters");
  const bool dxvk = parameters && parameters->Find("dxvk") && parameters->Find("dxvk")->Flag(false);
  if (const std::string overrides = DllOverrides(config.Find("DLL_Overrides"), dxvk); !overrides.empty())
    environment.Set("WINEDLLOVERRIDES", overrides);
  const YamlValue* sync = parameters ? parameters->Find("sync") : nullptr;
  if (sync && sync->text == "esync") environment.Set("WINEESYNC", "1");
  if (sync && sync->text == "fsync") environment.Set("WINEFSYNC", "1");
  if (sync && sync->text == "futex2") environment.Set("WINEFSYNC_FUTEX2", "1");
  environment.SetEach(config.Find("Environment_Variables"));
  runner.environment = environment.Take();
  return runner;
}

// ---- Steam: steamapps/compatdata/<app>/ with pfx/; line 2 of config_info is the fonts folder of the
// Proton build that last set the prefix up (<build>/files/share/fonts/, old builds: dist/).

PrefixRunner ProtonRunner(const fs::path& app, const fs::path& steamRoot) {
  PrefixRunner runner;
  runner.manager = PrefixManager::Steam;
  runner.kind = RunnerKind::Proton;
  runner.name = app.filename().string();
  runner.environment = {{"STEAM_COMPAT_DATA_PATH", Identity(app).string()},
                        {"STEAM_COMPAT_CLIENT_INSTALL_PATH", steamRoot.string()}};
  const std::string infoText = ReadManagerFile(app / "config_info");
  std::string_view info = infoText;
  std::string_view fonts;
  for (int line = 0; line < 2 && !info.empty(); ++line) {
    const size_t end = std::min(info.find('\n'), info.size());
    fonts = info.substr(0, end);
    info.remove_prefix(std::min(end + 1, info.size()));
    if (line == 0) fonts = {};
  }
  while (!fonts.empty() && (fonts.back() == '/' || fonts.back() == '\r')) fonts.remove_suffix(1);
  std::string_view root;
  for (std::string_view files : {"/files/share/fonts", "/dist/share/fonts"})
    if (fonts.ends_with(files) && fonts.size() > files.size() && fonts.front() == '/')
      root = fonts.substr(0, fonts.size() - files.size());
  if (root.empty() || root.find('\0') != std::string_view::npos) {
    runner.buildMissing = true;  // never set up by Proton, or its record is damaged
    return runner;
  }
  const fs::path build(root);
  runner.build = build.filename().string();
  runner.executable = build / "proton";
  runner.buildWine = build / (fonts.ends_with("/dist/share/fonts") ? "dist" : "files") / "bin/wine";
  runner.buildMissing = !IsExecutableFile(runner.executable) || !IsExecutableFile(runner.buildWine);
  return runner;
}

// ---- PlayOnLinux: wineprefix/<name>/playonlinux.cfg names VERSION and ARCH; the build is
// wine/linux-<ARCH>/<VERSION>/bin/wine, an empty VERSION the system's Wine.

std::string PlayOnLinuxValue(std::string_view text, std::string_view key) {
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = TrimView(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=')
      return Trim(line.substr(key.size() + 1));
  }
  return {};
}

PrefixRunner PlayOnLinuxRunner(const fs::path& prefix, const fs::path& home) {
  const std::string config = ReadManagerFile(prefix / "playonlinux.cfg");
  PrefixRunner runner;
  runner.manager = PrefixManager::PlayOnLinux;
  runner.name = prefix.filename().string();
  runner.build = PlayOnLinuxValue(config, "VERSION");
  if (runner.build.empty()) return runner;
  std::string arch = PlayOnLinuxValue(config, "ARCH");
  if (arch.empty()) arch = "x86";
  if (!IsFolderName(runner.build) || !IsFolderName(arch)) {
    runner.buildMissing = true;
    return runner;
  }
  runner.executable = home / ".PlayOnLinux/wine" / ("linux-" + arch) / runner.build / "bin/wine";
  runner.buildWine = runner.executable;
  runner.buildMissing = !IsExecutableFile(runner.executable);
  return runner;
}

// ---- Where the managers keep prefixes.

struct Candidate {
  std::string name;
  fs::path path;
  std::function<PrefixRunner()> runner;  // empty: the system's Wine
};

void AddLutris(const fs::path& home, std::vector<Candidate>& candidates) {
  struct Game {
    fs::path file;
    YamlValue yaml;
    const LutrisFolder* folder;
  };
  std::vector<Game> games;
  for (const LutrisFolder& folder : kLutrisFolders) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator entries(home / folder.games, ec);
    int seen = 0;
    for (; !ec && entries != fs::directory_iterator() && seen < kMostEntries; entries.increment(ec), ++seen)
      if (entries->path().extension() == ".yml") files.push_back(entries->path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      YamlValue yaml = ParseManagerYaml(ReadManagerFile(file));
      const YamlValue* prefix = yaml.Find({"game", "prefix"});
      if (prefix && !Trim(prefix->text).empty()) games.push_back({file, std::move(yaml), &folder});
    }
  }
  // Several games may share a prefix; the one that runs the game names it and gives its runner.
  std::stable_partition(games.begin(), games.end(), [](const Game& game) { return RunsLockOn(game.yaml); });
  for (Game& game : games) {
    const std::string name = game.file.stem().string();
    const fs::path prefix = WithHome(Trim(game.yaml.Find({"game", "prefix"})->text), home);
    candidates.push_back({name, prefix, [name, yaml = std::move(game.yaml), folder = game.folder, home] {
                            return LutrisRunner(name, yaml, *folder, home);
                          }});
  }
}

void AddBottles(const fs::path& root, bool flatpak, const ManagerPlaces& places,
                std::vector<Candidate>& candidates) {
  for (const fs::path& bottle : SubFolders(root / "bottles"))
    candidates.push_back(
        {bottle.filename().string(), bottle, [=] { return BottleRunner(bottle, root, flatpak, places); }});
}

void AddPlayOnLinux(const fs::path& home, std::vector<Candidate>& candidates) {
  for (const fs::path& prefix : SubFolders(home / ".PlayOnLinux/wineprefix"))
    candidates.push_back(
        {prefix.filename().string(), prefix, [=] { return PlayOnLinuxRunner(prefix, home); }});
}

// Steam's libraries, from libraryfolders.vdf ("path" entries); each keeps Proton's prefixes in
// steamapps/compatdata/<app>/pfx.
void AddSteam(const fs::path& home, std::vector<Candidate>& candidates) {
  std::vector<fs::path> libraries;
  fs::path steamRoot;
  for (const char* root : {".steam/steam", ".local/share/Steam"}) {
    const fs::path steam = home / root;
    std::error_code ec;
    if (!fs::is_directory(steam, ec)) continue;
    if (steamRoot.empty()) steamRoot = Identity(steam);
    libraries.push_back(steam);
    for (const std::string& path : VdfPathValues(ReadManagerFile(steam / "steamapps/libraryfolders.vdf")))
      libraries.push_back(path);
  }
  for (const fs::path& library : libraries)
    for (const fs::path& app : SubFolders(library / "steamapps/compatdata"))
      candidates.push_back(
          {"Steam " + app.filename().string(), app / "pfx", [=] { return ProtonRunner(app, steamRoot); }});
}

std::vector<Candidate> ManagersCandidates(const fs::path& home, const ManagerPlaces& places) {
  std::vector<Candidate> candidates;
  AddLutris(home, candidates);
  AddBottles(home / ".local/share/bottles", false, places, candidates);
  AddBottles(home / ".var/app/com.usebottles.bottles/data/bottles", true, places, candidates);
  AddPlayOnLinux(home, candidates);
  AddSteam(home, candidates);
  return candidates;
}

}  // namespace

ManagerPlaces SystemManagerPlaces(const fs::path& home) {
  const char* path = std::getenv("PATH");
  return {path ? path : "", {home / ".local/share/flatpak", "/var/lib/flatpak"}};
}

bool IsWinePrefix(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / "user.reg", ec) && fs::is_regular_file(folder / "system.reg", ec) &&
         fs::is_directory(folder / "drive_c", ec);
}

std::vector<WinePrefix> FindWinePrefixes(const fs::path& home,
                                         const std::optional<fs::path>& environmentPrefix) {
  return FindWinePrefixes(home, environmentPrefix, SystemManagerPlaces(home));
}

std::vector<WinePrefix> FindWinePrefixes(const fs::path& home,
                                         const std::optional<fs::path>& environmentPrefix,
                                         const ManagerPlaces& places) {
  std::vector<Candidate> candidates;
  if (environmentPrefix)
    candidates.push_back({environmentPrefix->filename().string(), *environmentPrefix, {}});
  candidates.push_back({".wine", home / ".wine", {}});
  std::vector<Candidate> managed = ManagersCandidates(home, places);
  std::map<fs::path, const Candidate*> owners;
  for (const Candidate& candidate : managed) owners.try_emplace(Identity(candidate.path), &candidate);
  candidates.insert(candidates.end(), managed.begin(), managed.end());

  std::vector<WinePrefix> prefixes;
  std::set<fs::path> seen;
  for (Candidate& candidate : candidates) {
    if (!IsWinePrefix(candidate.path)) continue;
    const fs::path identity = Identity(candidate.path);
    if (!seen.insert(identity).second) continue;
    PrefixRunner runner;
    if (const auto owner = owners.find(identity); owner != owners.end()) runner = owner->second->runner();
    prefixes.push_back({std::move(candidate.name), std::move(candidate.path), std::move(runner)});
  }
  return prefixes;
}

std::optional<PrefixRunner> ManagerRunnerOf(const fs::path& prefix, const fs::path& home,
                                            const ManagerPlaces& places) {
  const fs::path identity = Identity(prefix);
  for (const Candidate& candidate : ManagersCandidates(home, places))
    if (Identity(candidate.path) == identity) return candidate.runner();
  return std::nullopt;
}

std::optional<fs::path> GameFolderNamedBy(const fs::path& prefix, std::string_view registryKeyPath) {
  const WineRegistry registry(prefix);
  std::string key(registryKeyPath);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  try {
    const std::optional<std::string> path = registry.ReadString(RegRoot::CurrentUser, key, "Path");
    if (!path || path->empty()) return std::nullopt;
    return registry.MapWindowsPath(*path);
  } catch (const std::exception&) {
    return std::nullopt;  // a Path that is no text names no folder
  }
}

}  // namespace kesta
