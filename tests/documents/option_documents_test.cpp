// The documents of producer.cfg, World.lua and drawinfo.lua without a window: how each line is read and
// written, what a broken file does to the values, and the names and values kesta-cli uses.

#include "documents/option_documents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return std::string(key); }

Lines Sample(const char* name) { return ReadGameFile(test::SourceFolder() / "resources/Default" / name); }

// drawinfo.lua with one block for each pod, in the game's layout; `pod` gets `colour` as its three lines.
Lines DrawinfoWith(size_t pod, const Lines& colour) {
  Lines lines{"Smokes = {}", "do"};
  for (size_t i = 0; i < kSmokePods.size(); ++i) {
    lines.push_back("\t" + std::string(kSmokePods[i].anchor) + " =");
    lines.push_back("\t{");
    if (i == pod) {
      lines.insert(lines.end(), colour.begin(), colour.end());
    } else {
      for (const char* channel : {"r", "g", "b"}) lines.push_back("\t\t" + std::string(channel) + " = 100,");
    }
    lines.push_back("\t\ta = 200,");
    lines.push_back("\t}");
  }
  lines.push_back("end");
  return lines;
}

TEST(OptionDocumentsTest, ForceFeedbackIsOnUnlessTheLineSaysTrueInLowerCase) {
  struct Case {
    const char* line;  // nullptr: no such line
    bool read;
  };
  const Case cases[] = {
      {"ForceFeedbackEnabled = true;", true},  {"ForceFeedbackEnabled = false;", false},
      {"ForceFeedbackEnabled = TRUE;", false}, {"ForceFeedbackEnabled = 1;", false},
      {"ForceFeedbackEnabled=true", true},     {nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line ? c.line : "no line");
    Lines lines{"-- options", "ForceFeedbackGain = 100;"};
    if (c.line) lines.insert(lines.begin() + 1, c.line);
    ProducerDocument document;
    document.forceFeedback = !c.read;
    document.Read(lines, Lookup);
    EXPECT_EQ(document.forceFeedback, c.read);
  }
}

TEST(OptionDocumentsTest, ForceFeedbackIsWrittenOverItsLineOrAddedAtTheEnd) {
  ProducerDocument document;
  document.forceFeedback = false;
  Lines lines = Sample("producer.cfg");
  Lines expected = lines;
  *std::find(expected.begin(), expected.end(), "ForceFeedbackEnabled = true;") =
      "ForceFeedbackEnabled = false;";
  document.Write(lines, Lookup);
  EXPECT_EQ(lines, expected);

  Lines without{"ForceFeedbackGain = 100;"};
  document.forceFeedback = true;
  document.Write(without, Lookup);
  EXPECT_EQ(without, (Lines{"ForceFeedbackGain = 100;", "ForceFeedbackEnabled = true;"}));
}

TEST(OptionDocumentsTest, MissionDateReadsInAnyLetterCaseAndIsWrittenInTheGamesOwn) {
  struct Case {
    const char* line;
    MissionDate read;
  };
  const Case cases[] = {
      {"MissionDate = { Year = 2005, Month = 6, Day = 1 }", {2005, 6, 1}},
      {"MissionDate = { year = 2004, month = 12, day = 31 }", {2004, 12, 31}},
      {"MissionDate={YEAR=1999,MONTH=1,DAY=9};", {1999, 1, 9}},
      {"MissionDate = { Year = 2004, Month = 2, Day = 29 }", {2004, 2, 29}},
      {"MissionDate = { Year = 2000, Month = 2, Day = 29 }", {2000, 2, 29}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Lines lines{"-- Date and start time of the missions", "", c.line, "MissionStartTime = 28800"};
    WorldDocument document;
    document.Read(lines, Lookup);
    EXPECT_EQ(document.missionDate, c.read);
    document.Write(lines, Lookup);
    EXPECT_EQ(lines[2], "MissionDate = { Year = " + std::to_string(c.read.year) + ", Month = " +
                            std::to_string(c.read.month) + ", Day = " + std::to_string(c.read.day) + " }");
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "World.lua"));
  }
}

