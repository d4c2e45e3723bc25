#include "platform/wine_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "engine/failure.h"
#include "platform/wine_registry_parser.h"
#include "support/run_program.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr const char* kGameKey = "Software\\Eagle Dynamics\\Lock On 1.1";
constexpr const char* kReplacement = "\xEF\xBF\xBD";

std::string RegFile(std::string_view body, std::string_view arch = "win32") {
  return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" + std::string(arch) +
         "\n\n" + std::string(body);
}

const WineRegValue* FindValue(const ParsedRegistry& keys, std::string_view key, std::string_view name) {
  const WineRegKey* found = keys.FindKey(key);
  return found ? found->FindValue(name) : nullptr;
}

TEST(ParseWineRegistry, DecodesEachKindOfValue) {
  struct Case {
    std::string line;  // value "v" of a key, as written in the file
    std::uint32_t type;
    std::string data;
  };
  const Case cases[] = {
      {R"("v"="C:\\Games\\Lock On\\")", kRegSz, "C:\\Games\\Lock On\\"},
      {R"("v"="say \"hi\"\ttab\nnew\rline\a")", kRegSz, "say \"hi\"\ttab\nnew\rline\a"},
      {R"("v"="Jeux\\\x00e9t\x00e9")", kRegSz, "Jeux\\\xC3\xA9t\xC3\xA9"},
      {R"("v"="\xe9t\xe9")", kRegSz, "\xC3\xA9t\xC3\xA9"},  // short escapes
      {R"("v"="\x20ac1")", kRegSz,
       "\xE2\x82\xAC"
       "1"},                                                    // four digits at most
      {R"("v"="\xd83d\xde00!")", kRegSz, "\xF0\x9F\x98\x80!"},  // surrogate pair
      {R"("v"="\xd800x\xdc00")", kRegSz, std::string(kReplacement) + "x" + kReplacement},
      {R"("v"="\xq")", kRegSz, "xq"},
      {"\"v\"=\"\xC3\xA9t\xC3\xA9\"", kRegSz, "\xC3\xA9t\xC3\xA9"},  // raw UTF-8
      {"\"v\"=\"a\xFF"
       "b\xE2\x82\"",
       kRegSz, "a" + std::string(kReplacement) + "b" + kReplacement + kReplacement},
      {R"("v"="a\0b")", kRegSz, "a"},  // a program reading it stops at the NUL
      // Control characters in octal, as Wine writes them: three digits before a digit.
      {R"("v"="A\0015B")", kRegSz, "A\x01" "5B"},
      {R"("v"="\1\e\37x")", kRegSz, "\x01\x1B\x1Fx"},
      {R"("v"="\101\1018")", kRegSz, "AA8"},
      {R"("v"="")", kRegSz, ""},
      {R"(@="default")", kRegSz, "default"},
      {R"("v"=str(2):"%ProgramFiles%\\Lock On")", kRegExpandSz, "%ProgramFiles%\\Lock On"},
      {R"("v"=str(7):"a\0b\0")", kRegMultiSz, std::string("a\0b\0", 4)},
      {R"("v"=dword:0000001f)", kRegDword, std::string("\x1f\0\0\0", 4)},
      {R"("v"=dword:FFFFFFFE)", kRegDword, "\xFE\xFF\xFF\xFF"},
      {R"("v"=hex:01,ff,)", kRegBinary, "\x01\xFF"},
      {R"("v"=hex:)", kRegBinary, ""},
      {R"("v"=hex(2):43,00,3a,00,5c,00,00,00)", kRegExpandSz, "C:\\"},
      {R"("v"=hex(1):e9,00,3d,d8,00,de,00,00)", kRegSz, "\xC3\xA9\xF0\x9F\x98\x80"},
      // The same text either way: UTF-8 with its NUL separators.
      {R"("v"=hex(7):61,00,00,00,00,00)", kRegMultiSz, std::string("a\0\0", 3)},
      {R"("v"=hex(7):e9,00,00,00,62,00,00,00,00,00)", kRegMultiSz, std::string("\xC3\xA9\0b\0\0", 6)},
      {R"("v"=str(7):"\x00e9\0b\0\0")", kRegMultiSz, std::string("\xC3\xA9\0b\0\0", 6)},
      {R"("v"=hex(b):01,00,00,00,00,00,00,00)", 11, std::string("\x01\0\0\0\0\0\0\0", 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ParsedRegistry keys = ParseWineRegistry(RegFile("[Key] 1\n" + c.line + "\n"));
    const WineRegValue* value = FindValue(keys, "Key", c.line.starts_with('@') ? "" : "v");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->data, c.data);
  }
}

