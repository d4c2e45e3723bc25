// Visibility-range profiles over real graphics files: the shipped sample and small generated files in the
// game's layout. Every written file must still pass the Lua 5.1 compiler.

#include "documents/visibility_profiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "engine/failure.h"
#include "engine/game_file.h"
#include "settings/helpers.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

Lines SampleLines() { return ReadGameFile(test::SourceFolder() / "resources/Default/Graphics.cfg"); }

void ExpectLuaParses(const Lines& lines) {
  test::TempFolder folder;
  const fs::path path = folder / "graphics.cfg";
  WriteGameFile(path, lines);
  const auto result = test::RunProgram(
      "/bin/bash", {(test::SourceFolder() / "scripts/check_lua.sh").string(), path.string()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
}

std::string Lookup(std::string_view key) { return "<" + std::string(key) + ">"; }

// Every value carries n, so no two profiles share a value and a value read from the wrong block shows.
TOpti NumberedOpti(const std::string& name, int n) {
  const std::string s = std::to_string(n);
  TOpti o;
  o.Name = name;
  o.NearClip = "0." + s;
  if (name != "Low") o.MiddleClip = s + ".5";
  o.FarClip = s + "0000";
  o.Lod = "1." + s;
  o.StructuresDensity = s + "1", o.StructuresClip = s + "01";
  o.TreesDensity = s + "2", o.TreesClip = s + "02";
  o.DynamicDensity = s + "3", o.DynamicClip = s + "03";
  o.ObjectsDensity = s + "4", o.ObjectsClip = s + "04";
  o.MirageDensity = s + "5", o.MirageClip = s + "05";
  o.SurfaceDensity = s + "6", o.SurfaceClip = s + "06";
  o.LightsDensity = s + "7", o.LightsClip = s + "07";
  return o;
}

// A profile block as the game's own files lay it out.
std::string Block(const TOpti& o) {
  const auto pair = [](const char* key, const std::string& a, const std::string& b) {
    return std::string("\t\t") + key + " = {" + a + ", " + b + "};\r\n";
  };
  std::string text = "\t" + o.Name + "\r\n\t{\r\n\t\tnear_clip = " + o.NearClip + ";\r\n";
  if (!o.MiddleClip.empty()) text += "\t\tmiddle_clip = " + o.MiddleClip + ";\r\n";
  text += "\t\tfar_clip = " + o.FarClip + ";\r\n" +
          pair("structures", o.StructuresDensity, o.StructuresClip) +
          pair("trees", o.TreesDensity, o.TreesClip) + pair("dynamic", o.DynamicDensity, o.DynamicClip) +
          pair("objects", o.ObjectsDensity, o.ObjectsClip) + pair("mirage", o.MirageDensity, o.MirageClip) +
          pair("surface", o.SurfaceDensity, o.SurfaceClip) + pair("lights", o.LightsDensity, o.LightsClip);
  return text + "\t\tlod = " + o.Lod + ";\r\n\t}\r\n";
}

// A graphics file whose Camera block holds the given blocks; the block sits in a Lua long string, as in
// the sample, so the file stays valid Lua.
std::string CameraFile(const std::string& blocks, bool closed = true) {
  return "TextureLevel = 2;\r\nCamera = [==[\r\n{\r\n\tcurrent = \"Medium\";\r\n" + blocks +
         (closed ? "}\r\n" : "") + "]==]\r\nShadowLevel = 2;\r\n";
}

std::string Written(const Lines& lines, const std::vector<TOpti>& optis) {
  Lines copy = lines;
  WriteOptis(copy, optis);
  return JoinGameText(copy);
}

TEST(ProfileScanTest, NameLinesBlockEndsAndClosingLine) {
  const Lines lines = SplitGameText(
      "Camera = [==[\n{\n\tcurrent = \"Hi\";\n\tHi\n\t{\n\t\tlod = 1;\n\t}\n\n\tHigh\n\t{ \n\t\tlod = "
      "2;\n\t}\n}\n"
      "]==]\nOther =\n{\n\tx = 1;\n}\n");
  const CameraScan scan = ScanCameraBlock(lines);
  ASSERT_EQ(scan.names.size(), 2u);  // neither the "current" line nor the blank line names a profile
  EXPECT_EQ(scan.names[0].name, "Hi");
  EXPECT_EQ(scan.names[0].index, 3);
  EXPECT_EQ(scan.names[0].end, 6);
  EXPECT_EQ(scan.names[1].name, "High");
  EXPECT_EQ(scan.names[1].index, 8);
  EXPECT_EQ(scan.names[1].end, 11);
  EXPECT_EQ(scan.closingLine, 12);
}

TEST(ProfileScanTest, SplitPair) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"{40, 5000}", "40", "5000"},
      {" { 1 ,2 } ", "1", "2"},
      {"{1, 2, 3}", "1", "2, 3"},
      {"7", "7", "7"},
      {"{7}", "7", "7"},
      {"{a,}", "a", ""},
      {"", "", ""},
  };
  for (const auto& [text, first, second] : cases) {
    EXPECT_EQ(SplitPair(text), std::make_pair(std::string(first), std::string(second))) << text;
  }
}

