#include "platform/wine_start.h"

#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "platform/file_io.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

bool LocaleExists(const std::string& name) {
  locale_t locale = newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (!locale) return false;
  freelocale(locale);
  return true;
}

// A command as the shell finds it: a path when it holds a slash, else looked up on PATH. Empty when
// there is nothing to run.
fs::path ResolvedCommand(const std::string& command) {
  std::error_code ec;
  if (command.empty()) return {};
  if (command.find('/') != std::string::npos)
    return ::access(command.c_str(), X_OK) == 0 && fs::is_regular_file(command, ec) ? fs::path(command)
                                                                                    : fs::path();
  return FindExecutable(command);
}

// Variables of a runner that name the manager's own build or launcher: a $WINE the player chose runs
// without them.
bool NamesTheManagersBuild(const std::string& name) {
  return name == "WINE" || name == "WINELOADER" || name == "WINESERVER" || name == "WINEDLLPATH" ||
         name.rfind("STEAM_COMPAT_", 0) == 0;
}

std::string ValueIn(const std::vector<std::pair<std::string, std::string>>& environment,
                    const std::string& name, std::string value) {
  for (const auto& [variable, itsValue] : environment)
    if (variable == name) value = itsValue;
  return value;
}

// The proton script's Wine: files/ in current builds, dist/ in old ones.
fs::path ProtonWine(const fs::path& protonScript) {
  for (const char* below : {"files/bin/wine", "dist/bin/wine"})
    if (const fs::path wine = protonScript.parent_path() / below; ::access(wine.c_str(), X_OK) == 0)
      return wine;
  return {};
}

std::optional<std::int64_t> ModificationTime(const fs::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtime);
}

fs::path WineInf(const fs::path& wine) { return BuildRoot(wine) / "share/wine/wine.inf"; }

std::string WineLabel(const PrefixRunner& runner, const fs::path& wine, bool overridden) {
  const std::string path = wine.empty() ? WineCommand() : wine.string();
  if (overridden || runner.build.empty()) return path;
  return runner.build + " (" + path + ")";
}

}  // namespace

std::optional<fs::path> PrefixHolding(const fs::path& folder) {
  std::error_code ec;
  fs::path path = fs::absolute(folder, ec).lexically_normal();
  if (ec) return std::nullopt;
  if (!path.has_filename()) path = path.parent_path();  // a trailing separator
  for (;; path = path.parent_path()) {
    if (fs::is_directory(path / "drive_c", ec) && fs::is_regular_file(path / "system.reg", ec)) return path;
    if (path == path.root_path() || path.empty()) return std::nullopt;
  }
}

std::string WineCommand() {
  const std::string wine = WineOverride();
  return wine.empty() ? "wine" : wine;
}

std::string WineOverride() {
  const char* wine = std::getenv("WINE");
  return wine ? wine : "";
}

std::optional<std::pair<std::string, std::string>> Utf8LocaleFor(std::string_view lcAll,
                                                                 std::string_view lcCtype,
                                                                 std::string_view lang) {
  const std::string_view effective = !lcAll.empty() ? lcAll : !lcCtype.empty() ? lcCtype : lang;
  const std::size_t dot = effective.find('.');
  std::string_view language = effective.substr(0, std::min(dot, effective.find('@')));
  if (dot != std::string_view::npos) {
    std::string charset;
    for (const char c : effective.substr(dot + 1, effective.find('@', dot) - dot - 1))
      if (c != '-') charset += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (charset == "utf8") return std::nullopt;
  }
  std::string value = "C.UTF-8";
  if (!language.empty() && language != "C" && language != "POSIX" &&
      LocaleExists(std::string(language) + ".UTF-8"))
    value = std::string(language) + ".UTF-8";
  return std::pair<std::string, std::string>(lcAll.empty() ? "LC_CTYPE" : "LC_ALL", value);
}

