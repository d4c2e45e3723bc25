#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

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
