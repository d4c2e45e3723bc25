#pragma once
// A real process (sleep, or a copy of it where the executable's path matters) started under a name of our
// choosing: argv[0] is what Wine puts there for a Windows program, and the environment decides which Wine
// prefix it counts as running in.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_io.h"

extern char** environ;

namespace kesta::test {

class NamedProcess {
 public:
  // `environment`: "NAME=value" entries; ours when empty. `program`: what runs, sleep or a copy of it.
  explicit NamedProcess(std::string argv0, std::vector<std::string> environment = {},
                        std::string program = "/bin/sleep")
      : m_argv0(std::move(argv0)), m_environment(std::move(environment)) {
    std::string seconds = "60";
    char* argv[] = {m_argv0.data(), seconds.data(), nullptr};
    std::vector<char*> envp;
    for (std::string& entry : m_environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv,
                      m_environment.empty() ? environ : envp.data()) != 0)
      m_pid = 0;
    // The name shows in /proc once the child has called exec; a loaded machine may take a while.
    for (int waited = 0; m_pid > 0 && !ShowsItsName() && waited < 1000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~NamedProcess() { Stop(); }
  NamedProcess(const NamedProcess&) = delete;
  NamedProcess& operator=(const NamedProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  pid_t Pid() const { return m_pid; }
  void Stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = 0;
  }

 private:
  bool ShowsItsName() const {
    const std::optional<std::string> commandLine =
        ReadForeignFile("/proc/" + std::to_string(m_pid) + "/cmdline");
    return commandLine && std::string_view(commandLine->c_str()) == m_argv0;
  }

  std::string m_argv0;
  std::vector<std::string> m_environment;
  pid_t m_pid = 0;
};

}  // namespace kesta::test
