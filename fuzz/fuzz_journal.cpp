// Feeds arbitrary bytes to the reader of the journal's entries: once as they are, and once behind the
// entry's first line with their checksum appended, so that the fields behind the checksum are reached too.
// An entry that is read back is written again to exactly the bytes it was read from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "sets/apply_journal.h"

using kesta::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const auto entry = kesta::DecodeJournalEntry(input)) Check(kesta::EncodeJournalEntry(*entry) == input);

  std::string bytes = "KESTA apply journal 1\n" + std::string(input);
  const kesta::Sha256 checksum = kesta::HashBytes(bytes);
  bytes += "checksum " + kesta::ToHex(checksum.data(), checksum.size()) + "\n";
  if (const auto entry = kesta::DecodeJournalEntry(bytes)) Check(kesta::EncodeJournalEntry(*entry) == bytes);
  return 0;
}
