// Feeds arbitrary bytes to the language-file readers. The quick reader for the files' plain XML must
// either hand the file over or read exactly what the pugixml reader reads, with no complaint from it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "language/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::vector<kesta::LanguageEntry> full = kesta::ReadLanguageEntries(bytes, &error);
  if (const auto plain = kesta::ReadPlainLanguageEntries(bytes)) {
    if (!error.empty() || *plain != full) std::abort();
  }
  return 0;
}