TEST(ParseWineRegistry, JoinsContinuationLinesOfHexData) {
  for (const std::string eol : {"\n", "\r\n"}) {
    const std::string text =
        RegFile("[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1712345678" + eol +
                "\"Path\"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,\\" + eol + "  65,00,73,00,5c,00,\\" +
                eol + "  00,00" + eol + "\"After\"=\"next\"" + eol);
    const ParsedRegistry keys = ParseWineRegistry(text);
    const WineRegValue* path = FindValue(keys, kGameKey, "Path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->data, "C:\\Games\\");
    ASSERT_NE(FindValue(keys, kGameKey, "After"), nullptr);
    EXPECT_EQ(FindValue(keys, kGameKey, "After")->data, "next");
  }
}

TEST(ParseWineRegistry, KeyAndValueNamesAreUnescapedAndFoldOnlyAsciiCase) {
  const ParsedRegistry keys =
      ParseWineRegistry(RegFile("[Software\\\\Jeux\\\\\\x00e9t\\x00e9\\\\Lock On] 1712345678\n"
                                "#time=1da8f2c3e4b5a60\n"
                                "\"Game Path\"=\"D:\\\\\"\n"
                                "\"\\x00c9t\\x00e9\"=\"summer\"\n"));
  const WineRegKey* key = keys.FindKey("SOFTWARE\\jeux\\\xC3\xA9t\xC3\xA9\\LOCK ON");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->path, "Software\\Jeux\\\xC3\xA9t\xC3\xA9\\Lock On");
  EXPECT_NE(key->FindValue("GAME PATH"), nullptr);
  EXPECT_NE(key->FindValue("\xC3\x89t\xC3\xA9"), nullptr);
  // Folding is ASCII only: "É" does not match "é".
  EXPECT_EQ(keys.FindKey("Software\\Jeux\\\xC3\x89t\xC3\xA9\\Lock On"), nullptr);
  EXPECT_EQ(key->FindValue("\xC3\xA9t\xC3\xA9"), nullptr);
}

TEST(ParseWineRegistry, ParentKeysExistAndSubKeysAreListedOnce) {
  const ParsedRegistry keys = ParseWineRegistry(
      RegFile("[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"C:\\\\\"\n"
              "[Software\\\\Eagle Dynamics\\\\Lock On 1.1 Beta] 1\n\"Path\"=\"D:\\\\\"\n"
              "[Software\\\\Eagle Dynamics\\\\Lock On 1.1\\\\Options] 1\n\"Mode\"=dword:00000001\n"
              "[software\\\\eagle dynamics\\\\LockOn Server] 1\n"
              "[Software\\\\Wine] 1\n"));
  EXPECT_TRUE(keys.KeyExists("Software"));
  EXPECT_TRUE(keys.KeyExists("software\\EAGLE DYNAMICS"));
  EXPECT_TRUE(keys.KeyExists(kGameKey));
  EXPECT_FALSE(keys.KeyExists("Software\\Eagle")) << "a prefix of a name is no parent";
  EXPECT_FALSE(keys.KeyExists("Software\\Eagle Dynamics\\Lock On 1.1\\Options\\More"));
  EXPECT_EQ(keys.FindKey("Software\\Eagle Dynamics"), nullptr);
  EXPECT_EQ(keys.SubKeyNames("Software\\Eagle Dynamics"),
            (std::vector<std::string>{"Lock On 1.1", "Lock On 1.1 Beta", "LockOn Server"}));
  EXPECT_EQ(keys.SubKeyNames(""), std::vector<std::string>{"Software"});
  EXPECT_EQ(keys.SubKeyNames("Software"), (std::vector<std::string>{"Eagle Dynamics", "Wine"}));
  EXPECT_TRUE(keys.SubKeyNames("Software\\Wine").empty());
  EXPECT_TRUE(keys.SubKeyNames("Software\\Missing").empty());
}

