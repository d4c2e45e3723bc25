#pragma once
// kesta-cli show and apply: the values of the game files that have a document, read and written through
// the same documents as the window's pages, so what apply writes is what the window's Apply writes.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/program_folder.h"

namespace kesta {

// One "NAME=VALUE" argument. Exactly one blank on each side of the first "=" belongs to the separator, so
// show's "NAME = VALUE" lines come back unchanged; every other blank belongs to the name or the value.
struct Assignment {
  std::string name;
  std::string value;
};
// Nothing when the argument holds no "=".
std::optional<Assignment> ParseAssignment(std::string_view argument);

// Where the commands look: the window's program folder (settings file and language files) and the game
// folder given on the command line, if any.
struct DocumentSources {
  ProgramFolder program;
  std::optional<std::string> gameFolder;
};

// Prints "FILE.NAME = VALUE" for every value of every file with a document, in UTF-8. Returns 1 when a
// file could not be read (it is reported and the others are shown), else 0.
int ShowValues(const DocumentSources& sources, std::ostream& out, std::ostream& err);

// Sets the values, then writes each file holding one of them, in the window's order. Returns 1, having
// written nothing, when a name, a value or a file fails; a failed write after earlier ones names them.
// With `diff`, writes nothing (no journal entry either) and prints there, as a unified diff with paths
// relative to the game folder, what would be written: 0 when a file would change, kNothingToChange when
// none would, 1 as above.
int ApplyValues(const DocumentSources& sources, const std::vector<Assignment>& assignments, std::ostream& err,
                std::ostream* diff = nullptr);

// The exit status of a --diff that finds nothing to change.
inline constexpr int kNothingToChange = 3;

// Saves every game file into a saved configuration as the window's Save does: each file's document read
// from the game file and written into its lines as Apply would write them, one section per file. A game
// file that cannot be read gets no section (reported, returns 1); the others are still saved. Prints one
// line per saved file.
int SaveConfigurationFile(const DocumentSources& sources, const std::filesystem::path& configurationFile,
                          std::ostream& out, std::ostream& err);

// Reads each section of a saved configuration into its file's document and writes the game files as the
// window's Apply after opening it would. Files without a section are left as they are. Returns 1, having
// written nothing, when the configuration, a game file or a section cannot be read. Prints one line per
// file.
// With `diff`, prints the unified diff on `out` in place of writing, as ApplyValues does.
int OpenConfigurationFile(const DocumentSources& sources, const std::filesystem::path& configurationFile,
                          std::ostream& out, std::ostream& err, bool diff = false);

// Finishes or rolls back an Apply that was cut short (by any of the program's commands or the window), so
// the game files are all old or all new; says on `err` what it did. Before every command on game files.
void RecoverInterruptedApplies(const ProgramFolder& program, std::ostream& err);

// kesta-cli history: the journal's complete entries, newest first (number, time, command, then each file).
// Always 0.
int ListHistory(const ProgramFolder& program, std::ostream& out);

// kesta-cli undo [N]: the entry numbered N (the newest without it) undone: each of its files that still
// holds what it wrote gets its bytes before back, as a transaction of its own. Returns 1 when a file was
// left alone or not put back, or there is no such entry; else 0.
int UndoApply(const ProgramFolder& program, std::optional<std::uint64_t> number, std::ostream& out,
              std::ostream& err);

// Lists the Wine prefixes the game managers keep, one a line: its name, its folder and the game folder
// its game key names ("-" for none; " (missing)" after one that does not exist). Always 0.
int ListPrefixes(const ProgramFolder& program, std::ostream& out);

// kesta-cli find: the controls whose caption in the language `languageCode` (empty: the settings file's,
// else EN) every word of the query matches. A control holding a value prints "NAME = VALUE  (CAPTION —
// PAGE)" for each of its values as show prints them; any other "CAPTION — PAGE (TAB)". A game file that
// cannot be read is reported and its controls print without a value. 0 when something matched, 1 when
// nothing did or the language file cannot be read, 2 for an unknown language code.
int FindSettings(const DocumentSources& sources, const std::vector<std::string>& words,
                 const std::string& languageCode, std::ostream& out, std::ostream& err);

// The names show prints and apply takes, each with what it takes, for --help.
std::string ValueNamesHelp();

}  // namespace kesta
