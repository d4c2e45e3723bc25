#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include "engine/failure.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

// Comments, odd spacing, an unknown section, duplicates and CR LF: everything a hand-edited file has.
const char* const kHandEdited =
    "; KESTA settings\r\n"
    "[Config]\r\n"
    "Language = FR\r\n"
    "  ThemeColor=Blue  \r\n"
    "Language=DE\r\n"
    "\r\n"
    "[Unknown]\r\n"
    "keep=this\r\n"
    "\r\n"
    "[config]\r\n"
    "Language=IT\r\n"
    "[Files]\r\n"
    "Drawinfo=Config\\weapons\\drawinfo.lua\r\n";

TEST(IniDocumentTest, ReadsCaseInsensitivelyAndTakesTheFirstOfDuplicates) {
  const IniDocument ini(kHandEdited);
  EXPECT_EQ(ini.Value("config", "LANGUAGE"), "FR");
  EXPECT_EQ(ini.Value("Config", "themecolor"), "Blue");
  EXPECT_EQ(ini.Value("Files", "DrawInfo"), "Config\\weapons\\drawinfo.lua");
  EXPECT_EQ(ini.Value("Config", "keep"), std::nullopt);
  EXPECT_EQ(ini.Value("Nope", "x"), std::nullopt);
  EXPECT_EQ(ini.Text(), kHandEdited);  // parsing alone changes nothing
}

TEST(IniDocumentTest, MatchingQuotesAroundTheValueAreDropped) {
  const struct {
    const char* raw;
    const char* read;
  } cases[] = {
      {"\"C:\\Games\\\"", "C:\\Games\\"},
      {"'C:\\Games\\'", "C:\\Games\\"},
      {"  \"a b\"  ", "a b"},  // blanks outside the quotes go first
      {"\" a \"", " a "},      // blanks inside stay
      {"\"\"", ""},
      {"''", ""},
      {"\"a\"b\"", "a\"b"},  // only the outer pair
      {"\"", "\""},          // a lone quote
      {"'", "'"},
      {"\"abc", "\"abc"},
      {"abc\"", "abc\""},
      {"\"abc'", "\"abc'"},  // unlike quotes
      {"'abc\"", "'abc\""},
      {"a\"b\"", "a\"b\""},  // quotes that do not start the value
  };
  for (const auto& c : cases) {
    const IniDocument ini(std::string("[A]\nk=") + c.raw + "\n");
    EXPECT_EQ(ini.Value("A", "k"), c.read) << c.raw;
  }
}

struct EditCase {
  const char* what;
  const char* before;
  const char* section;
  const char* key;
  const char* value;  // nullptr: remove
  const char* after;
};