TEST(ParseWineRegistry, DamagedTextKeepsOnlyWellFormedKeysAndValues) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> keys;  // every key found, in order
    std::size_t valuesOfFirstKey;
  };
  const std::string good = "[Good] 1\n\"Path\"=\"C:\\\\\"\n";
  const Case cases[] = {
      {"empty", "", {}, 0},
      {"no header", good, {}, 0},
      {"other version", "WINE REGISTRY Version 1\n" + good, {}, 0},
      {"header only", "WINE REGISTRY Version 2", {}, 0},
      {"truncated key line", RegFile("[Software\\\\Eag\n\"Path\"=\"x\"\n"), {}, 0},
      {"empty key components", RegFile("[Software\\\\\\\\Eagle]\n[\\\\Lead]\n[Trail\\\\]\n[]\n"), {}, 0},
      {"value before any key", RegFile("\"Path\"=\"x\"\n" + good), {"Good"}, 1},
      {"unterminated quote", RegFile(good + "\"Other\"=\"C:\\\\Ga"), {"Good"}, 1},
      {"unterminated name", RegFile(good + "\"Other=\"x\"\n"), {"Good"}, 1},
      {"no equals sign", RegFile(good + "\"Other\" \"x\"\n"), {"Good"}, 1},
      {"bad numbers",
       RegFile(good +
               "\"a\"=hex:zz\n\"b\"=dword:xyz\n\"c\"=dword:123456789\n\"d\"=hex:123\n\"e\"=hex(2x):00\n"
               "\"f\"=str(7:\"x\"\n\"g\"=dword:1 2\n\"h\"=other:00\n"),
       {"Good"},
       1},
      {"continuation cut by end of file", RegFile(good + "\"Bin\"=hex:01,02,\\"), {"Good"}, 1},
      {"continuation not indented", RegFile(good + "\"Bin\"=hex:01,\\\n[Next] 1\n"), {"Good", "Next"}, 1},
      {"garbage between keys",
       RegFile(good + "\xFF\xFE" + '\0' + "\x01garbage]]\"=\n\n@@\n[Next] 1\n@=\"x\"\n"),
       {"Good", "Next"},
       1},
      {"values of a damaged key go nowhere", RegFile(good + "[Broken\n\"Lost\"=\"x\"\n"), {"Good"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ParsedRegistry keys = ParseWineRegistry(c.text);
    EXPECT_EQ(keys.KeyCount(), c.keys.size());
    for (const std::string& key : c.keys) EXPECT_NE(keys.FindKey(key), nullptr) << key;
    if (!c.keys.empty()) {
      EXPECT_EQ(keys.FindKey(c.keys.front())->values.size(), c.valuesOfFirstKey);
    }
  }
}

// What a lookup learns about a key: whether it exists, its path as written, whether it is a link, and
// its values.
std::string Describe(const ParsedRegistry& keys, std::string_view path) {
  if (!keys.KeyExists(path)) return "missing";
  const WineRegKey* key = keys.FindKey(path);
  if (!key) return "only subkeys";
  std::string text = key->path + (key->link ? " (link)" : "");
  for (const auto& [name, value] : key->values)
    text += "\n" + name + "=" + std::to_string(value.type) + ":" + value.data;
  return text;
}

TEST(ParseWineRegistryKey, AnswersAsTheWholeFileDoes) {
  const std::string text = RegFile(
      "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1712345678\r\n#time=1da8f2c3e4b5a60\r\n"
      "\"Path\"=hex(2):43,00,3a,00,\\\r\n  5c,00,00,00\r\n\"\\x00c9t\\x00e9\"=\"summer\"\r\n"
      "[Software\\\\Eagle Dynamics\\\\Lock On 1.1 Beta] 1\n\"Path\"=\"beta\"\n"
      "[Software\\\\Jeux\\\\\\x00e9t\\x00e9\\\\Lock On] 1\n\"Game Path\"=\"D:\\\\\"\n"
      "[Software\\\\Eagle Dynamics\\\\Lock On 1.1\\\\Opti\\x6fns] 1\n\"Mode\"=dword:00000001\n"
      "[Twice] 1\n\"a\"=\"1\"\n\"b\"=\"old\"\n[Other] 1\n\"b\"=\"other\"\n[TWICE] 2\n\"b\"=\"new\"\n"
      "[Broken\n\"Lost\"=\"x\"\n#arch=win64\n");
  struct Case {
    const char* what;
    std::string path, value;
    std::optional<std::string> data;
  };
  const Case cases[] = {
      {"plain, value over continuation lines", kGameKey, "Path", "C:\\"},
      {"other letter case, escaped value name", "SOFTWARE\\eagle dynamics\\LOCK ON 1.1", "\xC3\x89t\xC3\xA9",
       "summer"},
      {"escaped key name", "Software\\Jeux\\\xC3\xA9t\xC3\xA9\\Lock On", "GAME PATH", "D:\\"},
      {"plain letter written escaped", "Software\\Eagle Dynamics\\Lock On 1.1\\Options", "Mode",
       std::string("\x01\0\0\0", 4)},
      {"key written twice: later value", "twice", "b", "new"},
      {"key written twice: earlier value", "Twice", "a", "1"},
      {"only a parent of keys", "Software\\Eagle Dynamics", "Path", std::nullopt},
      {"a prefix of a name is no key", "Software\\Eagle", "Path", std::nullopt},
      {"missing key", "Software\\Missing", "Path", std::nullopt},
      {"damaged header", "Broken", "Lost", std::nullopt},
      {"root", "", "", std::nullopt},
  };
  const ParsedRegistry whole = ParseWineRegistry(text);
  ASSERT_TRUE(whole.IsWin64());  // the last "#arch" line counts
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ParsedRegistry part = ParseWineRegistryKey(text, c.path);
    EXPECT_EQ(Describe(part, c.path), Describe(whole, c.path));
    EXPECT_EQ(part.IsWin64(), whole.IsWin64());
    const WineRegValue* value = FindValue(part, c.path, c.value);
    EXPECT_EQ(value ? std::optional(value->data) : std::nullopt, c.data);
  }
}

