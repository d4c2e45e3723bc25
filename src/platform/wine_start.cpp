#include "platform/wine_start.h"

#include <locale.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cctype>
#include <cstdlib>
#include <system_error>

namespace kesta {

namespace fs = std::filesystem;

namespace {

bool LocaleExists(const std::string& name) {
  locale_t locale = newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (!locale) return false;
  freelocale(locale);
  return true;
}

std::string ResolvedWine() {
  const std::string wine = WineCommand();
  if (wine.find('/') != std::string::npos) return ::access(wine.c_str(), X_OK) == 0 ? wine : std::string();
  return QStandardPaths::findExecutable(QString::fromStdString(wine)).toStdString();
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
  const char* wine = std::getenv("WINE");
  return wine && *wine ? wine : "wine";
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

WineStartOutcome StartUnderWine(const std::string& program, const std::vector<std::string>& arguments,
                                const fs::path& workingFolder, const fs::path& prefix) {
  const std::string wine = ResolvedWine();
  if (wine.empty()) return WineStartOutcome::WineMissing;
  std::error_code ec;
  if (program.find('/') != std::string::npos && !fs::is_regular_file(program, ec))
    return WineStartOutcome::ProgramMissing;

  QStringList wineArguments{QString::fromStdString(program)};
  for (const std::string& argument : arguments) wineArguments << QString::fromStdString(argument);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("WINEPREFIX", QString::fromStdString(prefix.string()));
  if (const auto locale =
          Utf8LocaleFor(environment.value("LC_ALL").toStdString(),
                        environment.value("LC_CTYPE").toStdString(), environment.value("LANG").toStdString()))
    environment.insert(QString::fromStdString(locale->first), QString::fromStdString(locale->second));

  QProcess process;
  process.setProgram(QString::fromStdString(wine));
  process.setArguments(wineArguments);
  if (!workingFolder.empty()) process.setWorkingDirectory(QString::fromStdString(workingFolder.string()));
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  return process.startDetached() ? WineStartOutcome::Started : WineStartOutcome::Refused;
}

}  // namespace kesta
