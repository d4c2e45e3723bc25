#pragma once
// Whole-file reads and atomic whole-file writes. Every write of a player's file goes through
// WriteFileAtomically, so a crash, a killed process or a full disk leaves the old file or the new one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kesta {

// The largest file ReadWholeFile reads: far above any file of the game or of this program.
inline constexpr std::int64_t kMaxReadBytes = std::int64_t{64} << 20;

// Reads the whole file; fails with "Cannot open file "…". <reason>" when it cannot be read, when it is
// not a regular file (a FIFO, a folder, a device, a socket: refused at once, never waited on) or when it
// holds more than kMaxReadBytes.
std::string ReadWholeFile(const std::filesystem::path& path);

// Reads a file this program does not own (/proc entries, game managers' files) by the same rules, but
// never throws: nothing when it cannot be read to its end (a process that ended meanwhile, no right to
// read it), is not a regular file or holds more than `cap` bytes.
std::optional<std::string> ReadForeignFile(const std::filesystem::path& path,
                                           std::int64_t cap = kMaxReadBytes) noexcept;

// Replaces `path` by `bytes`: temporary file in the same folder, written, synced, renamed over the
// target, folder synced. Keeps the target's permissions (and owner and group where allowed), writes
// through a symbolic link to its target, and leaves no temporary file behind after a failure.
// Where the folder refuses new files but the target itself may be written, the target is rewritten in
// place instead (not atomic; hard links to it stay joined).
// Fails with "Cannot create file "…". <system text>".
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// What a write has made durable when it returns.
enum class Durability {
  kNameSynced,   // the new bytes under the name: a crash after it returns finds the new file
  kBytesSynced,  // the new bytes, but not yet the rename: a crash may still find the old file, whole
};
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, Durability durability);

// Removes the temporary files that writers killed midway left in the folder (all of them, or only those
// of the file named `target` when it is not empty); those of writers still running are theirs.
void RemoveLeftTemporaryFiles(const std::filesystem::path& folder, const std::string& target = {});

// Makes the folder's entries (files created, renamed or removed in it) survive a crash; best effort.
void SyncFolder(const std::filesystem::path& folder);

// The text the system gives for an error number, as the user sees it.
std::string SystemErrorText(int errorNumber);

}  // namespace kesta