TEST(ReadOptisTest, ReadsTheSample) {
  const std::vector<TOpti> optis = ReadOptis(SampleLines(), Lookup);
  ASSERT_EQ(optis.size(), 3u);
  EXPECT_EQ(optis[0].Name, "Low");
  EXPECT_EQ(optis[0].MiddleClip, "");  // Low has no middle plane, not even the default
  EXPECT_EQ(optis[0].Lod, "0.7");
  const TOpti medium{"Medium", "0.2",   "4.0", "80000",  "1.0", "5000", "8000", "20000", "50000", "15000",
                     "80000",  "30000", "40",  "100000", "300", "3000", "3000", "14000", "100",   false};
  EXPECT_EQ(optis[1], medium);
  EXPECT_EQ(optis[2].Name, "High");
  EXPECT_EQ(optis[2].LightsDensity, "200");
  EXPECT_EQ(optis[2].LightsClip, "80000");
}

TEST(ReadOptisTest, NoProfileFailsWithVisibilityRange) {
  const char* files[] = {
      "",
      "TextureLevel = 2;\r\n",
      "Camera = [==[\r\n{\r\n\tcurrent = \"Medium\";\r\n\r\n}\r\n]==]\r\n",
  };
  for (const char* text : files) {
    try {
      ReadOptis(SplitGameText(text), Lookup);
      ADD_FAILURE() << "no failure for: " << text;
    } catch (const EKestaError& e) {
      EXPECT_STREQ(e.what(), "<VisibilityRange>");
    }
  }
}

// A value missing from a block is read from a later block, or takes the default after the last one; the
// write then puts it into the profile's own block and leaves every other block alone.
TEST(ReadOptisTest, MissingValuesAndTheirWrite) {
  const TOpti medium = NumberedOpti("Medium", 1);
  const TOpti high = NumberedOpti("High", 3);
  const std::string sparse1 = "\tSparse1\r\n\t{\r\n\t\tfar_clip = 60000;\r\n\t}\r\n";
  const std::string sparse2 = "\tSparse2\r\n\t{\r\n\t\tfar_clip = 70000;\r\n\t}\r\n";
  const Lines lines = SplitGameText(CameraFile(Block(medium) + sparse1 + Block(high) + sparse2));

  std::vector<TOpti> optis = ReadOptis(lines, Lookup);
  ASSERT_EQ(optis.size(), 4u);
  TOpti fromHigh = high;
  fromHigh.Name = "Sparse1", fromHigh.FarClip = "60000";
  EXPECT_EQ(optis[1], fromHigh);
  const TOpti defaults{"Sparse2", "0.2",   "4",  "70000",  "1",   "5000", "8000", "20000", "50000", "15000",
                       "80000",   "30000", "40", "100000", "300", "3000", "3000", "14000", "100",   false};
  EXPECT_EQ(optis[3], defaults);

  const std::string once = Written(lines, optis);
  const Lines written = SplitGameText(once);
  EXPECT_EQ(ReadOptis(written, Lookup), optis);
  EXPECT_EQ(Written(written, optis), once);
  for (const ProfileNameLine& entry : ScanCameraBlock(written).names) {
    EXPECT_EQ(written[entry.index + 1], "\t{") << entry.name;
    EXPECT_EQ(entry.end - entry.index, 13) << entry.name;  // name, "{", eleven values, "}"
  }
  EXPECT_NE(once.find(Block(medium) + "\tSparse1"), std::string::npos);
  EXPECT_NE(once.find("\t}\r\n" + Block(high) + "\tSparse2"), std::string::npos);
  EXPECT_NE(once.find("\t\tfar_clip = 70000;\r\n\t\tlod = 1;\r\n\t\tnear_clip = 0.2;"), std::string::npos);
  ExpectLuaParses(written);
}

