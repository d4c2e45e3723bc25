// Starting programs detached from us: a probe script records how it was started and what it inherited.

#include "platform/shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/scoped_env.h"
#include "support/scoped_stdin.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// A descriptor of ours without close-on-exec, as a careless library leaves one.
constexpr int kLeakedDescriptor = 77;

// Splits at `separator`, dropping the empty text after the last one.
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

class StartDetachedTest : public testing::Test {
 protected:
  StartDetachedTest() {
    WriteProbe(bin / "probe");
    fs::create_directories(folder);
  }

  void WriteProbe(const fs::path& path) const {
    const std::string r = "'" + (root / "record").string() + "'";
    temp.Write(path.lexically_relative(temp.Path()),
               "#!/bin/sh\n"
               "if [ -e /proc/$$/fd/" +
                   std::to_string(kLeakedDescriptor) +
                   " ]; then descriptor=inherited; else descriptor=closed; fi\n"
                   "read -r _ _ _ _ _ session _ < /proc/$$/stat\n"
                   "printf '%s' \"$0\" > " +
                   r + ".program\n" + "printf '%s\\0' \"$@\" > " + r + ".arguments\n" + "pwd -P > " + r +
                   ".folder\n" + "printf '%s\\n' \"$PPID\" \"$session\" \"$(readlink /proc/$$/fd/0)\" " +
                   "\"$descriptor\" \"${KESTA_PROBE-<unset>}\" \"${KESTA_OLD-<unset>}\" > " + r +
                   ".process\n" + ": > " + r + ".part && mv " + r + ".part " + r + "\n");
    fs::permissions(path, fs::perms::owner_all);
  }

  bool Ran() const {
    std::error_code ec;
    return fs::exists(root / "record", ec);
  }
  // Waits for the probe's record (it runs detached from us); false after a minute.
  bool WaitForProbe() const {
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1); !Ran();) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }
  std::string Record(const char* suffix) const {
    return test::ReadBytes(root / ("record" + std::string(suffix)));
  }

  test::TempFolder temp;
  fs::path root = temp.Path();
  fs::path bin = root / "bin";
  fs::path folder = root / "Lock On folder";
  test::ScopedEnv path{"PATH", (bin.string() + ":/usr/bin:/bin").c_str()};
};

TEST_F(StartDetachedTest, StartsWithItsArgumentsAsTheyAreInItsFolderAndAloneInItsSession) {
  const int opened = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int leaked = ::fcntl(opened, F_DUPFD, kLeakedDescriptor);
  ::close(opened);
  ASSERT_EQ(leaked, kLeakedDescriptor);
  const test::ScopedEnv old("KESTA_OLD", "ours");
  const test::ScopedPipeStdin ourInput;
  const std::vector<std::string> arguments{"-server", "", "two  words", "it's \"quoted\" $HOME *",
                                           "\xC3\x89mile"};
  for (const bool inputFromNull : {false, true}) {
    SCOPED_TRACE(inputFromNull ? "stdin from /dev/null" : "our stdin");
    ASSERT_TRUE(StartDetached(
        "probe", arguments, folder,
        {{{"KESTA_PROBE", "first"}, {"KESTA_PROBE", "a b"}, {"KESTA_OLD", "theirs"}}, inputFromNull}));
    // The process in between is gone at once: no zombie of ours remains.
    EXPECT_LE(::waitpid(-1, nullptr, WNOHANG), 0);
    ASSERT_TRUE(WaitForProbe());
    EXPECT_EQ(Record(".program"), (bin / "probe").string());
    std::vector<std::string> expected;
    for (const std::string& argument : arguments) expected.push_back(argument);
    EXPECT_EQ(Split(Record(".arguments"), '\0'), expected);
    EXPECT_EQ(Record(".folder"), fs::canonical(folder).string() + "\n");
    const std::vector<std::string> process = Split(Record(".process"), '\n');
    ASSERT_EQ(process.size(), 6u) << Record(".process");
    EXPECT_NE(process[0], std::to_string(::getpid())) << "the program is our child";
    EXPECT_NE(process[1], std::to_string(::getsid(0))) << "the program is in our session";
    char ours[256] = {};
    ASSERT_GT(::readlink("/proc/self/fd/0", ours, sizeof ours - 1), 0);
    EXPECT_EQ(process[2], inputFromNull ? std::string("/dev/null") : std::string(ours));
    EXPECT_EQ(process[3], "closed");
    EXPECT_EQ(process[4], "a b");
    EXPECT_EQ(process[5], "theirs");
    fs::remove(root / "record");
  }
  ::close(leaked);

  // Without a folder of its own it runs in ours; our environment reaches it as it is.
  ASSERT_TRUE(StartDetached((bin / "probe").string(), {}, {}));
  ASSERT_TRUE(WaitForProbe());
  EXPECT_EQ(Record(".folder"), fs::current_path().string() + "\n");
  EXPECT_EQ(Split(Record(".process"), '\n').at(5), "ours");
}

