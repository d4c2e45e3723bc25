#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "engine/failure.h"
#include "support/temp_folder.h"
#include "support/write_contents.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// Names in the folder other than the given ones: leftovers of a write.
std::vector<std::string> OtherEntries(const fs::path& folder, std::initializer_list<std::string> known) {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
  }
  return others;
}

TEST(WriteFileAtomicallyTest, ReplacesContentAndKeepsPermissions) {
  test::TempFolder folder;
  const auto path = folder.Write("config.lua", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  WriteFileAtomically(path, "new content");
  EXPECT_EQ(test::ReadBytes(path), "new content");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(OtherEntries(folder.Path(), {"config.lua"}).empty());
}

TEST(WriteFileAtomicallyTest, NewFileGetsTheUsualPermissions) {
  test::TempFolder folder;
  const mode_t old = ::umask(022);
  WriteFileAtomically(folder / "new.ini", "x");
  ::umask(old);
  EXPECT_EQ(fs::status(folder / "new.ini").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST(WriteFileAtomicallyTest, WritesThroughASymbolicLink) {
  test::TempFolder folder;
  const auto real = folder.Write("real/graphics.cfg", "old");
  fs::create_directory(folder / "game");
  fs::create_symlink("../real/graphics.cfg", folder / "game/graphics.cfg");
  WriteFileAtomically(folder / "game/graphics.cfg", "new");
  EXPECT_TRUE(fs::is_symlink(folder / "game/graphics.cfg"));
  EXPECT_EQ(test::ReadBytes(real), "new");
  EXPECT_TRUE(OtherEntries(folder / "real", {"graphics.cfg"}).empty());
}

// Runs `check` in a child process without root's right to write anywhere; returns its exit status.
int RunUnprivileged(const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
    ::_exit(check());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(WriteFileAtomicallyTest, FailuresLeaveTheTargetAndNoTemporaryFile) {
  test::TempFolder folder;
  fs::permissions(folder.Path(), fs::perms::all);  // let an unprivileged child in
  const auto readOnly = folder.Write("locked/view.lua", "keep");
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto inSealedFolder = folder.Write("sealed/world.lua", "keep too");
  fs::permissions(folder / "sealed", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
  fs::create_directory(folder / "adir");

  struct Case {
    fs::path target;
    const char* reason;
  };
  const Case cases[] = {
      {folder / "missing-folder/x.lua", "No such file or directory"},
      {folder / "adir", "Is a directory"},
      {readOnly, "Permission denied"},
      {inSealedFolder, "Permission denied"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string expected = "Cannot create file \"" + c.target.string() + "\". " + c.reason;
    const int status = RunUnprivileged([&] {
      try {
        WriteFileAtomically(c.target, "new");
        return 1;
      } catch (const EKestaError& e) {
        return e.what() == expected ? 0 : 2;
      }
    });
    EXPECT_EQ(status, 0) << "1: no failure, 2: other text than " << expected;
  }
  EXPECT_EQ(test::ReadBytes(readOnly), "keep");
  EXPECT_EQ(test::ReadBytes(inSealedFolder), "keep too");
  EXPECT_TRUE(OtherEntries(folder / "locked", {"view.lua"}).empty());
  EXPECT_TRUE(OtherEntries(folder / "sealed", {"world.lua"}).empty());
}

// A write that hits the file size limit fails midway, like a full disk: the old file must survive.
TEST(WriteFileAtomicallyTest, WriteErrorMidwayKeepsTheOldFile) {
  test::TempFolder folder;
  const auto path = folder.Write("graphics.cfg", "old content");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      WriteFileAtomically(path, std::string(100000, 'x'));
    } catch (const EKestaError& e) {
      const bool fileTooLarge = std::string(e.what()).find("File too large") != std::string::npos;
      ::_exit(fileTooLarge ? 0 : 3);
    }
    ::_exit(4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "3: other error text, 4: no failure reported";
  EXPECT_EQ(test::ReadBytes(path), "old content");
  EXPECT_TRUE(OtherEntries(folder.Path(), {"graphics.cfg"}).empty());
}

// Kills a process that rewrites a file in a loop at random moments: the file must always hold one of
// the two complete contents.
TEST(WriteFileAtomicallyTest, KilledWriterLeavesOldOrNewNeverAMix) {
  test::TempFolder folder;
  const std::string first = test::WriteContents(0);
  const std::string second = test::WriteContents(1);
  const auto path = folder.Write("graphics.cfg", first);
  const std::string child = (test::BinaryFolder() / "atomic_write_child").string();
  ASSERT_TRUE(fs::exists(child)) << child;

  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> delayMicroseconds(0, 40000);
  int sawFirst = 0, sawSecond = 0;
  constexpr int kKills = 200;
  for (int kill = 0; kill < kKills; ++kill) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::dup2(ready[1], STDOUT_FILENO);
      ::execl(child.c_str(), child.c_str(), path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(ready[1]);
    char word[6] = {};
    ASSERT_EQ(::read(ready[0], word, 5), 5) << "child did not start";
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended on its own";

    const std::string now = test::ReadBytes(path);
    ASSERT_TRUE(now == first || now == second) << "kill " << kill << ": " << now.size() << " bytes";
    (now == first ? sawFirst : sawSecond)++;
  }
  // Both contents must have been seen, or the kills did not land during writes.
  EXPECT_GT(sawFirst, 0);
  EXPECT_GT(sawSecond, 0);
  // A kill between creating and renaming the temporary file can leave it behind; it never replaces
  // the target. Say how many there were.
  std::printf("kills: %d, old content seen %d times, new %d times, stray temporary files %zu\n", kKills,
              sawFirst, sawSecond, OtherEntries(folder.Path(), {"graphics.cfg"}).size());
}

TEST(ReadWholeFileTest, ReadsBinaryAndReportsFailures) {
  test::TempFolder folder;
  const std::string binary("\0\xFF\r\n\x80", 5);
  EXPECT_EQ(ReadWholeFile(folder.Write("bin", binary)), binary);
  fs::create_directory(folder / "dir");
  EXPECT_THROW(ReadWholeFile(folder / "dir"), EKestaError);
  EXPECT_THROW(ReadWholeFile(folder / "none"), EKestaError);
}

}  // namespace
}  // namespace kesta
