#pragma once
// Starting Windows programs under Wine: `$WINE` (else `wine`) with the program and its arguments as a
// list, in the prefix the program belongs to, detached from us.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesta {

enum class WineStartOutcome { Started, WineMissing, ProgramMissing, Refused };

// The Wine prefix a folder lies in: the nearest folder, itself or above, holding drive_c and system.reg.
std::optional<std::filesystem::path> PrefixHolding(const std::filesystem::path& folder);

// `$WINE` when set and not empty, otherwise "wine".
std::string WineCommand();

// Wine decodes its arguments in the character set of LC_CTYPE and we hand it UTF-8, so a child whose
// locale has another character set (or none, as "C") would get every non-ASCII character wrong. Given
// the environment's LC_ALL, LC_CTYPE and LANG, the variable to set and its value: the same language in
// UTF-8 (so the game keeps the code page the player's language gives it), or C.UTF-8. Nothing when the
// locale is UTF-8 already.
std::optional<std::pair<std::string, std::string>> Utf8LocaleFor(std::string_view lcAll,
                                                                 std::string_view lcCtype,
                                                                 std::string_view lang);

// Starts `program` (a native path, or a name Wine finds in the prefix, as "rundll32.exe") with WINEPREFIX
// set to `prefix`, in `workingFolder` (ours when empty). The outcome says what was missing; the program's own
// success is not awaited.
WineStartOutcome StartUnderWine(const std::string& program, const std::vector<std::string>& arguments,
                                const std::filesystem::path& workingFolder,
                                const std::filesystem::path& prefix);

}  // namespace kesta