// Edits through the slider store reach exactly their lines; "Low" never gets a middle plane.
TEST(WriteOptiTest, SampleCycle) {
  const Lines original = SampleLines();
  std::vector<TOpti> optis = ReadOptis(original, Lookup);
  StoreOptiValue(optis, "High", "lod", 17, 0.1);
  StoreOptiValue(optis, "Low", "far_clip", 17, 5000);
  StoreOptiValue(optis, "Low", "middle_clip", 30, 0.1);
  StoreOptiValue(optis, "Medium", "trees_", 4, 5000);

  Lines expected = original;
  const auto replace = [&expected](const std::string& from, const std::string& to) {
    const auto at = std::find(expected.begin(), expected.end(), from);
    ASSERT_NE(at, expected.end()) << from;
    *at = to;
  };
  replace("\t\tlod = 1.5;", "\t\tlod = 1.7;");
  replace("\t\tfar_clip = 60000;", "\t\tfar_clip = 85000;");
  replace("\t\ttrees = {100000, 8000};", "\t\ttrees = {20000, 8000};");

  Lines lines = original;
  WriteOptis(lines, optis);
  EXPECT_EQ(JoinGameText(lines), JoinGameText(expected));
  EXPECT_EQ(ReadOptis(lines, Lookup), optis);
  ExpectLuaParses(lines);
}

// A profile "Hi" must never be taken for "High", whichever comes first.
TEST(WriteOptiTest, HiBesideHighKeepsToItsOwnBlock) {
  const TOpti high = NumberedOpti("High", 3);
  const TOpti hi = NumberedOpti("Hi", 4);
  TOpti editedHi = hi;
  editedHi.Lod = "2.0", editedHi.LightsClip = "99999";
  for (const bool hiFirst : {false, true}) {
    const auto file = [&](const TOpti* first, const TOpti* second) {
      return CameraFile((first ? Block(*first) : "") + (second ? Block(*second) : ""));
    };
    const Lines lines = SplitGameText(hiFirst ? file(&hi, &high) : file(&high, &hi));
    std::vector<TOpti> optis = ReadOptis(lines, Lookup);
    const std::vector<TOpti> expected = hiFirst ? std::vector{hi, high} : std::vector{high, hi};
    EXPECT_EQ(optis, expected) << "Hi first: " << hiFirst;

    ShownOpti(optis, "Hi")->Lod = editedHi.Lod;
    ShownOpti(optis, "Hi")->LightsClip = editedHi.LightsClip;
    const std::string edited = Written(lines, optis);
    EXPECT_EQ(edited, hiFirst ? file(&editedHi, &high) : file(&high, &editedHi)) << "Hi first: " << hiFirst;

    ASSERT_TRUE(MarkOptiDeleted(optis, "Hi"));
    const Lines removed = SplitGameText(Written(SplitGameText(edited), optis));
    EXPECT_EQ(JoinGameText(removed), file(&high, nullptr)) << "Hi first: " << hiFirst;
    ExpectLuaParses(removed);
  }
}

