// Visibility-range profiles read and written on the sample graphics.cfg and on one with 200 profiles,
// beside a plain read and write of the same bytes: in memory (split into lines, joined again) and on disk
// (the game file read and replaced).

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "engine/game_file.h"
#include "pages/graphics/visibility_profiles.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

const std::string& SampleBytes() {
  static const std::string bytes = ReadBytes(fs::path(KESTA_SOURCE_DIR) / "resources/Default/Graphics.cfg");
  return bytes;
}

// The sample with profiles added before the Camera block's closing line up to 200 in all.
const std::string& LargeBytes() {
  static const std::string bytes = [] {
    kesta::Lines lines = kesta::SplitGameText(SampleBytes());
    const int closing = kesta::ScanCameraBlock(lines).closingLine;
    kesta::Lines blocks;
    for (int i = 0; i < 197; ++i) {
      const std::string n = std::to_string(i);
      blocks.insert(
          blocks.end(),
          {"\tProfile_" + n, "\t{", "\t\tnear_clip = 0.2;", "\t\tmiddle_clip = 4.0;",
           "\t\tfar_clip = " + n + "000;", "\t\tstructures = {40, 5000};", "\t\ttrees = {100000, 8000};",
           "\t\tdynamic = {300, 20000};", "\t\tobjects = {3000, 50000};", "\t\tmirage = {3000, 15000};",
           "\t\tsurface = {14000, 80000};", "\t\tlights = {100, " + n + "};", "\t\tlod = 1.0;", "\t}"});
    }
    lines.insert(lines.begin() + closing, blocks.begin(), blocks.end());
    return kesta::JoinGameText(lines);
  }();
  return bytes;
}

const std::string& Bytes(int large) { return large ? LargeBytes() : SampleBytes(); }

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
