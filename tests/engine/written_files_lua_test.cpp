// The game must still read its files after we wrote them: the shipped files and files written by the
// engine go through the Lua 5.1 compiler.

#include <gtest/gtest.h>

#include "engine/game_file.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

test::ProgramResult CheckLua(const std::vector<std::string>& paths) {
  std::vector<std::string> arguments{(test::SourceFolder() / "scripts/check_lua.sh").string()};
  arguments.insert(arguments.end(), paths.begin(), paths.end());
  return test::RunProgram("/bin/bash", arguments);
}

TEST(LuaSyntaxTest, ShippedFilesParse) {
  const auto result = CheckLua({(test::SourceFolder() / "resources/Default").string(),
                                (test::SourceFolder() / "resources/sample-game").string()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
}

TEST(LuaSyntaxTest, CheckerRejectsBrokenLua) {
  test::TempFolder folder;
  const auto result = CheckLua({folder.Write("bad.lua", "x = {\r\n").string()});
  EXPECT_EQ(result.exitStatus, 1);
}

struct Edit {
  const char* defaultCopy;
  const char* name;
  const char* value;
  const char* anchor;
  bool noSemicolon;
};

// Writes the engine makes in every kind of Lua game file: replacing, inserting after an anchor and
// appending, with and without the final semicolon.
TEST(LuaSyntaxTest, FilesWrittenByTheEngineParse) {
  const Edit edits[] = {
      {"Graphics.cfg", "TextureLevel", "1", "", false},
      {"Graphics.cfg", "\t\tfullscreen", "0", "Simulation", false},
      {"Graphics.cfg", "\t\tresolution", "{800, 600}", "AVI", false},
      {"Graphics.cfg", "\t\tlod", "1.2", "OPTIKESTA_High", false},
      {"Graphics.cfg", "\tcurrent", "\"High\"", "Camera", false},
      {"Cockpit.cfg", "Mirrors", "true", "", false},
      {"Config.lua", "\tport", "10309", "client {", false},
      {"Config.lua", "\tinterface", "\"All interfaces\"", "server {", false},
      {"Stats.lua", "chat_log", "true", "", false},
      {"Server.lua", "\tr[1]", "0.5", "GetRearCameraPosition", true},
      {"View.lua", "CockpitMouse", "true", "", true},
      {"drawinfo.lua", "\t\tr", "200,", "Smokes[67]", true},
      {"exportconfig.lua", "EnableExportScript", "true", "--]]", true},
  };
  test::TempFolder folder;
  std::vector<std::string> written;
  for (const Edit& edit : edits) {
    const fs::path target = folder / edit.defaultCopy;
    const fs::path source = fs::exists(target) ? target : test::SourceFolder() / "resources/Default" / edit.defaultCopy;
    Lines lines = ReadGameFile(source);
    ASSERT_NO_THROW(SetParam(lines, edit.name, edit.value, edit.anchor, edit.noSemicolon)) << edit.name;
    WriteGameFile(target, lines);
    if (std::find(written.begin(), written.end(), target.string()) == written.end()) written.push_back(target);
  }
  const auto result = CheckLua(written);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
}

}  // namespace
}  // namespace kesta
