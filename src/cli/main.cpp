#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/cli.h"
#include "sets/apply_journal.h"

namespace {

// The window's executable beside this one: its settings file is the one KESTA itself reads.
std::filesystem::path WindowExecutable(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path() / "kesta";
}

// KESTA_CLI_STOP_AT names a step of an Apply at which the program ends at once, as if killed there: the
// tests of the journal's recovery use it. Exit status 86 tells them the step was reached.
const char* g_stopAt = nullptr;

void StopAtStep(std::string_view step) {
  if (step == g_stopAt) ::_exit(86);
}

}  // namespace

int main(int argc, char* argv[]) {
  g_stopAt = std::getenv("KESTA_CLI_STOP_AT");
  if (g_stopAt && *g_stopAt) kesta::SetJournalStepHook(StopAtStep);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (const std::optional<int> status = kesta::AnswerHelp(arguments, std::cout, std::cerr)) return *status;
  return kesta::RunCli(arguments, std::cout, std::cerr, kesta::ProgramFolder(WindowExecutable(argv[0])));
}
