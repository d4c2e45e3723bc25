// The journal of Applies over real files: its entries read back whatever bytes they hold and refuse any
// damage; recovery finishes or rolls back an Apply cut short at each point, leaves alone a file changed
// since, removes what the Apply created; complete entries are kept as history within their limits.

#include "sets/apply_journal.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "engine/failure.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every name in the folder.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The journal's hash gives the same digests as the manifest's, so entries stay readable whichever wrote
// them: every length around the 64-byte blocks and the two-block tail, and large texts.
TEST(ApplyJournalEntryTest, ReadsBackAnyBytesAndRefusesEveryDamage) {
  JournalEntry entry;
  entry.sequence = 42;
  entry.time = 1765432100;
  entry.writer = 4321;
  entry.command = "kesta-cli open-config /tmp/a b\nc.kst";
  entry.files.push_back(
      {"/game/Config/graphics.cfg", std::string("a\0b\r\nbefore 3\nxyz\n", 19), HashBytes("new")});
  entry.files.push_back({"/game/ME/MeCustom.xml", std::nullopt, HashBytes("created")});
  entry.files.push_back({"/game/empty.lua", std::string(), HashBytes("")});
  const std::string bytes = EncodeJournalEntry(entry);

  const std::optional<JournalEntry> read = DecodeJournalEntry(bytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->sequence, 42u);
  EXPECT_EQ(read->time, 1765432100);
  EXPECT_EQ(read->writer, 4321);
  EXPECT_FALSE(read->complete);
  EXPECT_EQ(read->command, entry.command);
  ASSERT_EQ(read->files.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read->files[i].path, entry.files[i].path);
    EXPECT_EQ(read->files[i].before, entry.files[i].before);
    EXPECT_EQ(read->files[i].after, entry.files[i].after);
  }
  entry.complete = true;
  EXPECT_TRUE(DecodeJournalEntry(EncodeJournalEntry(entry))->complete);

  std::string flipped = bytes;
  flipped[bytes.find("xyz")] = 'X';
  std::string relative = EncodeJournalEntry({1, 2, 3, false, "c", {{"graphics.cfg", "", HashBytes("")}}});
  // A field written otherwise than the writer writes it, under a checksum that matches.
  const auto resealed = [&bytes](const std::string& from, const std::string& to) {
    std::string text = bytes.substr(0, bytes.rfind("checksum "));
    text.replace(text.find(from), from.size(), to);
    const Sha256 sum = HashBytes(text);
    return text + "checksum " + ToHex(sum.data(), sum.size()) + "\n";
  };
  const Sha256 newHash = HashBytes("new");
  const std::string newHex = ToHex(newHash.data(), newHash.size());
  std::string upperHex = newHex;
  for (char& c : upperHex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_NE(upperHex, newHex);
  const std::pair<const char*, std::string> damaged[] = {
      {"a leading zero", resealed("sequence 42", "sequence 042")},
      {"an uppercase hash", resealed(newHex, upperHex)},
      {"another state", resealed("state pending", "state done")},
      {"more files than it holds", resealed("files 3", "files 4")},
      {"a length past the end", resealed("command 36", "command 9999")},
      {"empty", ""},
      {"cut after the header", bytes.substr(0, 22)},
      {"cut in the before bytes", bytes.substr(0, bytes.find("xyz"))},
      {"cut before the checksum's end", bytes.substr(0, bytes.size() - 2)},
      {"one byte of the before bytes changed", flipped},
      {"trailing bytes", bytes + "x"},
      {"another program's file", "[Config]\nLanguage=en\n"},
      {"a relative path", relative},
  };
  for (const auto& [what, text] : damaged) EXPECT_FALSE(DecodeJournalEntry(text)) << what;
}