class WineRegistryTest : public ::testing::Test {
 protected:
  void WriteUser(std::string_view body, std::string_view arch = "win32") {
    m_prefix.Write("user.reg", RegFile(body, arch));
  }
  void WriteSystem(std::string_view body, std::string_view arch) {
    m_prefix.Write("system.reg", RegFile(body, arch));
  }

  TempFolder m_prefix;
  WineRegistry m_wine{m_prefix.Path()};
};

TEST_F(WineRegistryTest, EachRootReadsItsOwnFile) {
  WriteUser("[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"C:\\\\Games\\\\Lock On\\\\\"\n");
  WriteSystem(
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n",
      "win32");
  EXPECT_EQ(m_wine.ReadString(RegRoot::CurrentUser, kGameKey, "Path"), "C:\\Games\\Lock On\\");
  EXPECT_FALSE(m_wine.KeyExists(RegRoot::LocalMachine, kGameKey));
  EXPECT_EQ(m_wine.ReadString(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                              "ProgramFilesDir"),
            "C:\\Program Files");
  EXPECT_EQ(m_wine.SubKeyNames(RegRoot::LocalMachine, "Software\\Microsoft"),
            std::vector<std::string>{"Windows"});
  EXPECT_EQ(m_wine.ReadString(RegRoot::CurrentUser, kGameKey, "Missing"), std::nullopt);
  EXPECT_EQ(m_wine.ReadString(RegRoot::CurrentUser, "Software\\Missing", "Path"), std::nullopt);
}

