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

namespace {

// Fails with ENulInGameFile when the bytes hold a NUL.
void RefuseNul(const std::filesystem::path& path, std::string_view bytes, const MessageLookup& lookup) {
  const size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return;
  std::string message = lookup("FileHoldsNul");
  const auto put = [&message](std::string_view placeholder, const std::string& value) {
    const size_t at = message.find(placeholder);
    if (at != std::string::npos) message.replace(at, placeholder.size(), value);
  };
  if (message.find("%1") == std::string::npos) message = "%1: " + message;
  put("%1", path.string());
  put("%2", std::to_string(nul));
  throw ENulInGameFile(message, path);
}

}  // namespace

Lines ReadWholeGameFile(const std::filesystem::path& path, const MessageLookup& lookup) {
  const std::string bytes = ReadWholeFile(path);
  RefuseNul(path, bytes, lookup);
  return SplitGameText(bytes);
}

Lines ReadGameFileToWrite(const std::filesystem::path& base,
                          const std::optional<std::filesystem::path>& target, const MessageLookup& lookup) {
  Lines lines = ReadWholeGameFile(base, lookup);
  // A target that is not there yet, or is no regular file, is for the write itself to deal with.
  std::error_code error;
  if (target && *target != base && std::filesystem::is_regular_file(*target, error))
    RefuseNul(*target, ReadWholeFile(*target), lookup);
  return lines;
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