// Three files an Apply replaces (the third one it creates), and the journal of that Apply.
class ApplyJournalTest : public testing::Test {
 protected:
  ApplyJournalTest() {
    WriteBytes(files[0], "graphics old\r\n");
    WriteBytes(files[1], std::string("cockpit \0old\r\n", 14));
  }
  std::vector<PlannedWrite> Writes() const {
    return {{files[0], "graphics new\r\n"}, {files[1], "cockpit new\r\n"}, {files[2], "created\r\n"}};
  }
  std::vector<std::string> Now() const {
    return {test::ReadBytes(files[0]), test::ReadBytes(files[1]), test::ReadBytes(files[2])};
  }
  std::vector<std::string> Old() const {
    return {"graphics old\r\n", std::string("cockpit \0old\r\n", 14), "<missing>"};
  }
  std::vector<std::string> New() const { return {"graphics new\r\n", "cockpit new\r\n", "created\r\n"}; }

  test::TempFolder game;
  test::TempFolder data;
  const fs::path files[3] = {game / "graphics.cfg", game / "cockpit.cfg", game / "created.lua"};
  ApplyJournal journal{data / "Journal"};
};

// The Apply cut short after 0 to 3 of its files: up to the last one it is rolled back, after the last one
// it is finished. Either way the set is all old or all new and no entry is left pending.
TEST_F(ApplyJournalTest, RecoveryLeavesTheSetAllOldOrAllNew) {
  for (size_t written = 0; written <= 3; ++written) {
    SCOPED_TRACE(written);
    WriteBytes(files[0], Old()[0]);
    WriteBytes(files[1], Old()[1]);
    fs::remove(files[2]);
    const auto writes = Writes();
    journal.Begin("test apply", writes);
    for (size_t i = 0; i < written; ++i) WriteBytes(writes[i].path, writes[i].bytes);

    const RecoveryReport report = journal.Recover();
    EXPECT_TRUE(report.changedSince.empty());
    EXPECT_TRUE(report.notRestored.empty());
    EXPECT_TRUE(report.damaged.empty());
    if (written == 3) {
      EXPECT_EQ(Now(), New());
      ASSERT_EQ(report.finished.size(), 1u);
      EXPECT_EQ(report.finished[0].files.size(), 3u);
      EXPECT_TRUE(report.rolledBack.empty());
      EXPECT_EQ(report.finished[0].command, "test apply");
    } else {
      EXPECT_EQ(Now(), Old());
      ASSERT_EQ(report.rolledBack.size(), 1u);
      EXPECT_EQ(report.rolledBack[0].files.size(), written);
      EXPECT_TRUE(report.finished.empty());
    }
    EXPECT_TRUE(journal.Recover().Empty());  // nothing is done twice
    for (const JournalEntry& entry : journal.History()) EXPECT_TRUE(entry.complete);
    EXPECT_FALSE(DescribeRecovery(report).empty());
  }
  EXPECT_EQ(journal.History().size(), 1u);  // only the finished Apply stays, as history
}

// A file whose bytes are neither the old nor the new ones was changed by someone else: left and named,
// while the file the Apply wrote is rolled back.
TEST_F(ApplyJournalTest, AFileChangedSinceIsLeftAloneAndNamed) {
  const auto writes = Writes();
  journal.Begin("test apply", writes);
  WriteBytes(files[0], "graphics new\r\n");
  WriteBytes(files[1], "the player's own edit\r\n");
  const RecoveryReport report = journal.Recover();
  EXPECT_EQ(report.changedSince, std::vector<fs::path>{files[1]});
  ASSERT_EQ(report.rolledBack.size(), 1u);
  EXPECT_EQ(report.rolledBack[0].files, std::vector<fs::path>{files[0]});
  EXPECT_EQ(Now(), (std::vector<std::string>{Old()[0], "the player's own edit\r\n", "<missing>"}));
  EXPECT_NE(DescribeRecovery(report).find("left as it is: " + files[1].string()), std::string::npos);
}