TEST_F(WineRegistryTest, ReadStringRefusesValuesThatAreNoStrings) {
  WriteUser(
      "[Key] "
      "1\n\"sz\"=\"a\"\n\"expand\"=str(2):\"b\"\n\"hex2\"=hex(2):63,00,00,00\n\"dword\"=dword:00000001\n"
      "\"binary\"=hex:01\n\"multi\"=str(7):\"a\\0\"\n\"hex7\"=hex(7):61,00,00,00\n\"qword\"=hex(b):01,00\n");
  for (const std::string name : {"sz", "expand", "hex2"})
    EXPECT_TRUE(m_wine.ReadString(RegRoot::CurrentUser, "Key", name).has_value()) << name;
  for (const std::string name : {"dword", "binary", "multi", "hex7", "qword"}) {
    try {
      m_wine.ReadString(RegRoot::CurrentUser, "Key", name);
      ADD_FAILURE() << name << " read as a string";
    } catch (const EKestaError& error) {
      EXPECT_EQ(error.what(), "Invalid data type for '" + name + "'");
    }
  }
}

TEST_F(WineRegistryTest, MachineKeysOfA64BitPrefixAreLookedForUnderWow6432NodeFirst) {
  struct Case {
    const char* arch;
    bool wowKey, plainKey;
    std::optional<std::string> found;
  };
  const Case cases[] = {
      {"win64", true, true, "wow"},   {"win64", false, true, "plain"},      {"win64", true, false, "wow"},
      {"win32", true, true, "plain"}, {"win32", true, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arch) + (c.wowKey ? " wow" : "") + (c.plainKey ? " plain" : ""));
    std::string body;
    if (c.wowKey) body += "[Software\\\\Wow6432Node\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"wow\"\n";
    if (c.plainKey) body += "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"plain\"\n";
    WriteSystem(body, c.arch);
    WriteUser(body, "win64");
    WineRegistry wine(m_prefix.Path());
    EXPECT_EQ(wine.KeyExists(RegRoot::LocalMachine, "software\\eagle dynamics\\lock on 1.1"),
              c.found.has_value());
    EXPECT_EQ(wine.ReadString(RegRoot::LocalMachine, kGameKey, "Path"), c.found);
    if (c.found) {
      EXPECT_EQ(wine.SubKeyNames(RegRoot::LocalMachine, "Software\\Eagle Dynamics").size(), 1u);
    }
    // Only HKEY_LOCAL_MACHINE is redirected.
    EXPECT_EQ(wine.ReadString(RegRoot::CurrentUser, kGameKey, "Path"),
              c.plainKey ? std::optional<std::string>("plain") : std::nullopt);
  }
}

TEST_F(WineRegistryTest, FilesAreReadAgainWhenTheyChange) {
  const auto version = [](const char* path) {
    return "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"" + std::string(path) + "\"\n";
  };
  // A value alone is read from its key's part of the file; listing subkeys parses all of it.
  for (const bool whole : {false, true}) {
    SCOPED_TRACE(whole ? "whole file parsed" : "key's part read");
    WineRegistry wine(m_prefix.Path());
    const auto read = [&] {
      if (whole) wine.SubKeyNames(RegRoot::CurrentUser, "Software");
      return wine.ReadString(RegRoot::CurrentUser, kGameKey, "Path");
    };
    WriteUser(version("C:\\\\Old\\\\"));
    EXPECT_EQ(read(), "C:\\Old\\");

    // Wine rewrote the file; its time moves on even on a file system with coarse times.
    const fs::file_time_type before = fs::last_write_time(m_prefix / "user.reg");
    WriteUser(version("D:\\\\Newer\\\\"));
    fs::last_write_time(m_prefix / "user.reg", before + std::chrono::seconds(2));
    EXPECT_EQ(read(), "D:\\Newer\\");

    fs::remove(m_prefix / "user.reg");
    EXPECT_FALSE(wine.KeyExists(RegRoot::CurrentUser, kGameKey));
    WriteUser(version("F:\\\\"));
    EXPECT_EQ(read(), "F:\\");
  }
}

