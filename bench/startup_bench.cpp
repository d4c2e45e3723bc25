// Start-up of the real program to an idle main window beside an empty Qt Widgets window started the
// same way: wall time to the idle window (and to the end of the process), peak memory of each child
// process, and their ratios.
//   kesta_startup_bench PROBE PROGRAM_FOLDER [RUNS]

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
  double milliseconds;  // from fork to the idle window
  double untilExit;     // from fork to the end of the process
  long peakKilobytes;
};

// The probe prints the moment it is idle on the steady clock; the bench reads it from a pipe.
Measure RunOnce(const std::vector<std::string>& arguments) {
  int out[2];
  if (::pipe(out) != 0) std::perror("pipe");
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  std::string printed;
  char buffer[64];
  for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) printed.append(buffer, static_cast<size_t>(got));
  ::close(out[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "probe failed (status %d)\n", status);
  const std::chrono::steady_clock::time_point idle{std::chrono::steady_clock::duration{std::atoll(printed.c_str())}};
  if (printed.empty()) std::fprintf(stderr, "probe printed no idle moment\n");
  const auto milliseconds = [start](auto moment) { return std::chrono::duration<double, std::milli>(moment - start).count(); };
  return {milliseconds(printed.empty() ? end : idle), milliseconds(end), usage.ru_maxrss};
}

template <typename Field>
double MedianOf(const std::vector<Measure>& runs, Field field) {
  std::vector<double> values;
  for (const Measure& run : runs) values.push_back(static_cast<double>(run.*field));
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

Measure Median(const std::vector<Measure>& runs) {
  return {MedianOf(runs, &Measure::milliseconds), MedianOf(runs, &Measure::untilExit),
          static_cast<long>(MedianOf(runs, &Measure::peakKilobytes))};
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kesta_startup_bench PROBE PROGRAM_FOLDER [RUNS]\n");
    return 2;
  }
  const std::string probe = argv[1];
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
  std::vector<Measure> real, empty, label;
  RunOnce({probe, "real", argv[2]});  // warm the file cache
  for (int i = 0; i < runs; ++i) {
    empty.push_back(RunOnce({probe, "empty"}));
    label.push_back(RunOnce({probe, "label"}));
    real.push_back(RunOnce({probe, "real", argv[2]}));
  }
  const Measure e = Median(empty), l = Median(label), r = Median(real);
  std::printf("                        to idle   to exit   peak memory\n");
  const auto row = [](const char* name, const Measure& m) {
    std::printf("%-22s %6.1f ms %6.1f ms %8ld KiB\n", name, m.milliseconds, m.untilExit, m.peakKilobytes);
  };
  row("empty window", e);
  row("empty window with text", l);
  row("KESTA window", r);
  const auto ratios = [&r](const char* name, const Measure& base) {
    std::printf("KESTA / %-15s %6.2fx   %6.2fx   %8.2fx\n", name, r.milliseconds / base.milliseconds,
                r.untilExit / base.untilExit,
                static_cast<double>(r.peakKilobytes) / static_cast<double>(base.peakKilobytes));
  };
  ratios("empty", e);
  ratios("empty with text", l);
  std::printf("(medians of %d runs each)\n", runs);
  return 0;
}
