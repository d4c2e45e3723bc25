#include "platform/registry.h"

#include <algorithm>
#include <climits>

#include "engine/failure.h"
#include "platform/wine_registry.h"

namespace kesta {

namespace {

RegistryStore* g_installedStore = nullptr;

// Bytes a Windows program is told a string value takes: its UTF-16 code units and the terminator. Empty
// data counts 0 so that it stays apart from a value holding text.
int Utf16ByteSize(std::string_view utf8) {
  if (utf8.empty()) return 0;
  std::size_t units = 1;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return static_cast<int>(std::min<std::size_t>(units * 2, INT_MAX));
}

}  // namespace

RegistryStore& CurrentRegistry() {
  if (g_installedStore) return *g_installedStore;
  static WineRegistry prefixRegistry(WineRegistry::DefaultPrefix());
  return prefixRegistry;
}

ScopedRegistryStore::ScopedRegistryStore(RegistryStore& store) : m_previous(g_installedStore) {
  g_installedStore = &store;
}

ScopedRegistryStore::~ScopedRegistryStore() { g_installedStore = m_previous; }

void TRegistryRO::SetRootKey(RegRoot root) {
  CloseKey();
  m_root = root;
}

std::optional<std::string> TRegistryRO::Resolve(std::string_view keyPath) const {
  const bool fromRoot = keyPath.starts_with('\\');
  if (fromRoot) keyPath.remove_prefix(1);
  while (keyPath.ends_with('\\')) keyPath.remove_suffix(1);
  std::string path = !fromRoot && m_open ? *m_open : std::string();
  if (!path.empty() && !keyPath.empty()) path += '\\';
  path += keyPath;
  // Empty components ("a\\\\b", a second leading backslash) name no key, as on Windows.
  if (path.starts_with('\\') || path.find("\\\\") != std::string::npos) return std::nullopt;
  return path;
}

bool TRegistryRO::OpenKeyRead(std::string_view keyPath) {
  std::optional<std::string> path = Resolve(keyPath);
  // A failed open leaves the open key as it was.
  if (!path || !m_store.KeyExists(m_root, *path)) return false;
  m_open = std::move(path);
  m_writable = false;
  return true;
}

bool TRegistryRO::OpenKeyWrite(std::string_view keyPath) {
  std::optional<std::string> path = Resolve(keyPath);
  if (!path || !m_store.CanWrite(m_root, *path)) return false;
  m_open = std::move(path);
  m_writable = true;
  return true;
}

void TRegistryRO::CloseKey() {
  m_open.reset();
  m_writable = false;
}

const std::string& TRegistryRO::CurrentPath() const {
  static const std::string none;
  return m_open ? *m_open : none;
}

// Stores only hand out strings: a value of another type makes this fail with the store's type error,
// which is what reading it as a string would do next anyway.
int TRegistryRO::GetDataSize(std::string_view valueName) const {
  if (!m_open) return -1;
  const std::optional<std::string> text = m_store.ReadString(m_root, *m_open, valueName);
  return text ? Utf16ByteSize(*text) : -1;
}

std::string TRegistryRO::ReadString(std::string_view valueName) const {
  if (!m_open) return std::string();
  return m_store.ReadString(m_root, *m_open, valueName).value_or(std::string());
}

void TRegistryRO::WriteString(std::string_view valueName, std::string_view value) {
  if (!m_open || !m_writable) throw EKestaError("Failed to set data for '" + std::string(valueName) + "'");
  m_store.WriteString(m_root, *m_open, valueName, value);
}

std::vector<std::string> TRegistryRO::GetKeyNames() const {
  return m_open ? m_store.SubKeyNames(m_root, *m_open) : std::vector<std::string>();
}

bool RegKeyExists(RegRoot root, std::string_view keyPath) {
  TRegistryRO registry;
  registry.SetRootKey(root);
  return registry.OpenKeyRead(keyPath);
}

std::string ReadRegString(RegRoot root, std::string_view keyPath, std::string_view valueName) {
  TRegistryRO registry;
  registry.SetRootKey(root);
  if (!registry.OpenKeyRead(keyPath)) throw EKestaError(RegistryErrorText(keyPath, valueName));
  return registry.GetDataSize(valueName) > 0 ? registry.ReadString(valueName) : std::string();
}

void WriteRegString(RegRoot root, std::string_view keyPath, std::string_view valueName,
                    std::string_view text) {
  TRegistryRO registry;
  registry.SetRootKey(root);
  if (!registry.OpenKeyWrite(keyPath)) throw EKestaError(RegistryErrorText(keyPath, valueName));
  registry.WriteString(valueName, text);
}

std::string RegistryErrorText(std::string_view keyPath, std::string_view valueName) {
  return "La cl\xC3\xA9 HKEY_LOCAL_MACHINE\\" + std::string(keyPath) + " ou le champ " +
         std::string(valueName) +
         " ne sont pas d\xC3\xA9"
         "finis dans la base de registre.";
}

}  // namespace kesta
