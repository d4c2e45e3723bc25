// The documents of view.lua and snapviews.lua without a window: limits cut to whole numbers and written
// with one decimal, HUD colours kept as text, the default view's three lines, and the per-aircraft names.

#include "documents/view_documents.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return std::string(key); }

Lines Sample(const char* name) { return ReadGameFile(test::SourceFolder() / "resources/Default" / name); }

void Replace(Lines& lines, std::string_view from, std::string_view to) {
  const auto found = std::find(lines.begin(), lines.end(), from);
  ASSERT_NE(found, lines.end()) << from;
  *found = to;
}

bool Has(const Lines& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

constexpr size_t kSu25T = 3;

TEST(ViewDocumentTest, LimitsAndHudColoursOnReadAndWrite) {
  struct Case {
    const char* limits;  // the Su-25T's limits line
    const char* min;
    const char* max;
    const char* written;
  };
  const Case cases[] = {
      {"CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.000000, 140.000000}", "20", "140",
       "CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.0, 140.0}"},
      // Outside the sliders' ranges: what the page shows and writes.
      {"CameraViewAngleLimits[PlaneIndex.iSu_39] = {-7.9, 300.99};", "0", "250",
       "CameraViewAngleLimits[PlaneIndex.iSu_39] = {0.0, 250.0}"},
      {"CameraViewAngleLimits[PlaneIndex.iSu_39] = {190, -1}", "180", "0",
       "CameraViewAngleLimits[PlaneIndex.iSu_39] = {180.0, 0.0}"},
      {"CameraViewAngleLimits[PlaneIndex.iSu_39] = { 35 , 90 }", "35", "90",
       "CameraViewAngleLimits[PlaneIndex.iSu_39] = {35.0, 90.0}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limits);
    Lines lines = Sample("View.lua");
    Replace(lines, "CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.000000, 120.000000}", c.limits);
    ViewDocument d;
    d.Read(lines, Lookup);
    EXPECT_EQ(d.views[kSu25T].viewAngleMin, c.min);
    EXPECT_EQ(d.views[kSu25T].viewAngleMax, c.max);
    d.Write(lines, Lookup);
    EXPECT_TRUE(Has(lines, c.written));
    EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "view.lua"));
  }

  Lines lines = Sample("View.lua");
  Replace(lines, "HUDColor[PlaneIndex.iSu_39] = {255, 200, 0}",
          "HUDColor[PlaneIndex.iSu_39] = {0.0, 255.0, 0.0}");
  Replace(lines, "CockpitMouse = true", "CockpitMouse = True");
  ViewDocument d;
  d.Read(lines, Lookup);
  EXPECT_FALSE(d.cockpitMouse);
  EXPECT_TRUE(d.externalMouse);
  // Colours are kept as the file has them: the page refuses to show this one, the file gets it back as is.
  EXPECT_EQ(d.views[kSu25T].hudColorG, "255.0");
  // kesta-cli takes such a colour back as show prints it, and changes nothing; any other must be a colour.
  const ViewDocument held = d;
  EXPECT_NO_THROW(d.SetValue("PanelColor[Su-25T]", "0.0,255.0,0.0"));
  EXPECT_TRUE(d == held);
  EXPECT_THROW(d.SetValue("PanelColor[Su-25T]", "0.0,255.0,1.0"), EKestaError);
  d.Write(lines, Lookup);
  EXPECT_TRUE(Has(lines, "HUDColor[PlaneIndex.iSu_39] = {0.0, 255.0, 0.0}"));
  EXPECT_TRUE(Has(lines, "CockpitMouse = false"));

  // A missing limits line leaves the limits empty, and the write fails with the conversion error.
  const auto a10 =
      std::find(lines.begin(), lines.end(), "CameraViewAngleLimits[PlaneIndex.iA_10] = {20.0, 130.0}");
  ASSERT_NE(a10, lines.end());
  lines.erase(a10);
  d.Read(lines, Lookup);
  EXPECT_EQ(d.views[6].viewAngleMin, "");
  try {
    d.Write(lines, Lookup);
    ADD_FAILURE() << "an empty limit was written";
  } catch (const EKestaError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
}

TEST(SnapViewDocumentTest, DefaultViewIsCutToWholeNumbersAndWrittenAsHeld) {
  Lines lines = Sample("SnapViews.lua");
  Replace(lines, "Snap[4][13][\"viewAngle\"] = 80.000000", "Snap[4][13][\"viewAngle\"] = 75.500000");
  Replace(lines, "Snap[4][13][\"vAngle\"] = -12.000000", "Snap[4][13][\"vAngle\"] = -9.5");
  SnapViewDocument d;
  d.Read(lines, Lookup);
  EXPECT_EQ(d.views[kSu25T], (SnapViewDocument::DefaultView{"75", "0", "-9"}));
  // Outside the sliders' ranges: what the page shows and writes.
  Lines outside = lines;
  Replace(outside, "Snap[4][13][\"viewAngle\"] = 75.500000", "Snap[4][13][\"viewAngle\"] = 200.0");
  Replace(outside, "Snap[4][13][\"vAngle\"] = -9.5", "Snap[4][13][\"vAngle\"] = -60.000000");
  Replace(outside, "Snap[4][13][\"hAngle\"] = 0.000000", "Snap[4][13][\"hAngle\"] = 41");
  SnapViewDocument clamped;
  clamped.Read(outside, Lookup);
  EXPECT_EQ(clamped.views[kSu25T], (SnapViewDocument::DefaultView{"180", "40", "-40"}));
  d.Write(lines, Lookup);
  for (const char* line :
       {"Snap[4][13][\"viewAngle\"] = 75", "Snap[4][13][\"vAngle\"] = -9", "Snap[4][13][\"hAngle\"] = 0"})
    EXPECT_TRUE(Has(lines, line)) << line;
  // Snap view 13 only: the other snap views of the aircraft keep their lines.
  EXPECT_TRUE(Has(lines, "Snap[4][1][\"viewAngle\"] = 75.000000"));
  EXPECT_FALSE(LuaSyntaxError(JoinGameText(lines), "snapviews.lua"));
}

// A shared configuration's view lines reach the game's files only as numbers.
TEST(ViewDocumentTest, ValuesFromASharedFileAreWrittenOnlyAsNumbers) {
  Lines view = Sample("View.lua");
  Replace(view, "HUDColor[PlaneIndex.iSu_39] = {255, 200, 0}",
          "HUDColor[PlaneIndex.iSu_39] = {os.exit(), 200, 0}");
  ViewDocument d;
  d.Read(view, Lookup);
  Lines lines = Sample("View.lua");
  try {
    d.Write(lines, Lookup);
    ADD_FAILURE() << "written";
  } catch (const EKestaError& error) {
    EXPECT_STREQ(error.what(), "- InvalidNumber HUDColor[PlaneIndex.iSu_39] = {os.exit(), 200, 0}");
  }

  Lines snap = Sample("SnapViews.lua");
  Replace(snap, "Snap[4][13][\"hAngle\"] = 0.000000", "Snap[4][13][\"hAngle\"] = f(1)");
  SnapViewDocument s;
  s.Read(snap, Lookup);
  lines = Sample("SnapViews.lua");
  EXPECT_THROW(s.Write(lines, Lookup), EKestaError);
  for (const std::string& line : lines) EXPECT_EQ(line.find("f(1)"), std::string::npos) << line;
}

TEST(ViewDocumentTest, PerAircraftNamesTakeWhatTheControlsHold) {
  ViewDocument view;
  view.Read(Sample("View.lua"), Lookup);
  SnapViewDocument snap;
  snap.Read(Sample("SnapViews.lua"), Lookup);
  view.SetValue("SpecialSliderViewAngleMax[Su-25T]", "250");
  view.SetValue("PanelColor[A-10A]", "1,2,3");
  snap.SetValue("SpecialSliderHAngle[F-15C]", "-40");
  EXPECT_EQ(view.views[kSu25T].viewAngleMax, "250");
  EXPECT_EQ(view.views[6], (ViewDocument::Limits{"20", "130", "1", "2", "3"}));
  EXPECT_EQ(snap.views[7].hAngle, "-40");

  const std::pair<const char*, const char*> refused[] = {
      {"SpecialSliderViewAngleMax[Su-25T]", "251"},
      {"SpecialSliderViewAngleMin[Su-25T]", "181"},
      {"SpecialSliderViewAngleMin[Su-25T]", "20.5"},
      {"SpecialSliderViewAngleMin[Su-26]", "20"},
      {"SpecialSliderViewAngleMin[su-25t]", "20"},
      {"SpecialSliderViewAngleMin", "20"},
      {"PanelColor[Su-27]", "0,256,0"},
      {"PanelColor[Su-27]", "0,255"},
      {"PanelColor[Su-27]", "0,255,0,0"},
      {"CheckboxCockpitMouse", "yes"},
  };
  for (const auto& [name, value] : refused) {
    SCOPED_TRACE(std::string(name) + " = " + value);
    const ViewDocument before = view;
    EXPECT_THROW(view.SetValue(name, value), EKestaError);
    EXPECT_TRUE(view == before);
  }
  for (const auto& [name, value] :
       std::initializer_list<std::pair<const char*, const char*>>{{"SpecialSliderVAngle[Su-27]", "41"},
                                                                  {"SpecialSliderHAngle[Su-27]", "-41"},
                                                                  {"SpecialSliderViewAngleMin[Su-27]", "1"}})
    EXPECT_THROW(snap.SetValue(name, value), EKestaError) << name;
  EXPECT_EQ(AircraftPosition("mig-29"), 4);
  EXPECT_EQ(AircraftPosition("MiG-29K"), 5);
  EXPECT_EQ(AircraftPosition("Su-26"), -1);
}

}  // namespace
}  // namespace kesta
