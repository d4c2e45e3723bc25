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

namespace {

struct TargetState {
  bool exists = false;
  struct stat info {};
};

// Gives the new file the target's permissions, owner and group (or the usual ones for a new file).
void ApplyOwnership(int fd, const TargetState& target) {
  if (!target.exists) {
    if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) throw errno;
    return;
  }
  if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0) {
    // Only the group may be given away without privileges; another owner is beyond us.
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), target.info.st_gid);
  }
  if (::fchmod(fd, target.info.st_mode & 07777) != 0) throw errno;
}

// Names an anonymous file so it can be renamed over the target.
bool LinkAnonymous(int fd, const fs::path& name) {
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Writes the bytes to `temporary` and renames it over `target`. The file stays anonymous (O_TMPFILE)
// until it is complete, so a process killed while writing leaves nothing behind in the player's folder.
// Returns false when anonymous files are unavailable and a named temporary file should be used instead.
bool ReplaceThroughTemporary(const fs::path& folder, const fs::path& temporary, const fs::path& target,
                             const TargetState& state, std::string_view bytes, bool anonymous) {
  FileDescriptor fd(anonymous ? ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)
                              : ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd.get() < 0) {
    if (anonymous && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) return false;
    throw errno;
  }
  bool named = !anonymous;
  try {
    WriteAll(fd.get(), bytes);
    ApplyOwnership(fd.get(), state);
    if (::fsync(fd.get()) != 0) throw errno;
    if (anonymous) {
      if (!LinkAnonymous(fd.get(), temporary)) return false;
      named = true;
    }
    if (fd.Close() != 0) throw errno;
    if (::rename(temporary.c_str(), target.c_str()) != 0) throw errno;
  } catch (int) {
    if (named) ::unlink(temporary.c_str());
    throw;
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path target = ResolveWriteTarget(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

  TargetState state;
  state.exists = ::stat(target.c_str(), &state.info) == 0;
  if (state.exists && !S_ISREG(state.info.st_mode))
    ThrowCreateError(path, S_ISDIR(state.info.st_mode) ? EISDIR : EINVAL);
  // A read-only file stays protected, as it would be against a plain write.
  if (state.exists && ::access(target.c_str(), W_OK) != 0) ThrowCreateError(path, errno);

  const fs::path temporary = folder / TemporaryName(target);
  try {
    if (!ReplaceThroughTemporary(folder, temporary, target, state, bytes, true))
      ReplaceThroughTemporary(folder, temporary, target, state, bytes, false);
  } catch (int error) {
    ThrowCreateError(path, error);
  }
  SyncFolder(folder);
}

}  // namespace kesta