StartCommand BuildStartCommand(const PrefixRunner& runner, const std::string& program,
                               const std::vector<std::string>& arguments, const fs::path& workingFolder,
                               const fs::path& prefix, const StartContext& context) {
  StartCommand start;
  start.workingFolder = workingFolder;
  auto& environment = start.environment;
  auto programAndArguments = [&] {
    start.arguments.push_back(program);
    start.arguments.insert(start.arguments.end(), arguments.begin(), arguments.end());
  };
  if (!context.wineOverride.empty()) {
    start.arguments = {context.wineOverride};
    programAndArguments();
    for (const auto& variable : runner.environment)
      if (!NamesTheManagersBuild(variable.first)) environment.push_back(variable);
    environment.emplace_back("WINEPREFIX", prefix.string());
  } else {
    switch (runner.kind) {
      case RunnerKind::Wine:
        start.arguments = {runner.executable.empty() ? std::string("wine") : runner.executable.string()};
        programAndArguments();
        environment = runner.environment;
        environment.emplace_back("WINEPREFIX", prefix.string());
        break;
      case RunnerKind::BottlesCli:
        start.arguments = runner.command.empty() ? std::vector<std::string>{"bottles-cli"} : runner.command;
        start.arguments.insert(start.arguments.end(), {"run", "-b", runner.name, "-e", program});
        if (!arguments.empty()) start.arguments.push_back("--");
        start.arguments.insert(start.arguments.end(), arguments.begin(), arguments.end());
        environment = runner.environment;
        break;
      case RunnerKind::Proton:
        start.arguments = {runner.executable.string(), context.prefixServed ? "runinprefix" : "run"};
        programAndArguments();
        environment = runner.environment;
        if (ValueIn(environment, "STEAM_COMPAT_DATA_PATH", "").empty())
          environment.emplace_back("STEAM_COMPAT_DATA_PATH", prefix.parent_path().string());
        break;
    }
  }
  if (const auto locale = Utf8LocaleFor(ValueIn(environment, "LC_ALL", context.lcAll),
                                        ValueIn(environment, "LC_CTYPE", context.lcCtype),
                                        ValueIn(environment, "LANG", context.lang)))
    environment.push_back(*locale);
  return start;
}

fs::path WineOfStart(const PrefixRunner& runner, const std::string& wineOverride) {
  if (!wineOverride.empty()) return ResolvedCommand(wineOverride);
  switch (runner.kind) {
    case RunnerKind::Wine:
      return ResolvedCommand(runner.executable.empty() ? std::string("wine") : runner.executable.string());
    case RunnerKind::Proton:
      return ProtonWine(runner.executable);
    case RunnerKind::BottlesCli:
      return runner.executable.empty() ? fs::path() : ResolvedCommand(runner.executable.string());
  }
  return {};
}

fs::path BuildRoot(const fs::path& wine) {
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(wine, ec);
  return (ec ? wine : resolved).parent_path().parent_path();
}

std::optional<PrefixUpdate> PrefixUpdateBy(const fs::path& wine, const fs::path& prefix,
                                           const std::vector<std::pair<std::string, fs::path>>& knownBuilds) {
  std::error_code ec;
  if (!fs::is_regular_file(prefix / "system.reg", ec)) return std::nullopt;
  const std::optional<std::int64_t> buildStamp = ModificationTime(WineInf(wine));
  if (!buildStamp) return std::nullopt;
  PrefixUpdate update;
  update.buildStamp = *buildStamp;
  // Wine writes the number and a line break, or the player writes "disable" to keep it from updating.
  if (const std::optional<std::string> text = ReadForeignFile(prefix / ".update-timestamp", 4096)) {
    if (text->rfind("disable", 0) == 0) return std::nullopt;
    std::int64_t stamp = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), stamp);
    if (error == std::errc() && end != text->data()) update.prefixStamp = stamp;
  }
  if (update.prefixStamp == buildStamp) return std::nullopt;
  if (update.prefixStamp)
    for (const auto& [label, build] : knownBuilds)
      if (!build.empty() && ModificationTime(WineInf(build)) == update.prefixStamp) {
        update.madeBy = label;
        break;
      }
  return update;
}

bool ServerOfBuild(const fs::path& serverExecutable, const fs::path& wine) {
  if (serverExecutable.empty()) return true;
  const fs::path root = BuildRoot(wine);
  std::error_code ec;
  const fs::path server = fs::weakly_canonical(serverExecutable, ec);
  const fs::path relative = (ec ? serverExecutable : server).lexically_relative(root);
  return !relative.empty() && *relative.begin() != "..";
}

