// kesta-cli run as a real program over real files.

#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

const char* const kConfig =
    "client {\n"
    "\tport = 10308;\n"
    "}\n"
    "server {\n"
    "\tname = \"Old\";\n"
    "}\r\n";

class CliTest : public testing::Test {
 protected:
  test::ProgramResult Run(const std::vector<std::string>& arguments) {
    return test::RunProgram((test::BinaryFolder() / "kesta-cli").string(), arguments);
  }
  test::TempFolder folder;
  std::filesystem::path file = folder.Write("config.lua", kConfig);
};

TEST_F(CliTest, GetPrintsTheValueOrTheDefault) {
  auto result = Run({"get", file.string(), "port", "--anchor", "client {"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "10308\n");

  result = Run({"get", file.string(), "maxPlayers", "--default", "16", "--anchor", "server {"});
  EXPECT_EQ(result.out, "16\n");
  EXPECT_EQ(test::ReadBytes(file), kConfig);  // reading never writes
}

TEST_F(CliTest, SetWritesTheLineAndTheWholeFileWithCrLf) {
  const auto result = Run({"set", file.string(), "\tname", "\"New\"", "--anchor", "server {"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "\tname = \"New\";\n");
  EXPECT_EQ(test::ReadBytes(file), "client {\r\n\tport = 10308;\r\n}\r\nserver {\r\n\tname = \"New\";\r\n}\r\n");
}

TEST_F(CliTest, DeleteRemovesTheLine) {
  EXPECT_EQ(Run({"delete", file.string(), "port"}).exitStatus, 0);
  EXPECT_EQ(test::ReadBytes(file), "client {\r\n}\r\nserver {\r\n\tname = \"Old\";\r\n}\r\n");
}

TEST_F(CliTest, EngineErrorsGoToStandardErrorAndLeaveTheFile) {
  auto result = Run({"set", file.string(), "x", "1", "--anchor", "nowhere {", "--no-semicolon"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "SetParam Error (\"Param=x\", \"Value=1\") : List index out of bounds (-1)\n");
  EXPECT_EQ(result.out, "");

  result = Run({"delete", file.string(), "x", "--anchor", "nowhere {"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err,
            "DeleteParam Error (\"Param=x\", \"SearchBefore=nowhere {\") : List index out of bounds (-1)\n");
  EXPECT_EQ(test::ReadBytes(file), kConfig);

  result = Run({"get", (folder / "missing.lua").string(), "x"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("No such file or directory"), std::string::npos) << result.err;
}

TEST_F(CliTest, WrongUsagePrintsTheUsage) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"get", file.string()},
      {"set", file.string(), "name"},
      {"frob", file.string(), "name"},
      {"get", file.string(), "name", "--anchor"},
      {"delete", file.string(), "name", "--strip-comma"},
      {"get", file.string(), "name", "extra"},
  };
  for (const auto& arguments : wrong) {
    const auto result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 2) << testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("usage:"), std::string::npos);
  }
  EXPECT_EQ(test::ReadBytes(file), kConfig);
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("parameter line"), std::string::npos);
}

}  // namespace
}  // namespace kesta
