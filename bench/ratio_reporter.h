#pragma once
// The usual benchmark table, then each measured case as a multiple of its baseline.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <set>
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
    // With --benchmark_repetitions the medians stand for the case; without, its one run.
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const std::string name = run.run_name.str();
      if (!median && m_medians.count(name)) continue;
      if (median) m_medians.insert(name);
      const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
      m_times[name] = {run.GetAdjustedCPUTime() / unit, run.GetAdjustedRealTime() / unit};
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    // CPU time is steadier than wall time on a machine that is busy with other work.
    for (const Ratio& ratio : m_ratios) {
      if (!m_times.count(ratio.measured) || !m_times.count(ratio.baseline)) continue;
      const Times& measured = m_times[ratio.measured];
      const Times& baseline = m_times[ratio.baseline];
      std::cout << ratio.what << ": " << measured.cpu / baseline.cpu << ratio.unit;
      if (!m_medians.empty()) {
        char times[160];
        std::snprintf(times, sizeof times,
                      " (cpu %.3f ms against %.3f ms; wall %.3f ms against %.3f ms = %.2fx)",
                      measured.cpu * 1e3, baseline.cpu * 1e3, measured.wall * 1e3, baseline.wall * 1e3,
                      measured.wall / baseline.wall);
        std::cout << times;
      }
      std::cout << '\n';
    }
  }

 private:
  struct Times {
    double cpu = 0;  // seconds
    double wall = 0;
  };
  std::vector<Ratio> m_ratios;
  std::map<std::string, Times> m_times;
  std::set<std::string> m_medians;
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
