#pragma once
// The backup page, built on its first visit, and the backup of the game files that start-up makes too.

#include <string_view>

namespace kesta {

class TPageHost;
class TGamePage;
class TTabSheet;

TGamePage* MakeBackupPage(TPageHost& host, TTabSheet* sheet);

// Copies the game files whose backup under `prefix` is missing into the backup folder, and tells the
// user which were copied and which could not be; says nothing when every copy existed already.
void BackupGameFilesAndReport(TPageHost& host, std::string_view prefix);

}  // namespace kesta
