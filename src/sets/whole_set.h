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
  // After a failure of a journalled Apply: the files written before it got their old bytes back.
  bool rolledBack = false;
  std::vector<std::string> notRestored;  // "PATH: reason" of the files that could not be put back
};

// Apply's second phase: writes the prepared files in order. Where the set has a journal (and no saved
// configuration is attached), the files are one transaction: the journal's entry first, then the files,
// then the entry marked complete; the first failure ends it and the files already written get their old
// bytes back, so a failed Apply leaves the old set. `command` names the Apply in the journal's history.
// Without a journal, `stopAtFailure` decides whether the first failure ends it or every other file is
// still written.
WrittenFiles WritePrepared(TGameFileSet& files, const std::vector<PreparedFile>& prepared, bool stopAtFailure,
                           std::string_view command = "Apply");

// The window's Apply of every file: a file whose new lines fail is reported and the others are still
// written; a failed write is reported and undoes the files written before it. True when every file was
// written.
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

// The values whose document differs from its file in the game folder, read the way a load reads it: the
// edits an Apply would write. Names as the documents give them ("SliderLod[High]"), of the files read at
// least once; a file that cannot be read or holds nothing counts every value. Writes nothing.
std::vector<std::string> ChangedValueNames(TGameFileSet& files, const GamePathFunction& pathOf);

}  // namespace kesta
