#pragma once
// File times as local date-times; only the last-write time is used, to notice outside changes.

#include <filesystem>

#include <QDateTime>

namespace kesta {

// Creation, last-access and last-write times in local time. False, with the outputs unchanged, when
// the file cannot be opened. Where the file system keeps no creation time, the change time stands in.
bool GetFileTimes(const std::filesystem::path& path, QDateTime& created, QDateTime& accessed,
                  QDateTime& written);

// Shorthand for the last-write time only.
bool GetLastWriteTime(const std::filesystem::path& path, QDateTime& written);

}  // namespace kesta
