#include "platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesta {

namespace {
FileTime ToFileTime(const statx_timestamp& time) {
  return FileTime(std::chrono::duration_cast<FileTime::duration>(std::chrono::seconds(time.tv_sec) +
                                                                 std::chrono::nanoseconds(time.tv_nsec)));
}
}  // namespace

bool GetFileTimes(const std::filesystem::path& path, FileTime& created, FileTime& accessed,
                  FileTime& written) {
  // Opened for reading, as the check of outside changes must see only files it could read; without
  // blocking, so that a FIFO in the file's place cannot hold the window up, and regular files only.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct statx info {};
  const int result = ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info);
  ::close(fd);
  if (result != 0 || !S_ISREG(info.stx_mode)) return false;
  created = ToFileTime((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime);
  accessed = ToFileTime(info.stx_atime);
  written = ToFileTime(info.stx_mtime);
  return true;
}

bool GetLastWriteTime(const std::filesystem::path& path, FileTime& written) {
  FileTime created, accessed;
  return GetFileTimes(path, created, accessed, written);
}

}  // namespace kesta
