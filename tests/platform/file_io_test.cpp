#include "platform/file_io.h"

#include <fcntl.h>
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
#include "settings/ini_file.h"
#include "support/run_program.h"
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
      {folder / "sealed/new.lua", "Permission denied"},  // nothing to rewrite in place
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

// A folder the writer may not add files to, holding a file it may write, with a hard link to that file
// from another folder.
struct SealedFolderWithLinkedFile {
  test::TempFolder folder;
  fs::path file;
  fs::path link;
  static constexpr auto kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;

  explicit SealedFolderWithLinkedFile(std::string_view content) {
    fs::permissions(folder.Path(), fs::perms::all);  // let an unprivileged child in
    file = folder.Write("shared/options.lua", content);
    fs::create_directory(folder / "links");
    link = folder / "links/options.lua";
    fs::create_hard_link(file, link);
    // The unprivileged child owns the file; as root, that is the user it runs as.
    if (::geteuid() == 0 && ::chown(file.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "chown failed";
    fs::permissions(file, kMode);
    fs::permissions(folder / "shared", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
  }
  ~SealedFolderWithLinkedFile() {
    std::error_code ignored;  // so that the folder can be removed without root too
    fs::permissions(folder / "shared", fs::perms::all, ignored);
  }
  ino_t Inode() const {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_ino;
  }
};

// The folder refuses the temporary file: the file is rewritten in place, hard link and all.
TEST(WriteFileAtomicallyTest, FolderRefusingNewFilesGetsTheFileRewrittenInPlace) {
  const std::string old = "view = 1;\r\nrange = 80000;\r\n";
  const std::string cases[] = {"view = 2;\r\n", old + "added = 3;\r\n", std::string(300000, 'x')};
  for (const std::string& content : cases) {
    SCOPED_TRACE(content.size());
    SealedFolderWithLinkedFile sealed(old);
    const ino_t inode = sealed.Inode();
    const int status = RunUnprivileged([&] {
      // The folder must really refuse this process new files, or the test shows nothing.
      const fs::path probe = sealed.folder / "shared/probe";
      const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
      if (fd >= 0) return 3;
      try {
        WriteFileAtomically(sealed.file, content);
        return 0;
      } catch (const EKestaError&) {
        return 2;
      }
    });
    ASSERT_EQ(status, 0) << "2: the write failed, 3: the folder took a new file";
    EXPECT_EQ(test::ReadBytes(sealed.file), content);
    EXPECT_EQ(test::ReadBytes(sealed.link), content);
    EXPECT_EQ(sealed.Inode(), inode);
    EXPECT_EQ(fs::hard_link_count(sealed.file), 2u);
    EXPECT_EQ(fs::status(sealed.file).permissions() & fs::perms::all, SealedFolderWithLinkedFile::kMode);
    EXPECT_TRUE(OtherEntries(sealed.folder / "shared", {"options.lua"}).empty());
  }
}

// Where the folder takes new files, the write stays atomic: a new inode, so a hard link keeps the old text.
TEST(WriteFileAtomicallyTest, FolderTakingNewFilesGetsTheFileReplaced) {
  test::TempFolder folder;
  const auto file = folder.Write("options.lua", "old");
  fs::create_hard_link(file, folder / "other-name.lua");
  struct stat before {};
  ::stat(file.c_str(), &before);
  WriteFileAtomically(file, "new");
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(test::ReadBytes(file), "new");
  EXPECT_EQ(test::ReadBytes(folder / "other-name.lua"), "old");
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

// What a run of kills found: the file is read after each kill.
struct KillFigures {
  int kills = 0;
  int sawFirst = 0;
  int sawSecond = 0;
  int mixed = 0;               // neither complete content: must stay 0
  int endedOnTheirOwn = 0;     // the writer was done before the kill came
  size_t strayAtLastKill = 0;  // names besides the file right after the last kill: at most its writer's one
  size_t strayFiles = 0;       // names besides the file once the file was written again: must stay 0
  double seconds = 0;
};

// Starts `command(holdsFirst)` again and again, kills it with SIGKILL at a random moment up to
// `maxDelay` after it started (after it said "ready" when `waitForReady`), and checks the file.
KillFigures KillWhileWriting(const fs::path& file, const std::string& first, const std::string& second,
                             int kills, std::chrono::microseconds maxDelay, bool waitForReady,
                             const std::function<std::vector<std::string>(bool holdsFirst)>& command) {
  const auto started = std::chrono::steady_clock::now();
  std::mt19937 random(20261210);
  std::uniform_int_distribution<long> delay(0, maxDelay.count());
  KillFigures figures;
  // A loaded machine may make a writer far slower than when it was timed, and the kills then all land
  // before it gets anywhere. While one content has not come up, the kills go on with their delays
  // stretched (twice as long every 4 kills), up to twice the planned number.
  long stretch = 1;
  const auto bothSeen = [&figures] { return figures.sawFirst > 0 && figures.sawSecond > 0; };
  for (; figures.kills < kills || (!bothSeen() && figures.kills < 2 * kills); ++figures.kills) {
    if (figures.kills >= kills && (figures.kills - kills) % 4 == 0) stretch *= 2;
    const std::vector<std::string> words = command(test::ReadBytes(file) == first);
    int ready[2];
    if (::pipe(ready) != 0) break;
    const pid_t pid = test::StartProgram(words, waitForReady ? ready[1] : -1);
    ::close(ready[1]);
    char word[6] = {};
    if (waitForReady && ::read(ready[0], word, 5) != 5) ADD_FAILURE() << "writer did not start";
    ::close(ready[0]);
    figures.endedOnTheirOwn += test::KillAfter(pid, std::chrono::microseconds(delay(random) * stretch));
    const std::string now = test::ReadBytes(file);
    if (now == first) {
      ++figures.sawFirst;
    } else if (now == second) {
      ++figures.sawSecond;
    } else {
      ADD_FAILURE() << "kill " << figures.kills << ": " << now.size() << " bytes, neither content";
      ++figures.mixed;
      WriteFileAtomically(file, first);  // keep going: the figure counts every mix
    }
  }
  // A writer killed between naming its temporary file and renaming it leaves that file, which the next
  // write of the file removes: every writer started above did so for the one before it.
  figures.strayAtLastKill = OtherEntries(file.parent_path(), {file.filename().string()}).size();
  WriteFileAtomically(file, test::ReadBytes(file));
  figures.strayFiles = OtherEntries(file.parent_path(), {file.filename().string()}).size();
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "kills: %d in %.1f s; old content seen %d times, new %d, neither %d; writer done before the kill "
      "%d times; temporary files right after the last kill %zu, left after the next write %zu\n",
      figures.kills, figures.seconds, figures.sawFirst, figures.sawSecond, figures.mixed,
      figures.endedOnTheirOwn, figures.strayAtLastKill, figures.strayFiles);
  return figures;
}

// Both contents must have been seen, or the kills did not land during writes.
void ExpectOnlyCompleteContents(const KillFigures& figures) {
  EXPECT_EQ(figures.mixed, 0);
  EXPECT_LE(figures.strayAtLastKill, 1u);
  EXPECT_EQ(figures.strayFiles, 0u);
  EXPECT_GT(figures.sawFirst, 0);
  EXPECT_GT(figures.sawSecond, 0);
}

// A process that rewrites a file in a loop, killed at random moments.
TEST(WriteFileAtomicallyTest, KilledWriterLeavesOldOrNewNeverAMix) {
  test::TempFolder folder;
  const std::string first = test::WriteContents(0);
  const std::string second = test::WriteContents(1);
  const auto path = folder.Write("graphics.cfg", first);
  const std::string child = (test::BinaryFolder() / "atomic_write_child").string();
  ASSERT_TRUE(fs::exists(child)) << child;
  const KillFigures figures = KillWhileWriting(path, first, second, test::KillCount(200),
                                               std::chrono::milliseconds(40), true, [&](bool) {
                                                 return std::vector{child, path.string()};
                                               });
  ExpectOnlyCompleteContents(figures);
  EXPECT_EQ(figures.endedOnTheirOwn, 0);
}

// The settings file, written the way the program writes it, killed at random moments.
TEST(WriteFileAtomicallyTest, KilledSettingsWriterLeavesOldOrNewNeverAMix) {
  test::TempFolder folder;
  std::string text;
  for (int section = 0; section < 30; ++section) {
    text += "[Section" + std::to_string(section) + "]\n";
    for (int key = 0; key < 1000; ++key)
      text += "Key" + std::to_string(key) + "=value " + std::to_string(key) + "\n";
  }
  const auto path = folder.Write("kesta.ini", text);
  StoreIniValue(path, "Section20", "LockOnPath", "C:\\Games\\LockOn");
  const std::string first = test::ReadBytes(path);
  // Timed, so that the kills fall across a few of the child's writes.
  const auto before = std::chrono::steady_clock::now();
  StoreIniValue(path, "Section20", "LockOnPath", "D:\\Another\\Much\\Longer\\Folder\\Of\\The\\Game");
  const auto write =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
  const std::string second = test::ReadBytes(path);
  WriteFileAtomically(path, first);
  ASSERT_TRUE(first != second);
  const std::string child = (test::BinaryFolder() / "atomic_write_child").string();
  const KillFigures figures =
      KillWhileWriting(path, first, second, test::KillCount(50), write * 4, true, [&](bool) {
        return std::vector<std::string>{child,
                                        "--ini",
                                        path.string(),
                                        "Section20",
                                        "LockOnPath",
                                        "C:\\Games\\LockOn",
                                        "D:\\Another\\Much\\Longer\\Folder\\Of\\The\\Game"};
      });
  ExpectOnlyCompleteContents(figures);
  EXPECT_EQ(figures.endedOnTheirOwn, 0);
}

// A 300,000-line game file edited by kesta-cli set, each run killed at a random moment of its life.
TEST(WriteFileAtomicallyTest, KilledCliSetLeavesOldOrNewNeverAMix) {
  test::TempFolder folder;
  std::string lines;
  for (int i = 0; i < 300000; ++i) {
    if (i == 150000) lines += "maxPlayers = 16;\r\n";
    lines += "\tline" + std::to_string(i) + " = " + std::to_string(i) + ";\r\n";
  }
  const std::string first = lines;
  std::string second = lines;
  second.replace(second.find("maxPlayers = 16;"), 16, "maxPlayers = 1024;");
  const auto path = folder.Write("network.cfg", first);
  const std::string cli = (test::BinaryFolder() / "kesta-cli").string();
  const auto command = [&](bool holdsFirst) {
    return std::vector<std::string>{cli, "set", path.string(), "maxPlayers", holdsFirst ? "1024" : "16"};
  };

  // One run to time it: the kills then fall anywhere in a run, and about a third after it, so that both
  // contents come up.
  const auto before = std::chrono::steady_clock::now();
  const std::vector<std::string> toSecond = command(true);
  ASSERT_EQ(test::RunProgram(cli, {toSecond.begin() + 1, toSecond.end()}).exitStatus, 0);
  const auto run =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
  ASSERT_TRUE(test::ReadBytes(path) == second);  // not ASSERT_EQ: its diff of megabytes takes too long
  std::printf("one kesta-cli set: %.3f s\n", run.count() / 1e6);

  const KillFigures figures =
      KillWhileWriting(path, first, second, test::KillCount(16), run * 3 / 2, false, command);
  ExpectOnlyCompleteContents(figures);
}

TEST(ReadWholeFileTest, ReadsBinaryAndReportsFailures) {
  test::TempFolder folder;
  const std::string binary("\0\xFF\r\n\x80", 5);
  EXPECT_EQ(ReadWholeFile(folder.Write("bin", binary)), binary);
  EXPECT_THROW(ReadWholeFile(folder / "none"), EKestaError);
}

// Reads in a child process that SIGALRM ends after 5 seconds, so a read that would wait forever fails
// the test instead of hanging it. Returns the bytes' size or the error text.
std::string ReadInChild(const fs::path& path) {
  int channel[2];
  if (::pipe(channel) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(channel[0]);
    ::alarm(5);
    std::string said;
    try {
      said = "read " + std::to_string(ReadWholeFile(path).size()) + " bytes";
    } catch (const EKestaError& e) {
      said = e.what();
    }
    [[maybe_unused]] const ssize_t ignored = ::write(channel[1], said.data(), said.size());
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string said;
  char buffer[512];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    said.append(buffer, static_cast<size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
  return said;
}

TEST(ReadWholeFileTest, ReadsRegularFilesOnlyAndRefusesOthersAtOnce) {
  test::TempFolder folder;
  const auto regular = folder.Write("graphics.cfg", "abc\r\n");
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  fs::create_directory(folder / "dir");
  fs::create_symlink(folder / "pipe", folder / "link-to-pipe");
  fs::create_symlink(regular, folder / "link-to-file");
  const auto huge = folder.Write("huge.cfg", "");
  ASSERT_EQ(::truncate(huge.c_str(), kMaxReadBytes + 1), 0);  // sparse: takes no room
  const auto largest = folder.Write("largest.cfg", "");
  ASSERT_EQ(::truncate(largest.c_str(), kMaxReadBytes), 0);

  const auto refused = [](const fs::path& path, const std::string& reason) {
    return "Cannot open file \"" + path.string() + "\". " + reason;
  };
  const std::string onlyRegular = ", and only regular files are read.";
  struct Case {
    fs::path path;
    std::string said;
  };
  const Case cases[] = {
      {regular, "read 5 bytes"},
      {folder / "link-to-file", "read 5 bytes"},
      {largest, "read 67108864 bytes"},
      {folder / "pipe", refused(folder / "pipe", "It is a FIFO (named pipe)" + onlyRegular)},
      {folder / "link-to-pipe", refused(folder / "link-to-pipe", "It is a FIFO (named pipe)" + onlyRegular)},
      {folder / "dir", refused(folder / "dir", "It is a folder" + onlyRegular)},
      {"/dev/zero", refused("/dev/zero", "It is a character device" + onlyRegular)},
      {"/dev/null", refused("/dev/null", "It is a character device" + onlyRegular)},
      {huge, refused(huge, "It holds 67108865 bytes, above the limit of 67108864 bytes (64 MiB).")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadInChild(c.path), c.said);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  }
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// Temporary files of writers that are gone are removed by the next write of their file; those of a
// running writer, of another file, or not ours at all stay.
TEST(WriteFileAtomicallyTest, NextWriteRemovesTemporariesOfWritersThatAreGone) {
  test::TempFolder folder;
  const auto path = folder.Write("graphics.cfg", "old");
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string own = std::to_string(::getpid());
  const std::string dead = std::to_string(gone);
  struct Case {
    std::string name;
    bool removed;
  };
  const Case cases[] = {
      {".graphics.cfg.kesta-" + dead + "-abc123", true},
      {".graphics.cfg.kesta-" + own + "-abc123", false},  // a writer still at work
      {".cockpit.cfg.kesta-" + dead + "-abc123", false},  // another file's
      {".graphics.cfg.kesta-abc123", false},              // no writer named
      {"graphics.cfg.bak", false},
  };
  for (const Case& c : cases) folder.Write(c.name, "left");
  WriteFileAtomically(path, "new");
  EXPECT_EQ(test::ReadBytes(path), "new");
  for (const Case& c : cases) EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << c.name;
}

}  // namespace
}  // namespace kesta
