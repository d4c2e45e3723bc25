#include "platform/processes.h"

#include <cctype>
#include <functional>
#include <optional>
#include <system_error>

#include "platform/file_io.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Calls `found` for each process whose name (ProcessName) `matches`, until it answers true.
bool AnyProcess(const std::function<bool(const std::string& name)>& matches,
                const std::function<bool(const fs::path&)>& found) {
  std::error_code ec;
  for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string pid = it->path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    // A process may end between the listing and the reads, even between opening a file and reading
    // it: the reader then answers nothing, and the process simply does not match.
    const std::optional<std::string> commandLine = ReadForeignFile(it->path() / "cmdline");
    std::optional<std::string> comm = ReadForeignFile(it->path() / "comm");
    if (!commandLine || !comm) continue;
    if (!comm->empty() && comm->back() == '\n') comm->pop_back();
    const std::string_view argv0(commandLine->c_str());
    if (matches(ProcessName(argv0, *comm)) && found(it->path())) return true;
  }
  return false;
}

std::optional<std::string> EnvironmentValue(const std::string& environment, std::string_view name) {
  for (std::size_t start = 0; start < environment.size();) {
    std::size_t end = environment.find('\0', start);
    if (end == std::string::npos) end = environment.size();
    const std::string_view entry(environment.data() + start, end - start);
    if (entry.size() > name.size() && entry.substr(0, name.size()) == name && entry[name.size()] == '=')
      return std::string(entry.substr(name.size() + 1));
    start = end + 1;
  }
  return std::nullopt;
}

// Whether the process runs in that prefix, by its environment as Wine reads it.
bool RunsInPrefix(const fs::path& process, const fs::path& prefix) {
  const std::optional<std::string> environment = ReadForeignFile(process / "environ");
  if (!environment || environment->empty()) return false;
  std::optional<std::string> itsPrefix = EnvironmentValue(*environment, "WINEPREFIX");
  if (!itsPrefix || itsPrefix->empty()) {
    const std::optional<std::string> home = EnvironmentValue(*environment, "HOME");
    if (!home) return false;
    itsPrefix = (fs::path(*home) / ".wine").string();
  }
  // Wine takes absolute prefixes only; the same folder matches however it is written.
  std::error_code ec;
  return fs::path(*itsPrefix).is_absolute() && fs::equivalent(fs::path(*itsPrefix), prefix, ec);
}

}  // namespace

std::string ProcessName(std::string_view argv0, std::string_view comm) {
  std::string_view name = argv0.empty() ? comm : argv0;
  if (!argv0.empty())
    if (const std::size_t separator = name.find_last_of("\\/"); separator != std::string_view::npos)
      name.remove_prefix(separator + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
    name = name.substr(0, dot);
  return Upper(name);
}

bool FindProcess(std::string_view name) {
  const std::string wanted = Upper(name);
  return AnyProcess([&wanted](const std::string& found) { return found == wanted; },
                    [](const fs::path&) { return true; });
}

bool FindProcessInPrefix(std::string_view name, const fs::path& prefix) {
  const std::string wanted = Upper(name);
  return AnyProcess([&wanted](const std::string& found) { return found == wanted; },
                    [&prefix](const fs::path& process) { return RunsInPrefix(process, prefix); });
}

std::vector<WineServer> WineServersOfPrefix(const fs::path& prefix) {
  std::vector<WineServer> servers;
  AnyProcess(
      [](const std::string& name) {
        return name == "WINESERVER" || name == "WINESERVER32" || name == "WINESERVER64";
      },
      [&](const fs::path& process) {
        if (RunsInPrefix(process, prefix)) {
          std::error_code ec;
          fs::path executable = fs::read_symlink(process / "exe", ec);
          if (ec) executable.clear();
          servers.push_back({std::stoi(process.filename().string()), executable});
        }
        return false;  // all of them
      });
  return servers;
}

}  // namespace kesta
