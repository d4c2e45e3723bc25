// Visibility-range profiles read and written on the sample graphics.cfg and on one with 200 profiles,
// beside a plain read and write of the same bytes: in memory (split into lines, joined again) and on disk
// (the game file read and replaced).

#include <benchmark/benchmark.h>

#include "graphics_fixtures.h"
#include "ratio_reporter.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "engine/game_file.h"
#include "documents/visibility_profiles.h"

namespace {

namespace fs = std::filesystem;

using kesta::bench::Bytes;

std::string NoMessage(std::string_view key) { return std::string(key); }

// Every profile is edited, so every write replaces its lines.
void EditAll(std::vector<kesta::TOpti>& optis) {
  for (kesta::TOpti& opti : optis) opti.Lod = "1.2";
}

void BM_PlainMemory(benchmark::State& state) {
  for (auto _ : state) {
    kesta::Lines lines = kesta::SplitGameText(Bytes(state.range(0)));
    benchmark::DoNotOptimize(kesta::JoinGameText(lines));
  }
}

void BM_ProfilesMemory(benchmark::State& state) {
  for (auto _ : state) {
    kesta::Lines lines = kesta::SplitGameText(Bytes(state.range(0)));
    std::vector<kesta::TOpti> optis = kesta::ReadOptis(lines, NoMessage);
    EditAll(optis);
    kesta::WriteOptis(lines, optis);
    benchmark::DoNotOptimize(kesta::JoinGameText(lines));
  }
}

fs::path DiskFile(int large) {
  const fs::path path = fs::temp_directory_path() / ("kesta-profiles-bench-" + std::to_string(::getpid()) +
                                                     (large ? "-200.cfg" : ".cfg"));
  std::ofstream(path, std::ios::binary) << Bytes(large);
  return path;
}

void BM_PlainDisk(benchmark::State& state) {
  const fs::path path = DiskFile(state.range(0));
  for (auto _ : state) kesta::WriteGameFile(path, kesta::ReadGameFile(path));
  fs::remove(path);
}

void BM_ProfilesDisk(benchmark::State& state) {
  const fs::path path = DiskFile(state.range(0));
  for (auto _ : state) {
    kesta::Lines lines = kesta::ReadGameFile(path);
    std::vector<kesta::TOpti> optis = kesta::ReadOptis(lines, NoMessage);
    EditAll(optis);
    kesta::WriteOptis(lines, optis);
    kesta::WriteGameFile(path, lines);
  }
  fs::remove(path);
}

// Argument 0: the sample (3 profiles); 1: the same file with 200 profiles.
BENCHMARK(BM_PlainMemory)->Arg(0)->Arg(1);
BENCHMARK(BM_ProfilesMemory)->Arg(0)->Arg(1);
BENCHMARK(BM_PlainDisk)->Arg(0)->Arg(1);
BENCHMARK(BM_ProfilesDisk)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  std::vector<kesta::bench::Ratio> ratios;
  for (const char* place : {"Memory", "Disk"})
    for (const char* size : {"0", "1"})
      ratios.push_back({std::string(size[0] == '0' ? "sample, " : "200 profiles, ") + place +
                            ": file with its profiles read and written in",
                        std::string("BM_Profiles") + place + "/" + size, std::string("BM_Plain") + place + "/" + size,
                        "x the time of a plain read and write"});
  return kesta::bench::RunWithRatios(argc, argv, std::move(ratios));
}