// The value of a link key: the name of the key it stands for, in UTF-16LE without a terminator.
std::string LinkValue(std::string_view target) {
  std::string line = "\"SymbolicLinkValue\"=hex(6):";
  char byte[8];
  for (const char c : target) {
    std::snprintf(byte, sizeof byte, "%02x,00,", static_cast<unsigned char>(c));
    line += byte;
  }
  line.back() = '\n';
  return line;
}

// Newer Wine prefixes make CurrentControlSet a link to ControlSet001.
TEST_F(WineRegistryTest, LinksAreFollowedAsWineFollowsThem) {
  std::string body =
      "[System\\\\ControlSet001\\\\Control\\\\Nls\\\\Codepage] 1\n\"ACP\"=\"1251\"\n"
      "[System\\\\NoTarget] 1\n#link\n";
  const std::pair<const char*, const char*> links[] = {
      {"CurrentControlSet", "\\Registry\\Machine\\System\\ControlSet001"},
      {"Alias", "\\REGISTRY\\MACHINE\\system\\currentcontrolset"},
      {"Nowhere", "\\Registry\\Machine\\System\\Missing"},
      {"Loop1", "\\Registry\\Machine\\System\\Loop2"},
      {"Loop2", "\\Registry\\Machine\\System\\Loop1"},
      {"OtherHive", "\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software"},
  };
  for (const auto& [name, target] : links)
    body += "[System\\\\" + std::string(name) + "] 1\n#link\n" + LinkValue(target);
  body += "[System\\\\NotALink] 1\n" + LinkValue("\\Registry\\Machine\\System\\ControlSet001");
  WriteSystem(body, "win64");
  struct Case {
    const char* path;
    bool exists;
    std::optional<std::string> acp;
  };
  const Case cases[] = {
      {"System\\CurrentControlSet\\Control\\Nls\\CodePage", true, "1251"},
      {"system\\currentcontrolset\\CONTROL\\nls\\codepage", true, "1251"},
      {"System\\CurrentControlSet", true, std::nullopt},
      {"System\\Alias\\Control\\Nls\\CodePage", true, "1251"},  // a link to a link
      {"System\\CurrentControlSet\\Control\\Missing", false, std::nullopt},
      {"System\\Nowhere", false, std::nullopt},
      {"System\\NoTarget", false, std::nullopt},
      {"System\\Loop1\\Control", false, std::nullopt},
      {"System\\OtherHive", false, std::nullopt},
      {"System\\NotALink", true, std::nullopt},  // a link value alone makes no link
      {"System\\NotALink\\Control", false, std::nullopt},
  };
  for (const Case& c : cases) {
    for (const bool whole : {false, true}) {
      SCOPED_TRACE(std::string(c.path) + (whole ? ", whole file parsed" : ", key's part read"));
      WineRegistry wine(m_prefix.Path());
      if (whole) {
        EXPECT_EQ(wine.SubKeyNames(RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Nls"),
                  std::vector<std::string>{"Codepage"});
      }
      EXPECT_EQ(wine.KeyExists(RegRoot::LocalMachine, c.path), c.exists);
      EXPECT_EQ(wine.ReadString(RegRoot::LocalMachine, c.path, "ACP"), c.acp);
    }
  }
}

TEST_F(WineRegistryTest, MissingOrUnreadableFilesHoldNoKeysAndNothingIsWritable) {
  WineRegistry missing(m_prefix / "no-such-prefix");
  EXPECT_FALSE(missing.KeyExists(RegRoot::CurrentUser, kGameKey));
  EXPECT_TRUE(missing.SubKeyNames(RegRoot::LocalMachine, "").empty());
  fs::create_directory(m_prefix / "system.reg");
  EXPECT_FALSE(m_wine.KeyExists(RegRoot::LocalMachine, "Software"));

  WriteUser("[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n");
  EXPECT_TRUE(m_wine.KeyExists(RegRoot::CurrentUser, kGameKey));
  EXPECT_FALSE(m_wine.CanWrite(RegRoot::CurrentUser, kGameKey));
  EXPECT_THROW(m_wine.WriteString(RegRoot::CurrentUser, kGameKey, "Path", "D:\\"), EKestaError);
}

using test::ScopedEnv;

TEST(WineRegistryPrefix, ComesFromWineprefixElseFromHome) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/games/prefix", "/home/pilot", "/games/prefix"},
      {"", "/home/pilot", "/home/pilot/.wine"},
      {nullptr, "/home/pilot", "/home/pilot/.wine"},
  };
  for (const auto& [prefix, home, expected] : cases) {
    ScopedEnv setPrefix("WINEPREFIX", prefix);
    ScopedEnv setHome("HOME", home);
    EXPECT_EQ(WineRegistry::DefaultPrefix(), fs::path(expected)) << (prefix ? prefix : "(unset)");
  }
}

