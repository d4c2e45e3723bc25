#include "sets/saved_configuration.h"

namespace kesta {

std::string SectionMarker(std::string_view catalogPath) {
  const std::string hashes(20, '#');
  return hashes + std::string(catalogPath) + hashes;
}

SavedConfiguration SavedConfiguration::Read(const std::filesystem::path& path, const MessageLookup& lookup) {
  return SavedConfiguration(ReadWholeGameFile(path, lookup));
}

void SavedConfiguration::Write(const std::filesystem::path& path) const { WriteGameFile(path, m_lines); }

bool SavedConfiguration::TakeSection(std::string_view catalogPath, Lines& lines) {
  const std::string marker = SectionMarker(catalogPath);
  lines.clear();
  bool open = false;
  for (const std::string& line : m_lines) {
    if (line.find(marker) != std::string::npos) {
      if (open) break;
      open = true;
    } else if (open) {
      lines.push_back(line);
    }
  }
  return !lines.empty();
}

void SavedConfiguration::PutSection(std::string_view catalogPath, const Lines& lines) {
  const std::string marker = SectionMarker(catalogPath);
  m_lines.reserve(m_lines.size() + lines.size() + 2);
  m_lines.push_back(marker);
  m_lines.insert(m_lines.end(), lines.begin(), lines.end());
  m_lines.push_back(marker);
}

}  // namespace kesta
