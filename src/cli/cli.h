#pragma once
// kesta-cli: the parameter-line engine on the command line, for scripting edits of game files.

#include <iosfwd>
#include <string>
#include <vector>

namespace kesta {

// Runs one command; returns the exit status (0 done, 1 engine or file error, 2 wrong usage).
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kesta
