// Feeds arbitrary bytes to the language-file readers. The quick reader for the files' plain XML must
// either hand the file over or read exactly what QXmlStreamReader reads, with no complaint from it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "language/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  const QList<kesta::LanguageEntry> full = kesta::ReadLanguageEntries(bytes, &error);
  if (const auto plain = kesta::ReadPlainLanguageEntries(bytes)) {
    if (!error.isEmpty() || *plain != full) std::abort();
  }
  return 0;
}
