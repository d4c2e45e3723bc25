#include "platform/file_times.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

TEST(GetFileTimesTest, ReportsTheLastWriteTimeInLocalTime) {
  test::TempFolder folder;
  const auto path = folder.Write("graphics.cfg", "x");
  const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::hours(30);
  std::filesystem::last_write_time(path, stamp);

  QDateTime created, accessed, written;
  ASSERT_TRUE(GetFileTimes(path, created, accessed, written));
  EXPECT_EQ(written.timeSpec(), Qt::LocalTime);
  const auto expected = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::file_clock::to_sys(stamp).time_since_epoch());
  EXPECT_EQ(written.toMSecsSinceEpoch(), expected.count());
  EXPECT_TRUE(created.isValid());
  EXPECT_TRUE(accessed.isValid());
}

TEST(GetFileTimesTest, UnreadableFileLeavesTheOutputsUnchanged) {
  test::TempFolder folder;
  const QDateTime before = QDateTime::fromMSecsSinceEpoch(1234);
  QDateTime created = before, accessed = before, written = before;
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
      QDateTime written;
      return GetLastWriteTime(path, written) ? 1 : 0;
    });
    EXPECT_EQ(found, 0) << path << " (-1: it blocked)";
  }
}

}  // namespace
}  // namespace kesta
