// The export switch and the run lines of export.lua, and the mission editor's XML options: read into values,
// written back with everything else in the files as it was.

#include <gtest/gtest.h>

#include <algorithm>

#include "documents/export_document.h"
#include "documents/mission_editor_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return std::string(key); }

Lines Sample(const char* name) { return ReadGameFile(test::SourceFolder() / "resources/Default" / name); }

TEST(ExportConfigDocumentTest, SwitchIsReadOnlyBelowTheCommentBlock) {
  struct Case {
    const char* name;
    Lines lines;
    bool enabled;
  };
  const Case cases[] = {
      {"sample", Sample("exportconfig.lua"), false},
      {"true with a comment", {"--[[", "--]]", "EnableExportScript = true -- on"}, true},
      {"only above the block's end", {"--[[", "EnableExportScript = true", "--]]"}, false},
      {"no block end", {"EnableExportScript = true"}, false},
      {"True", {"--]]", "EnableExportScript = True"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExportConfigDocument d;
    d.exportEnabled = !c.enabled;
    d.Read(c.lines, Lookup);
    EXPECT_EQ(d.exportEnabled, c.enabled);
  }
  Lines lines = Sample("exportconfig.lua");
  ExportConfigDocument d;
  d.SetValue("RadioGroupActiveExport", "Yes");
  d.Write(lines, Lookup);
  EXPECT_EQ(lines.back(), "EnableExportScript = true");
  Lines noBlock{"EnableExportScript = false"};
  EXPECT_THROW(d.Write(noBlock, Lookup), EKestaError);
  EXPECT_THROW(d.SetValue("RadioGroupActiveExport", "yes"), EKestaError);
}

TEST(ExportScriptsTest, ScriptLinesAreRemovedAndOneCleanRunLineAppended) {
  const Lines file{
      "-- export.lua",
      "--dofile(\"./config/export/Tool.lua\")",
      "dofile(\"./config/export/Other.lua\")",
      "DOFILE(\"./CONFIG/EXPORT/TOOL.LUA\")",
      "dofile(\"./config/export/Tool.lua\") -- middle, with a comment",
      "last = 1",
  };
  EXPECT_FALSE(RunsScript(file[1], "Tool.lua"));
  EXPECT_TRUE(RunsScript(file[3], "Tool.lua"));  // all capitals still runs it
  EXPECT_FALSE(RunsScript(file[4], "Tool.lua"));
  EXPECT_FALSE(BelongsToScript(file[2], "Tool.lua"));

  Lines lines = file;
  SetScriptEnabled(lines, "Tool.lua", true);
  EXPECT_EQ(lines, (Lines{"-- export.lua", "dofile(\"./config/export/Other.lua\")", "last = 1",
                          "dofile(\"./config/export/Tool.lua\")"}));
  SetScriptEnabled(lines, "Tool.lua", false);
  EXPECT_EQ(lines, (Lines{"-- export.lua", "dofile(\"./config/export/Other.lua\")", "last = 1"}));
}

TEST(ExportScriptsTest, CatalogueLinesSplitAtEverySemicolon) {
  EXPECT_EQ(CatalogueFields("Tool.lua;What it does; Me ;https://x;extra"),
            (std::vector<std::string>{"Tool.lua", "What it does", " Me ", "https://x", "extra"}));
  EXPECT_EQ(CatalogueFields("Tool.lua"), (std::vector<std::string>{"Tool.lua"}));
  EXPECT_EQ(CatalogueFields(""), (std::vector<std::string>{""}));
}

// MeCustom.xml with the option elements' attributes replaced.
Lines MeCustom(const std::string& mission, const std::string& player) {
  return SplitGameText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<MissionEditor>\r\n  <!-- kept -->\r\n"
                       "  <ApplicationOptions>\r\n    <Paths Missions=\"./Missions/\"/>\r\n    <MissionOptions>\r\n"
                       "      <MissionOption " + mission + "/>\r\n    </MissionOptions>\r\n    <PlayerOptions>\r\n"
                       "      <PlayerOption " + player + "/>\r\n    </PlayerOptions>\r\n  </ApplicationOptions>\r\n"
                       "</MissionEditor>\r\n");
}

const std::string kMission = "WorldDensity=\"2\" MissilesEffectiveness=\"100\" Weather=\"1\"";
const std::string kPlayer = "Callsign=\"Enfield\" CivTraffic=\"1\" Immortal=\"true\" GEffects=\"2\" AwacsViewFilter=\"5\"";

TEST(MissionEditorDocumentTest, AttributesReadWithTheirEncodings) {
  struct Case {
    const char* name;
    std::string mission, player;
    std::function<void(const MissionEditorDocument&)> check;
  };
  const Case cases[] = {
      {"sample attributes", kMission, kPlayer,
       [](const MissionEditorDocument& d) {
         EXPECT_TRUE(d.civilTraffic);
         EXPECT_EQ(d.scenes, 1);
         EXPECT_FALSE(d.switches[0]);  // Immortal "true" is no "1"
         EXPECT_EQ(d.gEffects, 2);
         EXPECT_EQ(d.missilesEffectiveness, 100);
         EXPECT_TRUE(d.mapMyAircraft && !d.mapAllies && d.mapEnemies);
       }},
      {"density 3 and 1, filter 8",
       "WorldDensity=\"3\" MissilesEffectiveness=\"150\"", "GEffects=\"-1\" AwacsViewFilter=\"8\" ExternalView=\"1\"",
       [](const MissionEditorDocument& d) {
         EXPECT_EQ(d.scenes, 2);
         EXPECT_EQ(d.missilesEffectiveness, 100);  // at the slider's end
         EXPECT_EQ(d.gEffects, 0);
         EXPECT_TRUE(!d.mapMyAircraft && !d.mapAllies && !d.mapEnemies);
         EXPECT_TRUE(d.switches[8]);  // ExternalView
       }},
      {"density 7 reads as the middle", "WorldDensity=\"7\" MissilesEffectiveness=\"0\"",
       "GEffects=\"0\" AwacsViewFilter=\"07\"", [](const MissionEditorDocument& d) {
         EXPECT_EQ(d.scenes, 1);
         EXPECT_TRUE(!d.mapMyAircraft && !d.mapAllies && !d.mapEnemies);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MissionEditorDocument d;
    d.Read(MeCustom(c.mission, c.player), Lookup);
    c.check(d);
  }
}

TEST(MissionEditorDocumentTest, FailedReadsKeepEveryValue) {
  const std::pair<const char*, Lines> cases[] = {
      {"not XML", {"<MissionEditor>", "<ApplicationOptions>"}},
      {"GEffects 1.5", MeCustom(kMission, "GEffects=\"1.5\" AwacsViewFilter=\"1\"")},
      {"GEffects x", MeCustom(kMission, "GEffects=\"x\" AwacsViewFilter=\"1\"")},
      {"no WorldDensity", MeCustom("MissilesEffectiveness=\"10\"", kPlayer)},
      {"no AwacsViewFilter", MeCustom(kMission, "GEffects=\"1\" Immortal=\"1\"")},
      {"no PlayerOptions",
       SplitGameText("<A><ApplicationOptions><MissionOptions><MissionOption WorldDensity=\"1\" "
                     "MissilesEffectiveness=\"5\"/></MissionOptions></ApplicationOptions></A>")},
  };
  for (const auto& [name, lines] : cases) {
    SCOPED_TRACE(name);
    MissionEditorDocument d;
    d.Read(MeCustom(kMission, kPlayer), Lookup);
    const MissionEditorDocument before = d;
    EXPECT_THROW(d.Read(lines, Lookup), EKestaError);
    EXPECT_TRUE(d == before);
  }
}

TEST(MissionEditorDocumentTest, WritingSetsTheAttributesAndKeepsEverythingElse) {
  Lines lines = MeCustom(kMission, kPlayer);
  MissionEditorDocument d;
  d.Read(lines, Lookup);
  d.mapMyAircraft = d.mapEnemies = false;
  d.mapAllies = true;
  d.scenes = 1;
  d.Write(lines, Lookup);
  const std::string text = JoinGameText(lines);
  // The attributes the file had stay in their order, the others follow; comments and layout stay.
  EXPECT_NE(text.find("<MissionOption WorldDensity=\"2\" MissilesEffectiveness=\"100\" Weather=\"1\"/>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<PlayerOption Callsign=\"Enfield\" CivTraffic=\"1\" Immortal=\"0\" GEffects=\"2\" "
                      "AwacsViewFilter=\"2\" CrashRecovery=\"0\""),
            std::string::npos)
      << text;
  EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<MissionEditor>\r\n  <!-- kept -->"))
      << text;
  EXPECT_NE(text.find("\r\n    <Paths Missions=\"./Missions/\"/>\r\n"), std::string::npos) << text;
  MissionEditorDocument again;
  again.Read(lines, Lookup);
  EXPECT_TRUE(again == d);

  // Missing elements are created with all the attributes.
  Lines bare = SplitGameText("<Other><ApplicationOptions><MissionOptions/></ApplicationOptions></Other>");
  d.Write(bare, Lookup);
  const std::string written = JoinGameText(bare);
  EXPECT_NE(written.find("<PlayerOptions><PlayerOption CivTraffic=\"1\" Immortal=\"0\""), std::string::npos) << written;
  again.Read(bare, Lookup);
  EXPECT_TRUE(again == d);
}

// A file written back with the values it holds keeps its every byte, trailing comment included.
TEST(MissionEditorDocumentTest, UnchangedValuesGiveTheSameBytes) {
  Lines lines = Sample("mecustom.xml");
  lines.push_back("<!-- after the document -->");
  const Lines before = lines;
  MissionEditorDocument d;
  d.Read(lines, Lookup);
  d.Write(lines, Lookup);
  EXPECT_EQ(lines, before);
}

// A declaration the parser takes in an odd way (its "?>" stands after the elements) must not be kept half:
// what is written must read again, with the values written.
TEST(MissionEditorDocumentTest, WhatIsWrittenAlwaysReadsAgain) {
  const std::string bytes = test::ReadBytes(test::SourceFolder() / "fuzz/seeds/mission_editor/declaration_past_the_root.xml");
  Lines lines = SplitGameText(bytes);
  MissionEditorDocument d;
  d.Read(lines, Lookup);
  d.switches[0] = true;
  d.Write(lines, Lookup);
  MissionEditorDocument again;
  ASSERT_NO_THROW(again.Read(lines, Lookup)) << JoinGameText(lines);
  EXPECT_TRUE(again == d);
}

// What the document does not manage comes back byte for byte: entity references it does not know, empty
// elements written as a pair of tags, single quotes, the layout inside tags, CDATA, the DOCTYPE. The
// attributes it sets keep their quotes and place; missing ones and missing elements are added.
TEST(MissionEditorDocumentTest, WhatIsNotManagedKeepsItsBytes) {
  const std::string fixture = test::ReadBytes(test::SourceFolder() / "tests/documents/mecustom_unmanaged.xml");
  const auto replaced = [](std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
      const size_t at = text.find(from);
      EXPECT_NE(at, std::string::npos) << from;
      EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
      if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
  };
  const std::string allPlayer =
      "<PlayerOption CivTraffic=\"1\" Immortal=\"1\" CrashRecovery=\"0\" UnlimitedFuel=\"0\" "
      "UnlimitedWeapons=\"0\" EasyFlight=\"0\" EasyRadar=\"0\" RadioAssist=\"0\" ExternalLabels=\"0\" "
      "ExternalView=\"1\" AwacsView=\"1\" AircraftSwitching=\"1\" PadLock=\"1\" MiniHUD=\"0\" GEffects=\"2\" "
      "AwacsViewFilter=\"5\"/>";
  struct Case {
    const char* what;
    bool change;  // Immortal on, the most scenes, no allies on the map
    std::vector<std::pair<std::string, std::string>> input, output;
  };
  const Case cases[] = {
      {"values as read", false, {}, {}},
      {"values changed in place, in their own quotes",
       true,
       {},
       {{"Immortal='0'", "Immortal='1'"},
        {"WorldDensity = '2'", "WorldDensity = '3'"},
        {"AwacsViewFilter=\"7\"", "AwacsViewFilter=\"5\""}}},
      {"a missing attribute added after the others",
       true,
       {{" MiniHUD=\"0\"", ""}},
       {{"Immortal='0'", "Immortal='1'"},
        {"WorldDensity = '2'", "WorldDensity = '3'"},
        {"AwacsViewFilter=\"7\"  />", "AwacsViewFilter=\"5\" MiniHUD=\"0\"  />"}}},
      {"a missing element added into an empty one",
       true,
       {{"<PlayerOptions>", "<PlayerOptions/><Gone>"}, {"</PlayerOptions>", "</Gone>"}},
       {{"<PlayerOptions/>", "<PlayerOptions>" + allPlayer + "</PlayerOptions>"},
        {"WorldDensity = '2'", "WorldDensity = '3'"}}},
  };
  MissionEditorDocument d;
  d.Read(SplitGameText(fixture), Lookup);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MissionEditorDocument written = d;
    if (c.change) {
      written.switches[0] = true;
      written.scenes = 2;
      written.mapAllies = false;
    }
    Lines lines = SplitGameText(replaced(fixture, c.input));
    written.Write(lines, Lookup);
    EXPECT_EQ(JoinGameText(lines), replaced(replaced(fixture, c.input), c.output));
    MissionEditorDocument again;
    again.Read(lines, Lookup);
    EXPECT_TRUE(again == written);
  }
}

TEST(MissionEditorDocumentTest, NamedValues) {
  MissionEditorDocument d;
  d.SetValue("CheckBoxMiniHUD", "1");
  d.SetValue("SpecialSliderMissilesEffectiveness", "50");
  d.SetValue("CheckBoxMapEnnemies", "1");
  EXPECT_TRUE(d.switches[12]);
  EXPECT_EQ(d.missilesEffectiveness, 50);
  EXPECT_TRUE(d.mapEnemies);
  for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
           {"SpecialSliderScenes", "3"}, {"SpecialSliderGEffects", "1.5"}, {"CheckBoxImmortal", "true"},
           {"CheckBoxNothing", "1"}})
    EXPECT_THROW(d.SetValue(name, value), EKestaError) << name;
  const auto values = d.Values();
  EXPECT_EQ(values.size(), 20u);  // every control of the realism page and the two of the graphics page
}

}  // namespace
}  // namespace kesta
