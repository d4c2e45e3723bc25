#include "engine/game_file.h"

#include "platform/file_io.h"

namespace kesta {

Lines SplitGameText(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);

  Lines lines;
  size_t lineStart = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes.substr(lineStart, i - lineStart));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    lineStart = i + 1;
  }
  if (lineStart < bytes.size()) lines.emplace_back(bytes.substr(lineStart));
  return lines;
}

std::string JoinGameText(const Lines& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

Lines ReadGameFile(const std::filesystem::path& path) { return SplitGameText(ReadWholeFile(path)); }

void WriteGameFile(const std::filesystem::path& path, const Lines& lines) {
  WriteFileAtomically(path, JoinGameText(lines));
}

bool GameFileAccess::LoadGameFile(Lines& lines, const std::filesystem::path& path,
                                  std::string_view catalogPath) const {
  if (m_sections) return m_sections->TakeSection(catalogPath, lines);
  lines = ReadGameFile(path);
  return true;
}

void GameFileAccess::SaveGameFile(const Lines& lines, const std::filesystem::path& targetPath,
                                  std::string_view catalogPath) const {
  if (m_sections) {
    m_sections->PutSection(catalogPath, lines);
    return;
  }
  WriteGameFile(targetPath, lines);
}

}  // namespace kesta
