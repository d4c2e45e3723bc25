#include <filesystem>
#include <iostream>

#include "cli/cli.h"

namespace {

// The window's executable beside this one: its settings file is the one KESTA itself reads.
std::filesystem::path WindowExecutable(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path() / "kesta";
}

}  // namespace

int main(int argc, char* argv[]) {
  return kesta::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                       kesta::ProgramFolder(WindowExecutable(argv[0])));
}
