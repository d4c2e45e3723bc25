#include "engine/load_apply_texts.h"

#include <gtest/gtest.h>

#include "engine/failure.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return "<" + std::string(key) + ">"; }

struct KindRow {
  const char* key;
  const char* title;
  const char* applyLine;  // what follows "<Applying>" up to the line break
  const char* defaultCopy;
  bool blankCountsAsEmpty;
};

// The twelve game files as players see them in messages.
const KindRow kRows[] = {
    {"Graphics", "GraphicsSettings", " (GraphicsSettings)", "Graphics.cfg", false},
    {"Cockpit", "CockpitSettings", "", "Cockpit.cfg", false},
    {"Network", "NetworkSettings", " (NetworkSettings)", "Config.lua", true},
    {"Stats", "StatsSettings", " (StatsSettings)", "Stats.lua", true},
    {"Server", "ServerSettings", " (ServerSettings)", "Server.lua", true},
    {"View", "ViewSettings", " (ViewSettings)", "View.lua", false},
    {"SnapView", "SnapViewSettings", " (SnapViewSettings)", "SnapViews.lua", false},
    {"Producer", "ProducerSettings", " (ProducerSettings)", "producer.cfg", false},
    {"World", "WorldSettings", " (WorldSettings)", "world.lua", false},
    {"Drawinfo", "DrawinfoSettings", " (DrawinfoSettings)", "drawinfo.lua", false},
    {"ExportConfig", "ExportConfig", " (ExportConfigSettings)", "exportconfig.lua", false},
    {"MECustom", "MECustomSettings", " (MECustomSettings)", "mecustom.xml", false},
};

TEST(LoadApplyTextsTest, EveryFileHasItsTitleLabelCopyAndEmptyRule) {
  ASSERT_EQ(GameFileKinds().size(), std::size(kRows));
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const KindRow& row = kRows[i];
    SCOPED_TRACE(row.key);
    const GameFileKind& kind = GameFileKindOf(row.key);
    EXPECT_EQ(GameFileKinds()[i].catalogKey, row.key);  // catalogue order
    EXPECT_EQ(kind.defaultCopy, row.defaultCopy);
    EXPECT_EQ(TitleLine(kind), std::string(row.title) + "\r\n----------------------\r\n");

    EXPECT_EQ(EmptyFileQuestion(kind, "/g/x.lua", Lookup),
              std::string(row.title) +
                  "\r\n----------------------\r\n<EmptyFile>\r\n/g/x.lua\r\n----------------------\r\n<LoadDefault>");
    EXPECT_EQ(LoadFailureQuestion(kind, "/g/x.lua", "Cannot open file", Lookup),
              std::string(row.title) +
                  "\r\n----------------------\r\n<Loading>\r\n/g/x.lua\r\nCannot open file\r\n"
                  "----------------------\r\n<LoadDefault>");
    EXPECT_EQ(ApplyFailureMessage(kind, "SetParam Error", Lookup),
              std::string("<Applying>") + row.applyLine + "\r\nSetParam Error");

    EXPECT_TRUE(CountsAsEmpty(kind, {}));
    EXPECT_EQ(CountsAsEmpty(kind, {"", " \t", "\x01"}), row.blankCountsAsEmpty);
    EXPECT_FALSE(CountsAsEmpty(kind, {"", "x"}));
  }
}

TEST(LoadApplyTextsTest, UnknownKeyFails) { EXPECT_THROW(GameFileKindOf("drawinfo"), EKestaError); }

}  // namespace
}  // namespace kesta
