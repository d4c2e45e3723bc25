#include "sets/recent_configurations.h"

#include "engine/game_file.h"
#include "engine/text.h"
#include "engine/case_fold.h"
#include "platform/file_io.h"

namespace kesta {

void RecentConfigurations::Load() {
  m_entries.clear();
  std::error_code ec;
  if (!std::filesystem::exists(m_file, ec)) WriteFileAtomically(m_file, "");
  Lines lines = SplitGameText(ReadWholeFile(m_file));
  std::erase_if(lines, [](const std::string& line) {
    return TrimView(line).empty() || line.find('(') != std::string::npos;
  });
  m_entries = std::move(lines);
}

void RecentConfigurations::Add(const std::string& path) {
  // Every spelling of the path goes, also repeats a hand-edited file brought in.
  // Paths are UTF-8: letters beyond ASCII compare without case too ("É" and "é").
  std::erase_if(m_entries, [&path](const std::string& entry) { return SameIgnoringCase(entry, path); });
  m_entries.insert(m_entries.begin(), path);
  if (m_entries.size() > kLimit) m_entries.resize(kLimit);
  std::string text;
  for (const std::string& entry : m_entries) text.append(entry).append("\n");
  WriteFileAtomically(m_file, text);
}

std::string_view RecentCaption(std::string_view path) {
  const size_t separator = path.rfind('/');
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace kesta
