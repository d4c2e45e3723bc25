#include "sets/apply_journal.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "engine/failure.h"
#include "platform/file_io.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "KESTA apply journal 1\n";
constexpr std::string_view kExtension = ".entry";

JournalStepHook g_stepHook = nullptr;

void PutNumber(std::string& out, std::string_view name, std::int64_t value) {
  out += name;
  out += ' ';
  out += std::to_string(value);
  out += '\n';
}

// "name LENGTH\nBYTES\n": the bytes may hold anything.
void PutBytes(std::string& out, std::string_view name, std::string_view bytes) {
  PutNumber(out, name, static_cast<std::int64_t>(bytes.size()));
  out += bytes;
  out += '\n';
}

std::string HashHex(const Sha256& hash) { return ToHex(hash.data(), hash.size()); }

// Only the lowercase digits HashHex writes.
bool ReadHash(std::string_view hex, Sha256& hash) {
  return hex.find_first_not_of("0123456789abcdef") == std::string_view::npos &&
         FromHex(hex, hash.data(), hash.size());
}

// Reads the entry's fields in order; any deviation leaves it failed, and the entry is not used.
class EntryReader {
 public:
  explicit EntryReader(std::string_view bytes) : m_rest(bytes) {}
  bool Failed() const { return m_failed; }
  bool AtEnd() const { return m_rest.empty(); }

  // "name VALUE\n"
  std::string_view Word(std::string_view name) {
    if (m_failed || !m_rest.starts_with(name) || m_rest.substr(name.size()).substr(0, 1) != " ")
      return Fail();
    const size_t end = m_rest.find('\n', name.size() + 1);
    if (end == std::string_view::npos) return Fail();
    const std::string_view value = m_rest.substr(name.size() + 1, end - name.size() - 1);
    m_rest.remove_prefix(end + 1);
    return value;
  }
  std::int64_t Number(std::string_view name, std::int64_t max) {
    const std::string_view text = Word(name);
    std::int64_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Only the digits EncodeJournalEntry writes: no sign, no leading zero.
    if (m_failed || text.empty() || (text.size() > 1 && text[0] == '0') || error != std::errc() ||
        stop != text.data() + text.size() || value < 0 || value > max) {
      Fail();
      return 0;
    }
    return value;
  }
  std::string_view Bytes(std::string_view name) {
    const auto size = static_cast<size_t>(Number(name, kMaxReadBytes));
    if (m_failed || m_rest.size() < size + 1 || m_rest[size] != '\n') return Fail();
    const std::string_view bytes = m_rest.substr(0, size);
    m_rest.remove_prefix(size + 1);
    return bytes;
  }

 private:
  std::string_view Fail() {
    m_failed = true;
    return {};
  }
  std::string_view m_rest;
  bool m_failed = false;
};

// "00000000000000000042-1234.entry": the sequence, then the writer, so two processes never share a name.
std::optional<std::uint64_t> SequenceOf(std::string_view name) {
  if (!name.ends_with(kExtension) || name.size() < 21 || name[20] != '-') return std::nullopt;
  std::uint64_t sequence = 0;
  const auto [stop, error] = std::from_chars(name.data(), name.data() + 20, sequence);
  if (error != std::errc() || stop != name.data() + 20) return std::nullopt;
  return sequence;
}

struct EntryFile {
  fs::path path;
  std::uint64_t sequence = 0;
};

// The entry files of the folder, newest first; other names are none of ours. Listed with readdir: every
// Apply lists the folder twice, and directory_iterator made a path of every name.
std::vector<EntryFile> EntryFiles(const fs::path& folder) {
  std::vector<EntryFile> files;
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return files;
  while (const dirent* item = ::readdir(listing))
    if (const std::optional<std::uint64_t> sequence = SequenceOf(item->d_name))
      files.push_back({folder / item->d_name, *sequence});
  ::closedir(listing);
  std::sort(files.begin(), files.end(), [](const EntryFile& a, const EntryFile& b) {
    return a.sequence != b.sequence ? a.sequence > b.sequence : a.path > b.path;
  });
  return files;
}

