#pragma once
// The window program's own options, answered before anything of the window exists: no display, no splash,
// no single-instance claim and no settings file are touched, so they work anywhere (a terminal over ssh,
// a package test).

#include <cstdio>
#include <optional>

namespace kesta {

// --help (-h) or --version among the arguments: prints the answer to `out` and gives the exit status.
// Nothing for any other command line, which the window and Qt take as before.
std::optional<int> AnswerCommandLine(int argc, char** argv, std::FILE* out);

}  // namespace kesta
