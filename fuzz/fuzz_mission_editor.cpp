// Feeds arbitrary bytes to the mission editor's XML options. A file that reads is written back, and what
// was written reads again to the same values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "documents/mission_editor_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"

using kesta::fuzz::Check;
using kesta::fuzz::Lookup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const kesta::Lines lines = kesta::SplitGameText(std::string_view(reinterpret_cast<const char*>(data), size));
  kesta::MissionEditorDocument document;
  try {
    document.Read(lines, Lookup);
  } catch (const kesta::EKestaError&) {
    Check(document == kesta::MissionEditorDocument());  // a failed read changes nothing
    return 0;
  }
  kesta::Lines written = lines;
  document.Write(written, Lookup);
  kesta::MissionEditorDocument again;
  again.Read(written, Lookup);
  Check(again == document);
  return 0;
}
