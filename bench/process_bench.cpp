// A command as a whole process beside a baseline command: both run in turn RUNS times each (in turn, so
// that a change in the machine's load falls on both), and the medians of their CPU time (user and system,
// from the kernel's account of the child) and wall time are printed with their ratios.
//   kesta_process_bench RUNS WHAT -- COMMAND ARGS... -- BASELINE ARGS...

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Measure {
  double cpuMilliseconds;
  double wallMilliseconds;
};

double Milliseconds(const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; }

// Runs the command with its output dropped; fails the bench when it does not succeed.
Measure RunOnce(const std::vector<std::string>& command) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) ::_exit(126);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", command[0].c_str(), status);
    std::exit(1);
  }
  return {Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime), wall};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> words(argv + 1, argv + argc);
  const auto first = std::find(words.begin(), words.end(), "--");
  const auto second = first == words.end() ? words.end() : std::find(first + 1, words.end(), "--");
  const int runs = words.size() > 1 ? std::atoi(words[0].c_str()) : 0;
  if (runs < 1 || first != words.begin() + 2 || second == words.end() || first + 1 == second ||
      second + 1 == words.end()) {
    std::fprintf(stderr, "usage: kesta_process_bench RUNS WHAT -- COMMAND ARGS... -- BASELINE ARGS...\n");
    return 2;
  }
  const std::vector<std::string> command(first + 1, second);
  const std::vector<std::string> baseline(second + 1, words.end());
  RunOnce(command);  // files and libraries into the page cache for both
  RunOnce(baseline);
  std::vector<double> cpu[2], wall[2];
  for (int i = 0; i < runs; ++i) {
    for (int which = 0; which < 2; ++which) {
      const Measure measure = RunOnce(which ? baseline : command);
      cpu[which].push_back(measure.cpuMilliseconds);
      wall[which].push_back(measure.wallMilliseconds);
    }
  }
  const double cpuRatio = Median(cpu[0]) / Median(cpu[1]);
  const double wallRatio = Median(wall[0]) / Median(wall[1]);
  std::printf(
      "%s: cpu %.2f ms against %.2f ms = %.2fx, wall %.2f ms against %.2f ms = %.2fx (medians of %d runs)\n",
      words[1].c_str(), Median(cpu[0]), Median(cpu[1]), cpuRatio, Median(wall[0]), Median(wall[1]), wallRatio,
      runs);
  return 0;
}
