#include "sets/backups.h"

#include <fcntl.h>
#include <stdio.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "engine/failure.h"
#include "platform/file_io.h"

namespace kesta {

namespace fs = std::filesystem;

namespace {

// Whether anything, even a dangling link, already has the name: such a name is never written over.
bool NameTaken(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

void CopyFileAtomically(const fs::path& source, const fs::path& target) {
  WriteFileAtomically(target, ReadWholeFile(source));
}

std::string FreeBackupTime(BackupClock& clock, const std::function<bool(const std::string& time)>& taken) {
  for (;;) {
    std::string time = BackupTimeText(clock.Now());
    if (!taken(time)) return time;
    clock.WaitForNextSecond();
  }
}

std::string FolderError(const fs::path& folder, const std::string& reason) {
  return "Cannot create folder \"" + folder.string() + "\". " + reason;
}

}  // namespace

BackupReport BackupGameFiles(const fs::path& backupFolder, std::string_view prefix,
                             const GamePathFunction& gamePathOf) {
  BackupReport report;
  std::error_code ec;
  fs::create_directories(backupFolder, ec);
  if (ec || !fs::is_directory(backupFolder)) {
    report.folderFailure = FolderError(backupFolder, ec ? ec.message() : "It is not a folder.");
    return report;
  }
  for (const GameFileBackup& file : kGameFileBackups) {
    const fs::path target = backupFolder / (std::string(prefix) + std::string(file.fileName));
    if (NameTaken(target)) continue;
    const fs::path source = gamePathOf(file.catalogKey);
    if (!fs::exists(source, ec)) {
      report.failed.push_back({source, true, {}});
      continue;
    }
    try {
      CopyFileAtomically(source, target);
      report.made.push_back(source);
    } catch (const EKestaError& failure) {
      report.failed.push_back({source, false, failure.what()});
    }
  }
  return report;
}

LocalTime SystemBackupClock::Now() {
  using namespace std::chrono;
  const system_clock::time_point now = system_clock::now();
  const std::time_t whole = system_clock::to_time_t(now);
  // The zone as it is now: the player may have changed it since the program started.
  ::tzset();
  std::tm local{};
  ::localtime_r(&whole, &local);
  const local_days day{year(local.tm_year + 1900) / (local.tm_mon + 1) / local.tm_mday};
  const milliseconds withinSecond = duration_cast<milliseconds>(now - system_clock::from_time_t(whole));
  return LocalTime(day) + hours(local.tm_hour) + minutes(local.tm_min) + seconds(local.tm_sec) + withinSecond;
}

void SystemBackupClock::WaitForNextSecond() {
  using namespace std::chrono;
  const local_seconds second = floor<seconds>(Now());
  for (LocalTime now = Now(); floor<seconds>(now) == second; now = Now())
    std::this_thread::sleep_for(second + seconds(1) - now + milliseconds(1));
}

std::string BackupTimeText(LocalTime time) {
  using namespace std::chrono;
  const local_days day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss clock(floor<seconds>(time - day));
  char text[64];  // room for any year the clock can give
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d.%02d.%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::string NewTimeStampedPrefix(const fs::path& backupFolder, BackupClock& clock) {
  return FreeBackupTime(clock,
                        [&backupFolder](const std::string& time) {
                          for (const GameFileBackup& file : kGameFileBackups)
                            if (NameTaken(backupFolder / (time + " " + std::string(file.fileName))))
                              return true;
                          return false;
                        }) +
         " ";
}

fs::path NewInputBackupFolder(const fs::path& backupFolder, BackupClock& clock) {
  return backupFolder / (FreeBackupTime(clock,
                                        [&backupFolder](const std::string& time) {
                                          return NameTaken(backupFolder / (time + " Input"));
                                        }) +
                         " Input");
}

namespace {

struct FolderContent {
  std::vector<fs::path> folders;  // relative, parents first
  std::vector<fs::path> files;    // relative
};

// A link that leads back up the tree would otherwise be followed for ever.
constexpr int kMaxDepth = 64;

// Lists everything below `source`; fails with the path and the reason.
std::optional<BackupFailure> ListFolder(const fs::path& source, FolderContent& content) {
  std::error_code ec;
  if (!fs::is_directory(source, ec)) {
    if (!fs::exists(source, ec)) return BackupFailure{source, true, {}};
    return BackupFailure{source, false, "Cannot copy \"" + source.string() + "\". It is not a folder."};
  }
  fs::recursive_directory_iterator it(source, fs::directory_options::follow_directory_symlink, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it.depth() > kMaxDepth)
      return BackupFailure{it->path(), false,
                           "Cannot copy \"" + it->path().string() + "\". Its folders are nested too deeply."};
    std::error_code kind;
    (it->is_directory(kind) ? content.folders : content.files)
        .push_back(it->path().lexically_relative(source));
  }
  if (ec) {
    const fs::path where = it == fs::recursive_directory_iterator() ? source : it->path();
    return BackupFailure{where, false, "Cannot read folder \"" + where.string() + "\". " + ec.message()};
  }
  // In name order, so a copy goes the same way every time; a folder comes before its content.
  std::sort(content.folders.begin(), content.folders.end());
  std::sort(content.files.begin(), content.files.end());
  return std::nullopt;
}

// Renames without replacing: an empty folder of the target's name, made meanwhile, is not taken over.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: the caller made sure the name was free.
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Copies the listed content into `staging` and makes it durable; fails with the path and the reason.
std::optional<BackupFailure> CopyContent(const fs::path& source, const fs::path& staging,
                                         const FolderContent& content,
                                         const std::function<void(int, int)>& progress) {
  const int total = static_cast<int>(content.files.size());
  if (progress) progress(0, total);
  std::error_code ec;
  for (const fs::path& folder : content.folders) {
    if (!fs::create_directory(staging / folder, ec) && ec)
      return BackupFailure{source / folder, false, FolderError(staging / folder, ec.message())};
  }
  int done = 0;
  for (const fs::path& file : content.files) {
    try {
      CopyFileAtomically(source / file, staging / file);
    } catch (const EKestaError& failure) {
      return BackupFailure{source / file, false, failure.what()};
    }
    if (progress) progress(++done, total);
  }
  // Each file's own folder was synced by its write; the folders' entries in their parents are not yet.
  for (const fs::path& folder : content.folders) SyncFolder(staging / folder);
  SyncFolder(staging);
  return std::nullopt;
}

}  // namespace

FolderCopy CopyFolder(const fs::path& source, const fs::path& target,
                      const std::function<void(int done, int total)>& progress) {
  FolderCopy result;
  FolderContent content;
  if ((result.failure = ListFolder(source, content))) return result;

  const fs::path parent = target.parent_path();
  const fs::path staging = parent / ("." + target.filename().string() + ".partial");
  std::error_code ec;
  fs::create_directories(parent, ec);
  fs::remove_all(staging, ec);  // an earlier copy's remains, by this name only ours
  if (!fs::create_directory(staging, ec)) {
    result.failure = BackupFailure{source, false, FolderError(staging, ec ? ec.message() : "")};
    return result;
  }
  result.failure = CopyContent(source, staging, content, progress);
  if (!result.failure) {
    if (const int error = RenameNoReplace(staging, target); error != 0) {
      result.failure = BackupFailure{source, false, FolderError(target, SystemErrorText(error))};
    } else {
      SyncFolder(parent);
      result.files = static_cast<int>(content.files.size());
      return result;
    }
  }
  if (fs::remove_all(staging, ec); ec) result.leftOver = staging;
  return result;
}

}  // namespace kesta
