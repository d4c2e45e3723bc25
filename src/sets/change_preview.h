#pragma once
// What an Apply would change, before anything is written: each prepared file's new bytes against the
// bytes on disk, as a line diff with a few lines of context. The window's review and kesta-cli's --diff
// both show this, so they agree line for line with what Apply writes.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sets/whole_set.h"

namespace kesta {

// One line of a hunk: ' ' kept, '-' removed, '+' added. `text` is the line's bytes with its line break
// as the file has it ("\r\n", "\n", "\r", or nothing for a last line without one).
struct DiffLine {
  char kind = ' ';
  std::string text;
};

// Line numbers count from 1; a count of 0 puts the start on the line before, as unified diffs do.
struct DiffHunk {
  std::size_t oldStart = 0;
  std::size_t oldCount = 0;
  std::size_t newStart = 0;
  std::size_t newCount = 0;
  std::vector<DiffLine> lines;
};

// Splits bytes into lines that keep their line breaks, so a change of line break is a change of line.
std::vector<std::string> SplitKeepingBreaks(std::string_view bytes);

// The hunks turning `before` into `after`, each change with `context` unchanged lines around it; nothing
// when they are equal. Removed lines come before added ones within a change.
std::vector<DiffHunk> DiffLines(const std::vector<std::string>& before, const std::vector<std::string>& after,
                                std::size_t context = 3);

struct FileChange {
  std::string_view catalogKey;
  std::filesystem::path target;
  bool created = false;  // no file there yet
  std::vector<DiffHunk> hunks;
};

// Each prepared file that would change, in the prepared order, against its bytes on disk. Reads only;
// fails as ReadWholeFile does when a file that exists cannot be read.
std::vector<FileChange> PreviewChanges(const std::vector<PreparedFile>& prepared);

// A unified diff of one file, named `shownPath` on both sides (/dev/null before a new file). Lines keep
// their bytes and line breaks; a last line without a line break is followed by
// "\ No newline at end of file". `convert` turns the lines' game bytes into the text shown.
std::string UnifiedDiff(const FileChange& change, std::string_view shownPath,
                        const std::function<std::string(std::string_view)>& convert = {});

}  // namespace kesta