// A name holding a value's key ("No trees") must not read or overwrite its own name line as that value.
TEST(WriteOptiTest, NameHoldingAValueKey) {
  for (const std::string name : {"No trees", "lod", "far_clip test"}) {
    const std::string text = CameraFile(Block(NumberedOpti("Medium", 1)) + Block(NumberedOpti(name, 5)) +
                                        Block(NumberedOpti("High", 3)));
    const Lines lines = SplitGameText(text);
    std::vector<TOpti> optis = ReadOptis(lines, Lookup);
    ASSERT_EQ(optis.size(), 3u) << name;
    EXPECT_EQ(optis[1], NumberedOpti(name, 5));
    EXPECT_EQ(Written(lines, optis), text) << name;
  }
}

TEST(WriteOptiTest, NewProfileGoesLastAndItsRemovalRestoresTheFile) {
  const Lines original = SampleLines();
  std::vector<TOpti> optis = ReadOptis(original, Lookup);
  const std::string name = UniqueName("Night", {"Low", "Medium", "High"}, 1);
  optis.push_back(NewOpti(optis, "Medium", name));

  Lines lines = original;
  WriteOptis(lines, optis);
  const Lines block{"\tNight",
                    "\t{",
                    "\t\tnear_clip = 0.2;",
                    "\t\tmiddle_clip = 4.0;",
                    "\t\tfar_clip = 80000;",
                    "\t\tstructures = {40, 5000};",
                    "\t\ttrees = {100000, 8000};",
                    "\t\tdynamic = {300, 20000};",
                    "\t\tobjects = {3000, 50000};",
                    "\t\tmirage = {3000, 15000};",
                    "\t\tsurface = {14000, 80000};",
                    "\t\tlights = {100, 30000};",
                    "\t\tlod = 1.0;",
                    "\t}",
                    "}",
                    "]==]"};
  ASSERT_EQ(lines.size(), original.size() + 14);
  EXPECT_EQ(Lines(lines.end() - 16, lines.end()), block);
  EXPECT_EQ(ReadOptis(lines, Lookup), optis);
  EXPECT_EQ(Written(lines, optis), JoinGameText(lines));  // a second write moves nothing
  ExpectLuaParses(lines);

  // Removed and added again under the same name: the old block goes, the new one takes the end.
  std::vector<TOpti> again = ReadOptis(lines, Lookup);
  MarkOptiDeleted(again, "Night");
  again.push_back(NewOpti(again, "High", "Night"));
  const Lines readded = SplitGameText(Written(lines, again));
  EXPECT_EQ(std::count(readded.begin(), readded.end(), "\tNight"), 1);
  EXPECT_EQ(readded[readded.size() - 4], "\t\tlod = 1.5;");

  ASSERT_TRUE(MarkOptiDeleted(optis, "Night"));
  WriteOptis(lines, optis);
  EXPECT_EQ(JoinGameText(lines), JoinGameText(original));
}

TEST(WriteOptiTest, RemovalBeforeAnyWriteLeavesTheFileUntouched) {
  const Lines original = SampleLines();
  std::vector<TOpti> optis = ReadOptis(original, Lookup);
  optis.push_back(NewOpti(optis, "Medium", "Night"));
  EXPECT_FALSE(MarkOptiDeleted(optis, "High"));  // stock profiles stay
  EXPECT_TRUE(MarkOptiDeleted(optis, "Night"));
  EXPECT_FALSE(optis[2].Deleted);
  EXPECT_EQ(Written(original, optis), JoinGameText(original));
}

