#pragma once
// Runs a piece of a test in a forked child, so that code that would wait forever (on a FIFO, say) fails
// the test instead of hanging it.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace kesta::test {

// The child's exit status: what `body` returned, 3 when it threw. Nothing when the child ended by a
// signal or had not ended after `limit` (it is then killed).
inline std::optional<int> ExitStatusInChild(const std::function<int()>& body, std::chrono::seconds limit) {
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    int status = 3;
    try {
      status = body();
    } catch (...) {
    }
    ::_exit(status);
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
}

}  // namespace kesta::test
