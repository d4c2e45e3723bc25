#pragma once
// The usual benchmark table, then each measured case as a multiple of its baseline.

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace kesta::bench {

struct Ratio {
  std::string what;      // printed before the figure
  std::string measured;  // benchmark name
  std::string baseline;  // benchmark name
  std::string unit;      // printed after the figure, e.g. "x the byte scan"
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<Ratio> ratios) : m_ratios(std::move(ratios)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    // CPU time is steadier than wall time on a machine that is busy with other work.
    for (const Run& run : runs) m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const Ratio& ratio : m_ratios) {
      if (!m_times.count(ratio.measured) || !m_times.count(ratio.baseline)) continue;
      std::cout << ratio.what << ": " << m_times[ratio.measured] / m_times[ratio.baseline] << ratio.unit << '\n';
    }
  }

 private:
  std::vector<Ratio> m_ratios;
  std::map<std::string, double> m_times;
};

// Runs the registered benchmarks and prints the ratios after them.
inline int RunWithRatios(int argc, char** argv, std::vector<Ratio> ratios) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(ratios));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace kesta::bench
