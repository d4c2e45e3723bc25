#pragma once
// The registry of a Wine prefix: user.reg holds HKEY_CURRENT_USER, system.reg HKEY_LOCAL_MACHINE. Wine
// rewrites these files while it runs, so they are read again whenever they change, and never written.
// A value is read by parsing only its key's part of the file (system.reg holds thousands of keys);
// listing subkeys parses the whole file. Links between keys are followed, as Wine follows them.

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/wine_registry_parser.h"

namespace kesta {

class WineRegistry : public RegistryStore {
 public:
  explicit WineRegistry(std::filesystem::path prefix);

  // $WINEPREFIX when set and not empty, otherwise ~/.wine.
  static std::filesystem::path DefaultPrefix();
  const std::filesystem::path& Prefix() const { return m_prefix; }

  bool KeyExists(RegRoot root, std::string_view keyPath) const override;
  std::optional<std::string> ReadString(RegRoot root, std::string_view keyPath,
                                        std::string_view valueName) const override;
  std::vector<std::string> SubKeyNames(RegRoot root, std::string_view keyPath) const override;
  // Always false: writing the files under a running Wine loses data.
  bool CanWrite(RegRoot root, std::string_view keyPath) const override;
  void WriteString(RegRoot root, std::string_view keyPath, std::string_view valueName,
                   std::string_view value) override;

  // A Windows path read from this registry, as a native path within the prefix.
  std::filesystem::path MapWindowsPath(std::string_view windowsPath) const;

 private:
  struct CachedFile {
    std::filesystem::path path;
    // Of the text the parts below come from; nothing when the file could not be read.
    std::optional<std::filesystem::file_time_type> time;
    std::uintmax_t size = 0;
    std::optional<ParsedRegistry> whole;
    // By folded key path: only what looking that key up needs (most calls ask for one value).
    std::map<std::string, ParsedRegistry> parts;
  };
  struct Location {
    const ParsedRegistry* keys;
    std::string path;  // once the links along it are followed
  };

  // The root's file, its parsed parts dropped when it changed since they were read. The caller holds
  // m_mutex for as long as it uses them.
  CachedFile& Current(RegRoot root) const;
  const ParsedRegistry& Whole(CachedFile& file) const;
  const ParsedRegistry& PartFor(CachedFile& file, std::string_view keyPath) const;
  // Where the key is found, if it exists: in the part read for it, or in the whole file.
  std::optional<Location> Locate(RegRoot root, std::string_view keyPath, bool whole) const;

  std::filesystem::path m_prefix;
  mutable std::mutex m_mutex;
  mutable CachedFile m_user;
  mutable CachedFile m_machine;
};

// Where Windows programs of the prefix are installed, for a dialog that looks for one: "Program Files
// (x86)" (where a 64-bit prefix puts 32-bit games), else "Program Files", else drive C; nothing when the
// prefix has no drive C.
std::optional<std::filesystem::path> InstalledProgramsFolder(const std::filesystem::path& prefix);

// "C:\\Games\\Lock On\\" -> "<prefix>/drive_c/Games/Lock On/": the drive through the prefix's
// dosdevices link, then each component matched without regard to letter case where the exact name is
// missing; a trailing backslash stays a trailing "/". A path without a known drive letter (relative,
// UNC, unmapped drive) only gets "/" separators: callers then find no files and report them.
std::filesystem::path MapWindowsPath(const std::filesystem::path& prefix, std::string_view windowsPath);

}  // namespace kesta
