#include "engine/game_file.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/failure.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

struct SplitCase {
  std::string bytes;
  Lines lines;
};

TEST(SplitGameTextTest, AcceptsEveryLineBreakAndStopsAtNul) {
  const SplitCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then lone CR: two breaks
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {std::string("a\r\nb\0c\r\nd", 10), {"a", "b"}},
      {std::string("\0abc", 4), {}},
      {"\xE9\xFF\x80\r\n", {"\xE9\xFF\x80"}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitGameText(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(JoinGameTextTest, PutsCrLfAfterEveryLine) {
  EXPECT_EQ(JoinGameText({}), "");
  EXPECT_EQ(JoinGameText({""}), "\r\n");
  EXPECT_EQ(JoinGameText({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(GameFileTest, RoundTripNormalisesLineBreaksAndKeepsBytes) {
  test::TempFolder folder;
  const auto path = folder.Write("graphics.cfg", "a = 1;\nb = \xE9;\rc = 3;");
  Lines lines = ReadGameFile(path);
  SetParam(lines, "b", "\xE8", "", false);
  WriteGameFile(path, lines);
  EXPECT_EQ(test::ReadBytes(path), "a = 1;\r\nb = \xE8;\r\nc = 3;\r\n");
}

TEST(GameFileTest, MissingFileFailsWithTheSystemText) {
  test::TempFolder folder;
  try {
    ReadGameFile(folder / "missing.lua");
    FAIL() << "expected a failure";
  } catch (const EKestaError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (folder / "missing.lua").string() + "\". No such file or directory");
  }
}

// Stands in for a saved configuration: blocks by catalogue path.
class MemorySections : public GameFileSections {
 public:
  bool TakeSection(std::string_view catalogPath, Lines& lines) override {
    lines = blocks[std::string(catalogPath)];
    return !lines.empty();
  }
  void PutSection(std::string_view catalogPath, const Lines& lines) override {
    blocks[std::string(catalogPath)] = lines;
  }
  std::map<std::string, Lines> blocks;
};

TEST(GameFileAccessTest, WorksOnFilesOrOnAttachedSections) {
  test::TempFolder folder;
  const auto path = folder.Write("stats.lua", "chat_log = false;\n");
  GameFileAccess access;
  Lines lines;
  ASSERT_TRUE(access.LoadGameFile(lines, path, "Config\\network\\stats.lua"));
  EXPECT_EQ(lines, Lines{"chat_log = false;"});

  MemorySections sections;
  access.AttachSections(&sections);
  access.SaveGameFile({"x = 1;"}, path, "Config\\network\\stats.lua");
  EXPECT_EQ(test::ReadBytes(path), "chat_log = false;\n");  // the game file is not touched
  EXPECT_EQ(sections.blocks["Config\\network\\stats.lua"], Lines{"x = 1;"});
  EXPECT_FALSE(access.LoadGameFile(lines, path, "Config\\view\\view.lua"));

  access.AttachSections(nullptr);
  access.SaveGameFile({"y = 2;"}, path, "Config\\network\\stats.lua");
  EXPECT_EQ(test::ReadBytes(path), "y = 2;\r\n");
}

}  // namespace
}  // namespace kesta
