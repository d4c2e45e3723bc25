#include "platform/wine_registry.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/game_paths.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// Nothing when the file cannot be read; a missing file is the usual case for a fresh prefix.
std::optional<std::string> ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

// On a 64-bit prefix, a 32-bit program such as the game finds HKLM\Software\X under
// Software\Wow6432Node\X.
std::optional<std::string> Wow64Path(std::string_view keyPath) {
  constexpr std::string_view kSoftware = "software\\";
  if (keyPath.size() <= kSoftware.size() || !EqualsNoCase(keyPath.substr(0, kSoftware.size()), kSoftware))
    return std::nullopt;
  const std::string_view rest = keyPath.substr(kSoftware.size());
  if (EqualsNoCase(rest.substr(0, rest.find('\\')), "Wow6432Node")) return std::nullopt;
  return std::string(keyPath.substr(0, kSoftware.size())) + "Wow6432Node\\" + std::string(rest);
}

// The folder a drive letter stands for, from the prefix's dosdevices link ("c:" -> "../drive_c").
std::optional<fs::path> DriveFolder(const fs::path& prefix, char letter) {
  const fs::path device = prefix / "dosdevices" / std::string{letter, ':'};
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(device, ec);
  if (ec || !fs::exists(status)) return std::nullopt;
  if (!fs::is_symlink(status)) return fs::is_directory(status) ? std::optional(device) : std::nullopt;
  fs::path target = fs::read_symlink(device, ec);
  if (ec) return std::nullopt;
  if (target.is_relative()) target = device.parent_path() / target;
  target = target.lexically_normal();
  if (!target.has_filename() && target.has_relative_path()) target = target.parent_path();
  return target;
}

}  // namespace

WineRegistry::WineRegistry(fs::path prefix) : m_prefix(std::move(prefix)) {
  m_user.path = m_prefix / "user.reg";
  m_machine.path = m_prefix / "system.reg";
}

fs::path WineRegistry::DefaultPrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry ? entry->pw_dir : "";
  }
  return fs::path(home) / ".wine";
}

const ParsedRegistry& WineRegistry::Keys(RegRoot root) const {
  CachedFile& file = root == RegRoot::CurrentUser ? m_user : m_machine;
  std::error_code ec;
  // Stat before reading: a change between the two is then seen at the next call.
  const fs::file_time_type time = fs::last_write_time(file.path, ec);
  const std::uintmax_t size = ec ? 0 : fs::file_size(file.path, ec);
  if (!ec && file.time == time && file.size == size) return file.keys;
  const std::optional<std::string> text = ec ? std::nullopt : ReadText(file.path);
  file.keys = text ? ParseWineRegistry(*text) : ParsedRegistry();
  file.time = text ? std::optional(time) : std::nullopt;
  file.size = size;
  return file.keys;
}

std::optional<std::string> WineRegistry::Locate(RegRoot root, const ParsedRegistry& keys,
                                                std::string_view keyPath) const {
  // A 64-bit installer leaves its keys outside Wow6432Node; the redirected place wins when both exist.
  if (root == RegRoot::LocalMachine && keys.IsWin64()) {
    std::optional<std::string> redirected = Wow64Path(keyPath);
    if (redirected && keys.KeyExists(*redirected)) return redirected;
  }
  if (keys.KeyExists(keyPath)) return std::string(keyPath);
  return std::nullopt;
}

bool WineRegistry::KeyExists(RegRoot root, std::string_view keyPath) const {
  std::lock_guard lock(m_mutex);
  return Locate(root, Keys(root), keyPath).has_value();
}

std::optional<std::string> WineRegistry::ReadString(RegRoot root, std::string_view keyPath,
                                                    std::string_view valueName) const {
  std::lock_guard lock(m_mutex);
  const ParsedRegistry& keys = Keys(root);
  const std::optional<std::string> path = Locate(root, keys, keyPath);
  const WineRegKey* key = path ? keys.FindKey(*path) : nullptr;
  const WineRegValue* value = key ? key->FindValue(valueName) : nullptr;
  if (!value) return std::nullopt;
  if (!value->IsString()) throw EKestaError("Invalid data type for '" + std::string(valueName) + "'");
  return value->data;
}

std::vector<std::string> WineRegistry::SubKeyNames(RegRoot root, std::string_view keyPath) const {
  std::lock_guard lock(m_mutex);
  const ParsedRegistry& keys = Keys(root);
  const std::optional<std::string> path = Locate(root, keys, keyPath);
  return path ? keys.SubKeyNames(*path) : std::vector<std::string>();
}

bool WineRegistry::CanWrite(RegRoot, std::string_view) const { return false; }

void WineRegistry::WriteString(RegRoot, std::string_view keyPath, std::string_view valueName,
                               std::string_view) {
  throw EKestaError(RegistryErrorText(keyPath, valueName));
}

fs::path WineRegistry::MapWindowsPath(std::string_view windowsPath) const {
  return kesta::MapWindowsPath(m_prefix, windowsPath);
}

fs::path MapWindowsPath(const fs::path& prefix, std::string_view windowsPath) {
  const auto IsLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const bool hasDrive = windowsPath.size() >= 2 && IsLetter(windowsPath[0]) && windowsPath[1] == ':';
  const std::optional<fs::path> drive =
      hasDrive ? DriveFolder(prefix, static_cast<char>(windowsPath[0] | 0x20)) : std::nullopt;
  if (!drive) return WindowsToNativeSeparators(windowsPath);

  fs::path native = *drive;
  const std::string_view rest = windowsPath.substr(2);
  for (std::size_t start = 0; start < rest.size();) {
    const std::size_t end = std::min(rest.find_first_of("\\/", start), rest.size());
    if (end > start) native /= std::string(rest.substr(start, end - start));
    start = end + 1;
  }
  native = ResolveCaseInsensitive(native);
  if (rest.ends_with('\\') || rest.ends_with('/')) native /= "";
  return native;
}

}  // namespace kesta
