// Feeds arbitrary bytes to the settings-file parser and edits it: the file must survive every edit
// except on the edited key, and the edit must read back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "settings/ini_file.h"

using kesta::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kesta::IniDocument document(text);
  Check(document.Text() == text);  // parsing alone changes no byte

  document.Value("Config", "Language");
  document.SetValue("Config", "Language", "FR");
  Check(document.Value("config", "LANGUAGE") == std::optional<std::string>("FR"));

  kesta::IniDocument reparsed(document.Text());
  Check(reparsed.Value("Config", "Language") == std::optional<std::string>("FR"));
  reparsed.RemoveKey("Config", "Language");
  reparsed.Value("Files", "Graphics");
  return 0;
}