std::optional<JournalEntry> ReadEntry(const fs::path& path) {
  try {
    return DecodeJournalEntry(ReadWholeFile(path));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Whether entry files hold complete entries, remembered for the file as it stood when it was read (its
// inode, size and times), so that pruning at every Apply need not read and verify every kept entry again.
// A file changes its ctime with every write; one whose ctime was not yet behind the clock when it was read
// could still change within the same tick of the clock that stamps files, so it is read again and its
// bytes compared with those seen (a fast hash), and only verified anew when they differ.
class EntryVerdicts {
 public:
  // Nothing when not; else the file's size.
  std::optional<std::uint64_t> CompleteEntrySize(const fs::path& path) {
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0) return std::nullopt;
    {
      const std::lock_guard lock(m_mutex);
      const auto found = m_known.find(path.native());
      if (found != m_known.end() && found->second.SameFile(now) && !found->second.Racy())
        return Size(found->second.complete, now);
    }
    const timespec seen = CoarseNow();
    std::string bytes;
    try {
      bytes = ReadWholeFile(path);
    } catch (const std::exception&) {
      return std::nullopt;
    }
    // Taken after the read: a write between the two shows as a change of ctime at the next look.
    if (::stat(path.c_str(), &now) != 0) return std::nullopt;
    const size_t hash = std::hash<std::string_view>{}(bytes);
    std::optional<bool> complete;
    {
      const std::lock_guard lock(m_mutex);
      const auto found = m_known.find(path.native());
      if (found != m_known.end() && found->second.size == bytes.size() && found->second.hash == hash)
        complete = found->second.complete;
    }
    if (!complete) {
      try {
        const std::optional<JournalEntry> entry = DecodeJournalEntry(bytes);
        complete = entry && entry->complete;
      } catch (const std::exception&) {
        complete = false;
      }
    }
    Remember(path, now, seen, bytes.size(), hash, *complete);
    return *complete ? std::optional<std::uint64_t>(bytes.size()) : std::nullopt;
  }

  // The entry file was just written with these bytes, a complete entry.
  void Written(const fs::path& path, std::string_view bytes, const timespec& before) {
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || static_cast<size_t>(now.st_size) != bytes.size()) return;
    Remember(path, now, before, bytes.size(), std::hash<std::string_view>{}(bytes), true);
  }

  static timespec CoarseNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
  }

 private:
  struct Known {
    dev_t device;
    ino_t inode;
    off_t fileSize;
    timespec modified;
    timespec changed;
    timespec seen;  // the clock before the bytes were read
    size_t size;
    size_t hash;
    bool complete;

    static bool Equal(const timespec& a, const timespec& b) {
      return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }
    bool SameFile(const struct stat& now) const {
      return now.st_dev == device && now.st_ino == inode && now.st_size == fileSize &&
             Equal(now.st_mtim, modified) && Equal(now.st_ctim, changed);
    }
    // A write after the read could have left the same ctime.
    bool Racy() const {
      return changed.tv_sec > seen.tv_sec ||
             (changed.tv_sec == seen.tv_sec && changed.tv_nsec >= seen.tv_nsec);
    }
  };

  void Remember(const fs::path& path, const struct stat& now, const timespec& seen, size_t size, size_t hash,
                bool complete) {
    const std::lock_guard lock(m_mutex);
    m_known.insert_or_assign(path.native(), Known{now.st_dev, now.st_ino, now.st_size, now.st_mtim,
                                                  now.st_ctim, seen, size, hash, complete});
  }

  static std::optional<std::uint64_t> Size(bool complete, const struct stat& now) {
    return complete ? std::optional(static_cast<std::uint64_t>(now.st_size)) : std::nullopt;
  }

  std::mutex m_mutex;
  std::map<std::string, Known> m_known;
};

EntryVerdicts& Verdicts() {
  static EntryVerdicts verdicts;
  return verdicts;
}

