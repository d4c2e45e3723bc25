#pragma once
// Makes a file or folder read-only for this process until the end of the scope, as a read-only
// installation is: by its permissions, or, for root, whom permissions do not stop, by the immutable
// attribute. Declare it after the temporary folder it protects, so it is undone before the folder goes.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace kesta::test {

class ScopedReadOnly {
 public:
  explicit ScopedReadOnly(std::filesystem::path path) : m_path(std::move(path)) {
    struct stat info {};
    if (::stat(m_path.c_str(), &info) != 0) {
      m_failure = "cannot see " + m_path.string();
      return;
    }
    if (::geteuid() != 0) {
      m_mode = info.st_mode & 07777;
      if (::chmod(m_path.c_str(), m_mode & ~mode_t(0222)) != 0) m_failure = std::strerror(errno);
      return;
    }
    m_immutable = true;
    if (!SetImmutable(true))
      m_failure = "running as root, and the immutable attribute cannot be set on " + m_path.string() + ": " +
                  std::strerror(errno);
  }
  ~ScopedReadOnly() {
    if (!m_failure.empty()) return;
    if (m_immutable)
      SetImmutable(false);
    else
      ::chmod(m_path.c_str(), m_mode);
  }
  ScopedReadOnly(const ScopedReadOnly&) = delete;
  ScopedReadOnly& operator=(const ScopedReadOnly&) = delete;

  // Why it could not be made read-only; empty when it is.
  const std::string& Failure() const { return m_failure; }

 private:
  bool SetImmutable(bool on) const {
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return done;
  }

  std::filesystem::path m_path;
  bool m_immutable = false;
  mode_t m_mode = 0;
  std::string m_failure;
};

}  // namespace kesta::test
