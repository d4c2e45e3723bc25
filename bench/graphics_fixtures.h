#pragma once
// The graphics files the benchmarks work on: the shipped sample, and the sample with profiles added
// before the Camera block's closing line up to 200 in all.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/game_file.h"
#include "documents/visibility_profiles.h"

namespace kesta::bench {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline const std::string& SampleBytes() {
  static const std::string bytes = ReadBytes(fs::path(KESTA_SOURCE_DIR) / "resources/Default/Graphics.cfg");
  return bytes;
}

// The sample with profiles added before the Camera block's closing line up to 200 in all.
inline const std::string& LargeBytes() {
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

inline const std::string& Bytes(int large) { return large ? LargeBytes() : SampleBytes(); }

}  // namespace kesta::bench
