#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
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

// ".graphics.cfg.kesta-<pid>-": the start of the names of the target's temporary files. The writer's
// process id in the name tells a later write whether the file's writer is still at work.
std::string TemporaryPrefix(const fs::path& target) {
  return "." + target.filename().string() + ".kesta-" + std::to_string(::getpid()) + "-";
}

std::string TemporaryName(const fs::path& target) {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix(10, '0');
  for (char& c : suffix) c = kDigits[generator() % 36];
  return TemporaryPrefix(target) + suffix;
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

}  // namespace

// A writer killed in the moment between naming its finished temporary file and renaming it over the
// target leaves that file behind. The next write of the same target removes such files of writers that
// are gone; files of writers still running are theirs.
void RemoveLeftTemporaryFiles(const fs::path& folder, const std::string& target) {
  const std::string start = target.empty() ? "." : "." + target + ".kesta-";
  // Read with readdir, not directory_iterator: every write lists the folder, and a path made for each
  // of its names cost more than the rest of a small write.
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return;
  while (const dirent* item = ::readdir(listing)) {
    const std::string_view name = item->d_name;
    if (!name.starts_with(start)) continue;
    const size_t marker = name.rfind(".kesta-");
    if (marker == std::string_view::npos || (!target.empty() && marker + 7 != start.size())) continue;
    const std::string_view rest = name.substr(marker + 7);
    const size_t dash = rest.find('-');
    pid_t writer = 0;
    const auto [stop, error] =
        std::from_chars(rest.data(), rest.data() + std::min(dash, rest.size()), writer);
    if (dash == std::string_view::npos || error != std::errc() || stop != rest.data() + dash || writer <= 0)
      continue;
    if (::kill(writer, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(listing), item->d_name, 0);
  }
  ::closedir(listing);
}

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // Some file systems refuse to sync a folder; the rename itself is already done.
  ::close(fd);
}

std::string SystemErrorText(int errorNumber) {
  std::array<char, 256> buffer{};
  return ::strerror_r(errorNumber, buffer.data(), buffer.size());
}

namespace {

// What a path is when it is not a regular file, in the words of the error message.
const char* KindOfSpecialFile(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

namespace {

// Why a read stopped short; an empty outcome is a whole file read.
struct ReadOutcome {
  int error = 0;              // errno of a failed open, stat or read
  mode_t specialKind = 0;     // the type bits of something that is not a regular file
  std::int64_t tooLarge = 0;  // the size above the cap (-1: grew above it while read)
  bool Whole() const { return error == 0 && specialKind == 0 && tooLarge == 0; }
};

// The one way files are read: throws nothing itself (beyond running out of memory), never waits.
ReadOutcome ReadRegularFile(const fs::path& path, std::int64_t cap, std::string& bytes) {
  // O_NONBLOCK so that opening a FIFO without a writer returns at once instead of waiting for one; the
  // descriptor is refused below before any read. Regular files ignore O_NONBLOCK, so it stays set.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return {errno};
  // Checked on the opened descriptor, so the file cannot be swapped between the check and the read.
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return {errno};
  if (!S_ISREG(info.st_mode)) return {0, static_cast<mode_t>(info.st_mode & S_IFMT)};
  if (info.st_size > cap) return {0, 0, info.st_size};
  bytes.clear();
  bytes.reserve(static_cast<size_t>(info.st_size));
  std::array<char, 65536> chunk;
  for (;;) {
    // A process of /proc that ends while its files are read fails here with ESRCH.
    const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return {errno};
    }
    if (got == 0) return {};
    bytes.append(chunk.data(), static_cast<size_t>(got));
    // A file that grows while it is read is held to the same limit.
    if (bytes.size() > static_cast<size_t>(cap)) return {0, 0, -1};
  }
}

}  // namespace

std::string ReadWholeFile(const fs::path& path) {
  std::string bytes;
  const ReadOutcome outcome = ReadRegularFile(path, kMaxReadBytes, bytes);
  if (outcome.error != 0) ThrowOpenError(path, outcome.error);
  if (outcome.specialKind != 0)
    throw EKestaError("Cannot open file \"" + path.string() + "\". It is " +
                      KindOfSpecialFile(outcome.specialKind) + ", and only regular files are read.");
  if (outcome.tooLarge > 0)
    throw EKestaError("Cannot open file \"" + path.string() + "\". It holds " +
                      std::to_string(outcome.tooLarge) + " bytes, above the limit of " +
                      std::to_string(kMaxReadBytes) + " bytes (64 MiB).");
  if (outcome.tooLarge < 0)
    throw EKestaError("Cannot open file \"" + path.string() + "\". It grew above the limit of " +
                      std::to_string(kMaxReadBytes) + " bytes (64 MiB) while it was read.");
  return bytes;
}

std::optional<std::string> ReadForeignFile(const fs::path& path, std::int64_t cap) noexcept {
  try {
    std::string bytes;
    if (!ReadRegularFile(path, cap, bytes).Whole()) return std::nullopt;
    return bytes;
  } catch (...) {  // only memory can run out here; a file we do not own is then simply not read
    return std::nullopt;
  }
}

namespace {

// The folder would not take the temporary file: nothing was written yet.
struct TemporaryRefused {
  int error;
};

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
    throw TemporaryRefused{errno};
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

// The folder refuses new files for these reasons, while the file itself may still be writable.
bool FolderRefusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Rewrites the target in place, as QSaveFile does when it cannot create its temporary file: a folder the
// player may not add files to (a shared game folder, say) must not stop a file they may write from being
// saved. Not atomic: a crash midway leaves a mix. Opened without O_TRUNC, so the file is never left empty
// by a failure at the start, and cut to the new size once every byte is in; the inode is kept, so hard
// links stay joined.
// Returns false when the target cannot be opened for writing either.
bool RewriteInPlace(const fs::path& target, std::string_view bytes) {
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (fd.get() < 0) return false;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  WriteAll(fd.get(), bytes);
  if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) throw errno;
  if (::fsync(fd.get()) != 0) throw errno;
  if (fd.Close() != 0) throw errno;
  return true;
}

}  // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  WriteFileAtomically(path, bytes, Durability::kNameSynced);
}

void WriteFileAtomically(const fs::path& path, std::string_view bytes, Durability durability) {
  const fs::path target = ResolveWriteTarget(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

  TargetState state;
  state.exists = ::stat(target.c_str(), &state.info) == 0;
  if (state.exists && !S_ISREG(state.info.st_mode))
    ThrowCreateError(path, S_ISDIR(state.info.st_mode) ? EISDIR : EINVAL);
  // A read-only file stays protected, as it would be against a plain write.
  if (state.exists && ::access(target.c_str(), W_OK) != 0) ThrowCreateError(path, errno);

  RemoveLeftTemporaryFiles(folder, target.filename().string());
  const fs::path temporary = folder / TemporaryName(target);
  try {
    if (!ReplaceThroughTemporary(folder, temporary, target, state, bytes, true))
      ReplaceThroughTemporary(folder, temporary, target, state, bytes, false);
  } catch (const TemporaryRefused& refused) {
    try {
      if (!state.exists || !FolderRefusesNewFiles(refused.error) || !RewriteInPlace(target, bytes))
        ThrowCreateError(path, refused.error);
    } catch (int error) {
      ThrowCreateError(path, error);
    }
    return;
  } catch (int error) {
    ThrowCreateError(path, error);
  }
  if (durability == Durability::kNameSynced) SyncFolder(folder);
}

}  // namespace kesta
