// Feeds arbitrary bytes to the parser of Wine's registry files, as they are when Wine was killed while
// writing or a player edited them, then walks the keys found: every listed subkey must exist, and every
// name and string must be valid UTF-8 without NUL.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "platform/wine_registry_parser.h"

using kesta::fuzz::Check;

namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || length > text.size() - i) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

void CheckKey(const kesta::WineRegKey& key) {
  Check(IsUtf8(key.path) && key.path.find('\0') == std::string::npos);
  for (const auto& [name, value] : key.values) {
    Check(IsUtf8(name) && key.FindValue(name) == &value);
    if (value.IsString()) Check(IsUtf8(value.data) && value.data.find('\0') == std::string::npos);
  }
}

// Depth-first over the listed subkeys, with a budget so that a large input stays fast.
void Walk(const kesta::ParsedRegistry& keys, const std::string& path, int& budget) {
  for (const std::string& name : keys.SubKeyNames(path)) {
    if (--budget < 0) return;
    Check(!name.empty() && name.find('\\') == std::string::npos);
    const std::string child = path.empty() ? name : path + '\\' + name;
    Check(keys.KeyExists(child));
    if (const kesta::WineRegKey* key = keys.FindKey(child)) CheckKey(*key);
    Walk(keys, child, budget);
  }
}

void Exercise(std::string_view text) {
  const kesta::ParsedRegistry keys = kesta::ParseWineRegistry(text);
  int budget = 256;
  Walk(keys, "", budget);
  keys.KeyExists("Software\\Eagle Dynamics\\Lock On 1.1");
  keys.KeyExists("Software\\Wow6432Node\\Eagle Dynamics");
  if (const kesta::WineRegKey* key = keys.FindKey("Software\\Eagle Dynamics\\Lock On 1.1")) {
    key->FindValue("Path");
    key->FindValue("");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Exercise(text);
  // Most inputs lack the header and would stop there; give the body a chance too.
  Exercise("WINE REGISTRY Version 2\n" + std::string(text));
  return 0;
}
