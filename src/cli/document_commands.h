#pragma once
// kesta-cli show and apply: the values of the game files that have a document, read and written through
// the same documents as the window's pages, so what apply writes is what the window's Apply writes.

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
int ApplyValues(const DocumentSources& sources, const std::vector<Assignment>& assignments,
                std::ostream& err);

// The names show prints and apply takes, each with what it takes, for --help.
std::string ValueNamesHelp();

}  // namespace kesta
