#include "engine/param_lines.h"

#include <gtest/gtest.h>

#include "engine/failure.h"

namespace kesta {
namespace {

// A trimmed-down graphics file with the shapes the engine must handle: blocks, a second "AVI" line,
// profiles after the "current" line, comments and tabs.
const Lines kGraphics = {
    "-- graphics with a height comment: height = 99;",
    "TextureLevel = 1;",
    "heightMap = 5;",
    "height = 768;",
    "Simulation = {",
    "\t\tfullscreen = 0;",
    "}",
    "AVI = {",
    "\tresolution = {320, 240};",
    "}",
    "VideoAVI = {",
    "\tresolution = {800, 600};",
    "}",
    "Camera = {",
    "\tcurrent = \"Medium\";",
    "\tHigh",
    "\t{",
    "\t\tlod = 1.5;",
    "\t}",
    "\tHi",
    "\t{",
    "\t\tlod = 0.7;",
    "\t}",
    "}",
    "alpha = 1; -- note;",
    "switch on;",
    "\tSmokes[67] = {",
    "\t\tr = 245,",
    "\t\tsize = {1, 2},",
};

struct GetCase {
  const char* what;
  const char* name;
  const char* anchor;
  bool stripComma;
  const char* expected;
};

class GetParamCases : public testing::TestWithParam<GetCase> {};

TEST_P(GetParamCases, ReadsTheFirstMatchingLine) {
  const GetCase& c = GetParam();
  EXPECT_EQ(kesta::GetParam(kGraphics, c.name, "DEFAULT", c.anchor, c.stripComma), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetParamCases,
    testing::Values(
        GetCase{"plain value", "TextureLevel", "", false, "1"},
        // Substring matching takes the comment line first: callers pick anchors and names for that.
        GetCase{"substring hits the comment", "height", "", false, "99"},
        GetCase{"quoted value keeps quotes", "current", "", false, "\"Medium\""},
        GetCase{"only the first semicolon goes", "alpha", "", false, "1 -- note;"},
        GetCase{"line without equals gives the whole trimmed line", "switch", "", false, "switch on"},
        GetCase{"strip comma", "r", "Smokes[67]", true, "245"},
        GetCase{"strip comma removes only the first", "size", "", true, "{1 2},"},
        GetCase{"comma kept without strip", "r", "Smokes[67]", false, "245,"},
        GetCase{"name searched trimmed", "\t\tfullscreen", "Simulation", false, "0"},
        GetCase{"anchor line itself is searched", "Simulation", "Simulation", false, "{"},
        GetCase{"second AVI line", "resolution", "AVI", false, "{800, 600}"},
        GetCase{"profile anchor", "lod", "OPTIKESTA_High", false, "1.5"},
        GetCase{"profile Hi is never High", "lod", "OPTIKESTA_Hi", false, "0.7"},
        GetCase{"missing anchor gives default", "lod", "Nowhere", false, "DEFAULT"},
        GetCase{"missing profile gives default", "lod", "OPTIKESTA_Low", false, "DEFAULT"},
        GetCase{"missing name gives default", "Shadows", "", false, "DEFAULT"},
        GetCase{"name before anchor is not found", "TextureLevel", "Camera", false, "DEFAULT"},
        GetCase{"empty name matches nothing", "", "", false, "DEFAULT"}));

TEST(GetParamTest, AviAnchorNeedsASecondAviLine) {
  const Lines oneAvi = {"AVI = {", "resolution = {1, 2};", "}"};
  EXPECT_EQ(GetParam(oneAvi, "resolution", "none", "AVI", false), "none");
  Lines copy = oneAvi;
  EXPECT_THROW(SetParam(copy, "resolution", "{3, 4}", "AVI", false), EKestaError);
  EXPECT_EQ(copy, oneAvi);
}

TEST(GetParamTest, ProfileAnchorWithoutCurrentLineSearchesFromTheTop) {
  const Lines lines = {"Low", "{", "lod = 0.5;", "}"};
  EXPECT_EQ(GetParam(lines, "lod", "x", "OPTIKESTA_Low", false), "0.5");
}

TEST(SetParamTest, ReplacesTheWholeFirstLineAtOrAfterTheAnchor) {
  Lines lines = {"client {", "\tport = 1;", "}", "server {", "\tport = 2; -- old", "}", "port = 3;"};
  EXPECT_EQ(SetParam(lines, "\tport", "10308", "server {", false), "\tport = 10308;");
  EXPECT_EQ(lines, (Lines{"client {", "\tport = 1;", "}", "server {", "\tport = 10308;", "}", "port = 3;"}));
}

TEST(SetParamTest, InsertsRightAfterTheAnchorOrAppends) {
  Lines lines = {"server {", "}", "other {", "}"};
  SetParam(lines, "\tinterface", "\"All interfaces\"", "server {", false);
  EXPECT_EQ(lines[1], "\tinterface = \"All interfaces\";");
  EXPECT_EQ(lines.size(), 5u);

  SetParam(lines, "chat_log", "true", "", false);
  EXPECT_EQ(lines.back(), "chat_log = true;");

  SetParam(lines, "CockpitMouse", "true", "", true);
  EXPECT_EQ(lines.back(), "CockpitMouse = true");
}

TEST(SetParamTest, SearchDoesNotStopAtTheEndOfTheAnchorsBlock) {
  Lines lines = {"server {", "}", "later {", "\tname = old;", "}"};
  SetParam(lines, "\tname", "new", "server {", false);
  EXPECT_EQ(lines, (Lines{"server {", "}", "later {", "\tname = new;", "}"}));
}

TEST(SetParamTest, ProfileAnchorInsertsInsideTheRightProfile) {
  Lines lines = kGraphics;
  SetParam(lines, "\t\tnear_clip", "1.0", "OPTIKESTA_Hi", false);
  const auto hi = std::find(lines.begin(), lines.end(), "\tHi");
  ASSERT_NE(hi, lines.end());
  EXPECT_EQ(*(hi + 1), "\t\tnear_clip = 1.0;");
}

TEST(SetParamTest, MissingAnchorFailsWithTheExactTextAndLeavesTheLines) {
  Lines lines = kGraphics;
  try {
    SetParam(lines, "\t\tlod", "2", "Nowhere", false);
    FAIL() << "expected a failure";
  } catch (const EKestaError& e) {
    EXPECT_STREQ(e.what(), "SetParam Error (\"Param=\t\tlod\", \"Value=2\") : List index out of bounds (-1)");
  }
  EXPECT_EQ(lines, kGraphics);
}

TEST(SetParamTest, ProfilePrefixAloneAppends) {
  Lines lines = {"x = 1;"};
  SetParam(lines, "y", "2", "OPTIKESTA_", false);
  EXPECT_EQ(lines, (Lines{"x = 1;", "y = 2;"}));
}

TEST(DeleteParamTest, DeletesOnlyAtOrAfterTheAnchor) {
  Lines lines = {"[1] = a;", "serverList = {", "\t[1] = b;", "\t[2] = c;", "}"};
  DeleteParam(lines, "[1]", "serverList = {");
  EXPECT_EQ(lines, (Lines{"[1] = a;", "serverList = {", "\t[2] = c;", "}"}));

  DeleteParam(lines, "[7]", "serverList = {");  // absent: nothing happens
  EXPECT_EQ(lines.size(), 4u);
}

TEST(DeleteParamTest, SpecialAnchorsAreNotSpecialHere) {
  Lines lines = {"AVI = {", "resolution = 1;", "VideoAVI = {", "resolution = 2;"};
  DeleteParam(lines, "resolution", "AVI");
  EXPECT_EQ(lines, (Lines{"AVI = {", "VideoAVI = {", "resolution = 2;"}));
}

TEST(DeleteParamTest, MissingAnchorFailsWithTheExactTextAndLeavesTheLines) {
  Lines lines = {"a = 1;"};
  try {
    DeleteParam(lines, "a", "server {");
    FAIL() << "expected a failure";
  } catch (const EKestaError& e) {
    EXPECT_STREQ(e.what(),
                 "DeleteParam Error (\"Param=a\", \"SearchBefore=server {\") : List index out of bounds (-1)");
  }
  EXPECT_EQ(lines, (Lines{"a = 1;"}));
}

TEST(FindParamLineTest, StopMarkerAndBounds) {
  const Lines lines = {"a", "stop here", "name", "name and stop"};
  EXPECT_EQ(FindParamLine(lines, "name", 0, ""), 2);
  EXPECT_EQ(FindParamLine(lines, "name", 0, "stop"), -1);
  EXPECT_EQ(FindParamLine(lines, "name", 3, "stop"), 3);  // the name wins on its own line
  EXPECT_EQ(FindParamLine(lines, "name", 4, ""), -1);
  EXPECT_EQ(FindParamLine(lines, "name", 99, ""), -1);
  EXPECT_THROW(FindParamLine(lines, "name", -1, ""), EKestaError);
}

struct SplitCase {
  const char* text;
  const char* separator;
  const char* head;
  const char* rest;
};

TEST(SplitAtFirstTest, Table) {
  const SplitCase cases[] = {
      {"1024 x 768", "x", "1024 ", " 768"},
      {"a=b=c", "=", "a", "b=c"},
      {"=b", "=", "", "b"},
      {"1024", "x", "1024", "1024"},
      {"", "x", "", ""},
      {"a, b", ", ", "", "a, b"},  // a longer separator never matches one character
      {"abc", "", "abc", "abc"},
  };
  for (const SplitCase& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(SplitAtFirst(text, c.separator), c.head) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(ParamLinesTest, BytesAreNeverConverted) {
  Lines lines = {"name = \xE9t\x7F\xE9;", "\xFF\xFE = 1;"};
  EXPECT_EQ(GetParam(lines, "name", "", "", false), "\xE9t\x7F\xE9");
  SetParam(lines, "\xFF\xFE", "\xC0\x80", "", false);
  EXPECT_EQ(lines[1], "\xFF\xFE = \xC0\x80;");
}

}  // namespace
}  // namespace kesta
