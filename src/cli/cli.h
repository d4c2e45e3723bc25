#pragma once
// kesta-cli: the parameter-line engine and the game files' documents on the command line, for scripting
// edits of game files.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "settings/program_folder.h"

namespace kesta {

// help, --help and --version: prints the answer and gives the exit status, without any file (a program
// folder would make the per-user folders already); nothing for any other command.
std::optional<int> AnswerHelp(const std::vector<std::string>& arguments, std::ostream& out,
                              std::ostream& err);

// Runs one command; returns the exit status (0 done, 1 engine, file, name or value error, 2 wrong usage).
// `program` is the window's program folder: its settings file and language files serve show and apply.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const ProgramFolder& program);

}  // namespace kesta
