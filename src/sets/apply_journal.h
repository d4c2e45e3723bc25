#pragma once
// The journal of Applies. An Apply replaces several game files one after the other; each replacement is
// atomic, the set of them is not. Before the first file is replaced, an entry naming every file with its
// bytes before and the SHA-256 of the bytes it will get is written (atomically, its folder synced); once
// every file is written the entry is marked complete. An entry left incomplete by a crash is taken up at
// the next start: finished when every file already holds its new bytes, otherwise rolled back, so the set
// is never left half old, half new. A file that someone changed since is left alone and named.
//
// Complete entries stay as the history of Applies (the last kKeptEntries, at most kKeptBytes together).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "update/release_manifest.h"

namespace kesta {

struct JournalFile {
  std::filesystem::path path;         // absolute: recovery may run from another working folder
  std::optional<std::string> before;  // nothing: the file did not exist, so a roll-back removes it
  Sha256 after{};                     // of the bytes the Apply writes
  bool removed = false;               // the Apply removes the file (an undo of one that created it)
};

struct JournalEntry {
  std::uint64_t sequence = 0;  // orders the entries; the newest has the highest
  std::int64_t time = 0;       // seconds since 1970, when the Apply began
  std::int64_t writer = 0;     // the process that wrote the entry
  bool complete = false;
  std::string command;  // what made the Apply ("kesta-cli apply", "Apply"), for the history
  std::vector<JournalFile> files;
};

// The entry's file: binary-safe, ending in a SHA-256 over everything before it.
std::string EncodeJournalEntry(const JournalEntry& entry);
// Nothing for bytes that are not exactly an entry as EncodeJournalEntry writes it (damaged, cut short or
// another program's).
std::optional<JournalEntry> DecodeJournalEntry(std::string_view bytes);

// A file an Apply is about to replace, with the bytes it will get.
struct PlannedWrite {
  std::filesystem::path path;
  std::string bytes;
  bool remove = false;  // the file goes instead (an undo of an Apply that created it)
};

// What an undo of an Apply did.
struct UndoReport {
  JournalEntry undone;                              // the entry whose files got their bytes before back
  std::vector<std::filesystem::path> restored;      // in the entry's order; those already as before are not
  std::vector<std::filesystem::path> changedSince;  // no longer what that Apply wrote: left alone
  std::vector<std::string> notRestored;             // "PATH: reason"; the undo was rolled back
  bool Complete() const { return changedSince.empty() && notRestored.empty(); }
};

// Called at each step of an Apply, by its name: "before-journal", "journal-written", "between-files"
// (after each file but the last), "files-written" (before the entry is marked complete). Lets a test stop
// the program at a chosen step; nothing else sets it.
using JournalStepHook = void (*)(std::string_view step);
void SetJournalStepHook(JournalStepHook hook);
void JournalStep(std::string_view step);

// What a recovery did, for the player.
struct RecoveryReport {
  struct Entry {
    std::string command;
    std::int64_t time = 0;
    std::vector<std::filesystem::path> files;  // finished: all of them; rolled back: those put back
  };
  std::vector<Entry> finished;    // every file already held its new bytes: marked complete
  std::vector<Entry> rolledBack;  // the files that held their new bytes got their old ones back
  std::vector<std::filesystem::path> changedSince;  // matched neither: left alone
  std::vector<std::string> notRestored;             // "PATH: reason"; the entry stays for the next start
  std::vector<std::filesystem::path> damaged;       // entry files that cannot be read: left alone
  bool Empty() const {
    return finished.empty() && rolledBack.empty() && changedSince.empty() && notRestored.empty() &&
           damaged.empty();
  }
};

// The report in English, one line each, for kesta-cli's error output.
std::string DescribeRecovery(const RecoveryReport& report);

// "YYYY-MM-DD hh:mm:ss", local time.
std::string JournalTimeText(std::int64_t seconds);

// The entries for kesta-cli history, newest first: "NUMBER<tab>TIME<tab>COMMAND", then a tab and a path
// per file; NUMBER is the entry's sequence, which undo takes.
std::string DescribeHistory(const std::vector<JournalEntry>& history);

// What an undo did, in English: the entry undone and the files put back (for standard output), and the
// files left alone or not put back (for the error output).
struct UndoText {
  std::string done;
  std::string trouble;
};
UndoText DescribeUndo(const UndoReport& report);

class ApplyJournal {
 public:
  static constexpr size_t kKeptEntries = 20;
  static constexpr std::uint64_t kKeptBytes = std::uint64_t{50} << 20;

  explicit ApplyJournal(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  const std::filesystem::path& Folder() const { return m_folder; }

  // Reads each file's bytes before and writes the entry, synced. Fails with the reason (a file that
  // cannot be read, a journal folder that cannot be written): then nothing was written.
  struct Open {
    JournalEntry entry;
    std::filesystem::path location;
  };
  Open Begin(std::string command, std::span<const PlannedWrite> writes) const;
  // Marks the entry complete (its bytes synced; a crash that loses the rename leaves the entry pending
  // with every file new, which recovery finishes), then drops the oldest complete entries beyond what is
  // kept.
  // Fails with the reason; the files are written all the same, and the next recovery finishes the entry.
  void Complete(Open& open) const;
  // After a failed write: the first `written` files of the entry get their old bytes back, and the entry
  // goes. Returns the files put back; `notRestored` gets "PATH: reason" for those that could not be (the
  // entry then stays, for the next start to try again).
  std::vector<std::filesystem::path> RollBack(const Open& open, size_t written,
                                              std::vector<std::string>& notRestored) const;

  // Finishes or rolls back every incomplete entry of a process that is gone, newest first; removes
  // temporary files that killed writers left beside the files and in the journal.
  RecoveryReport Recover() const;

  // The complete entries, newest first (for the history); damaged ones are left out.
  std::vector<JournalEntry> History() const;

  // Puts back the bytes before of the entry with that sequence (the newest complete one when nothing),
  // for each of its files that still holds exactly what it wrote; a file it created is removed, a file
  // changed since is left alone and named. The undo is itself a transaction, recorded as "undo of
  // COMMAND", so it can be undone in turn; a write that fails rolls it back. Fails with the reason when
  // there is no such entry or its own entry cannot be written (then nothing was changed).
  UndoReport Undo(std::optional<std::uint64_t> sequence = std::nullopt) const;

 private:
  void Prune() const;

  std::filesystem::path m_folder;
};

}  // namespace kesta