TEST(IniDocumentTest, EditsTouchOnlyTheirLine) {
  const EditCase cases[] = {
      {"replace keeps spelling and spacing", "[A]\r\nKey = old\r\n;c\r\n", "a", "key", "new",
       "[A]\r\nKey = new\r\n;c\r\n"},
      {"new key after the section's last line, before the blank line", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z",
       "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
      {"new section appended with the file's line breaks", "[A]\r\nx=1\r\n", "B", "k", "v",
       "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
      {"file without a final break", "[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2\n"},
      {"empty file", "", "Config", "Language", "EN", "[Config]\nLanguage=EN\n"},
      {"remove a key", "[A]\nx=1\ny=2\n", "A", "X", nullptr, "[A]\ny=2\n"},
      {"remove an absent key", "[A]\nx=1\n", "A", "q", nullptr, "[A]\nx=1\n"},
      {"comment that looks like the key is skipped", "[A]\n;x=1\nx=2\n", "A", "x", "3", "[A]\n;x=1\nx=3\n"},
      {"bytes that are not UTF-8 survive", "[A]\n\xFF\xFE=\x80\nx=1\n", "A", "x", "2",
       "[A]\n\xFF\xFE=\x80\nx=2\n"},
      {"quotes are written as given", "[A]\nx=1\n", "A", "x", "\"C:\\\"", "[A]\nx=\"C:\\\"\n"},
      {"byte-order mark: key of the first section replaced", "\xEF\xBB\xBF[Config]\r\nLanguage=EN\r\n;c\r\n",
       "config", "Language", "FR", "\xEF\xBB\xBF[Config]\r\nLanguage=FR\r\n;c\r\n"},
      {"byte-order mark: key added to the first section", "\xEF\xBB\xBF[Config]\r\nx=1\r\n\r\n[B]\r\n",
       "Config", "y", "2", "\xEF\xBB\xBF[Config]\r\nx=1\r\ny=2\r\n\r\n[B]\r\n"},
      {"byte-order mark: key removed from the first section", "\xEF\xBB\xBF[Config]\nx=1\ny=2\n", "Config",
       "x", nullptr, "\xEF\xBB\xBF[Config]\ny=2\n"},
      {"byte-order mark alone", "\xEF\xBB\xBF", "Config", "k", "v", "\xEF\xBB\xBF[Config]\nk=v\n"},
  };
  for (const EditCase& c : cases) {
    IniDocument ini(c.before);
    if (c.value)
      ini.SetValue(c.section, c.key, c.value);
    else
      ini.RemoveKey(c.section, c.key);
    EXPECT_EQ(ini.Text(), c.after) << c.what;
  }
}

TEST(IniFileTest, ReadAndWriteThroughTheFile) {
  test::TempFolder folder;
  const auto path = folder / "kesta.ini";
  EXPECT_EQ(ReadIniValue(path, "Config", "Language"), "\xC2\xA4\xC2\xA4\xC2\xA4\xC2\xA4\xC2\xA4");

  WriteIniValue(path, "Config", "Language", "FR");  // creates the file
  EXPECT_EQ(ReadIniValue(path, "Config", "Language"), "FR");
  EXPECT_EQ(ReadIniValue(path, "", "Language"), kMissingIniValue);
  EXPECT_EQ(ReadIniValue(path, "Config", ""), kMissingIniValue);

  WriteIniValue(path, "Config", "Language", "");  // deletes
  EXPECT_EQ(ReadIniValue(path, "Config", "Language"), kMissingIniValue);
  EXPECT_EQ(test::ReadBytes(path), "[Config]\n");
}

TEST(IniFileTest, FailedWritesAreSwallowedAndChangeNothing) {
  test::TempFolder folder;
  WriteIniValue(folder / "missing/kesta.ini", "Config", "Language", "FR");
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
  EXPECT_THROW(WriteIniValueOrFail(folder / "missing/kesta.ini", "Config", "Language", "FR"), std::exception);

  // A settings "file" that cannot be read must not be replaced by one holding a single key.
  std::filesystem::create_directory(folder / "kesta.ini");
  WriteIniValue(folder / "kesta.ini", "Config", "Language", "FR");
  EXPECT_TRUE(std::filesystem::is_directory(folder / "kesta.ini"));
}

TEST(IniFileTest, ByteOrderMarkFileKeepsItsFirstSectionAndEveryByte) {
  test::TempFolder folder;
  const auto path = folder.Write(
      "kesta.ini", "\xEF\xBB\xBF[Config]\r\nLanguage=DE\r\n; by Notepad\r\n\r\n[Files]\r\nx=1\r\n");
  EXPECT_EQ(ReadIniValue(path, "Config", "Language"), "DE");
  WriteIniValueOrFail(path, "Config", "Language", "FR");
  EXPECT_EQ(test::ReadBytes(path),
            "\xEF\xBB\xBF[Config]\r\nLanguage=FR\r\n; by Notepad\r\n\r\n[Files]\r\nx=1\r\n");
  StoreIniValue(path, "Config", "ThemeColor", "Blue");
  EXPECT_EQ(
      test::ReadBytes(path),
      "\xEF\xBB\xBF[Config]\r\nLanguage=FR\r\n; by Notepad\r\nThemeColor=Blue\r\n\r\n[Files]\r\nx=1\r\n");
}

// A line break would split the entry into lines that read back as other keys or sections.
TEST(IniFileTest, LineBreaksAreRefusedAndLeaveTheFileAsItWas) {
  const struct {
    const char* what;
    std::string section;
    std::string key;
    std::string value;
  } cases[] = {
      {"LF in the value", "Config", "LockOnPath", "/games/Lock\nOn/"},
      {"CR in the value", "Config", "LockOnPath", "/games/Lock\rOn/"},
      {"CR LF in the value", "Config", "LockOnPath", "/games/Lock\r\n[Evil]\r\nOn/"},
      {"line break ending the value", "Config", "LockOnPath", "/games/\n"},
      {"line break in the section", "Con\nfig", "LockOnPath", "/games/"},
      {"line break in the key", "Config", "Lock\r\nOnPath", "/games/"},
  };
  const std::string before = "\xEF\xBB\xBF[Config]\r\nLockOnPath=/old/\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempFolder folder;
    const auto path = folder.Write("kesta.ini", before);

    IniDocument ini(before);
    try {
      ini.SetValue(c.section, c.key, c.value);
      ADD_FAILURE() << "stored";
    } catch (const EKestaError& failure) {
      EXPECT_NE(std::string(failure.what()).find("line break"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(ini.Text(), before);

    EXPECT_THROW(WriteIniValueOrFail(path, c.section, c.key, c.value), EKestaError);
    EXPECT_THROW(StoreIniValue(path, c.section, c.key, c.value), EKestaError);
    WriteIniValue(path, c.section, c.key, c.value);
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_EQ(ReadIniValue(path, "Config", "LockOnPath"), "/old/");

    WriteIniValue(folder / "new.ini", c.section, c.key, c.value);
    EXPECT_FALSE(std::filesystem::exists(folder / "new.ini"));
  }
}

}  // namespace
}  // namespace kesta
