// Feeds arbitrary bytes to the section extraction of saved configurations. The bytes up to the first '|'
// are the catalogue path, the rest is the file. Checks what opening a hand-edited file relies on.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "engine/game_file.h"
#include "sets/saved_configuration.h"

using kesta::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t bar = input.find('|');
  const std::string catalogPath(input.substr(0, std::min<size_t>(bar, 64)));
  input.remove_prefix(bar == std::string_view::npos ? input.size() : bar + 1);

  const kesta::Lines file = kesta::SplitGameText(input);
  kesta::SavedConfiguration opened(file);
  kesta::Lines section{"left from before"};
  const bool found = opened.TakeSection(catalogPath, section);
  const std::string marker = kesta::SectionMarker(catalogPath);

  // A section is a run of the file's lines, none of them a marker line; false exactly when it is empty.
  Check(found == !section.empty());
  Check(std::none_of(section.begin(), section.end(),
                     [&marker](const std::string& line) { return line.find(marker) != std::string::npos; }));
  if (found) Check(std::search(file.begin(), file.end(), section.begin(), section.end()) != file.end());

  // Saving what was taken and opening the written bytes gives the same lines back, beside another section,
  // as long as the path itself fits on the marker line.
  if (catalogPath.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return 0;
  kesta::SavedConfiguration saved;
  const std::string other = "Config\\other.cfg";
  if (kesta::SectionMarker(other).find(marker) == std::string::npos) saved.PutSection(other, {"a = 1;", ""});
  saved.PutSection(catalogPath, section);
  kesta::SavedConfiguration reopened(kesta::SplitGameText(kesta::JoinGameText(saved.AllLines())));
  kesta::Lines again;
  Check(reopened.TakeSection(catalogPath, again) == found);
  Check(again == section);
  return 0;
}
