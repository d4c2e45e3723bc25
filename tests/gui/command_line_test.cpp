// kesta --help and --version answer at once, whatever the display: no window, no splash, no
// single-instance claim and no file of the player's. The real program, started as a child process.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/run_program.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "update/program_version.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    entries.insert(fs::relative(entry.path(), folder).string());
  return entries;
}

TEST(CommandLineTest, HelpAndVersionPrintAndEndBeforeAnythingStarts) {
  test::TempFolder root;
  // A writable program folder: a start would write its settings file beside the executable.
  const fs::path program = root.Path() / "program";
  fs::create_directories(program);
  fs::copy_file(test::BinaryFolder() / "kesta", program / "kesta");
  for (const char* folder : {"runtime", "config", "data", "home"})
    fs::create_directories(root.Path() / folder);
  fs::permissions(root.Path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  // No display at all, and a platform that cannot start without one: a window, a splash or even the
  // application object would end the program with an error.
  test::ScopedEnv noDisplay("DISPLAY", nullptr);
  test::ScopedEnv noWayland("WAYLAND_DISPLAY", nullptr);
  test::ScopedEnv platform("QT_QPA_PLATFORM", "xcb");
  test::ScopedEnv runtime("XDG_RUNTIME_DIR", (root.Path() / "runtime").c_str());
  test::ScopedEnv config("XDG_CONFIG_HOME", (root.Path() / "config").c_str());
  test::ScopedEnv data("XDG_DATA_HOME", (root.Path() / "data").c_str());
  test::ScopedEnv home("HOME", (root.Path() / "home").c_str());
  const std::set<std::string> before = Listing(root.Path());

  struct Case {
    std::vector<std::string> arguments;
    std::string firstLine;
  };
  const std::string version = "kesta " + std::string(kProgramVersion) + "\n";
  const Case cases[] = {
      {{"--version"}, version},
      {{"--help"}, "usage: kesta [--help | --version] [QT_OPTIONS]\n"},
      {{"-h"}, "usage: kesta [--help | --version] [QT_OPTIONS]\n"},
      {{"-platform", "offscreen", "--version"}, version},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const test::ProgramResult result = test::RunProgram((program / "kesta").string(), c.arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.substr(0, result.out.find('\n') + 1), c.firstLine);
    EXPECT_EQ(Listing(root.Path()), before);
  }
  EXPECT_NE(test::RunProgram((program / "kesta").string(), {"--help"}).out.find("kesta-cli"),
            std::string::npos);
}

}  // namespace
}  // namespace kesta
