#include "platform/wine_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "engine/failure.h"
#include "engine/text.h"
#include "platform/file_io.h"
#include "platform/game_paths.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

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

// Feeds the file's lines to the scan through a small buffer, so that its text is never held whole.
// Regular files only, checked on the opened file: a FIFO in its place would wait for a writer forever.
bool ScanLines(const fs::path& path, WineRegistryKeyScan& scan) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::vector<char> buffer(64 * 1024);
  std::string partial;  // a line cut by the end of the buffer
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
    for (std::size_t end; (end = chunk.find('\n')) != std::string_view::npos; chunk.remove_prefix(end + 1)) {
      if (partial.empty()) {
        scan.AddLine(chunk.substr(0, end));
      } else {
        scan.AddLine(partial.append(chunk.substr(0, end)));
        partial.clear();
      }
    }
    partial.append(chunk);
  }
  if (!partial.empty()) scan.AddLine(partial);
  return true;
}

enum class LinkStep { None, Followed, Broken };

// "\\Registry\\Machine\\System\\ControlSet001" -> "System\\ControlSet001"; nothing for a name outside
// HKEY_LOCAL_MACHINE.
std::optional<std::string> MachinePath(std::string_view name) {
  constexpr std::string_view kMachine = "\\Registry\\Machine";
  if (!EqualsNoCase(name.substr(0, kMachine.size()), kMachine)) return std::nullopt;
  name.remove_prefix(kMachine.size());
  if (name.empty()) return std::string();
  if (name.front() != '\\') return std::nullopt;
  return std::string(name.substr(1));
}

// Replaces the first link along `path` (the key itself included) by the key it names. Wine makes links
// only within HKEY_LOCAL_MACHINE; one that leads elsewhere, or names nothing, opens no key.
LinkStep FollowFirstLink(RegRoot root, const ParsedRegistry& keys, std::string& path) {
  if (path.empty()) return LinkStep::None;
  std::size_t end = 0;
  do {
    end = path.find('\\', end + 1);
    const WineRegKey* key = keys.FindKey(std::string_view(path).substr(0, end));
    if (!key || !key->link) continue;
    const std::optional<std::string> target = key->LinkTarget();
    const std::optional<std::string> linked =
        root == RegRoot::LocalMachine && target ? MachinePath(*target) : std::nullopt;
    if (!linked) return LinkStep::Broken;
    const std::string rest = end == std::string::npos ? std::string() : path.substr(end + 1);
    path = linked->empty() || rest.empty() ? *linked + rest : *linked + '\\' + rest;
    return LinkStep::Followed;
  } while (end != std::string::npos);
  return LinkStep::None;
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

WineRegistry::CachedFile& WineRegistry::Current(RegRoot root) const {
  CachedFile& file = root == RegRoot::CurrentUser ? m_user : m_machine;
  std::error_code ec;
  // Stat before reading: a change between the two is then seen at the next call.
  const fs::file_time_type time = fs::last_write_time(file.path, ec);
  const std::uintmax_t size = ec ? 0 : fs::file_size(file.path, ec);
  if (!ec && file.time == time && file.size == size) return file;
  file.whole.reset();
  file.parts.clear();
  file.time = ec ? std::nullopt : std::optional(time);
  file.size = size;
  return file;
}

const ParsedRegistry& WineRegistry::Whole(CachedFile& file) const {
  if (file.whole) return *file.whole;
  // Wine's file, not ours: a missing one is the usual case for a fresh prefix, and a FIFO or a device in
  // its place is refused, not waited for.
  const std::optional<std::string> text = file.time ? ReadForeignFile(file.path) : std::nullopt;
  if (!text) file.time.reset();  // read again next time
  file.whole = text ? ParseWineRegistry(*text) : ParsedRegistry();
  file.parts.clear();
  return *file.whole;
}

const ParsedRegistry& WineRegistry::PartFor(CachedFile& file, std::string_view keyPath) const {
  // A part costs a pass over the file, about a thirtieth of a whole parse of a fresh prefix's
  // system.reg: past that many keys, one whole parse is cheaper.
  constexpr std::size_t kMostParts = 30;
  if (file.whole || file.parts.size() >= kMostParts) return Whole(file);
  std::string folded = FoldRegistryName(keyPath);
  if (const auto found = file.parts.find(folded); found != file.parts.end()) return found->second;

  static const ParsedRegistry kNoKeys;
  WineRegistryKeyScan scan(keyPath);
  if (!file.time || !ScanLines(file.path, scan)) {
    file.time.reset();  // read again next time
    return kNoKeys;
  }
  return file.parts.emplace(std::move(folded), scan.Finish()).first->second;
}

std::optional<WineRegistry::Location> WineRegistry::Locate(RegRoot root, std::string_view keyPath,
                                                           bool whole) const {
  CachedFile& file = Current(root);
  const auto keysFor = [&](std::string_view path) -> const ParsedRegistry& {
    return whole ? Whole(file) : PartFor(file, path);
  };
  // Wine gives up after 16 links in a row, which also ends a loop of links.
  constexpr int kMostLinks = 16;
  const auto follow = [&](std::string path) -> std::optional<Location> {
    for (int links = 0; links <= kMostLinks; ++links) {
      const ParsedRegistry& keys = keysFor(path);
      const LinkStep step = FollowFirstLink(root, keys, path);
      if (step == LinkStep::Broken) return std::nullopt;
      if (step == LinkStep::None)
        return keys.KeyExists(path) ? std::optional(Location{&keys, path}) : std::nullopt;
    }
    return std::nullopt;
  };
  // A 64-bit installer leaves its keys outside Wow6432Node; the redirected place wins when both exist.
  if (root == RegRoot::LocalMachine) {
    const std::optional<std::string> redirected = Wow64Path(keyPath);
    if (redirected && keysFor(keyPath).IsWin64())
      if (std::optional<Location> found = follow(*redirected)) return found;
  }
  return follow(std::string(keyPath));
}

bool WineRegistry::KeyExists(RegRoot root, std::string_view keyPath) const {
  std::lock_guard lock(m_mutex);
  return Locate(root, keyPath, false).has_value();
}

std::optional<std::string> WineRegistry::ReadString(RegRoot root, std::string_view keyPath,
                                                    std::string_view valueName) const {
  std::lock_guard lock(m_mutex);
  const std::optional<Location> found = Locate(root, keyPath, false);
  const WineRegKey* key = found ? found->keys->FindKey(found->path) : nullptr;
  const WineRegValue* value = key ? key->FindValue(valueName) : nullptr;
  if (!value) return std::nullopt;
  if (!value->IsString()) throw EKestaError("Invalid data type for '" + std::string(valueName) + "'");
  return value->data;
}

std::vector<std::string> WineRegistry::SubKeyNames(RegRoot root, std::string_view keyPath) const {
  std::lock_guard lock(m_mutex);
  const std::optional<Location> found = Locate(root, keyPath, true);
  return found ? found->keys->SubKeyNames(found->path) : std::vector<std::string>();
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

std::optional<fs::path> InstalledProgramsFolder(const fs::path& prefix) {
  for (const char* folder : {"drive_c/Program Files (x86)", "drive_c/Program Files", "drive_c"}) {
    std::error_code ec;
    if (fs::is_directory(prefix / folder, ec)) return prefix / folder;
  }
  return std::nullopt;
}

}  // namespace kesta
