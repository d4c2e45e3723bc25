#include "platform/file_times.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

TEST(GetFileTimesTest, ReportsTheLastWriteTimeToTheNanosecond) {
  test::TempFolder folder;
  const auto path = folder.Write("graphics.cfg", "x");
  // Nanoseconds apart from a whole millisecond: a change within the same millisecond still shows.
  const auto stamp = std::chrono::floor<std::chrono::milliseconds>(
                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(30)) +
                     std::chrono::nanoseconds(123457);
  std::filesystem::last_write_time(path, stamp);

  const FileTime unset{};
  FileTime created = unset, accessed = unset, written = unset;
  ASSERT_TRUE(GetFileTimes(path, created, accessed, written));
  EXPECT_EQ(written, std::chrono::file_clock::to_sys(stamp));
  EXPECT_NE(created, unset);
  EXPECT_NE(accessed, unset);
}

TEST(GetFileTimesTest, UnreadableFileLeavesTheOutputsUnchanged) {
  test::TempFolder folder;
  const FileTime before{std::chrono::milliseconds(1234)};
  FileTime created = before, accessed = before, written = before;
  EXPECT_FALSE(GetFileTimes(folder / "missing.cfg", created, accessed, written));
  EXPECT_EQ(created, before);
  EXPECT_EQ(accessed, before);
  EXPECT_EQ(written, before);
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// The check for outside changes must not wait on a FIFO standing where a game file should be.
TEST(GetFileTimesTest, SpecialFilesGiveNoTimesAndNeverBlock) {
  test::TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "graphics.cfg").c_str(), 0600), 0);
  for (const std::filesystem::path& path :
       {folder / "graphics.cfg", std::filesystem::path("/dev/zero"), folder.Path()}) {
    const int found = test::ResultWithin(5, [&path] {
      FileTime written;
      return GetLastWriteTime(path, written) ? 1 : 0;
    });
    EXPECT_EQ(found, 0) << path << " (-1: it blocked)";
  }
}

}  // namespace
}  // namespace kesta