// A process other than this one that still runs: its Apply may be under way.
bool WriterRuns(std::int64_t writer) {
  if (writer <= 0 || writer == ::getpid()) return false;
  return ::kill(static_cast<pid_t>(writer), 0) == 0 || errno == EPERM;
}

void RemoveEntry(const fs::path& path) {
  std::error_code ec;
  fs::remove(path, ec);
  SyncFolder(path.parent_path());
}

// The file's bytes now; nothing when it does not exist. Fails with the reason when it cannot be read.
std::optional<std::string> CurrentBytes(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec) && !ec) return std::nullopt;
  return ReadWholeFile(path);
}

// The file holds what the entry's Apply wrote (for a removal: it is gone).
bool HoldsAfter(const JournalFile& file, const std::optional<std::string>& now) {
  return file.removed ? !now : now && HashBytes(*now) == file.after;
}

// Gives the file these bytes; nothing removes it.
void Put(const fs::path& path, const std::optional<std::string>& bytes) {
  if (bytes) {
    WriteFileAtomically(path, *bytes);
    return;
  }
  // Through a symbolic link the Apply wrote the file it points to.
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(path, ec);
  const fs::path removed = ec ? path : target;
  if (::unlink(removed.c_str()) != 0 && errno != ENOENT)
    throw EKestaError("Cannot remove file \"" + removed.string() + "\". " + SystemErrorText(errno));
  SyncFolder(removed.parent_path());
}

// Gives the file its bytes from before the Apply; a file the Apply created is removed.
void Restore(const JournalFile& file) { Put(file.path, file.before); }

}  // namespace

std::string JournalTimeText(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[32] = {};
  if (!::localtime_r(&time, &local) || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
    return std::to_string(seconds);
  return text;
}

namespace {

std::string PathList(const std::vector<fs::path>& paths) {
  std::string list;
  for (const fs::path& path : paths) list += (list.empty() ? "" : ", ") + path.string();
  return list;
}

}  // namespace

std::string EncodeJournalEntry(const JournalEntry& entry) {
  std::string out(kHeader);
  PutNumber(out, "sequence", static_cast<std::int64_t>(entry.sequence));
  PutNumber(out, "time", entry.time);
  PutNumber(out, "writer", entry.writer);
  out += entry.complete ? "state complete\n" : "state pending\n";
  PutBytes(out, "command", entry.command);
  PutNumber(out, "files", static_cast<std::int64_t>(entry.files.size()));
  for (const JournalFile& file : entry.files) {
    PutBytes(out, "path", file.path.string());
    if (file.before)
      PutBytes(out, "before", *file.before);
    else
      out += "before missing\n";
    out += file.removed ? std::string("after missing\n") : "after " + HashHex(file.after) + "\n";
  }
  out += "checksum " + HashHex(HashBytes(out)) + "\n";
  return out;
}

std::optional<JournalEntry> DecodeJournalEntry(std::string_view bytes) {
  constexpr std::string_view kChecksum = "checksum ";
  const size_t checksumLength = kChecksum.size() + 64 + 1;
  if (!bytes.starts_with(kHeader) || bytes.size() < kHeader.size() + checksumLength) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - checksumLength);
  const std::string_view tail = bytes.substr(body.size());
  Sha256 checksum{};
  if (!tail.starts_with(kChecksum) || tail.back() != '\n' ||
      !ReadHash(tail.substr(kChecksum.size(), 64), checksum) || checksum != HashBytes(body))
    return std::nullopt;

  EntryReader reader(body.substr(kHeader.size()));
  JournalEntry entry;
  constexpr std::int64_t kLargest = INT64_MAX;
  entry.sequence = static_cast<std::uint64_t>(reader.Number("sequence", kLargest));
  entry.time = reader.Number("time", kLargest);
  entry.writer = reader.Number("writer", kLargest);
  const std::string_view state = reader.Word("state");
  if (state != "complete" && state != "pending") return std::nullopt;
  entry.complete = state == "complete";
  entry.command = reader.Bytes("command");
  const std::int64_t count = reader.Number("files", 1000);
  for (std::int64_t i = 0; i < count && !reader.Failed(); ++i) {
    JournalFile file;
    file.path = std::string(reader.Bytes("path"));
    // "before missing\n" or "before LENGTH\nBYTES\n"
    EntryReader probe = reader;
    if (probe.Word("before") == "missing" && !probe.Failed())
      reader = probe;
    else
      file.before = std::string(reader.Bytes("before"));
    const std::string_view after = reader.Word("after");
    file.removed = after == "missing";
    if (!file.removed && !ReadHash(after, file.after)) return std::nullopt;
    if (!file.path.is_absolute()) return std::nullopt;
    entry.files.push_back(std::move(file));
  }
  if (reader.Failed() || !reader.AtEnd()) return std::nullopt;
  return entry;
}

