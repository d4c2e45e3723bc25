#pragma once
// File times as points in time; only the last-write time is used, to notice outside changes.

#include <chrono>
#include <filesystem>

namespace kesta {

// A file's time to the nanosecond the file system keeps.
using FileTime = std::chrono::system_clock::time_point;

// Creation, last-access and last-write times. False, with the outputs unchanged, when the file cannot be
// opened. Where the file system keeps no creation time, the change time stands in.
bool GetFileTimes(const std::filesystem::path& path, FileTime& created, FileTime& accessed,
                  FileTime& written);

// Shorthand for the last-write time only.
bool GetLastWriteTime(const std::filesystem::path& path, FileTime& written);

}  // namespace kesta
