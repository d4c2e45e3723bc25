// The documents of graphics.cfg and cockpit.cfg without a window: lines read into values, values written
// into lines, and the named values kesta-cli shows and sets.

#include "documents/graphics_document.h"

#include <gtest/gtest.h>

#include <functional>

#include "documents/cockpit_document.h"
#include "engine/failure.h"
#include "engine/game_file.h"
#include "engine/lua_text.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

std::string Lookup(std::string_view key) { return "<" + std::string(key) + ">"; }

Lines SampleGraphics() { return ReadGameFile(test::SourceFolder() / "resources/Default/Graphics.cfg"); }

// The sample with one line replaced (or removed when `to` is empty); the line must be there.
Lines With(Lines lines, std::string_view from, std::string_view to) {
  const auto found = std::find(lines.begin(), lines.end(), from);
  EXPECT_NE(found, lines.end()) << from;
  if (found == lines.end()) return lines;
  if (to.empty())
    lines.erase(found);
  else
    *found = to;
  return lines;
}

GraphicsDocument ReadGraphics(const Lines& lines) {
  GraphicsDocument document;
  document.Read(lines, Lookup);
  return document;
}

TEST(GraphicsDocumentTest, ReadsEachValueAsThePagesShowIt) {
  struct Case {
    const char* name;
    std::string_view from, to;
    std::function<void(const GraphicsDocument&)> check;
  };
  const Case cases[] = {
      {"sample", "", "",
       [](const GraphicsDocument& d) {
         EXPECT_EQ(d.textureLevel, 2);
         EXPECT_EQ(d.precaching, 1);
         EXPECT_EQ(d.shadowDensity, 6);
         EXPECT_EQ(d.gameResolution, "1024x768");
         EXPECT_EQ(d.movieResolution, "640x480");
         EXPECT_EQ(d.colourDepth, "32bits");
         EXPECT_EQ(d.screenshotName, "ScreenShots/ScreenShot_");
         EXPECT_TRUE(d.screenshotJpg);
         EXPECT_EQ(d.currentProfile, "Medium");
         EXPECT_EQ(d.ProfileNames(), (std::vector<std::string>{"Low", "Medium", "High"}));
       }},
      {"precaching 100000", "\taround_camera = 50000;", "\taround_camera = 100000;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.precaching, 2); }},
      {"texture level above the slider", "TextureLevel = 2;", "TextureLevel = 7;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.textureLevel, 2); }},
      {"shadow density 0.64", "ShadowDensity = 0.6;", "ShadowDensity = 0.64;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.shadowDensity, 6); }},
      {"shadow density 0.66", "ShadowDensity = 0.6;", "ShadowDensity = 0.66;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.shadowDensity, 7); }},
      {"exhaust 2", "Exhaust = 1;", "Exhaust = 2;",
       [](const GraphicsDocument& d) { EXPECT_TRUE(d.exhaust); }},
      {"full screen with blanks", "\tfullscreen = 1;", "\tfullscreen = 1 ;",
       [](const GraphicsDocument& d) { EXPECT_TRUE(d.gameFullScreen); }},
      {"full screen yes", "\tfullscreen = 1;", "\tfullscreen = yes;",
       [](const GraphicsDocument& d) { EXPECT_FALSE(d.gameFullScreen); }},
      {"bmp screenshots", "ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
       "ScreenshotName = \"Shots/Img_%03D.BMP\";",
       [](const GraphicsDocument& d) {
         EXPECT_EQ(d.screenshotName, "Shots/Img_");
         EXPECT_FALSE(d.screenshotJpg);
       }},
      {"depth not in the list", "\tbpp = 32;", "\tbpp = 24;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.colourDepth, ""); }},
      {"aspect 1.25", "\taspect = 1.333333373;", "\taspect = 1.25;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.aspect, 1); }},
      {"aspect 1.333", "\taspect = 1.333333373;", "\taspect = 1.333;",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.aspect, 0); }},
      {"current names no profile", "\tcurrent = \"Medium\";", "\tcurrent = \"Dusk\";",
       [](const GraphicsDocument& d) {
         EXPECT_EQ(d.currentProfile, "");
         EXPECT_EQ(d.ShownProfile()->Name, "Low");
       }},
      {"current empty", "\tcurrent = \"Medium\";", "\tcurrent = \"\";",
       [](const GraphicsDocument& d) { EXPECT_EQ(d.currentProfile, "Medium"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Lines sample = SampleGraphics();
    c.check(ReadGraphics(c.from.empty() ? sample : With(sample, c.from, c.to)));
  }
}

TEST(GraphicsDocumentTest, AReadThatFailsLeavesTheValuesAsTheyWere) {
  struct Case {
    const char* name;
    std::string_view from, to;
    std::string failure;
  };
  const Case cases[] = {
      {"fraction", "TextureLevel = 2;", "TextureLevel = 1.5;",
       "'1.5' is not a valid integer value for TextureLevel"},
      {"profile value", "\t\tlod = 1.0;", "\t\tlod = much;", "Please contact the developper!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphicsDocument document = ReadGraphics(SampleGraphics());
    document.textureLevel = 0;
    const GraphicsDocument before = document;
    try {
      document.Read(With(SampleGraphics(), c.from, c.to), Lookup);
      ADD_FAILURE() << "read";
    } catch (const EKestaError& failure) {
      EXPECT_NE(std::string(failure.what()).find(c.failure), std::string::npos) << failure.what();
    }
    EXPECT_EQ(document, before);
  }
  // A file without profiles says so in the user's language.
  const Lines camera{"Camera = [==[", "{", "\tcurrent = \"Medium\";", "}", "]==]"};
  GraphicsDocument document;
  EXPECT_THROW(
      {
        try {
          document.Read(camera, Lookup);
        } catch (const EKestaError& failure) {
          EXPECT_STREQ(failure.what(), "<VisibilityRange>");
          throw;
        }
      },
      EKestaError);
}

TEST(GraphicsDocumentTest, PrecachingTheSliderCannotShowLeavesItWhereItWas) {
  GraphicsDocument document = ReadGraphics(SampleGraphics());
  document.precaching = 2;
  document.Read(With(SampleGraphics(), "\taround_camera = 50000;", "\taround_camera = 75000;"), Lookup);
  EXPECT_EQ(document.precaching, 2);
}

TEST(GraphicsDocumentTest, WritesTheValuesWithTheFilesRules) {
  struct Case {
    const char* name;
    std::function<void(GraphicsDocument&)> change;
    std::vector<std::string> lines;  // each present in the written file
  };
  const Case cases[] = {
      {"typed resolution with blanks",
       [](GraphicsDocument& d) { d.gameResolution = "1280 x 1024"; },
       {"\tresolution = {1280, 1024};", "\t\tresolution = {1280, 1024};"}},
      {"one number stands for both sides",
       [](GraphicsDocument& d) { d.gameResolution = "1024"; },
       {"\tresolution = {1024, 1024};"}},
      {"aspect item 0",
       [](GraphicsDocument& d) { d.aspect = 0; },
       {"\taspect = 1.333333373;", "\t\taspect = 1.333333373;"}},
      {"shadow density", [](GraphicsDocument& d) { d.shadowDensity = 4; }, {"ShadowDensity = 0.4;"}},
      {"precaching", [](GraphicsDocument& d) { d.precaching = 0; }, {"\taround_camera = 25000;"}},
      {"bmp screenshots",
       [](GraphicsDocument& d) { d.screenshotJpg = false; },
       {"ScreenshotName = \"ScreenShots/ScreenShot_%03d.bmp\";"}},
      {"film full screen",
       [](GraphicsDocument& d) { d.movieFullScreen = true; },
       {"\t\tresolution = {640, 480};", "\t\tfullscreen = 1;"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphicsDocument document = ReadGraphics(SampleGraphics());
    c.change(document);
    Lines lines = SampleGraphics();
    document.Write(lines, Lookup);
    for (const std::string& line : c.lines)
      EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
}

TEST(GraphicsDocumentTest, UnchangedValuesWriteTheSampleBackByteForByteAndBadSizesWriteNothing) {
  Lines lines = SampleGraphics();
  ReadGraphics(lines).Write(lines, Lookup);
  EXPECT_EQ(lines, SampleGraphics());

  // A depth the list does not hold keeps the file's; an unreadable size fails the whole write.
  GraphicsDocument document = ReadGraphics(With(SampleGraphics(), "\tbpp = 32;", "\tbpp = 24;"));
  lines = With(SampleGraphics(), "\tbpp = 32;", "\tbpp = 24;");
  document.Write(lines, Lookup);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\tbpp = 24;"), lines.end());
  for (const char* bad : {"", "abc", "1024xhigh"}) {
    document.gameResolution = bad;
    Lines untouched = SampleGraphics();
    EXPECT_THROW(
        {
          try {
            document.Write(untouched, Lookup);
          } catch (const EKestaError& failure) {
            EXPECT_STREQ(failure.what(), "- <InvalidResolution>");
            throw;
          }
        },
        EKestaError)
        << bad;
  }
}

// graphics.cfg is run as Lua: a typed screenshot name stays one string, whatever it holds, and reads back
// as typed.
TEST(GraphicsDocumentTest, ScreenshotNameIsALuaStringWhateverItHolds) {
  for (const std::string& name : {std::string("Shots/\"; os.execute(\"rm -rf ~\") --"), std::string("a\"b"),
                                  std::string("two\r\nlines"), std::string("C:\\Shots\\")}) {
    SCOPED_TRACE(name);
    GraphicsDocument document = ReadGraphics(SampleGraphics());
    document.screenshotName = name;
    Lines lines = SampleGraphics();
    document.Write(lines, Lookup);
    EXPECT_EQ(LuaSyntaxError(JoinGameText(lines), "graphics.cfg"), std::nullopt);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("ScreenshotName = "); }),
              1);
    const GraphicsDocument read = ReadGraphics(lines);
    EXPECT_EQ(read.screenshotName, name);
    EXPECT_TRUE(read.screenshotJpg);
  }
}

// The profiles sit in a long Lua string the game reads with its own reader. A profile name from a shared
// configuration that would end that string never reaches the game's file, neither as a block nor as the
// current profile.
TEST(GraphicsDocumentTest, AProfileNameNeverEndsTheStringTheProfilesSitIn) {
  const std::string name = "]==] os.exit() x = [==[";
  Lines section = With(SampleGraphics(), "\tHigh", "\t" + name);
  section = With(section, "\tcurrent = \"Medium\";", "\tcurrent = \"" + name + "\";");
  const GraphicsDocument document = ReadGraphics(section);
  ASSERT_EQ(document.currentProfile, name);
  Lines lines = SampleGraphics();
  document.Write(lines, Lookup);
  for (const std::string& line : lines) EXPECT_EQ(line.find("os.exit"), std::string::npos) << line;
  EXPECT_EQ(LuaSyntaxError(JoinGameText(lines), "graphics.cfg"), std::nullopt);
  EXPECT_FALSE(IsValidProfileName("Night]]"));
  EXPECT_FALSE(IsValidProfileName("Night [2]"));

  // Nor as a value: the write is refused.
  const Lines withValue = With(SampleGraphics(), "\t\tlod = 1.5;", "\t\tlod = " + name + ";");
  lines = SampleGraphics();
  try {
    ReadGraphics(withValue).Write(lines, Lookup);
    ADD_FAILURE() << "written";
  } catch (const EKestaError& failure) {
    EXPECT_STREQ(failure.what(), ("- <InvalidNumber> lod = " + name).c_str());
  }
}

// The fog values, texture distances and the screenshot quality stand unquoted in the file: only a number
// is written there, from the window (the document's member) or from kesta-cli (SetValue).
TEST(GraphicsDocumentTest, UnquotedValuesMustBeNumbers) {
  using Member = std::string GraphicsDocument::*;
  const std::pair<const char*, Member> boxes[] = {
      {"EditFogParam1", &GraphicsDocument::fogParam1},
      {"EditFogParam2", &GraphicsDocument::fogParam2},
      {"EditObjectFogMultiplier", &GraphicsDocument::objectFogMultiplier},
      {"EditLandDayL01", &GraphicsDocument::landDayL01},
      {"EditLandNightL12", &GraphicsDocument::landNightL12},
      {"EditMFDL12", &GraphicsDocument::mfdL12},
      {"EditScreenShotQuality", &GraphicsDocument::screenshotQuality},
  };
  for (const auto& [control, member] : boxes) {
    SCOPED_TRACE(control);
    for (const char* bad : {"1;f()", "1 f()", "nil", "", "x", "1,2", "+5", "1.2.3", "--1", "0x"}) {
      SCOPED_TRACE(bad);
      GraphicsDocument document = ReadGraphics(SampleGraphics());
      document.*member = bad;
      Lines lines = SampleGraphics();
      try {
        document.Write(lines, Lookup);
        ADD_FAILURE() << "written";
      } catch (const EKestaError& failure) {
        EXPECT_TRUE(std::string(failure.what()).starts_with("- <InvalidNumber> ")) << failure.what();
      }
      EXPECT_THROW(ReadGraphics(SampleGraphics()).SetValue(control, bad), EKestaError);
    }
    for (const char* good : {"12", "1.1", "-.5", ".5", "1e3"}) {
      SCOPED_TRACE(good);
      GraphicsDocument document = ReadGraphics(SampleGraphics());
      document.SetValue(control, good);
      Lines lines = SampleGraphics();
      document.Write(lines, Lookup);
      EXPECT_EQ(ReadGraphics(lines).*member, good);
    }
  }
}

TEST(GraphicsDocumentTest, ShowingAProfilePutsItsValuesOnTheSlidersGrid) {
  // The first far clipping plane of 80000 is Medium's; reading shows Medium.
  Lines lines = With(SampleGraphics(), "\t\tfar_clip = 80000;", "\t\tfar_clip = 83000;");
  GraphicsDocument document = ReadGraphics(lines);
  EXPECT_EQ(document.ShownProfile()->Name, "Medium");
  EXPECT_EQ(document.ShownProfile()->FarClip, "85000");  // 83000 / 5000 = 16.6: position 17
  document.optis[0].Lod = "3";
  document.optis[0].MiddleClip = "";
  document.ShowProfile("Low");
  EXPECT_EQ(document.optis[0].Lod, "2.0");      // clamped to the slider's 20
  EXPECT_EQ(document.optis[0].MiddleClip, "");  // Low has no middle plane
  document.optis[1].Lod = "0.86";
  document.ShowProfile("Medium");
  EXPECT_EQ(document.optis[1].Lod, "0.9");
}

// Every profile holds what its sliders show, not only the one shown: the window's Apply, kesta-cli's show
// and its apply have the same values whichever profile the pages last showed. A value that is no number
// is left for showing its profile to report.
TEST(GraphicsDocumentTest, ReadingPutsEveryProfileOnItsSlidersGrid) {
  Lines lines = With(SampleGraphics(), "\t\tlod = 0.7;", "\t\tlod = 0.73;");
  lines = With(lines, "\t\tlod = 1.5;", "\t\tlod = 9;");
  GraphicsDocument document = ReadGraphics(lines);
  EXPECT_EQ(document.ShownProfile()->Name, "Medium");
  EXPECT_EQ(ShownOpti(document.optis, "Low")->Lod, "0.7");
  EXPECT_EQ(ShownOpti(document.optis, "High")->Lod, "2.0");
  document = ReadGraphics(With(SampleGraphics(), "\t\tlod = 1.5;", "\t\tlod = far;"));
  EXPECT_EQ(ShownOpti(document.optis, "High")->Lod, "far");
  EXPECT_THROW(document.ShowProfile("High"), EKestaError);

  // A value that profiles share, or that sliders of other grids hold, goes on each slider's own grid.
  lines = With(SampleGraphics(), "\t\tlod = 0.7;", "\t\tlod = 0.73;");
  lines =
      With(With(lines, "\t\tlod = 1.5;", "\t\tlod = 0.73;"), "\t\tfar_clip = 60000;", "\t\tfar_clip = 0.73;");
  document = ReadGraphics(With(lines, "\t\tnear_clip = 4.0;", "\t\tnear_clip = far;"));
  EXPECT_EQ(ShownOpti(document.optis, "Low")->Lod, "0.7");
  EXPECT_EQ(ShownOpti(document.optis, "High")->Lod, "0.7");
  EXPECT_EQ(ShownOpti(document.optis, "Low")->FarClip, "10000");
  EXPECT_EQ(ShownOpti(document.optis, "Low")->NearClip, "far");
}

TEST(GraphicsDocumentTest, NamedValuesAreShownAndSetInThePagesTerms) {
  GraphicsDocument document = ReadGraphics(SampleGraphics());
  std::map<std::string, std::string> shown;
  for (const NamedValue& value : document.Values()) shown[value.name] = value.value;
  EXPECT_EQ(shown["SpecialSliderTextureLevel"], "2");
  EXPECT_EQ(shown["CheckboxExhaust"], "1");
  EXPECT_EQ(shown["ComboBoxBits"], "32bits");
  EXPECT_EQ(shown["ComboBoxGameAspect"], "4/3 (1.33..)");
  EXPECT_EQ(shown["ComboBoxOptimization1"], "Medium");
  EXPECT_EQ(shown["SliderLod[High]"], "15");
  EXPECT_EQ(shown.count("SliderMiddleClip[Low]"), 0u);

  // Every shown value set again changes nothing, also while the list shows no profile.
  for (const Lines& lines :
       {SampleGraphics(), With(SampleGraphics(), "\tcurrent = \"Medium\";", "\tcurrent = \"Dusk\";"),
        With(SampleGraphics(), "\tbpp = 32;", "\tbpp = 24;")}) {
    const GraphicsDocument read = ReadGraphics(lines);
    GraphicsDocument again = read;
    for (const NamedValue& value : read.Values()) again.SetValue(value.name, value.value);
    EXPECT_EQ(again, read);
  }

  struct Bad {
    const char* name;
    const char* value;
    const char* reason;
  };
  const Bad bad[] = {
      {"SpecialSliderNothing", "1", "unknown name"},
      {"SpecialSliderTextureLevel", "3", "not a position from 0 to 2"},
      {"SpecialSliderTextureLevel", "1.0", "not a position"},
      {"CheckboxExhaust", "yes", "is not 1"},
      {"ComboBoxBits", "24bits", "is not one of"},
      {"EditFogParam1", "1234567", "longer than the 6"},
      {"ComboBoxOptimization1", "Dusk", "not a visibility-range profile"},
      {"SliderLod[Dusk]", "10", "not a visibility-range profile"},
      {"SliderMiddleClip[Low]", "10", "no middle clipping plane"},
      {"SliderLod[High]", "21", "not a position from 1 to 20"},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.name);
    GraphicsDocument changed = document;
    try {
      changed.SetValue(b.name, b.value);
      ADD_FAILURE() << "accepted " << b.value;
    } catch (const EKestaError& failure) {
      EXPECT_NE(std::string(failure.what()).find(b.reason), std::string::npos) << failure.what();
    }
    EXPECT_EQ(changed, document);
  }

  document.SetValue("SliderFarClip[Medium]", "17");
  EXPECT_EQ(ShownOpti(document.optis, "Medium")->FarClip, "85000");
  document.SetValue("ComboBoxGameAspect", "16/9 (1.77)");
  EXPECT_EQ(document.aspect, 2);
}

TEST(CockpitDocumentTest, ReadsWritesAndNamesItsFourValues) {
  struct Case {
    const char* name;
    Lines lines;
    CockpitDocument expected;
  };
  const auto make = [](int mirrors, int resolution, int reflections, bool hud) {
    CockpitDocument d;
    d.mirrors = mirrors;
    d.mirrorResolution = resolution;
    d.reflections = reflections;
    d.russianHud = hud;
    return d;
  };
  const Case cases[] = {
      {"all there",
       {"Mirrors = 1;", "MirrorResolution = 2;", "Reflections = 0;", "RussianHUD = 0;"},
       make(1, 2, 0, false)},
      {"missing lines take the game's defaults", {"Mirrors = 1;"}, make(1, 0, 1, true)},
      {"any other HUD value unchecks", {"RussianHUD = 2;"}, make(0, 0, 1, false)},
      {"positions beyond the sliders", {"Mirrors = 4;", "MirrorResolution = -1;"}, make(1, 0, 1, true)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CockpitDocument document;
    document.Read(c.lines, Lookup);
    EXPECT_EQ(document, c.expected);
  }

  CockpitDocument document = make(1, 1, 1, true);
  EXPECT_THROW(document.Read({"Mirrors = on;"}, Lookup), EKestaError);
  EXPECT_EQ(document, make(1, 1, 1, true));

  Lines lines{"-- cockpit", "Mirrors = 0;"};
  document.Write(lines, Lookup);
  EXPECT_EQ(lines, (Lines{"-- cockpit", "Mirrors = 1;", "MirrorResolution = 1;", "Reflections = 1;",
                          "RussianHUD = 1;"}));

  document.SetValue("SpecialSliderMirrorResolution", "2");
  document.SetValue("CheckboxRussianHUD", "0");
  EXPECT_EQ(document, make(1, 2, 1, false));
  EXPECT_THROW(document.SetValue("SpecialSliderMirrors", "2"), EKestaError);
  EXPECT_THROW(document.SetValue("Mirrors", "1"), EKestaError);
}

}  // namespace
}  // namespace kesta
