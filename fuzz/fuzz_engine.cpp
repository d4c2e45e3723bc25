// Feeds arbitrary bytes through the line splitter and every engine operation. The first bytes choose
// the name, anchor and value; the rest is the file. Checks the invariants the appliers rely on.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/param_lines.h"

using kesta::fuzz::Check;

namespace {

// Takes a short field from the front of the input, up to a '|' separator.
std::string TakeField(std::string_view& input) {
  const size_t bar = input.find('|');
  const size_t length = bar == std::string_view::npos ? std::min<size_t>(input.size(), 8) : bar;
  std::string field(input.substr(0, std::min<size_t>(length, 24)));
  input.remove_prefix(std::min(input.size(), length + (bar == std::string_view::npos ? 0 : 1)));
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string name = TakeField(input);
  const std::string anchor = TakeField(input);
  const std::string value = TakeField(input);

  const kesta::Lines lines = kesta::SplitGameText(input);
  // Writing and reading again gives the same lines: CR LF never adds or loses a line.
  Check(kesta::SplitGameText(kesta::JoinGameText(lines)) == lines);

  kesta::GetParam(lines, name, "default", anchor, true);
  kesta::GetParam(lines, name, "default", anchor, false);

  kesta::Lines edited = lines;
  try {
    const std::string written = kesta::SetParam(edited, name, value, anchor, size % 2 == 0);
    Check(edited.size() == lines.size() || edited.size() == lines.size() + 1);
    Check(std::find(edited.begin(), edited.end(), written) != edited.end());
  } catch (const kesta::EKestaError&) {
    Check(edited == lines);  // a failed write leaves the lines unchanged
  }

  edited = lines;
  try {
    kesta::DeleteParam(edited, name, anchor);
    Check(edited.size() == lines.size() || edited.size() + 1 == lines.size());
  } catch (const kesta::EKestaError&) {
    Check(edited == lines);
  }

  std::string text(input.substr(0, 64));
  kesta::SplitAtFirst(text, value.substr(0, 1));
  return 0;
}
