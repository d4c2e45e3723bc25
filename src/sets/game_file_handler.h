#pragma once
// One game file's page logic: which parameters it reads into the page's controls and writes back.
// The common parts (where the text comes from, the questions, the error reports) live in TGameFileSet,
// once for all twelve files.

#include <filesystem>

#include "engine/load_apply_texts.h"
#include "engine/param_lines.h"

namespace kesta {

class GameFileHandler {
 public:
  virtual ~GameFileHandler() = default;

  virtual const GameFileKind& Kind() const = 0;
  // Sets the page's controls from the file's lines; fails with a text for the user.
  virtual void ReadLines(const Lines& lines) = 0;
  // Writes the controls' values into the lines; fails with a text for the user.
  virtual void WriteLines(Lines& lines) = 0;
  // Runs after the file was saved to `targetPath` (the graphics file records its time stamp here).
  virtual void AfterSave(const std::filesystem::path& targetPath) { (void)targetPath; }
};

}  // namespace kesta
