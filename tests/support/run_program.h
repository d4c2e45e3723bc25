#pragma once
// Runs a built program as a real child process and collects what it printed.

#include <chrono>
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

// Starts the program `words[0]` with the other words as its arguments, its output thrown away (its standard
// output to `standardOutput` when that is a descriptor), and returns its process id without waiting.
int StartProgram(const std::vector<std::string>& words, int standardOutput = -1);

// Waits `delay`, kills the process with SIGKILL and reaps it. True when it had ended on its own before the
// kill came (a test failure unless it ended with status 0).
bool KillAfter(int pid, std::chrono::microseconds delay);

// The number of kills of a kill test: `usual`, or KESTA_KILLS for a longer run by hand.
int KillCount(int usual);

// Runs `work` in a forked child that an alarm ends after `seconds`: its result as the exit status, or
// -1 when it did not end in time (a call that must not block, tested without hanging the tests).
int ResultWithin(int seconds, const std::function<int()>& work);

}  // namespace kesta::test
