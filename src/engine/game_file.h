#pragma once
// A game file in memory is a list of 8-bit lines. Reading accepts any line breaks; writing puts CR LF
// after every line, as the game's own files have them.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/failure.h"
#include "engine/load_apply_texts.h"
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

// A file whose bytes hold a NUL. Its text as read ends at that byte, so a write made from that text would
// lose everything after it, lines never shown included: such a file is neither written nor written from.
class ENulInGameFile : public EKestaError {
 public:
  ENulInGameFile(const std::string& message, std::filesystem::path path)
      : EKestaError(message), m_path(std::move(path)) {}
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Reads as ReadGameFile does, but all of the file or nothing: fails with ENulInGameFile, in the words of
// the message "FileHoldsNul", when its bytes hold a NUL.
Lines ReadWholeGameFile(const std::filesystem::path& path, const MessageLookup& lookup);

// The lines a rewrite starts from: ReadWholeGameFile(base). Every writer of a game file's text starts
// here, so an existing `target` that the write would replace is refused the same way when it holds a NUL.
Lines ReadGameFileToWrite(const std::filesystem::path& base,
                          const std::optional<std::filesystem::path>& target, const MessageLookup& lookup);

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
