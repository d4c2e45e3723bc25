#pragma once
// Runs a built program as a real child process and collects what it printed.

#include <functional>
#include <string>
#include <vector>

namespace kesta::test {

struct ProgramResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// Runs `work` in a forked child that an alarm ends after `seconds`: its result as the exit status, or
// -1 when it did not end in time (a call that must not block, tested without hanging the tests).
int ResultWithin(int seconds, const std::function<int()>& work);

}  // namespace kesta::test