// A damaged entry is named and left as it is, every time; an entry whose writer still runs is its own.
TEST_F(ApplyJournalTest, DamagedEntriesAndRunningWritersAreLeftAlone) {
  const auto writes = Writes();
  const ApplyJournal::Open open = journal.Begin("test apply", writes);
  WriteBytes(files[0], "graphics new\r\n");
  std::string bytes = test::ReadBytes(open.location);
  bytes[bytes.size() / 2] ^= 1;
  WriteBytes(open.location, bytes);
  for (int run = 0; run < 2; ++run) {
    const RecoveryReport report = journal.Recover();
    EXPECT_EQ(report.damaged, std::vector<fs::path>{open.location});
    EXPECT_TRUE(report.rolledBack.empty() && report.finished.empty());
  }
  EXPECT_EQ(test::ReadBytes(open.location), bytes);
  EXPECT_EQ(test::ReadBytes(files[0]), "graphics new\r\n");

  fs::remove(open.location);
  JournalEntry running = open.entry;
  running.writer = ::getppid();  // the test runner's parent runs as long as the test does
  WriteBytes(data / "Journal" / "00000000000000000099-1.entry", EncodeJournalEntry(running));
  const RecoveryReport report = journal.Recover();
  EXPECT_TRUE(report.rolledBack.empty() && report.finished.empty()) << DescribeRecovery(report);
  EXPECT_EQ(test::ReadBytes(files[0]), "graphics new\r\n");
}

// A killed writer's temporary files beside the game files and in the journal are removed by recovery.
TEST_F(ApplyJournalTest, RecoveryRemovesTemporaryFilesOfKilledWriters) {
  journal.Begin("test apply", Writes());
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string suffix = ".kesta-" + std::to_string(gone) + "-abcdefghij";
  WriteBytes(game / (".graphics.cfg" + suffix), "half");
  WriteBytes(data / "Journal" / (".00000000000000000002-7.entry" + suffix), "half");
  journal.Recover();
  EXPECT_EQ(Names(game.Path()), (std::vector<std::string>{"cockpit.cfg", "graphics.cfg"}));
  for (const std::string& name : Names(data / "Journal")) EXPECT_TRUE(name.ends_with(".entry")) << name;
}

// The last 20 complete entries are kept, at most 50 MiB together, the oldest going first; the newest
// stays whatever its size. Incomplete entries are never dropped.
TEST_F(ApplyJournalTest, HistoryKeepsTheNewestEntriesWithinItsLimits) {
  std::vector<fs::path> locations;
  for (int i = 0; i < 25; ++i) {
    ApplyJournal::Open open = journal.Begin("apply " + std::to_string(i), Writes());
    journal.Complete(open);
    locations.push_back(open.location);
  }
  std::vector<JournalEntry> history = journal.History();
  ASSERT_EQ(history.size(), ApplyJournal::kKeptEntries);
  EXPECT_EQ(history.front().command, "apply 24");
  EXPECT_EQ(history.back().command, "apply 5");
  EXPECT_FALSE(fs::exists(locations[4]));

  // 7 MiB before each Apply: 7 such entries fit in 50 MiB.
  const std::string big(7 << 20, 'x');
  WriteBytes(files[0], big);
  const ApplyJournal::Open pending = journal.Begin("cut short", Writes());
  for (int i = 0; i < 9; ++i) {
    ApplyJournal::Open open = journal.Begin("big " + std::to_string(i), Writes());
    journal.Complete(open);
  }
  history = journal.History();
  ASSERT_EQ(history.size(), 7u);
  EXPECT_EQ(history.front().command, "big 8");
  EXPECT_EQ(history.back().command, "big 2");
  EXPECT_TRUE(fs::exists(pending.location));

  WriteBytes(files[0], std::string(60 << 20, 'y'));
  ApplyJournal::Open huge = journal.Begin("huge", Writes());
  journal.Complete(huge);
  history = journal.History();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history.front().command, "huge");
}

