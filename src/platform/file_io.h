#pragma once
// Whole-file reads and atomic whole-file writes. Every write of a player's file goes through
// WriteFileAtomically, so a crash, a killed process or a full disk leaves the old file or the new one.

#include <filesystem>
#include <string>
#include <string_view>

namespace kesta {

// Reads the whole file; fails with "Cannot open file "…". <system text>" when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces `path` by `bytes`: temporary file in the same folder, written, synced, renamed over the
// target, folder synced. Keeps the target's permissions (and owner and group where allowed), writes
// through a symbolic link to its target, and leaves no temporary file behind after a failure.
// Fails with "Cannot create file "…". <system text>".
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The text the system gives for an error number, as the user sees it.
std::string SystemErrorText(int errorNumber);

}  // namespace kesta
