// Start-up of the real program to an idle main window beside an empty Qt Widgets window started the
// same way: wall time and peak memory of each child process, and their ratios.
//   kesta_startup_bench PROBE PROGRAM_FOLDER [RUNS]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Measure {
  double milliseconds;
  long peakKilobytes;
};

Measure RunOnce(const std::vector<std::string>& arguments) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "probe failed (status %d)\n", status);
  return {std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss};
}

Measure Median(std::vector<Measure> runs) {
  std::sort(runs.begin(), runs.end(), [](const Measure& a, const Measure& b) { return a.milliseconds < b.milliseconds; });
  Measure median = runs[runs.size() / 2];
  std::vector<long> peaks;
  for (const Measure& run : runs) peaks.push_back(run.peakKilobytes);
  std::sort(peaks.begin(), peaks.end());
  median.peakKilobytes = peaks[peaks.size() / 2];
  return median;
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
  std::printf("empty window:           %6.1f ms, peak %ld KiB\n", e.milliseconds, e.peakKilobytes);
  std::printf("empty window with text: %6.1f ms, peak %ld KiB\n", l.milliseconds, l.peakKilobytes);
  std::printf("KESTA window:           %6.1f ms, peak %ld KiB\n", r.milliseconds, r.peakKilobytes);
  const auto ratio = [](double a, double b) { return a / b; };
  std::printf("KESTA / empty: wall time %.2fx, peak memory %.2fx\n", ratio(r.milliseconds, e.milliseconds),
              ratio(static_cast<double>(r.peakKilobytes), static_cast<double>(e.peakKilobytes)));
  std::printf("KESTA / empty with text: wall time %.2fx, peak memory %.2fx (medians of %d runs each)\n",
              ratio(r.milliseconds, l.milliseconds),
              ratio(static_cast<double>(r.peakKilobytes), static_cast<double>(l.peakKilobytes)), runs);
  return 0;
}