StartCheck CheckStart(const PrefixRunner& runner, const std::string& program, const fs::path& prefix,
                      const std::string& wineOverride) {
  StartCheck check;
  const bool overridden = !wineOverride.empty();
  check.wine = WineOfStart(runner, wineOverride);
  check.wineLabel = WineLabel(runner, check.wine, overridden);
  const std::string build = runner.build.empty() ? runner.executable.string()
                            : runner.executable.empty()
                                ? runner.build
                                : runner.build + " (" + runner.executable.string() + ")";
  std::error_code ec;
  if (!overridden && runner.buildMissing) {
    check.refusal = WineStartOutcome::BuildMissing;
    check.missing = build;
  } else if (!overridden && runner.kind == RunnerKind::BottlesCli) {
    const std::string command = runner.command.empty() ? "bottles-cli" : runner.command.front();
    if (ResolvedCommand(command).empty()) {
      check.refusal = WineStartOutcome::CommandMissing;
      check.missing = command;
    }
  } else if (check.wine.empty()) {
    // A build the manager recorded that has gone since: never another Wine in its place.
    const bool recorded = !overridden && !runner.executable.empty();
    check.refusal = recorded ? WineStartOutcome::BuildMissing : WineStartOutcome::WineMissing;
    if (recorded) check.missing = build;
  } else if (!overridden && runner.kind == RunnerKind::Proton &&
             ::access(runner.executable.c_str(), X_OK) != 0) {
    check.refusal = WineStartOutcome::BuildMissing;
    check.missing = build;
  }
  if (check.refusal != WineStartOutcome::Started) return check;
  if (program.find('/') != std::string::npos && !fs::is_regular_file(program, ec)) {
    check.refusal = WineStartOutcome::ProgramMissing;
    return check;
  }

  const std::vector<WineServer> servers = WineServersOfPrefix(prefix);
  check.prefixServed = !servers.empty();
  if (!check.wine.empty())
    for (const WineServer& server : servers)
      if (!ServerOfBuild(server.executable, check.wine)) {
        check.refusal = WineStartOutcome::OtherWineServer;
        check.otherServerPid = server.pid;
        check.otherServer = server.executable;
        return check;
      }

  if (!check.wine.empty() && (overridden || runner.kind == RunnerKind::Wine)) {
    std::vector<std::pair<std::string, fs::path>> knownBuilds;
    if (const fs::path recorded = WineOfStart(runner, ""); !recorded.empty())
      knownBuilds.emplace_back(WineLabel(runner, recorded, false), recorded);
    if (const fs::path system = ResolvedCommand("wine"); !system.empty())
      knownBuilds.emplace_back(system.string(), system);
    check.prefixUpdate = PrefixUpdateBy(check.wine, prefix, knownBuilds);
  }
  return check;
}

WineStartOutcome StartInPrefix(const PrefixRunner& runner, const std::string& program,
                               const std::vector<std::string>& arguments, const fs::path& workingFolder,
                               const fs::path& prefix) {
  const std::string wineOverride = WineOverride();
  const StartCheck check = CheckStart(runner, program, prefix, wineOverride);
  if (check.refusal != WineStartOutcome::Started) return check.refusal;

  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
  };
  const StartCommand command = BuildStartCommand(
      runner, program, arguments, workingFolder, prefix,
      {wineOverride, check.prefixServed, variable("LC_ALL"), variable("LC_CTYPE"), variable("LANG")});
  std::vector<std::string> commandArguments(command.arguments.begin() + 1, command.arguments.end());
  // The first entry as CheckStart found it, so that PATH is looked up once.
  const bool wineFirst = !wineOverride.empty() || runner.kind == RunnerKind::Wine;
  return StartDetached(wineFirst ? check.wine.string() : command.arguments.front(), commandArguments,
                       command.workingFolder, {command.environment, true})
             ? WineStartOutcome::Started
             : WineStartOutcome::Refused;
}

WineStartOutcome StartUnderWine(const std::string& program, const std::vector<std::string>& arguments,
                                const fs::path& workingFolder, const fs::path& prefix) {
  return StartInPrefix(PrefixRunner{}, program, arguments, workingFolder, prefix);
}

}  // namespace kesta