TEST_F(StartDetachedTest, WhatCannotStartIsReportedAndNothingRuns) {
  temp.Write("bin/not-executable", "#!/bin/sh\n");
  fs::create_directories(bin / "a-folder");
  struct Case {
    const char* name;
    std::string program;
    fs::path folder;
  };
  const Case cases[] = {
      {"a name on no PATH entry", "no-such-program", folder},
      {"a missing path", (bin / "missing").string(), folder},
      {"a file without execute permission", (bin / "not-executable").string(), folder},
      {"a folder", (bin / "a-folder").string(), folder},
      {"an empty name", "", folder},
      {"a working folder that is not there", "probe", root / "missing folder"},
      {"a working folder that is a file", "probe", bin / "not-executable"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(StartDetached(c.program, {"x"}, c.folder)) << c.name;
    EXPECT_LE(::waitpid(-1, nullptr, WNOHANG), 0) << c.name;
  }
  // Had any of them run, the probe would have written its record meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(Ran());
}

// The desktop's handler gets the address as one argument, also while our working folder is gone.
TEST_F(StartDetachedTest, TheDesktopHandlerGetsTheAddressEvenFromAFolderThatIsGone) {
  WriteProbe(bin / "xdg-open");
  const fs::path ours = fs::current_path();
  fs::current_path(folder);
  fs::remove(folder);
  bool started = false;
  EXPECT_NO_THROW(started = OpenWithDesktop("https://example.org/a b?x=1&y=$HOME"));
  fs::current_path(ours);
  ASSERT_TRUE(started);
  ASSERT_TRUE(WaitForProbe());
  EXPECT_EQ(Split(Record(".arguments"), '\0'),
            std::vector<std::string>{"https://example.org/a b?x=1&y=$HOME"});
}

TEST(FindExecutableTest, TakesTheFirstExecutableFileOnPathAsACleanAbsolutePath) {
  test::TempFolder temp;
  for (const char* file : {"plain/game", "executable/game", "later/game", "folder/tool"})
    temp.Write(file, "#!/bin/sh\n");
  for (const char* file : {"executable/game", "later/game", "folder/tool"})
    fs::permissions(temp / file, fs::perms::owner_all);
  fs::create_directories(temp / "dirs/game");
  const std::string entries = ":" + (temp / "dirs").string() + ":" + (temp / "plain").string() +
                              "::" + (temp / "dirs/../executable/.").string() + ":" +
                              (temp / "later").string();
  {
    const test::ScopedEnv path("PATH", entries.c_str());
    EXPECT_EQ(FindExecutable("game"), temp / "executable/game");
    EXPECT_EQ(FindExecutable("tool"), fs::path());
    EXPECT_EQ(FindExecutable("executable/game"), fs::path()) << "a path is not looked up";
    EXPECT_EQ(FindExecutable(""), fs::path());
  }
  // A relative entry is taken from our working folder.
  const fs::path ours = fs::current_path();
  fs::current_path(temp.Path());
  {
    const test::ScopedEnv path("PATH", "plain:folder");
    EXPECT_EQ(FindExecutable("tool"), temp / "folder/tool");
  }
  fs::current_path(ours);
}

}  // namespace
}  // namespace kesta
