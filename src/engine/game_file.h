#pragma once
// A game file in memory is a list of 8-bit lines. Reading accepts any line breaks; writing puts CR LF
// after every line, as the game's own files have them.

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/param_lines.h"

namespace kesta {

// Splits at CR LF, lone CR or lone LF; a final line break adds no empty line; a NUL byte ends the text.
Lines SplitGameText(std::string_view bytes);

// CR LF after every line, the last one included.
std::string JoinGameText(const Lines& lines);

// Reads a game file from disk; fails with the system's text when it cannot be read.
Lines ReadGameFile(const std::filesystem::path& path);

// Replaces a game file atomically.
void WriteGameFile(const std::filesystem::path& path, const Lines& lines);

// Where a saved configuration keeps the files' blocks while it is being saved or opened. The loaders
// and appliers never see it: they always go through GameFileAccess.
class GameFileSections {
 public:
  virtual ~GameFileSections() = default;
  // The block of the file named by its catalogue path; false when the block has no lines.
  virtual bool TakeSection(std::string_view catalogPath, Lines& lines) = 0;
  virtual void PutSection(std::string_view catalogPath, const Lines& lines) = 0;
};

// The file access of every loader and applier: game files on disk, or the blocks of a saved
// configuration while one is attached.
class GameFileAccess {
 public:
  // Reads the file at `path` (or the section named `catalogPath`); false only for an empty section.
  bool LoadGameFile(Lines& lines, const std::filesystem::path& path, std::string_view catalogPath) const;
  void SaveGameFile(const Lines& lines, const std::filesystem::path& targetPath,
                    std::string_view catalogPath) const;

  void AttachSections(GameFileSections* sections) { m_sections = sections; }
  bool HasSections() const { return m_sections != nullptr; }

 private:
  GameFileSections* m_sections = nullptr;
};

}  // namespace kesta
