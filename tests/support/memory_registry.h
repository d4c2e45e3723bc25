#pragma once
// Registry keys and values in memory, compared without case like the real registry, for tests that
// need a registry with particular contents (or one that allows writes, which Wine prefixes never do).

#include <cctype>
#include <map>
#include <optional>
#include <string>

#include "engine/failure.h"
#include "platform/registry.h"

namespace kesta::test {

inline std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Values without text stand for values of another type than string.
class MemoryStore : public RegistryStore {
 public:
  explicit MemoryStore(bool writable = false) : m_writable(writable) {}

  void AddKey(RegRoot root, std::string_view path) { m_keys[Id(root, path)]; }
  void Set(RegRoot root, std::string_view path, std::string_view name, std::optional<std::string> text) {
    m_keys[Id(root, path)][Lower(name)] = std::move(text);
  }
  bool HasValue(RegRoot root, std::string_view path, std::string_view name) const {
    return KeyExists(root, path) && m_keys.at(Id(root, path)).contains(Lower(name));
  }

  bool KeyExists(RegRoot root, std::string_view path) const override {
    return path.empty() || m_keys.contains(Id(root, path));
  }
  std::optional<std::string> ReadString(RegRoot root, std::string_view path,
                                        std::string_view name) const override {
    if (!HasValue(root, path, name)) return std::nullopt;
    const std::optional<std::string>& text = m_keys.at(Id(root, path)).at(Lower(name));
    if (!text) throw EKestaError("Invalid data type for '" + std::string(name) + "'");
    return text;
  }
  std::vector<std::string> SubKeyNames(RegRoot, std::string_view) const override { return {}; }
  bool CanWrite(RegRoot root, std::string_view path) const override {
    return m_writable && KeyExists(root, path);
  }
  void WriteString(RegRoot root, std::string_view path, std::string_view name,
                   std::string_view text) override {
    Set(root, path, name, std::string(text));
  }

 private:
  static std::string Id(RegRoot root, std::string_view path) {
    return (root == RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + Lower(path);
  }

  bool m_writable;
  std::map<std::string, std::map<std::string, std::optional<std::string>>> m_keys;
};

}  // namespace kesta::test
