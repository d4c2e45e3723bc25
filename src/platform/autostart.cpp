#include "platform/autostart.h"

#include <cerrno>
#include <system_error>

#include "engine/failure.h"
#include "platform/file_io.h"
#include "platform/user_folders.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

constexpr char kEntryFileName[] = "kesta.desktop";
constexpr char kMainGroup[] = "[Desktop Entry]";

// The escapes of a desktop entry's string values; they apply on top of the Exec quoting.
std::string EscapeStringValue(std::string_view value) {
  std::string escaped;
  for (char c : value) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The value of `key` in the main group, as stored.
std::optional<std::string> MainGroupValue(std::string_view content, std::string_view key) {
  bool inMainGroup = false;
  while (!content.empty()) {
    const auto end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with('[')) {
      inMainGroup = Trim(line) == kMainGroup;
      continue;
    }
    const auto equals = line.find('=');
    if (!inMainGroup || line.starts_with('#') || equals == std::string_view::npos) continue;
    if (Trim(line.substr(0, equals)) == key) return std::string(Trim(line.substr(equals + 1)));
  }
  return std::nullopt;
}

}  // namespace

fs::path AutostartFolder() { return XdgBaseFolder("XDG_CONFIG_HOME", ".config") / "autostart"; }

fs::path AutostartEntryPath() { return AutostartFolder() / kEntryFileName; }

std::string QuoteExecArgument(std::string_view argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return quoted + '"';
}

std::string AutostartCommand(const fs::path& executable) {
  return EscapeStringValue(QuoteExecArgument(executable.string()) + " /delay");
}

void WriteAutostartEntry(const fs::path& executable) {
  const fs::path folder = AutostartFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec)
    throw EKestaError("Cannot create folder \"" + folder.string() + "\". " + SystemErrorText(ec.value()));
  WriteFileAtomically(folder / kEntryFileName,
                      std::string(kMainGroup) +
                          "\nType=Application\nName=KESTA\nComment=Lock On configuration"
                          "\nExec=" +
                          AutostartCommand(executable) + "\nTerminal=false\n");
}

void RemoveAutostartEntry() {
  const fs::path entry = AutostartEntryPath();
  std::error_code ec;
  fs::remove(entry, ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    throw EKestaError("Cannot delete file \"" + entry.string() + "\". " + SystemErrorText(ec.value()));
}

std::optional<std::string> ReadAutostartCommand() {
  const fs::path entry = AutostartEntryPath();
  std::error_code ec;
  if (!fs::exists(entry, ec)) {
    if (!ec || ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
      return std::nullopt;
    throw EKestaError("Cannot open file \"" + entry.string() + "\". " + SystemErrorText(ec.value()));
  }
  const std::string content = ReadWholeFile(entry);
  if (MainGroupValue(content, "Hidden") == "true") return std::nullopt;
  return MainGroupValue(content, "Exec").value_or("");
}

}  // namespace kesta
