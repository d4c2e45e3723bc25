// The line diff behind the review of an Apply and kesta-cli's --diff: exact unified output for the kinds
// of change an Apply makes, and the prepared files compared with the real files on disk.

#include "sets/change_preview.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/game_file.h"
#include "platform/code_page.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Diff(const std::string& before, const std::string& after,
                 const std::function<std::string(std::string_view)>& convert = {}) {
  FileChange change;
  change.hunks = DiffLines(SplitKeepingBreaks(before), SplitKeepingBreaks(after));
  if (change.hunks.empty()) return "";
  return UnifiedDiff(change, "Config/x.cfg", convert);
}

std::string Numbered(int first, int last, const char* lineBreak = "\r\n") {
  std::string text;
  for (int i = first; i <= last; ++i) text += "line" + std::to_string(i) + lineBreak;
  return text;
}

TEST(ChangePreviewTest, UnifiedDiffOfEachKindOfChange) {
  struct Case {
    const char* what;
    std::string before, after, expected;
  };
  const std::string head = "-- graphics\r\nVisibleRange = {\r\n\tLow = {\r\n";
  const Case cases[] = {
      {"nothing changes", Numbered(1, 9), Numbered(1, 9), ""},
      {"one value, 3 lines of context each side, CR LF kept",
       Numbered(1, 4) + "TextureLevel = 2;\r\n" + Numbered(6, 10),
       Numbered(1, 4) + "TextureLevel = 0;\r\n" + Numbered(6, 10),
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -2,7 +2,7 @@\n line2\r\n line3\r\n line4\r\n"
       "-TextureLevel = 2;\r\n+TextureLevel = 0;\r\n line6\r\n line7\r\n line8\r\n"},
      {"a new line after an anchor", head + "\t}\r\n}\r\n", head + "\t\tfar_clip = 60000;\r\n\t}\r\n}\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,5 +1,6 @@\n -- graphics\r\n VisibleRange = {\r\n"
       " \tLow = {\r\n+\t\tfar_clip = 60000;\r\n \t}\r\n }\r\n"},
      {"a removed server entry",
       "servers = {\r\n\t\"192.168.0.10\",\r\n\t\"lockon.example.org\",\r\n}\r\nname = \"Pilot\";\r\n",
       "servers = {\r\n\t\"192.168.0.10\",\r\n}\r\nname = \"Pilot\";\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,5 +1,4 @@\n servers = {\r\n \t\"192.168.0.10\",\r\n"
       "-\t\"lockon.example.org\",\r\n }\r\n name = \"Pilot\";\r\n"},
      {"an LF file rewritten with CR LF: every line changes, each break as it is", "a\nb\n", "a\r\nb\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,2 +1,2 @@\n-a\n-b\n+a\r\n+b\r\n"},
      {"a last line without a line break", "a\r\nb", "a\r\nb\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,2 +1,2 @@\n a\r\n-b\n\\ No newline at end of file\n+b\r\n"},
      {"changes far apart make two hunks", Numbered(1, 20), "first\r\n" + Numbered(2, 19) + "last\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,4 +1,4 @@\n-line1\r\n+first\r\n line2\r\n line3\r\n"
       " line4\r\n@@ -17,4 +17,4 @@\n line17\r\n line18\r\n line19\r\n-line20\r\n+last\r\n"},
      {"changes 6 lines apart share one hunk", Numbered(1, 8), "first\r\n" + Numbered(2, 7) + "last\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,8 +1,8 @@\n-line1\r\n+first\r\n line2\r\n line3\r\n"
       " line4\r\n line5\r\n line6\r\n line7\r\n-line8\r\n+last\r\n"},
      {"lines moved: a shortest diff", "a\r\nb\r\nc\r\n",
       "c\r\nb\r\na\r\n",
       "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1,3 +1,3 @@\n-a\r\n-b\r\n c\r\n+b\r\n+a\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Diff(c.before, c.after), c.expected);
  }
}

// The lines are compared as the game's bytes and shown through the game's code page.
TEST(ChangePreviewTest, GameBytesAreShownInTheGamesCodePage) {
  const GameTextCodec cyrillic(1251);
  const auto convert = [&cyrillic](std::string_view bytes) { return cyrillic.ToUtf8(bytes); };
  EXPECT_EQ(Diff("name = \"\xCF\xE8\xEB\xEE\xF2\";\r\n", "name = \"\xD1\xED\xE8\xEC\xEE\xEA\";\r\n", convert),
            "--- Config/x.cfg\n+++ Config/x.cfg\n@@ -1 +1 @@\n"
            "-name = \"\xD0\x9F\xD0\xB8\xD0\xBB\xD0\xBE\xD1\x82\";\r\n"
            "+name = \"\xD0\xA1\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA\";\r\n");
}

// Two files with nothing in common, long enough to pass the search's limit, still give a diff that
// turns one into the other.
TEST(ChangePreviewTest, FilesWithNothingInCommonGiveACorrectDiff) {
  std::vector<std::string> before, after;
  for (int i = 0; i < 3000; ++i) {
    before.push_back("old" + std::to_string(i) + "\r\n");
    after.push_back(i % 2 ? "new" + std::to_string(i) + "\r\n" : before.back());
  }
  const std::vector<DiffHunk> hunks = DiffLines(before, after);
  // Replaying the hunks over `before` gives `after`.
  std::vector<std::string> rebuilt;
  size_t next = 0;
  for (const DiffHunk& hunk : hunks) {
    const size_t start = hunk.oldCount ? hunk.oldStart - 1 : hunk.oldStart;
    rebuilt.insert(rebuilt.end(), before.begin() + next, before.begin() + start);
    next = start;
    for (const DiffLine& line : hunk.lines) {
      if (line.kind != '+') {
        ASSERT_EQ(line.text, before[next]);
        ++next;
      }
      if (line.kind != '-') rebuilt.push_back(line.text);
    }
  }
  rebuilt.insert(rebuilt.end(), before.begin() + next, before.end());
  EXPECT_EQ(rebuilt, after);
}

TEST(ChangePreviewTest, PreparedFilesAgainstTheFilesOnDisk) {
  test::TempFolder folder;
  const auto same = folder.Write("same.cfg", "a = 1;\r\nb = 2;\r\n");
  const auto changed = folder.Write("changed.cfg", "a = 1;\nb = 2;\n");
  const auto missing = folder.Path() / "missing.cfg";
  const std::vector<PreparedFile> prepared{{"Missing", missing, {"x = 1;"}},
                                           {"Same", same, {"a = 1;", "b = 2;"}},
                                           {"Changed", changed, {"a = 1;", "b = 3;"}}};
  const std::vector<FileChange> changes = PreviewChanges(prepared);
  ASSERT_EQ(changes.size(), 2u);  // in the prepared order, without the file that stays as it is
  EXPECT_EQ(changes[0].catalogKey, "Missing");
  EXPECT_EQ(UnifiedDiff(changes[0], "missing.cfg"),
            "--- /dev/null\n+++ missing.cfg\n@@ -0,0 +1 @@\n+x = 1;\r\n");
  EXPECT_EQ(changes[1].catalogKey, "Changed");
  EXPECT_EQ(UnifiedDiff(changes[1], "changed.cfg"),
            "--- changed.cfg\n+++ changed.cfg\n@@ -1,2 +1,2 @@\n-a = 1;\n-b = 2;\n+a = 1;\r\n+b = 3;\r\n");
  EXPECT_FALSE(std::filesystem::exists(missing));  // a preview writes nothing
  EXPECT_EQ(ReadGameFile(changed), (Lines{"a = 1;", "b = 2;"}));
}

}  // namespace
}  // namespace kesta
