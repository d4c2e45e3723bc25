#pragma once
// Runs a built program as a real child process and collects what it printed.

#include <string>
#include <vector>

namespace kesta::test {

struct ProgramResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace kesta::test