void SetJournalStepHook(JournalStepHook hook) { g_stepHook = hook; }

void JournalStep(std::string_view step) {
  if (g_stepHook) g_stepHook(step);
}

ApplyJournal::Open ApplyJournal::Begin(std::string command, std::span<const PlannedWrite> writes) const {
  Open open;
  open.entry.time = static_cast<std::int64_t>(std::time(nullptr));
  open.entry.writer = ::getpid();
  open.entry.command = std::move(command);
  for (const PlannedWrite& write : writes) {
    JournalFile file;
    std::error_code ec;
    file.path = fs::absolute(write.path, ec);
    if (ec) file.path = write.path;
    file.before = CurrentBytes(file.path);
    file.after = write.remove ? Sha256{} : HashBytes(write.bytes);
    file.removed = write.remove;
    open.entry.files.push_back(std::move(file));
  }
  std::error_code ec;
  fs::create_directories(m_folder, ec);
  if (ec && !fs::is_directory(m_folder))
    throw EKestaError("Cannot create folder \"" + m_folder.string() + "\". " + ec.message());
  const std::vector<EntryFile> existing = EntryFiles(m_folder);
  open.entry.sequence = existing.empty() ? 1 : existing.front().sequence + 1;
  char name[64];
  std::snprintf(name, sizeof name, "%020llu-%lld", static_cast<unsigned long long>(open.entry.sequence),
                static_cast<long long>(open.entry.writer));
  open.location = m_folder / (std::string(name) + std::string(kExtension));
  // WriteFileAtomically syncs the file and its folder before it returns.
  WriteFileAtomically(open.location, EncodeJournalEntry(open.entry));
  return open;
}

void ApplyJournal::Complete(Open& open) const {
  open.entry.complete = true;
  const std::string bytes = EncodeJournalEntry(open.entry);
  const timespec before = EntryVerdicts::CoarseNow();
  // The mark need not reach the disk before the Apply returns: the entry it replaces is whole and synced,
  // and a crash that loses the mark leaves that entry pending with every file holding its new bytes,
  // which the recovery at the next start finishes.
  WriteFileAtomically(open.location, bytes, Durability::kBytesSynced);
  Verdicts().Written(open.location, bytes, before);
  Prune();
}

std::vector<fs::path> ApplyJournal::RollBack(const Open& open, size_t written,
                                             std::vector<std::string>& notRestored) const {
  std::vector<fs::path> restored;
  bool left = false;
  for (size_t i = 0; i < written && i < open.entry.files.size(); ++i) {
    const JournalFile& file = open.entry.files[i];
    try {
      const std::optional<std::string> now = CurrentBytes(file.path);
      if (now == file.before) continue;  // written as it was
      if (!HoldsAfter(file, now)) {
        notRestored.push_back(file.path.string() + ": changed by something else meanwhile, left as it is");
        continue;
      }
      Restore(file);
      restored.push_back(file.path);
    } catch (const std::exception& failure) {
      notRestored.push_back(file.path.string() + ": " + failure.what());
      left = true;
    }
  }
  if (!left) RemoveEntry(open.location);
  return restored;
}