// Pruning remembers which entries it found complete; an entry damaged after that, even to the same size,
// is no longer one of them: it is left as it is and the complete ones are kept in its place.
TEST_F(ApplyJournalTest, AnEntryDamagedAfterPruningSawItIsLeftAlone) {
  std::vector<fs::path> locations;
  for (size_t i = 0; i < ApplyJournal::kKeptEntries; ++i) {
    ApplyJournal::Open open = journal.Begin("apply " + std::to_string(i), Writes());
    journal.Complete(open);
    locations.push_back(open.location);
  }
  std::string damaged = test::ReadBytes(locations[0]);
  damaged[damaged.size() / 2] ^= 1;
  {
    std::fstream file(locations[0], std::ios::in | std::ios::out | std::ios::binary);
    file.write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
  }
  ApplyJournal::Open open = journal.Begin("apply last", Writes());
  journal.Complete(open);
  EXPECT_EQ(test::ReadBytes(locations[0]), damaged);
  const std::vector<JournalEntry> history = journal.History();
  ASSERT_EQ(history.size(), ApplyJournal::kKeptEntries);
  EXPECT_EQ(history.back().command, "apply 1");

  // Once put right again it is an entry like the others: the oldest, so the next Apply removes it.
  damaged[damaged.size() / 2] ^= 1;
  {
    std::fstream file(locations[0], std::ios::in | std::ios::out | std::ios::binary);
    file.write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
  }
  ApplyJournal::Open again = journal.Begin("apply again", Writes());
  journal.Complete(again);
  EXPECT_FALSE(fs::exists(locations[0]));
}

// Pruning trusts what it found for an entry file only while the file's times say it is unchanged; an entry
// damaged at once after it was written may keep the very same times (they tick coarsely), and is still
// found damaged: left as it is, and not counted among the kept ones.
TEST_F(ApplyJournalTest, AnEntryDamagedTheMomentItWasWrittenIsLeftAlone) {
  ApplyJournal::Open first = journal.Begin("apply first", Writes());
  journal.Complete(first);
  std::string damaged = test::ReadBytes(first.location);
  damaged[damaged.size() / 2] ^= 1;
  {
    std::fstream file(first.location, std::ios::in | std::ios::out | std::ios::binary);
    file.write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
  }
  for (size_t i = 0; i < ApplyJournal::kKeptEntries; ++i) {
    ApplyJournal::Open open = journal.Begin("apply " + std::to_string(i), Writes());
    journal.Complete(open);
  }
  EXPECT_EQ(test::ReadBytes(first.location), damaged);
  const std::vector<JournalEntry> history = journal.History();
  ASSERT_EQ(history.size(), ApplyJournal::kKeptEntries);
  EXPECT_EQ(history.back().command, "apply 0");
}

// An Apply done as WritePrepared does it: the entry, the files, the mark.
void ApplyAll(const ApplyJournal& journal, const std::vector<PlannedWrite>& writes,
              const std::string& command) {
  ApplyJournal::Open open = journal.Begin(command, writes);
  for (const PlannedWrite& write : writes) WriteBytes(write.path, write.bytes);
  journal.Complete(open);
}

// Undo puts back the bytes before of every file that still holds what the Apply wrote and removes the one
// it created; a file edited by hand since is left alone and named. The undo is an entry of its own, so
// undoing it brings the Apply's bytes back, the created file included.
TEST_F(ApplyJournalTest, UndoRestoresWhatTheApplyWroteAndIsUndoneInTurn) {
  struct Case {
    const char* what;
    int editedByHand;  // -1: none
  };
  for (const Case& test : {Case{"nothing changed since", -1}, Case{"the cockpit edited by hand", 1},
                           Case{"the created file edited by hand", 2}}) {
    SCOPED_TRACE(test.what);
    fs::remove_all(journal.Folder());
    WriteBytes(files[0], Old()[0]);
    WriteBytes(files[1], Old()[1]);
    fs::remove(files[2]);
    ApplyAll(journal, Writes(), "test apply");
    std::vector<std::string> expected = Old();
    if (test.editedByHand >= 0) {
      WriteBytes(files[test.editedByHand], "the player's own edit\r\n");
      expected[test.editedByHand] = "the player's own edit\r\n";
    }

    const UndoReport undo = journal.Undo();
    EXPECT_EQ(undo.undone.command, "test apply");
    EXPECT_EQ(Now(), expected);
    EXPECT_TRUE(undo.notRestored.empty());
    std::vector<fs::path> restored(std::begin(files), std::end(files));
    if (test.editedByHand >= 0) {
      EXPECT_EQ(undo.changedSince, std::vector<fs::path>{files[test.editedByHand]});
      restored.erase(restored.begin() + test.editedByHand);
    } else {
      EXPECT_TRUE(undo.changedSince.empty());
    }
    EXPECT_EQ(undo.restored, restored);

    std::vector<JournalEntry> history = journal.History();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history.front().command, "undo of test apply");
    EXPECT_EQ(history.front().files.size(), restored.size());

    // The undo of the undo: the Apply's bytes again, where the undo had put back the old ones.
    const UndoReport redo = journal.Undo(history.front().sequence);
    EXPECT_TRUE(redo.Complete());
    EXPECT_EQ(redo.restored, restored);
    std::vector<std::string> again = New();
    if (test.editedByHand >= 0) again[test.editedByHand] = "the player's own edit\r\n";
    EXPECT_EQ(Now(), again);
    history = journal.History();
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history.front().command, "undo of undo of test apply");
    EXPECT_TRUE(journal.Recover().Empty());
  }
}

