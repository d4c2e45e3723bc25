#pragma once
// The registry of a Wine prefix: user.reg holds HKEY_CURRENT_USER, system.reg HKEY_LOCAL_MACHINE. Wine
// rewrites these files while it runs, so they are parsed again whenever they change, and never written.

#include <cstdint>
#include <filesystem>
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
    std::optional<std::filesystem::file_time_type> time;  // of the parsed text; nothing when not parsed
    std::uintmax_t size = 0;
    ParsedRegistry keys;
  };

  // The root's keys, parsed again when the file changed. The caller holds m_mutex.
  const ParsedRegistry& Keys(RegRoot root) const;
  // The path under which the key is found, if it exists.
  std::optional<std::string> Locate(RegRoot root, const ParsedRegistry& keys, std::string_view keyPath) const;

  std::filesystem::path m_prefix;
  mutable std::mutex m_mutex;
  mutable CachedFile m_user;
  mutable CachedFile m_machine;
};

// "C:\\Games\\Lock On\\" -> "<prefix>/drive_c/Games/Lock On/": the drive through the prefix's
// dosdevices link, then each component matched without regard to letter case where the exact name is
// missing; a trailing backslash stays a trailing "/". A path without a known drive letter (relative,
// UNC, unmapped drive) only gets "/" separators: callers then find no files and report them.
std::filesystem::path MapWindowsPath(const std::filesystem::path& prefix, std::string_view windowsPath);

}  // namespace kesta
