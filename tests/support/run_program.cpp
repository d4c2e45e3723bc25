#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <signal.h>

#include <array>
#include <cstdlib>
#include <thread>

namespace kesta::test {

namespace {
std::string Drain(int fd) {
  std::string text;
  std::array<char, 4096> buffer;
  ssize_t got;
  while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
    text.append(buffer.data(), static_cast<size_t>(got));
  ::close(fd);
  return text;
}
}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  // Output goes to temporary files so a chatty child can never block on a full pipe.
  char outName[] = "/tmp/kesta-out-XXXXXX";
  char errName[] = "/tmp/kesta-err-XXXXXX";
  const int out = ::mkstemp(outName);
  const int err = ::mkstemp(errName);
  ProgramResult result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  ::lseek(out, 0, SEEK_SET);
  ::lseek(err, 0, SEEK_SET);
  result.out = Drain(out);
  result.err = Drain(err);
  ::unlink(outName);
  ::unlink(errName);
  return result;
}

}  // namespace kesta::test

namespace kesta::test {

int StartProgram(const std::vector<std::string>& words, int standardOutput) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(standardOutput >= 0 ? standardOutput : quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

bool KillAfter(int pid, std::chrono::microseconds delay) {
  std::this_thread::sleep_for(delay);
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return false;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the program failed, status " << status;
  return true;
}

int KillCount(int usual) {
  const char* wanted = std::getenv("KESTA_KILLS");
  return wanted && std::atoi(wanted) > 0 ? std::atoi(wanted) : usual;
}

int ResultWithin(int seconds, const std::function<int()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(static_cast<unsigned>(seconds));
    ::_exit(work());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace kesta::test
