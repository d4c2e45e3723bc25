#pragma once
// A saved configuration (".kst"): the twelve game files in one text file, each as a section between
// two marker lines that name the file's catalogue path. While one is saved or opened, the loaders and
// appliers read and write its sections in place of the game files (see GameFileAccess).

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/game_file.h"

namespace kesta {

// Twenty "#", the catalogue path as the settings file stores it, twenty "#".
std::string SectionMarker(std::string_view catalogPath);

class SavedConfiguration final : public GameFileSections {
 public:
  SavedConfiguration() = default;
  explicit SavedConfiguration(Lines lines) : m_lines(std::move(lines)) {}

  // Reads a saved configuration; fails with the system's text when it cannot be read, and with the
  // message "FileHoldsNul" when it holds a NUL, which would hide every section after it.
  static SavedConfiguration Read(const std::filesystem::path& path, const MessageLookup& lookup);
  // Replaces the file atomically, CR LF after every line; the lines are game bytes and stay as they are.
  void Write(const std::filesystem::path& path) const;

  // The lines between the first line holding the marker and the next one (the end when there is none);
  // later marker lines are ignored. False when no line was taken.
  bool TakeSection(std::string_view catalogPath, Lines& lines) override;
  void PutSection(std::string_view catalogPath, const Lines& lines) override;

  const Lines& AllLines() const { return m_lines; }

 private:
  Lines m_lines;
};

// Puts the access into saved-configuration mode for as long as it lives, and out of it in every case.
class AttachedSections {
 public:
  AttachedSections(GameFileAccess& access, GameFileSections& sections) : m_access(access) {
    m_access.AttachSections(&sections);
  }
  ~AttachedSections() { m_access.AttachSections(nullptr); }
  AttachedSections(const AttachedSections&) = delete;
  AttachedSections& operator=(const AttachedSections&) = delete;

 private:
  GameFileAccess& m_access;
};

}  // namespace kesta
