#pragma once
// Starting Windows programs in a Wine prefix the way the game manager that owns the prefix starts them
// (its runner), with the program and its arguments as a list, detached from us; and the checks before a
// start that keep it from harming the prefix.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/prefix_runner.h"

namespace kesta {

enum class WineStartOutcome {
  Started,
  WineMissing,      // no wine to run (the system's, or $WINE)
  ProgramMissing,   // the program to start is not there
  Refused,          // the start itself failed
  BuildMissing,     // the manager's recorded build (or its proton script) is gone
  CommandMissing,   // the manager's own command (bottles-cli, flatpak) is not installed
  OtherWineServer,  // a wineserver of another build serves the prefix
};

// The Wine prefix a folder lies in: the nearest folder, itself or above, holding drive_c and system.reg.
std::optional<std::filesystem::path> PrefixHolding(const std::filesystem::path& folder);

// `$WINE` when set and not empty, otherwise "wine".
std::string WineCommand();
// `$WINE` when set, else empty: the player's explicit choice of Wine.
std::string WineOverride();

// Wine decodes its arguments in the character set of LC_CTYPE and we hand it UTF-8, so a child whose
// locale has another character set (or none, as "C") would get every non-ASCII character wrong. Given
// the environment's LC_ALL, LC_CTYPE and LANG, the variable to set and its value: the same language in
// UTF-8 (so the game keeps the code page the player's language gives it), or C.UTF-8. Nothing when the
// locale is UTF-8 already.
std::optional<std::pair<std::string, std::string>> Utf8LocaleFor(std::string_view lcAll,
                                                                 std::string_view lcCtype,
                                                                 std::string_view lang);

// What a start runs: the command line (its first entry a path, or a name looked up on PATH), the
// variables added to our environment in this order (a later one wins), and the working folder.
struct StartCommand {
  std::vector<std::string> arguments;
  std::vector<std::pair<std::string, std::string>> environment;
  std::filesystem::path workingFolder;
};

// What a start depends on beyond the runner.
struct StartContext {
  std::string wineOverride;          // $WINE; wins when not empty
  bool prefixServed = false;         // a wineserver serves the prefix already (Proton: runinprefix)
  std::string lcAll, lcCtype, lang;  // our own locale variables
};

// The command a start runs, the game's own command line kept as it is:
// - Wine: the build's wine (else `wine` on PATH) PROGRAM ARGS, with the runner's variables, WINEPREFIX and
//   the UTF-8 locale.
// - BottlesCli: COMMAND run -b NAME -e PROGRAM -- ARGS (the "--" keeps "-server" from reading as an option
//   of bottles-cli), with the runner's variables; Bottles sets the prefix and the rest itself.
// - Proton: BUILD/proton run PROGRAM ARGS (runinprefix while the prefix is served, as Lutris does), with
//   the Steam variables; STEAM_COMPAT_DATA_PATH is the prefix's parent when the runner lacks it.
// A $WINE the player set runs instead of any of these: $WINE PROGRAM ARGS with WINEPREFIX. The runner's
// variables stay, as they are Wine's (DLL overrides, esync, the player's own), except those that name the
// manager's build or launcher (WINE, WINELOADER, WINESERVER, WINEDLLPATH, STEAM_COMPAT_*), which would
// contradict the player's choice.
StartCommand BuildStartCommand(const PrefixRunner& runner, const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& workingFolder,
                               const std::filesystem::path& prefix, const StartContext& context);

// The wine program a start with this runner ends in, as a file: $WINE, else the build's (Proton: its
// files/bin/wine, older builds dist/bin/wine), else the system's on PATH. Empty when it is not there, and
// for bottles-cli, which chooses its own.
std::filesystem::path WineOfStart(const PrefixRunner& runner, const std::string& wineOverride);

// The folder a Wine build lives in: two above its wine program, symbolic links followed (/usr for
// /usr/bin/wine -> wine-stable). Its share/wine/wine.inf dates the build.
std::filesystem::path BuildRoot(const std::filesystem::path& wine);

// Starting with that Wine would make Wine update the prefix: the mtime of the build's wine.inf differs
// from the number in the prefix's .update-timestamp.
struct PrefixUpdate {
  std::optional<std::int64_t> prefixStamp;  // nothing when the prefix records none
  std::int64_t buildStamp = 0;
  std::optional<std::string> madeBy;  // the known build whose wine.inf has the prefix's stamp
};
// Nothing when the prefix is not there yet (a new one harms nothing), when its file says "disable", when
// the stamps agree or when the build has no wine.inf to compare. `knownBuilds`: a label and a wine program
// each, the builds the prefix may have been made by.
std::optional<PrefixUpdate> PrefixUpdateBy(
    const std::filesystem::path& wine, const std::filesystem::path& prefix,
    const std::vector<std::pair<std::string, std::filesystem::path>>& knownBuilds);

// Whether a wineserver's executable belongs to the build of that wine program. An unknown executable
// does.
bool ServerOfBuild(const std::filesystem::path& serverExecutable, const std::filesystem::path& wine);

// Everything that decides a start before it runs.
struct StartCheck {
  WineStartOutcome refusal = WineStartOutcome::Started;  // Started: nothing stops it
  std::filesystem::path wine;                            // what it ends in (WineOfStart)
  std::string wineLabel;  // how messages name that: "lutris-7.2 (/…/bin/wine)"
  std::string missing;    // BuildMissing: the build; CommandMissing: the command
  int otherServerPid = 0;
  std::filesystem::path otherServer;  // OtherWineServer: its executable
  bool prefixServed = false;
  std::optional<PrefixUpdate> prefixUpdate;  // ask first: starting updates the prefix
};
// Reads the build's files, the prefix's .update-timestamp and /proc; never throws, never waits. The
// prefix update is only looked for where we choose the build: the Wine runner and $WINE (Proton and
// Bottles update their prefixes as the manager itself would).
StartCheck CheckStart(const PrefixRunner& runner, const std::string& program,
                      const std::filesystem::path& prefix, const std::string& wineOverride);

// Starts `program` (a native path, or a name Wine finds in the prefix, as "rundll32.exe") in `prefix`
// through its runner, in `workingFolder` (ours when empty). Refuses what CheckStart refuses; asks
// nothing. The program's own success is not awaited.
WineStartOutcome StartInPrefix(const PrefixRunner& runner, const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& workingFolder,
                               const std::filesystem::path& prefix);

// StartInPrefix with the system's Wine (or $WINE): for our own installer.
WineStartOutcome StartUnderWine(const std::string& program, const std::vector<std::string>& arguments,
                                const std::filesystem::path& workingFolder,
                                const std::filesystem::path& prefix);

}  // namespace kesta
