#pragma once
// Copies of the game's files in the program's backup folder: a set of the twelve game files under one
// prefix, and a copy of the game's whole Input folder. No widgets: the window shows the reports.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesta {

struct GameFileBackup {
  std::string_view catalogKey;
  std::string_view fileName;  // after the set's prefix
};

// The twelve game files in the order they are copied.
inline constexpr GameFileBackup kGameFileBackups[] = {
    {"Graphics", "backup_graphics.cfg"},  {"Cockpit", "backup_cockpit.cfg"},
    {"Network", "backup_config.lua"},     {"Stats", "backup_stats.lua"},
    {"Server", "backup_server.lua"},      {"View", "backup_view.lua"},
    {"SnapView", "backup_snapviews.lua"}, {"Producer", "backup_producer.cfg"},
    {"World", "backup_world.lua"},        {"Drawinfo", "backup_drawinfo.lua"},
    {"MECustom", "backup_mecustom.xml"},  {"ExportConfig", "backup_exportconfig.lua"},
};

// The set made once, at the first start.
inline constexpr std::string_view kAutomaticBackupPrefix = "automatic_";

struct BackupFailure {
  std::filesystem::path source;
  bool missing = false;  // the source does not exist; `reason` is then empty
  std::string reason;    // the system's words otherwise
};

struct BackupReport {
  std::vector<std::filesystem::path> made;  // the game files copied, in table order
  std::vector<BackupFailure> failed;
  std::string folderFailure;  // the backup folder could not be made, so nothing was tried
  bool Empty() const { return made.empty() && failed.empty() && folderFailure.empty(); }
};

using GamePathFunction = std::function<std::filesystem::path(std::string_view catalogKey)>;

// Copies every game file whose backup `backupFolder`/`prefix`+name is missing, each written atomically so
// that a copy that exists is whole. Makes the backup folder when it is missing.
BackupReport BackupGameFiles(const std::filesystem::path& backupFolder, std::string_view prefix,
                             const GamePathFunction& gamePathOf);

// A moment as the player's clock on the wall shows it: date and time of the local time zone.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;

// The moment a time-stamped backup is named after. Tests give their own.
class BackupClock {
 public:
  virtual ~BackupClock() = default;
  virtual LocalTime Now() = 0;
  // Returns once Now() has reached the next second.
  virtual void WaitForNextSecond() = 0;
};

class SystemBackupClock final : public BackupClock {
 public:
  LocalTime Now() override;
  void WaitForNextSecond() override;
};

// "2008-03-14 21.07.05".
std::string BackupTimeText(LocalTime time);

// The prefix of a new time-stamped set ("2008-03-14 21.07.05 "), none of whose twelve names exists yet.
// A request within the second of an earlier one waits for the next second: the names keep their one
// shape, so they read as the moment and sort by it, and the wait is below a second.
std::string NewTimeStampedPrefix(const std::filesystem::path& backupFolder, BackupClock& clock);

// The folder of a new Input backup ("2008-03-14 21.07.05 Input"), not existing yet; waits like above.
std::filesystem::path NewInputBackupFolder(const std::filesystem::path& backupFolder, BackupClock& clock);

struct FolderCopy {
  int files = 0;  // the number of files copied
  std::optional<BackupFailure> failure;
  // After a failure: the incomplete copy when it could not be removed (a hidden folder beside the target).
  std::filesystem::path leftOver;
};

// Copies `source` with all its files and subfolders to `target`, which must not exist. The copy is made
// in a hidden folder beside the target and renamed to it only when every file is in, so a backup folder
// that exists is complete; after a failure the incomplete copy is removed. `progress` hears of each file
// (done, total) and first of none done.
FolderCopy CopyFolder(const std::filesystem::path& source, const std::filesystem::path& target,
                      const std::function<void(int done, int total)>& progress = {});

}  // namespace kesta
