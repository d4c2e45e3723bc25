#include "platform/wine_prefixes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>

#include "engine/text.h"
#include "platform/file_io.h"
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

// The value of the first "prefix:" line of a Lutris game file, as written (quotes and all).
std::optional<std::string> LutrisPrefixValue(std::string_view text) {
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = TrimView(text.substr(0, end));
    if (line.starts_with("prefix:") && !TrimView(line.substr(7)).empty())
      return std::string(TrimView(line.substr(7)));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return std::nullopt;
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

std::string Unquoted(std::string value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

fs::path WithHome(const std::string& path, const fs::path& home) {
  if (path == "~") return home;
  if (path.starts_with("~/")) return home / path.substr(2);
  return path;
}

// Lutris keeps one YAML file a game; its "prefix:" key (under "game:") names the game's prefix.
std::vector<WinePrefix> LutrisPrefixes(const fs::path& home) {
  std::vector<WinePrefix> prefixes;
  std::error_code ec;
  fs::directory_iterator entries(home / ".config/lutris/games", ec);
  int seen = 0;
  for (; !ec && entries != fs::directory_iterator() && seen < kMostEntries; entries.increment(ec), ++seen) {
    if (entries->path().extension() != ".yml") continue;
    if (const std::optional<std::string> prefix = LutrisPrefixValue(ReadManagerFile(entries->path()));
        prefix && !Unquoted(*prefix).empty())
      prefixes.push_back({entries->path().stem().string(), WithHome(Unquoted(*prefix), home)});
  }
  return prefixes;
}

// Steam's libraries, from libraryfolders.vdf ("path" entries); each keeps Proton's prefixes in
// steamapps/compatdata/<app>/pfx.
std::vector<WinePrefix> SteamPrefixes(const fs::path& home) {
  std::vector<fs::path> libraries;
  for (const char* root : {".steam/steam", ".local/share/Steam"}) {
    const fs::path steam = home / root;
    std::error_code ec;
    if (!fs::is_directory(steam, ec)) continue;
    libraries.push_back(steam);
    for (const std::string& path : VdfPathValues(ReadManagerFile(steam / "steamapps/libraryfolders.vdf")))
      libraries.push_back(path);
  }
  std::vector<WinePrefix> prefixes;
  for (const fs::path& library : libraries)
    for (const fs::path& app : SubFolders(library / "steamapps/compatdata"))
      prefixes.push_back({"Steam " + app.filename().string(), app / "pfx"});
  return prefixes;
}

std::vector<WinePrefix> EachSubFolder(const fs::path& folder) {
  std::vector<WinePrefix> prefixes;
  for (const fs::path& sub : SubFolders(folder)) prefixes.push_back({sub.filename().string(), sub});
  return prefixes;
}

}  // namespace

bool IsWinePrefix(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / "user.reg", ec) && fs::is_regular_file(folder / "system.reg", ec) &&
         fs::is_directory(folder / "drive_c", ec);
}

std::vector<WinePrefix> FindWinePrefixes(const fs::path& home,
                                         const std::optional<fs::path>& environmentPrefix) {
  std::vector<WinePrefix> candidates;
  if (environmentPrefix) candidates.push_back({environmentPrefix->filename().string(), *environmentPrefix});
  candidates.push_back({".wine", home / ".wine"});
  for (std::vector<WinePrefix> more :
       {LutrisPrefixes(home), EachSubFolder(home / ".local/share/bottles/bottles"),
        EachSubFolder(home / ".var/app/com.usebottles.bottles/data/bottles/bottles"),
        EachSubFolder(home / ".PlayOnLinux/wineprefix"), SteamPrefixes(home)})
    candidates.insert(candidates.end(), more.begin(), more.end());

  std::vector<WinePrefix> prefixes;
  std::set<fs::path> seen;
  for (WinePrefix& candidate : candidates) {
    if (!IsWinePrefix(candidate.path)) continue;
    std::error_code ec;
    const fs::path identity = fs::canonical(candidate.path, ec);
    if (!seen.insert(ec ? candidate.path : identity).second) continue;
    prefixes.push_back(std::move(candidate));
  }
  return prefixes;
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