// With a name given twice, its last name line lies after the first block's end: nothing is deleted.
TEST(WriteOptiTest, DuplicateNameIsNeverDeleted) {
  const std::string text = CameraFile(Block(NumberedOpti("Dup", 5)) + Block(NumberedOpti("High", 3)) +
                                      Block(NumberedOpti("Dup", 6)));
  std::vector<TOpti> optis = ReadOptis(SplitGameText(text), Lookup);
  MarkOptiDeleted(optis, "Dup");
  EXPECT_EQ(Written(SplitGameText(text), optis), text);
}

TEST(WriteOptiTest, CameraBlockWithoutClosingLineTakesNoNewProfile) {
  const Lines lines = SplitGameText(CameraFile(Block(NumberedOpti("Medium", 1)), false));
  Lines written = lines;
  try {
    WriteOpti(written, NumberedOpti("Night", 2));
    ADD_FAILURE() << "the new profile was placed";
  } catch (const EKestaError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_EQ(written, lines);
}

// A name the scan would read back differently would be inserted again at every write.
TEST(WriteOptiTest, NamesTheScanCannotReadBackAreNotWritten) {
  const Lines original = SampleLines();
  for (const char* name : {"", " Night", "Night\t", "{", "}", "current view"}) {
    EXPECT_FALSE(IsValidProfileName(name)) << name;
    Lines lines = original;
    WriteOpti(lines, NumberedOpti(name, 2));
    EXPECT_EQ(lines, original) << name;
  }
  EXPECT_TRUE(IsValidProfileName("Night 2"));
}

// Files of unusual layout. Each is read, every profile gets new values, those named "Gone..." are removed
// and a profile "Added" is appended; the bytes written must stay those checked in beside this test, made
// when every profile was written after a fresh scan of the whole file.
struct OddLayout {
  const char* name;
  std::string text;
};

std::vector<OddLayout> OddLayouts() {
  const auto block = [](const std::string& name, int n) { return Block(NumberedOpti(name, n)); };
  const std::string open = "\t{\r\n";
  const std::string close = "\t}\r\n";
  const std::string sparse = "\tSparse\r\n" + open + "\t\tfar_clip = 60000;\r\n" + close;
  return {
      {"sample", JoinGameText(SampleLines())},
      // Two name lines before one block: the first one's range holds the second name, which holds "lod".
      {"shared_block", CameraFile("\tA\r\n\tBlod\r\n" + block("X", 1).substr(4) + block("High", 3))},
      {"name_without_block_before_a_block", CameraFile("\tLone\r\n" + block("Gone1", 1) + block("High", 3))},
      {"name_without_block_at_the_end", CameraFile(block("Medium", 1) + "\tLone\r\n")},
      {"duplicates", CameraFile(block("Dup", 5) + block("High", 3) + block("Dup", 6) + block("Gone2", 7))},
      {"missing_values",
       CameraFile(block("Medium", 1) + sparse + block("Gone3", 2) + sparse + block("High", 3))},
      {"blank_lines_and_loose_braces",
       CameraFile("\tA\r\n\r\n\t{ \r\n\t\tlod = 1;\r\n\t}\r\n\r\n\tcurrent = \"A\";\r\n" +
                  block("Camera view", 2) + block("Gone4", 4))},
      {"brace_inside_a_profile",
       CameraFile("\tNest\r\n" + open +
                  "\t\tlod = 1;\r\n\t\tsub =\r\n\t\t{\r\n\t\t}\r\n\t\tfar_clip = 5;\r\n" + close +
                  block("Gone5", 5) + block("High", 3))},
      {"second_camera_block", CameraFile(block("Medium", 1) + block("Gone6", 6)) + "Camera2 = [==[\r\n{\r\n" +
                                  block("Low", 2) + block("Gone7", 7) + "}\r\n]==]\r\n"},
      {"second_camera_block_left_open", CameraFile(block("Medium", 1)) + "Camera2 = [==[\r\n{\r\n" +
                                            block("Low", 2) + "\tLone\r\n" + block("Gone8", 8)},
      {"removal_between_shared_names",
       CameraFile("\tA\r\n" + block("Gone9", 9) + "\tB\r\n" + block("High", 3))},
  };
}

// The edit every odd layout gets; a failure is written as its text.
std::string EditedBytes(const std::string& text) {
  Lines lines = SplitGameText(text);
  try {
    std::vector<TOpti> optis = ReadOptis(lines, Lookup);
    for (size_t i = 0; i < optis.size(); ++i) {
      const bool gone = optis[i].Name.starts_with("Gone");
      optis[i] = NumberedOpti(optis[i].Name, static_cast<int>(i) + 10);
      optis[i].Deleted = gone;
    }
    optis.push_back(NumberedOpti("Added", 9));
    WriteOptis(lines, optis);
  } catch (const EKestaError& e) {
    return std::string("failure: ") + e.what();
  }
  return JoinGameText(lines);
}

fs::path OddLayoutWritten(const char* name) {
  return test::SourceFolder() / "tests/documents/profile_writes" / (std::string(name) + ".cfg");
}

TEST(WriteOptisTest, OddLayoutsAreWrittenAsBefore) {
  for (const OddLayout& layout : OddLayouts()) {
    const std::string expected = test::ReadBytes(OddLayoutWritten(layout.name));
    EXPECT_EQ(EditedBytes(layout.text), expected) << layout.name;
  }
}

// WriteOptis writes each profile as WriteOpti does, which scans the file afresh for it: compared on files
// made of random lines of the kinds the Camera block holds, lone braces, blanks and names holding keys among
// them.
TEST(WriteOptisTest, WritesAsOneProfileAtATime) {
  const std::vector<std::string> kinds{"Camera = [==[",
                                       "{",
                                       "\t{ ",
                                       "}",
                                       "\t}",
                                       "",
                                       "\tcurrent = \"A\";",
                                       "\tA",
                                       "\tBlod",
                                       "\tGone1",
                                       "\tCamera view",
                                       "\tfar_clip x",
                                       "\t\tlod = 2;",
                                       "\t\tnear_clip = 0.3;",
                                       "\t\tmiddle_clip = 5;",
                                       "\t\tstructures = {1, 2};",
                                       "\t\tlights = {3, 4};",
                                       "\t\tfar_clip = 9;",
                                       "]==]",
                                       "lod = 7;"};
  std::mt19937 random(30);
  int compared = 0;
  for (int file = 0; file < 3000; ++file) {
    Lines lines{"Camera = [==[", "{"};
    const int count = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < count; ++i)
      lines.push_back(kinds[std::uniform_int_distribution<size_t>(0, kinds.size() - 1)(random)]);
    std::vector<TOpti> optis;
    try {
      optis = ReadOptis(lines, Lookup);
    } catch (const EKestaError&) {
      continue;  // no profile
    }
    for (size_t i = 0; i < optis.size(); ++i) {
      const bool gone = optis[i].Name.starts_with("Gone");
      optis[i] = NumberedOpti(optis[i].Name, static_cast<int>(i) + 10);
      optis[i].Deleted = gone;
    }
    optis.push_back(NumberedOpti("Added", 9));
    const auto outcome = [&lines](const std::function<void(Lines&)>& write) {
      Lines written = lines;
      try {
        write(written);
      } catch (const EKestaError& e) {
        return std::string("failure: ") + e.what();
      }
      return JoinGameText(written);
    };
    const std::string together = outcome([&optis](Lines& l) { WriteOptis(l, optis); });
    const std::string oneByOne = outcome([&optis](Lines& l) {
      for (const TOpti& opti : optis) WriteOpti(l, opti);
    });
    ASSERT_EQ(together, oneByOne) << JoinGameText(lines);
    ++compared;
  }
  EXPECT_GT(compared, 1000);  // most random files hold a profile
}

