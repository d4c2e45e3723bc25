// Game files as players' machines really have them: junk, NUL bytes, enormous lines, no line breaks.
// The engine must read, edit and write them without crashing and without touching other bytes.

#include <gtest/gtest.h>

#include <random>

#include "engine/game_file.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

struct BadFile {
  const char* what;
  std::string bytes;
};

TEST(BadInputTest, EditsKeepEveryOtherByte) {
  const std::string hugeLine(6 * 1024 * 1024, 'x');
  const BadFile files[] = {
      {"binary junk", RandomBytes(200000, 7)},
      {"junk without NUL", [] {
         std::string junk = RandomBytes(100000, 11);
         for (char& c : junk)
           if (c == '\0') c = '\x01';
         return junk;
       }()},
      {"several-megabyte line", "a = 1;\r\n" + hugeLine + "\r\nb = 2;\r\n"},
      {"no line break at all", hugeLine + " name = value;"},
      {"bytes that are not UTF-8", "\xC3\x28 = \xA0\xA1;\r\n\xFF\xFE\xFD = 1;\r\n"},
  };
  test::TempFolder folder;
  for (const BadFile& file : files) {
    SCOPED_TRACE(file.what);
    const auto path = folder.Write("bad.lua", file.bytes);
    Lines lines = ReadGameFile(path);
    const Lines before = lines;
    GetParam(lines, "name", "", "", true);
    SetParam(lines, "kesta_marker", "1", "", false);  // absent everywhere: appended
    WriteGameFile(path, lines);

    Lines reread = ReadGameFile(path);
    ASSERT_EQ(reread.size(), before.size() + 1);
    EXPECT_EQ(reread.back(), "kesta_marker = 1;");
    reread.pop_back();
    EXPECT_TRUE(reread == before) << "a line changed";
  }
}

TEST(BadInputTest, NulEndsTheTextButNotTheFileOnDisk) {
  test::TempFolder folder;
  const auto path = folder.Write("nul.cfg", std::string("a = 1;\r\n\0hidden = 2;\r\n", 22));
  const Lines lines = ReadGameFile(path);
  EXPECT_EQ(lines, Lines{"a = 1;"});
  EXPECT_EQ(GetParam(lines, "hidden", "none", "", false), "none");
}

}  // namespace
}  // namespace kesta