RecoveryReport ApplyJournal::Recover() const {
  RecoveryReport report;
  std::error_code ec;
  if (!fs::is_directory(m_folder, ec)) return report;
  RemoveLeftTemporaryFiles(m_folder);
  for (const EntryFile& entryFile : EntryFiles(m_folder)) {
    std::optional<JournalEntry> entry = ReadEntry(entryFile.path);
    if (!entry) {
      report.damaged.push_back(entryFile.path);
      continue;
    }
    if (entry->complete || WriterRuns(entry->writer)) continue;

    // Each file is old (its bytes before), new (the bytes the Apply wrote), or neither: changed since.
    struct State {
      bool old = false, fresh = false;
    };
    std::vector<State> states;
    bool anyOldOnly = false;
    for (const JournalFile& file : entry->files) {
      RemoveLeftTemporaryFiles(file.path.parent_path(), file.path.filename().string());
      State state;
      try {
        const std::optional<std::string> now = CurrentBytes(file.path);
        state.old = now == file.before;
        state.fresh = HoldsAfter(file, now);
      } catch (const std::exception&) {
        // Not a file that can be read (a folder took its place, say): neither old nor new.
      }
      anyOldOnly |= state.old && !state.fresh;
      states.push_back(state);
    }
    RecoveryReport::Entry done{entry->command, entry->time, {}};
    for (size_t i = 0; i < entry->files.size(); ++i)
      if (!states[i].old && !states[i].fresh) report.changedSince.push_back(entry->files[i].path);

    Open open{*entry, entryFile.path};
    if (!anyOldOnly) {
      // Every file the Apply could reach holds its new bytes: it only missed its mark.
      for (size_t i = 0; i < entry->files.size(); ++i)
        if (states[i].fresh) done.files.push_back(entry->files[i].path);
      try {
        Complete(open);
      } catch (const std::exception& failure) {
        report.notRestored.push_back(entryFile.path.string() + ": " + failure.what());
      }
      report.finished.push_back(std::move(done));
      continue;
    }
    bool left = false;
    for (size_t i = 0; i < entry->files.size(); ++i) {
      if (!states[i].fresh || states[i].old) continue;
      try {
        Restore(entry->files[i]);
        done.files.push_back(entry->files[i].path);
      } catch (const std::exception& failure) {
        report.notRestored.push_back(entry->files[i].path.string() + ": " + failure.what());
        left = true;
      }
    }
    if (!left) RemoveEntry(entryFile.path);
    report.rolledBack.push_back(std::move(done));
  }
  return report;
}

std::vector<JournalEntry> ApplyJournal::History() const {
  std::vector<JournalEntry> history;
  for (const EntryFile& file : EntryFiles(m_folder))
    if (std::optional<JournalEntry> entry = ReadEntry(file.path); entry && entry->complete)
      history.push_back(std::move(*entry));
  return history;
}

UndoReport ApplyJournal::Undo(std::optional<std::uint64_t> sequence) const {
  const std::vector<JournalEntry> history = History();
  const auto found = std::find_if(history.begin(), history.end(), [&sequence](const JournalEntry& entry) {
    return !sequence || entry.sequence == *sequence;
  });
  if (found == history.end())
    throw EKestaError(sequence ? "The journal of Applies holds no entry " + std::to_string(*sequence) + "."
                               : std::string("The journal of Applies holds no Apply to undo."));
  UndoReport report;
  report.undone = *found;
  std::vector<PlannedWrite> writes;
  for (const JournalFile& file : found->files) {
    std::optional<std::string> now;
    try {
      now = CurrentBytes(file.path);
    } catch (const std::exception&) {
      // Not a file that can be read (a folder took its place, say): not what the Apply wrote.
      report.changedSince.push_back(file.path);
      continue;
    }
    if (now == file.before) continue;  // the Apply left it as it was, or it is back already
    if (!HoldsAfter(file, now)) {
      report.changedSince.push_back(file.path);
      continue;
    }
    writes.push_back({file.path, file.before.value_or(std::string()), !file.before});
  }
  if (writes.empty()) return report;

  Open open = Begin("undo of " + found->command, writes);
  JournalStep("journal-written");
  size_t written = 0;
  for (; written < writes.size(); ++written) {
    try {
      Put(writes[written].path, writes[written].remove ? std::nullopt : std::optional(writes[written].bytes));
    } catch (const std::exception& failure) {
      report.notRestored.push_back(writes[written].path.string() + ": " + failure.what());
      break;
    }
    if (written + 1 < writes.size()) JournalStep("between-files");
  }
  if (!report.notRestored.empty()) {
    RollBack(open, written, report.notRestored);
    return report;
  }
  for (const PlannedWrite& write : writes) report.restored.push_back(write.path);
  JournalStep("files-written");
  try {
    Complete(open);
  } catch (const std::exception&) {
    // Every file is back; the next start finds the entry incomplete and marks it complete.
  }
  return report;
}

