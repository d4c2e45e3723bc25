#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <random>

#include "engine/failure.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowOpenError(const fs::path& path, int error) {
  throw EKestaError("Cannot open file \"" + path.string() + "\". " + SystemErrorText(error));
}

[[noreturn]] void ThrowCreateError(const fs::path& path, int error) {
  throw EKestaError("Cannot create file \"" + path.string() + "\". " + SystemErrorText(error));
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }
  // Closes now and reports the result, since close can be where a delayed write error shows.
  int Close() {
    const int result = ::close(m_fd);
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

// Follows a chain of symbolic links to the file that really gets written, even if it is missing.
fs::path ResolveWriteTarget(const fs::path& path) {
  fs::path target = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) return target;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

mode_t CurrentUmask() {
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

std::string TemporaryName(const fs::path& target) {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix(10, '0');
  for (char& c : suffix) c = kDigits[generator() % 36];
  return "." + target.filename().string() + ".kesta-" + suffix;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw errno;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // Some file systems refuse to sync a folder; the rename itself is already done.
  ::close(fd);
}

}  // namespace

std::string SystemErrorText(int errorNumber) {
  std::array<char, 256> buffer{};
  return ::strerror_r(errorNumber, buffer.data(), buffer.size());
}

std::string ReadWholeFile(const fs::path& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowOpenError(path, errno);
  std::string bytes;
  std::array<char, 65536> chunk;
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowOpenError(path, errno);
    }
    if (got == 0) break;
    bytes.append(chunk.data(), static_cast<size_t>(got));
  }
  return bytes;
}

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path target = ResolveWriteTarget(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) ThrowCreateError(path, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
  // A read-only file stays protected, as it would be against a plain write.
  if (exists && ::access(target.c_str(), W_OK) != 0) ThrowCreateError(path, errno);

  const fs::path temporary = folder / TemporaryName(target);
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd.get() < 0) ThrowCreateError(path, errno);

  try {
    WriteAll(fd.get(), bytes);
    if (exists) {
      if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
        // Only the owner's group may be given away; other owners are a privilege we do not have.
        [[maybe_unused]] const int ignored = ::fchown(fd.get(), static_cast<uid_t>(-1), existing.st_gid);
      }
      if (::fchmod(fd.get(), existing.st_mode & 07777) != 0) throw errno;
    } else if (::fchmod(fd.get(), 0666 & ~CurrentUmask()) != 0) {
      throw errno;
    }
    if (::fsync(fd.get()) != 0) throw errno;
    if (fd.Close() != 0) throw errno;
    if (::rename(temporary.c_str(), target.c_str()) != 0) throw errno;
  } catch (int error) {
    ::unlink(temporary.c_str());
    ThrowCreateError(path, error);
  }
  SyncFolder(folder);
}

}  // namespace kesta