TEST(OptionDocumentsTest, ImpossibleOrMissingMissionDateFailsAndKeepsTheDate) {
  const char* const files[] = {
      "MissionDate = { Year = 2005, Month = 2, Day = 31 }",
      "MissionDate = { Year = 1900, Month = 2, Day = 29 }",
      "MissionDate = { Year = 2005, Month = 13, Day = 1 }",
      "MissionDate = { Year = 0, Month = 1, Day = 1 }",
      "MissionDate = { Year = 2005, Month = 6 }",
      "MissionDate = { Year = 2005, Month = June, Day = 1 }",
      "MissionStartTime = 28800",  // no date at all
  };
  for (const char* line : files) {
    SCOPED_TRACE(line);
    WorldDocument document;
    document.missionDate = {2010, 3, 4};
    EXPECT_THROW(document.Read({line}, Lookup), EKestaError);
    EXPECT_EQ(document.missionDate, (MissionDate{2010, 3, 4}));
  }
}

TEST(OptionDocumentsTest, SmokeColoursAreReadFromEachPodsBlockAndWrittenBackAsTheyStood) {
  const Lines sample = Sample("drawinfo.lua");
  DrawinfoDocument document;
  document.Read(sample, Lookup);
  // The sample's order is Russian first; the document's is the pages', US first.
  const SmokeColor expected[] = {{255, 20, 20}, {20, 200, 20},   {20, 40, 255}, {255, 255, 255},
                                 {255, 230, 0}, {255, 128, 0},   {255, 20, 20}, {20, 200, 20},
                                 {20, 40, 255}, {255, 255, 255}, {255, 230, 0}, {255, 128, 0}};
  for (size_t i = 0; i < kSmokePods.size(); ++i)
    EXPECT_EQ(document.colors[i], expected[i]) << kSmokePods[i].panel;
  Lines written = sample;
  document.Write(written, Lookup);
  EXPECT_EQ(written, sample);
}

TEST(OptionDocumentsTest, SmokeColourLinesOnReadAndWrite) {
  struct Case {
    const char* name;
    Lines block;
    SmokeColor read;
  };
  const Case cases[] = {
      {"the game's layout", {"\t\tr = 20,", "\t\tg = 200,", "\t\tb = 20,"}, {20, 200, 20}},
      {"any spacing, last without a comma", {"r=1,", "  g =2 ,", "b = 3"}, {1, 2, 3}},
      {"only the low byte counts", {"\t\tr = 300,", "\t\tg = -1,", "\t\tb = 256,"}, {44, 255, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lines lines = DrawinfoWith(1, c.block);  // PodUSGreen, Smokes[87]
    DrawinfoDocument document;
    document.Read(lines, Lookup);
    EXPECT_EQ(document.colors[1], c.read);
    EXPECT_EQ(document.colors[0], (SmokeColor{100, 100, 100}));
    document.Write(lines, Lookup);
    // Each line is written whole, with the two tabs of the game's layout.
    EXPECT_EQ(lines, DrawinfoWith(1, {"\t\tr = " + std::to_string(c.read.red) + ",",
                                      "\t\tg = " + std::to_string(c.read.green) + ",",
                                      "\t\tb = " + std::to_string(c.read.blue) + ","}));
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "drawinfo.lua"));
  }
}

TEST(OptionDocumentsTest, ColourThatIsNoNumberFailsTheWholeReadAndKeepsEveryColour) {
  DrawinfoDocument document;
  document.colors.fill({1, 2, 3});
  const Lines broken = DrawinfoWith(4, {"\t\tr = 255,", "\t\tg = x,", "\t\tb = 0,"});
  EXPECT_THROW(document.Read(broken, Lookup), EKestaError);
  for (const SmokeColor& color : document.colors) EXPECT_EQ(color, (SmokeColor{1, 2, 3}));
}

TEST(OptionDocumentsTest, FileWithoutThePodsBlocksReadsTheDefaultColourAndRefusesTheWrite) {
  const Lines lines{"Smokes = {}", "-- nothing else"};
  DrawinfoDocument document;
  document.colors.fill({1, 2, 3});
  document.Read(lines, Lookup);
  for (const SmokeColor& color : document.colors) EXPECT_EQ(color, (SmokeColor{245, 40, 40}));
  Lines written = lines;
  try {
    document.Write(written, Lookup);
    ADD_FAILURE() << "written without the pods' blocks";
  } catch (const EKestaError& failure) {
    EXPECT_TRUE(std::string(failure.what()).starts_with("SetParam Error")) << failure.what();
  }
}

