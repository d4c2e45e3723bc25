// Engine scan speed beside a plain byte scan of the same text (memchr over the line breaks).
// The engine should stay within a small factor of the byte scan.

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <cstring>
#include <iostream>
#include <map>

#include "engine/game_file.h"
#include "engine/param_lines.h"

namespace {

std::string MakeFile(int lineCount, const std::string& lastLine) {
  std::string bytes;
  for (int i = 0; i < lineCount - 1; ++i)
    bytes += "\t\tparameter_" + std::to_string(i) + " = {" + std::to_string(i % 977) + ", 5000};\r\n";
  bytes += lastLine + "\r\n";
  return bytes;
}

size_t CountLineBreaks(const std::string& bytes) {
  size_t count = 0;
  const char* at = bytes.data();
  const char* end = at + bytes.size();
  while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)))) != nullptr) {
    ++count;
    ++at;
  }
  return count;
}

const std::string& LargeFile() {
  static const std::string bytes = MakeFile(100000, "needle_at_the_end = 42;");
  return bytes;
}

void BM_ByteScan_100k(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CountLineBreaks(LargeFile()));
}

void BM_GetParamLastLine_100k(benchmark::State& state) {
  const kesta::Lines lines = kesta::SplitGameText(LargeFile());
  for (auto _ : state) benchmark::DoNotOptimize(kesta::GetParam(lines, "needle_at_the_end", "", "", false));
}

// The worst case for the search: every line starts like the name that is only on the last line.
const std::string& SharedPrefixFile() {
  static const std::string bytes = MakeFile(100000, "parameter_at_the_end = 42;");
  return bytes;
}

void BM_ByteScan_100k_SharedPrefix(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CountLineBreaks(SharedPrefixFile()));
}

void BM_GetParamLastLine_100k_SharedPrefix(benchmark::State& state) {
  const kesta::Lines lines = kesta::SplitGameText(SharedPrefixFile());
  for (auto _ : state) benchmark::DoNotOptimize(kesta::GetParam(lines, "parameter_at_the_end", "", "", false));
}

const std::string& MediumFile() {
  static const std::string bytes = MakeFile(2000, "last = 1;");
  return bytes;
}

// 60 names spread over the file, as an applier writes them.
void BM_ByteScan60_2k(benchmark::State& state) {
  for (auto _ : state)
    for (int i = 0; i < 60; ++i) benchmark::DoNotOptimize(CountLineBreaks(MediumFile()));
}

void BM_SetParam60_2k(benchmark::State& state) {
  const kesta::Lines original = kesta::SplitGameText(MediumFile());
  for (auto _ : state) {
    state.PauseTiming();
    kesta::Lines lines = original;
    state.ResumeTiming();
    for (int i = 0; i < 60; ++i)
      kesta::SetParam(lines, "\t\tparameter_" + std::to_string(i * 33) + " ", "{1, 2}", "", false);
    benchmark::DoNotOptimize(lines);
  }
}

BENCHMARK(BM_ByteScan_100k);
BENCHMARK(BM_GetParamLastLine_100k);
BENCHMARK(BM_ByteScan_100k_SharedPrefix);
BENCHMARK(BM_GetParamLastLine_100k_SharedPrefix);
BENCHMARK(BM_ByteScan60_2k);
BENCHMARK(BM_SetParam60_2k);

}  // namespace

int main(int argc, char** argv) {
  const std::string unit = "x the byte scan";
  return kesta::bench::RunWithRatios(
      argc, argv,
      {{"GetParam, last of 100,000 lines", "BM_GetParamLastLine_100k", "BM_ByteScan_100k", unit},
       {"GetParam, last of 100,000 lines sharing its prefix", "BM_GetParamLastLine_100k_SharedPrefix",
        "BM_ByteScan_100k_SharedPrefix", unit},
       {"SetParam x60 in 2,000 lines", "BM_SetParam60_2k", "BM_ByteScan60_2k", unit}});
}
