#pragma once
// The operations on the whole set of game files, one loop each, shared by the window's commands and
// kesta-cli: Apply (the new lines of every file first, then the writes), the reloads, and saving into or
// opening from a saved configuration. The callers keep their own rule for failures: the window reports
// each and writes the files that are ready, kesta-cli writes nothing unless every file is ready.

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/param_lines.h"

namespace kesta {

class SavedConfiguration;
class TGameFileSet;

// Where a file of the game folder is, by its catalogue key.
using GamePathFunction = std::function<std::filesystem::path(std::string_view catalogKey)>;

// Every game file, in the order Apply, Cancel and saved configurations process them.
std::span<const std::string_view> WholeSet();

struct FileFailure {
  std::string_view catalogKey;
  std::string reason;
  bool heldNul = false;  // the file's bytes hold a NUL: it is never written, nor written from
};

struct PreparedFile {
  std::string_view catalogKey;
  std::filesystem::path target;
  Lines lines;
};

struct PreparedApply {
  std::vector<PreparedFile> files;  // in the order of the keys
  std::vector<FileFailure> failures;
};

// Apply's first phase: the new lines of each file, written to nothing yet.
PreparedApply PrepareApply(TGameFileSet& files, std::span<const std::string_view> keys,
                           const GamePathFunction& pathOf);

struct WrittenFiles {
  std::vector<std::string_view> written;  // in the order written
  std::vector<FileFailure> failures;
  std::vector<std::string_view> notWritten;  // after a stop, the failed file and those behind it
};

// Apply's second phase: writes the prepared files in order. With `stopAtFailure` the first failure ends
// it; otherwise every other file is still written.
WrittenFiles WritePrepared(TGameFileSet& files, const std::vector<PreparedFile>& prepared,
                           bool stopAtFailure);

// The window's Apply of every file: each failure is reported through the set and the other files are still
// written. True when every file was written.
bool ApplyWholeSet(TGameFileSet& files, const GamePathFunction& pathOf);

// Cancel: every file read again from where it was last read.
void ReloadWholeSet(TGameFileSet& files);

// Every file of `keys` read from the game folder.
void LoadFromGameFolder(TGameFileSet& files, std::span<const std::string_view> keys,
                        const GamePathFunction& pathOf);

// Saves each file of `keys` as Apply would write it into a section of the configuration; a file that fails
// gets no section. Returns the failures, reported to no one.
std::vector<FileFailure> SaveWholeSet(TGameFileSet& files, SavedConfiguration& configuration,
                                      std::span<const std::string_view> keys, const GamePathFunction& pathOf);

// Reads each file of `keys` from its section; the file keeps the path it was read from, so a later Apply
// writes it there. A file without a section keeps its document as it is.
void OpenWholeSet(TGameFileSet& files, SavedConfiguration& configuration,
                  std::span<const std::string_view> keys, const GamePathFunction& pathOf);

}  // namespace kesta