TEST(OptionDocumentsTest, NamedValuesInThePagesTerms) {
  ProducerDocument producer;
  producer.forceFeedback = false;
  WorldDocument world;
  world.missionDate = {987, 6, 5};
  DrawinfoDocument drawinfo;
  drawinfo.colors[0] = {0, 128, 255};
  drawinfo.colors[11] = {1, 2, 3};

  ASSERT_EQ(producer.Values().size(), 1u);
  EXPECT_EQ(producer.Values()[0].name, "RadioGroupFFB");
  EXPECT_EQ(producer.Values()[0].value, "No");
  ASSERT_EQ(world.Values().size(), 1u);
  EXPECT_EQ(world.Values()[0].name, "DateTimePicker");
  EXPECT_EQ(world.Values()[0].value, "0987-06-05");
  const std::vector<NamedValue> colours = drawinfo.Values();
  ASSERT_EQ(colours.size(), kSmokePods.size());
  for (size_t i = 0; i < kSmokePods.size(); ++i) EXPECT_EQ(colours[i].name, kSmokePods[i].panel);
  EXPECT_EQ(colours[0].value, "0,128,255");
  EXPECT_EQ(colours[1].value, "245,40,40");
  EXPECT_EQ(colours[11].value, "1,2,3");
}

TEST(OptionDocumentsTest, SetValueTakesWhatTheControlCouldShowAndRefusesTheRest) {
  struct Case {
    std::string_view name;
    std::string_view value;
    const char* shown;  // as Values gives it back; nullptr: refused
  };
  const Case cases[] = {
      {"RadioGroupFFB", "No", "No"},
      {"RadioGroupFFB", "Yes", "Yes"},
      {"RadioGroupFFB", "yes", nullptr},
      {"RadioGroupFFB", "1", nullptr},
      {"RadioGroupFFB", "", nullptr},
      {"DateTimePicker", "2004-12-31", "2004-12-31"},
      {"DateTimePicker", "2004-2-29", "2004-02-29"},
      {"DateTimePicker", "9999-12-31", "9999-12-31"},
      {"DateTimePicker", "2005-02-29", nullptr},
      {"DateTimePicker", "2005-06-31", nullptr},
      {"DateTimePicker", "0000-01-01", nullptr},
      {"DateTimePicker", "10000-01-01", nullptr},
      {"DateTimePicker", "2005/06/01", nullptr},
      {"DateTimePicker", "2005-06", nullptr},
      {"DateTimePicker", "2005-06-01-", nullptr},
      {"DateTimePicker", "-2005-06-01", nullptr},
      {"DateTimePicker", "01.06.2005", nullptr},
      {"DateTimePicker", "", nullptr},
      {"PodUSRed", "0,255,0", "0,255,0"},
      {"PodRUOrange", " 255 , 128 , 0 ", "255,128,0"},
      {"PodUSWhite", "256,0,0", nullptr},
      {"PodUSWhite", "-1,0,0", nullptr},
      {"PodUSWhite", "1,2", nullptr},
      {"PodUSWhite", "1,2,3,4", nullptr},
      {"PodUSWhite", "1,,3", nullptr},
      {"PodUSWhite", "red", nullptr},
      {"PodUSWhite", "", nullptr},
      {"PodUSPink", "1,2,3", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = \"" + std::string(c.value) + "\"");
    ProducerDocument producer;
    WorldDocument world;
    DrawinfoDocument drawinfo;
    GameDocument& document = c.name == "RadioGroupFFB"    ? static_cast<GameDocument&>(producer)
                             : c.name == "DateTimePicker" ? static_cast<GameDocument&>(world)
                                                          : static_cast<GameDocument&>(drawinfo);
    const std::vector<NamedValue> before = document.Values();
    if (!c.shown) {
      EXPECT_THROW(document.SetValue(c.name, c.value), EKestaError);
      for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(document.Values()[i].value, before[i].value);
      continue;
    }
    document.SetValue(c.name, c.value);
    const std::vector<NamedValue> after = document.Values();
    const auto set =
        std::find_if(after.begin(), after.end(), [&](const NamedValue& v) { return v.name == c.name; });
    ASSERT_NE(set, after.end());
    EXPECT_EQ(set->value, c.shown);
  }
}

TEST(OptionDocumentsTest, SetValueRefusesTheOtherDocumentsNames) {
  ProducerDocument producer;
  WorldDocument world;
  DrawinfoDocument drawinfo;
  EXPECT_THROW(producer.SetValue("DateTimePicker", "2005-06-01"), EKestaError);
  EXPECT_THROW(world.SetValue("RadioGroupFFB", "Yes"), EKestaError);
  EXPECT_THROW(drawinfo.SetValue("ButtonPodUSRed", "1,2,3"), EKestaError);
}

}  // namespace
}  // namespace kesta