// An older entry is undone by its number under the same rule: a file a later Apply changed is left alone.
// Undo with nothing to undo says so and writes nothing; with no file to put back, no entry is made.
TEST_F(ApplyJournalTest, UndoOfAnOlderEntryAndOfNone) {
  EXPECT_THROW(journal.Undo(), EKestaError);
  ApplyAll(journal, Writes(), "first");
  ApplyAll(journal, {{files[1], "cockpit newer\r\n"}}, "second");
  const std::vector<JournalEntry> history = journal.History();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_THROW(journal.Undo(history.front().sequence + 1), EKestaError);

  const UndoReport undo = journal.Undo(history.back().sequence);
  EXPECT_EQ(undo.undone.command, "first");
  EXPECT_EQ(undo.changedSince, std::vector<fs::path>{files[1]});
  EXPECT_EQ(Now(), (std::vector<std::string>{Old()[0], "cockpit newer\r\n", "<missing>"}));

  // Again: the files already back are passed over, the other one is still named; nothing is written.
  const UndoReport again = journal.Undo(history.back().sequence);
  EXPECT_TRUE(again.restored.empty());
  EXPECT_EQ(again.changedSince, std::vector<fs::path>{files[1]});
  EXPECT_EQ(DescribeUndo(again).trouble,
            "Changed since that Apply, so left as it is: " + files[1].string() + "\nNothing was undone.\n");
  EXPECT_EQ(journal.History().size(), 3u);  // the second try made no entry
}

// An undo cut short at each step is finished or rolled back by the next start, like an Apply.
TEST_F(ApplyJournalTest, AnUndoCutShortIsRecoveredLikeAnApply) {
  ApplyAll(journal, Writes(), "test apply");
  const JournalEntry applied = journal.History().front();
  for (size_t written = 0; written <= 3; ++written) {
    SCOPED_TRACE(written);
    const std::vector<PlannedWrite> undo = {{files[0], Old()[0]}, {files[1], Old()[1]}, {files[2], "", true}};
    journal.Begin("undo of test apply", undo);
    for (size_t i = 0; i < written; ++i)
      if (undo[i].remove)
        fs::remove(undo[i].path);
      else
        WriteBytes(undo[i].path, undo[i].bytes);
    const RecoveryReport report = journal.Recover();
    EXPECT_TRUE(report.changedSince.empty());
    EXPECT_EQ(Now(), written == 3 ? Old() : New());
    if (written == 3) {
      // The undo stands, and is undone in turn.
      EXPECT_EQ(report.finished.size(), 1u);
      EXPECT_TRUE(journal.Undo().Complete());
      EXPECT_EQ(Now(), New());
    }
  }
  EXPECT_EQ(journal.History().back().sequence, applied.sequence);
}

}  // namespace
}  // namespace kesta
