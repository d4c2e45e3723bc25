#include "platform/shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace kesta {

namespace fs = std::filesystem;

namespace {

std::string SearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  // No PATH at all: the C library's default, as execvp would use.
  std::string path(::confstr(_CS_PATH, nullptr, 0), '\0');
  if (!path.empty()) {
    ::confstr(_CS_PATH, path.data(), path.size());
    path.pop_back();  // the terminating NUL
  }
  return path;
}

// Our environment with `added` set over it, as NAME=VALUE entries.
std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& added) {
  std::vector<std::string> entries;
  for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
  for (const auto& [name, value] : added) {
    const std::string prefix = name + "=";
    std::erase_if(entries, [&prefix](const std::string& entry) { return entry.starts_with(prefix); });
    entries.push_back(prefix + value);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The attributes and file actions of a start, released however it ends.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

fs::path FindExecutable(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const std::string path = SearchPath();
  std::error_code ec;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      const fs::path candidate =
          (fs::absolute(path.substr(start, end - start), ec) / name).lexically_normal();
      if (!ec && ::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate, ec))
        return candidate;
    }
    start = end + 1;
  }
  return {};
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const fs::path& workingFolder, const DetachedStartOptions& options) {
  const std::string path =
      program.find('/') == std::string::npos ? FindExecutable(program).string() : program;
  if (path.empty()) return false;

  // Everything is made before the fork: the process in between only starts the program and reports.
  std::vector<std::string> argumentTexts{path};
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = Pointers(argumentTexts);
  std::vector<std::string> environmentTexts = EnvironmentWith(options.environment);
  std::vector<char*> envp = Pointers(environmentTexts);

  SpawnSetup setup;
  if (options.inputFromNull &&
      posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) != 0)
    return false;
  if (!workingFolder.empty() &&
      posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str()) != 0)
    return false;
  // Descriptors of ours left without close-on-exec by a library stay ours.
  if (posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1) != 0) return false;
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setsigdefault(&setup.attributes, &all);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  // A process in between starts the program and ends at once, so that the program is no child of ours
  // (we never wait for it, and it must not linger as our zombie) and leads a session of its own.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t between = ::fork();
  if (between == 0) {
    ::setsid();
    pid_t started = 0;
    const int error =
        posix_spawn(&started, path.c_str(), &setup.actions, &setup.attributes, argv.data(), envp.data());
    [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
    ::_exit(0);
  }
  ::close(report[1]);
  int error = -1;  // nothing reported: the process in between failed
  if (between > 0) {
    int reported = 0;
    ssize_t got;
    while ((got = ::read(report[0], &reported, sizeof reported)) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof reported)) error = reported;
    while (::waitpid(between, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  ::close(report[0]);
  return error == 0;
}

bool OpenWithDesktop(const std::string& target) {
  // In our working folder, which need not exist any more: asking for its name could only fail.
  return StartDetached("xdg-open", {target}, {});
}

}  // namespace kesta
