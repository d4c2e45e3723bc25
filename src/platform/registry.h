#pragma once
// Registry access. On Linux the game's registry is the one of its Wine prefix; reading never starts
// Wine, and writing is refused because Wine's registry files change under a running Wine.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

enum class RegRoot { CurrentUser, LocalMachine };

// Where keys and values come from. Key paths have no leading backslash, separate their components with
// backslashes and compare without regard to case, as value names do.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  virtual bool KeyExists(RegRoot root, std::string_view keyPath) const = 0;
  // A value of an existing key: nothing when the value is missing; a text for string values (UTF-8).
  // Fails with a text for the user when the value is not a string.
  virtual std::optional<std::string> ReadString(RegRoot root, std::string_view keyPath,
                                                std::string_view valueName) const = 0;
  virtual std::vector<std::string> SubKeyNames(RegRoot root, std::string_view keyPath) const = 0;
  // Whether the key may be opened for writing (it exists and the store allows writes).
  virtual bool CanWrite(RegRoot root, std::string_view keyPath) const = 0;
  virtual void WriteString(RegRoot root, std::string_view keyPath, std::string_view valueName,
                           std::string_view value) = 0;
};

// The process's registry: the Wine prefix's unless a test installed another one.
RegistryStore& CurrentRegistry();

// Installs a store for the lifetime of this object (tests, and a future store of another kind).
class ScopedRegistryStore {
 public:
  explicit ScopedRegistryStore(RegistryStore& store);
  ~ScopedRegistryStore();
  ScopedRegistryStore(const ScopedRegistryStore&) = delete;
  ScopedRegistryStore& operator=(const ScopedRegistryStore&) = delete;

 private:
  RegistryStore* m_previous;
};

// A registry accessor with a root and at most one open key, asking only for the access it needs and
// never creating keys. A path starting with a backslash is taken from the root; any other path is
// relative to the open key, or to the root when none is open.
class TRegistryRO {
 public:
  explicit TRegistryRO(RegistryStore& store = CurrentRegistry()) : m_store(store) {}

  void SetRootKey(RegRoot root);
  RegRoot RootKey() const { return m_root; }
  bool OpenKeyRead(std::string_view keyPath);
  bool OpenKeyWrite(std::string_view keyPath);
  void CloseKey();
  bool HasCurrentKey() const { return m_open.has_value(); }
  const std::string& CurrentPath() const;

  // Size of the value's data in bytes; -1 when the value is missing. Needs an open key.
  int GetDataSize(std::string_view valueName) const;
  std::string ReadString(std::string_view valueName) const;
  void WriteString(std::string_view valueName, std::string_view value);
  std::vector<std::string> GetKeyNames() const;

 private:
  std::optional<std::string> Resolve(std::string_view keyPath) const;

  RegistryStore& m_store;
  RegRoot m_root = RegRoot::CurrentUser;
  std::optional<std::string> m_open;
  bool m_writable = false;
};

bool RegKeyExists(RegRoot root, std::string_view keyPath);
// "" for a missing value or empty data; fails with RegistryErrorText when the key cannot be read.
std::string ReadRegString(RegRoot root, std::string_view keyPath, std::string_view valueName);
// Fails with RegistryErrorText when the key cannot be opened for writing.
void WriteRegString(RegRoot root, std::string_view keyPath, std::string_view valueName, std::string_view text);

// The registry error, in the wording players have always seen (French, whatever the root).
std::string RegistryErrorText(std::string_view keyPath, std::string_view valueName);

}  // namespace kesta
