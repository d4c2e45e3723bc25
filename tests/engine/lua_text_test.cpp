// Texts between double quotes in the game's Lua files: what we write is a literal holding exactly the text,
// what we read gives the literal's text back, and hand-edited values still read the old way.

#include <gtest/gtest.h>

#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

TEST(LuaTextTest, WrittenTextsParseAndReadBackUnchanged) {
  const std::string texts[] = {
      "Pilot",
      "x\"; os.execute(\"rm -rf ~\") --",          // would end the string and run code
      "He said \"hi\" \\ C:\\Games\\",              // quotes and backslashes
      "\xCF\xE8\xEB\xEE\xF2",                       // "Пилот" in code page 1251
      std::string("a\nb\r\tc\x01" "2\x7F", 9),     // control bytes, a digit right after an escape
      "",
      "semi;colon, comma = equals",
  };
  test::TempFolder folder;
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const Lines lines{"-- options", "playerName = " + LuaQuoted(text) + ";"};
    const auto file = folder.Write("config.lua", JoinGameText(lines));
    const auto luac = test::RunProgram("/bin/bash", {(test::SourceFolder() / "scripts/check_lua.sh").string(),
                                                     file.string()});
    EXPECT_EQ(luac.exitStatus, 0) << luac.err;
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "config.lua"));
    EXPECT_EQ(GetQuotedParam(ReadGameFile(file), "playerName", ""), text);
  }
}

TEST(LuaTextTest, ValuesThatAreNoSingleLiteralReadTheOldWay) {
  struct Case {
    const char* line;
    const char* text;
  };
  const Case cases[] = {
      {"name = \"Pilot\";", "Pilot"},
      {"name = \"Pilot\" ;  -- the player", "Pilot"},
      {"name = \"Pilot\",", "Pilot"},
      {"name = \"\\65\\066\\0671\";", "ABC1"},
      {"name = \"a;b\";", "a;b"},
      // Not one literal: every quote removed from the value, after its first ";" is dropped.
      {"name = Pilot;", "Pilot"},
      {"name = \"He said \"hi\"\";", "He said hi"},
      {"name = \"C:\\Games\";", "C:\\Games"},  // an escape Lua would not keep as typed
      {"name = \"\\300\";", "\\300"},          // beyond a byte
      {"name = \"open;", "open"},
      {"name = \"a\" .. \"b\";", "a .. b"},
      {"other = 1;", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(GetQuotedParam({"-- x", c.line}, "name", ""), c.text);
  }
}

TEST(LuaTextTest, SyntaxErrorsNameTheFileAndTheLine) {
  EXPECT_FALSE(LuaSyntaxError("a = 1\r\nb = { c = \"d\" }\r\n", "config.lua"));
  const auto error = LuaSyntaxError("a = 1\r\nb = \r\n", "config.lua");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("config.lua:"), std::string::npos) << *error;
  // The parser never runs the text.
  EXPECT_FALSE(LuaSyntaxError("os.exit(3)", "x.lua"));
}

}  // namespace
}  // namespace kesta