TEST(WineRegistryPaths, MapThroughDosdevicesAndMatchLetterCase) {
  TempFolder root;
  root.Write("prefix/drive_c/Games/Lock On/Config/graphics.cfg", "");
  root.Write("cdrom/setup.exe", "");
  fs::create_directory(root / "prefix/dosdevices");
  fs::create_directory_symlink("../drive_c", root / "prefix/dosdevices/c:");
  fs::create_directory_symlink(root / "cdrom", root / "prefix/dosdevices/d:");
  fs::create_directory_symlink("/", root / "prefix/dosdevices/z:");
  const std::string base = root.Path().string();

  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Games\\Lock On\\", base + "/prefix/drive_c/Games/Lock On/"},
      {"c:\\GAMES\\lock on\\config\\GRAPHICS.CFG",
       base + "/prefix/drive_c/Games/Lock On/Config/graphics.cfg"},
      {"C:/Games//Lock On", base + "/prefix/drive_c/Games/Lock On"},
      {"C:\\games\\Missing\\Config\\", base + "/prefix/drive_c/Games/Missing/Config/"},
      {"C:", base + "/prefix/drive_c"},
      {"C:\\", base + "/prefix/drive_c/"},
      {"D:\\SETUP.EXE", base + "/cdrom/setup.exe"},
      {"Z:" + base + "\\cdrom", base + "/cdrom"},
      {"E:\\Games\\Lock On\\", "E:/Games/Lock On/"},
      {"Config\\graphics.cfg", "Config/graphics.cfg"},
      {"\\\\server\\share\\Lock On\\", "//server/share/Lock On/"},
      {"", ""},
  };
  WineRegistry wine(root / "prefix");
  for (const auto& [windowsPath, expected] : cases)
    EXPECT_EQ(wine.MapWindowsPath(windowsPath).string(), expected) << windowsPath;
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// A FIFO where a registry file should be reads as a missing file, at once, whichever way it is read.
TEST(WineRegistrySpecialFilesTest, AFifoInPlaceOfARegistryFileIsNotWaitedFor) {
  TempFolder prefix;
  ASSERT_EQ(::mkfifo((prefix / "user.reg").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((prefix / "system.reg").c_str(), 0600), 0);
  const int answer = test::ResultWithin(5, [&prefix] {
    const WineRegistry registry(prefix.Path());
    const bool key = registry.KeyExists(RegRoot::CurrentUser, "Software\\Eagle Dynamics");
    const bool value = registry.ReadString(RegRoot::LocalMachine, "System", "ACP").has_value();
    const bool subkeys = !registry.SubKeyNames(RegRoot::CurrentUser, "Software").empty();
    return key || value || subkeys ? 1 : 0;
  });
  EXPECT_EQ(answer, 0) << "-1: it blocked";
}

}  // namespace
}  // namespace kesta