// 200 profiles, every one edited, every tenth removed and three added: exactly the file that holds the
// edited profiles and the new ones, block by block.
TEST(WriteOptisTest, TwoHundredProfilesAreWrittenExactly) {
  std::vector<TOpti> before, after;
  for (int i = 0; i < 200; ++i) {
    const std::string name = (i % 10 == 7 ? "Gone" : "Profile ") + std::to_string(i);
    before.push_back(NumberedOpti(name, i));
    after.push_back(NumberedOpti(name, i + 1000));
    after.back().Deleted = i % 10 == 7;
  }
  for (int i = 0; i < 3; ++i) after.push_back(NumberedOpti("New " + std::to_string(i), 2000 + i));
  std::string blocksBefore, blocksAfter;
  for (const TOpti& opti : before) blocksBefore += Block(opti);
  for (const TOpti& opti : after)
    if (!opti.Deleted) blocksAfter += Block(opti);

  Lines lines = SplitGameText(CameraFile(blocksBefore));
  std::vector<TOpti> optis = ReadOptis(lines, Lookup);
  ASSERT_EQ(optis, before);
  for (size_t i = 0; i < before.size(); ++i) optis[i] = after[i];
  optis.insert(optis.end(), after.begin() + 200, after.end());
  WriteOptis(lines, optis);
  EXPECT_EQ(JoinGameText(lines), CameraFile(blocksAfter));
}