void ApplyJournal::Prune() const {
  size_t kept = 0;
  std::uint64_t bytes = 0;
  bool full = false;  // from the first entry that does not fit on, every older one goes
  for (const EntryFile& file : EntryFiles(m_folder)) {
    const std::optional<std::uint64_t> complete = Verdicts().CompleteEntrySize(file.path);
    if (!complete) continue;  // damaged ones are the player's to look at
    const std::uint64_t size = *complete;
    // The newest stays whatever its size: it is the one an undo would need first.
    full |= kept > 0 && (kept >= kKeptEntries || bytes + size > kKeptBytes);
    if (!full) {
      ++kept;
      bytes += size;
      continue;
    }
    std::error_code ec;
    fs::remove(file.path, ec);
  }
  // Not synced: a removal that a crash undoes only brings back an old entry, which the next Apply removes.
}

std::string DescribeRecovery(const RecoveryReport& report) {
  std::string text;
  for (const RecoveryReport::Entry& entry : report.finished)
    text += "The Apply of " + JournalTimeText(entry.time) + " (" + entry.command +
            ") was cut short after it had written every file; it is now complete: " + PathList(entry.files) +
            "\n";
  for (const RecoveryReport::Entry& entry : report.rolledBack)
    text +=
        "The Apply of " + JournalTimeText(entry.time) + " (" + entry.command + ") was cut short; " +
        (entry.files.empty() ? std::string("it had changed no file.")
                             : "these files got their bytes from before it back: " + PathList(entry.files)) +
        "\n";
  for (const fs::path& path : report.changedSince)
    text += "Changed since that Apply, so left as it is: " + path.string() + "\n";
  for (const std::string& failure : report.notRestored)
    text += "Not put back (tried again at the next start): " + failure + "\n";
  for (const fs::path& path : report.damaged)
    text +=
        "An entry of the journal of Applies cannot be read and was left as it is: " + path.string() + "\n";
  return text;
}

std::string DescribeHistory(const std::vector<JournalEntry>& history) {
  std::string text;
  for (const JournalEntry& entry : history) {
    text += std::to_string(entry.sequence) + "\t" + JournalTimeText(entry.time) + "\t" + entry.command + "\n";
    for (const JournalFile& file : entry.files) text += "\t" + file.path.string() + "\n";
  }
  return text;
}

UndoText DescribeUndo(const UndoReport& report) {
  UndoText text;
  const JournalEntry& entry = report.undone;
  if (!report.restored.empty() && report.notRestored.empty()) {
    text.done = "Undone: " + std::to_string(entry.sequence) + " of " + JournalTimeText(entry.time) + " (" +
                entry.command + ")\n";
    for (const fs::path& path : report.restored) text.done += "Put back: " + path.string() + "\n";
  }
  for (const fs::path& path : report.changedSince)
    text.trouble += "Changed since that Apply, so left as it is: " + path.string() + "\n";
  if (report.restored.empty() && report.notRestored.empty())
    text.trouble += report.changedSince.empty()
                        ? "Nothing to undo: every file of that Apply already holds what it held before.\n"
                        : "Nothing was undone.\n";
  for (const std::string& failure : report.notRestored) text.trouble += "Not put back: " + failure + "\n";
  if (!report.notRestored.empty())
    text.trouble +=
        "The undo was stopped; the files it had already written were put back as they were, except any "
        "named above.\n";
  return text;
}

}  // namespace kesta
