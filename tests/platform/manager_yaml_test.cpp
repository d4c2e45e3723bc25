// Reading the YAML Lutris and Bottles write, and surviving whatever else lies under their file names.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/manager_yaml.h"

namespace kesta {
namespace {

// The text under a path of keys ("" for the list item of an index written as "#2"), or "<none>".
std::string At(const YamlValue& root, const std::vector<std::string>& path) {
  const YamlValue* value = &root;
  for (const std::string& step : path) {
    if (step.starts_with("#")) {
      const size_t index = std::stoul(step.substr(1));
      if (index >= value->items.size()) return "<none>";
      value = &value->items[index];
    } else if (!(value = value->Find(step))) {
      return "<none>";
    }
  }
  return value->text;
}

struct Case {
  const char* what;
  std::string yaml;
  std::vector<std::string> path;
  std::string expected;
};

TEST(ManagerYamlTest, ReadsWhatPyYamlWrites) {
  // A Lutris game file as PyYAML dumps it: sorted keys, two blanks a level, long values folded.
  const std::string lutris =
      "game:\n"
      "  arch: win64\n"
      "  args: -w\n"
      "  exe: /home/pilot/Games/lock-on/drive_c/Program Files (x86)/Eagle Dynamics/Lock On/LockOn.exe\n"
      "  prefix: /home/pilot/Games/lock-on\n"
      "system:\n"
      "  env:\n"
      "    DXVK_HUD: fps\n"
      "    EMPTY: ''\n"
      "    QUOTED: 'it''s'\n"
      "  prelaunch_command: \"echo \\\"\\u00e9t\\u00e9\\\" \\\n"
      "    \\ here\"\n"
      "wine:\n"
      "  dxvk: false\n"
      "  overrides:\n"
      "    d3dx9_43: n,b\n"
      "  version: lutris-GE-Proton8-26-x86_64 # a comment\n";
  const std::string folded =
      "wine:\n"
      "  custom_wine_path: /a very long path that PyYAML folded because it is longer than its line\n"
      "    width of eighty\n"
      "\n"
      "    characters\n"
      "  version: custom\n";
  const std::string lists =
      "Installed_Dependencies:\n"
      "- vcredist2019\n"
      "- d3dx9\n"
      "Ids:\n"
      "  - name: first\n"
      "    value: 1\n"
      "  - name: second\n"
      "  -\n"
      "    nested: yes\n"
      "Name: Games\n";
  const std::string flow =
      "DLL_Overrides: {}\n"
      "Empty_List: []\n"
      "Null: ~\n"
      "Notes: |\n"
      "  line one\n"
      "    indented\n"
      "Folded: >-\n"
      "  one\n"
      "  two\n"
      "'quoted key': 1\n"
      "\"double key\": 2\n"
      "url: http://example.org:80/x\n";
  const std::vector<Case> cases = {
      {"nested plain scalar", lutris, {"game", "prefix"}, "/home/pilot/Games/lock-on"},
      {"blanks in a plain scalar",
       lutris,
       {"game", "exe"},
       "/home/pilot/Games/lock-on/drive_c/Program Files (x86)/Eagle Dynamics/Lock On/LockOn.exe"},
      {"three levels", lutris, {"system", "env", "DXVK_HUD"}, "fps"},
      {"empty quoted", lutris, {"system", "env", "EMPTY"}, ""},
      {"single-quoted quote", lutris, {"system", "env", "QUOTED"}, "it's"},
      {"double-quoted escapes and an escaped line break",
       lutris,
       {"system", "prelaunch_command"},
       "echo \"\xC3\xA9t\xC3\xA9\"  here"},
      {"comment after a value", lutris, {"wine", "version"}, "lutris-GE-Proton8-26-x86_64"},
      {"map after a map", lutris, {"wine", "overrides", "d3dx9_43"}, "n,b"},
      {"missing key", lutris, {"wine", "esync"}, "<none>"},
      {"folded plain scalar",
       folded,
       {"wine", "custom_wine_path"},
       "/a very long path that PyYAML folded because it is longer than its line width of eighty\ncharacters"},
      {"key after a folded scalar", folded, {"wine", "version"}, "custom"},
      {"list at its key's indentation", lists, {"Installed_Dependencies", "#1"}, "d3dx9"},
      {"map in a list item", lists, {"Ids", "#0", "value"}, "1"},
      {"second map in a list", lists, {"Ids", "#1", "name"}, "second"},
      {"map below an empty item", lists, {"Ids", "#2", "nested"}, "yes"},
      {"key after the lists", lists, {"Name"}, "Games"},
      {"flow map", flow, {"DLL_Overrides"}, ""},
      {"null", flow, {"Null"}, ""},
      {"literal block", flow, {"Notes"}, "line one\n  indented\n"},
      {"folded block, stripped", flow, {"Folded"}, "one two"},
      {"single-quoted key", flow, {"quoted key"}, "1"},
      {"double-quoted key", flow, {"double key"}, "2"},
      {"colons inside a value", flow, {"url"}, "http://example.org:80/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(At(ParseManagerYaml(c.yaml), c.path), c.expected) << c.what;

  const YamlValue root = ParseManagerYaml(lutris);
  EXPECT_FALSE(root.Find({"wine", "dxvk"})->Flag(true));
  EXPECT_TRUE(ParseManagerYaml("a: Yes\n").Find("a")->Flag(false));
  EXPECT_TRUE(ParseManagerYaml("a: maybe\n").Find("a")->Flag(true));
  EXPECT_EQ(ParseManagerYaml("a: 1\nb: 2\na: 3\n").Find("a")->text, "3");  // the last, as PyYAML keeps it
}

// Broken and hostile files end in a value, with what can be read still read, in linear time and without
// deep recursion.
TEST(ManagerYamlTest, BrokenAndHostileTextIsReadAsFarAsItMakesSense) {
  const std::vector<Case> cases = {
      {"unclosed quote", "a: 'open\nb: 2\n", {"a"}, "open"},
      {"key after an unclosed quote", "a: 'open\nb: 2\n", {"b"}, "2"},
      {"tab indentation skipped", "a:\n\tb: 1\nc: 2\n", {"c"}, "2"},
      {"stray deeper line skipped", "a: 1\n      - x\nb: 2\n", {"b"}, "2"},
      {"list item among keys skipped", "a:\n  b: 1\n  - x\n  c: 2\n", {"a", "c"}, "2"},
      {"garbage line skipped", "a:\n  ]]] ::: [[[\n  b: 1\n", {"a", "b"}, "1"},
      {"CR LF", "a:\r\n  b: 1\r\n", {"a", "b"}, "1"},
      {"document markers", "---\na: 1\n...\n", {"a"}, "1"},
      {"bad escapes", "a: \"\\x4\\uZZZZ\\ud800\\U0011FFFF\\", {"a"}, "ZZZZ\\"},
      {"NUL bytes", std::string("a: x\0y\nb: 1\n", 12), {"b"}, "1"},
      {"only a dash", "-", {"#0"}, ""},
      {"empty", "", {"a"}, "<none>"},
  };
  for (const Case& c : cases) EXPECT_EQ(At(ParseManagerYaml(c.yaml), c.path), c.expected) << c.what;

  // Nesting far deeper than any manager writes: by indentation, by "- " on one line, by keys.
  std::string deep;
  for (int level = 0; level < 3000; ++level) deep += std::string(level, ' ') + "k:\n";
  deep += "top: 1\n";
  EXPECT_EQ(At(ParseManagerYaml(deep), {"top"}), "1");
  std::string dashes;
  for (int i = 0; i < 200000; ++i) dashes += "- ";
  EXPECT_EQ(ParseManagerYaml(dashes + "x\n").items.size(), 1u);
  // A huge line, many lines and random bytes.
  EXPECT_EQ(At(ParseManagerYaml("a: " + std::string(1 << 20, 'x') + "\nb: 2\n"), {"b"}), "2");
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "  k" + std::to_string(i) + ": v\n";
  EXPECT_EQ(At(ParseManagerYaml("m:\n" + many), {"m", "k99999"}), "v");
  std::string bytes;
  unsigned state = 12345;
  for (int i = 0; i < 1 << 18; ++i) {
    state = state * 1103515245 + 12345;
    static constexpr std::string_view kAlphabet = "  -:'\"\n#|>{}[]\\ab";
    bytes += kAlphabet[(state >> 16) % kAlphabet.size()];
  }
  const YamlValue random = ParseManagerYaml(bytes);
  EXPECT_LE(random.items.size() + random.entries.size(), bytes.size());
}

}  // namespace
}  // namespace kesta