TEST(OptiSliderTest, PositionOfAStoredValueAndTheValueStoredBack) {
  struct Case {
    const char* key;
    const char* value;
    int position;
    const char* stored;
  };
  const Case cases[] = {
      {"far_clip", "83000", 17, "85000"},
      {"far_clip", "82500", 16, "80000"},
      {"far_clip", "87500", 18, "90000"},
      {"lod", "0.86", 9, "0.9"},
      {"lod", "3", 30, "3.0"},
      {"trees_", "100000", 20, "100000"},
      {"lights_clip", "30000", 12, "30000"},
  };
  for (const Case& c : cases) {
    const OptiSlider& slider = OptiSliderOf(c.key);
    EXPECT_EQ(OptiSliderPosition(c.value, slider.multiplier), c.position) << c.key << " " << c.value;
    std::vector<TOpti> optis{NumberedOpti("Medium", 1)};
    StoreOptiValue(optis, "Medium", c.key, c.position, slider.multiplier);
    EXPECT_EQ(optis[0].*slider.field, c.stored) << c.key;
  }
  EXPECT_THROW(OptiSliderPosition("4,0", 0.1), EKestaError);
  EXPECT_THROW(OptiSliderOf("far"), EKestaError);
}

TEST(OptiSliderTest, StoreGoesToTheShownProfile) {
  std::vector<TOpti> optis{NumberedOpti("Low", 1), NumberedOpti("Night", 2), NumberedOpti("Night", 3)};
  StoreOptiValue(optis, "Night", "lod", 15, 0.1);  // the last of that name
  EXPECT_EQ(optis[1].Lod, "1.2");
  EXPECT_EQ(optis[2].Lod, "1.5");
  StoreOptiValue(optis, "Gone", "lod", 5, 0.1);  // no such name: the first profile
  EXPECT_EQ(optis[0].Lod, "0.5");
  StoreOptiValue(optis, "Low", "middle_clip", 30, 0.1);
  EXPECT_EQ(optis[0].MiddleClip, "");
}

TEST(OptiSliderTest, NewOptiCopiesTheShownProfile) {
  const std::vector<TOpti> optis{NumberedOpti("Low", 1), NumberedOpti("Medium", 2)};
  TOpti expected = NumberedOpti("Medium", 2);
  expected.Name = "Night";
  EXPECT_EQ(NewOpti(optis, "Medium", "Night"), expected);
  expected = NumberedOpti("Low", 1);
  expected.Name = "Night", expected.MiddleClip = "4";
  EXPECT_EQ(NewOpti(optis, "Low", "Night"), expected);
  EXPECT_EQ(NewOpti(optis, "", "Night"),
            expected);  // nothing shown: the first profile, as the sliders show it
}

}  // namespace
}  // namespace kesta
