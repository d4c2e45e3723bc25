// kesta-cli run as a real program over real files: the parameter-line commands on a small file, show and
// apply on a copy of the sample game, with the program copied beside the window's settings file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "documents/game_document.h"
#include "engine/load_apply_texts.h"
#include "sets/apply_journal.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/program_install.h"
#include "support/read_only.h"
#include "support/run_program.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "update/program_version.h"

namespace kesta {
namespace {

const char* const kConfig =
    "client {\n"
    "\tport = 10308;\n"
    "}\n"
    "server {\n"
    "\tname = \"Old\";\n"
    "}\r\n";

class CliTest : public testing::Test {
 protected:
  test::ProgramResult Run(const std::vector<std::string>& arguments) {
    return test::RunProgram((test::BinaryFolder() / "kesta-cli").string(), arguments);
  }
  test::TempFolder folder;
  std::filesystem::path file = folder.Write("config.lua", kConfig);
};

TEST_F(CliTest, GetPrintsTheValueOrTheDefault) {
  auto result = Run({"get", file.string(), "port", "--anchor", "client {"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "10308\n");

  result = Run({"get", file.string(), "maxPlayers", "--default", "16", "--anchor", "server {"});
  EXPECT_EQ(result.out, "16\n");
  EXPECT_EQ(test::ReadBytes(file), kConfig);  // reading never writes
}

TEST_F(CliTest, SetWritesTheLineAndTheWholeFileWithCrLf) {
  const auto result = Run({"set", file.string(), "\tname", "\"New\"", "--anchor", "server {"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "\tname = \"New\";\n");
  EXPECT_EQ(test::ReadBytes(file),
            "client {\r\n\tport = 10308;\r\n}\r\nserver {\r\n\tname = \"New\";\r\n}\r\n");
}

TEST_F(CliTest, DeleteRemovesTheLine) {
  EXPECT_EQ(Run({"delete", file.string(), "port"}).exitStatus, 0);
  EXPECT_EQ(test::ReadBytes(file), "client {\r\n}\r\nserver {\r\n\tname = \"Old\";\r\n}\r\n");
}

TEST_F(CliTest, EngineErrorsGoToStandardErrorAndLeaveTheFile) {
  auto result = Run({"set", file.string(), "x", "1", "--anchor", "nowhere {", "--no-semicolon"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "SetParam Error (\"Param=x\", \"Value=1\") : List index out of bounds (-1)\n");
  EXPECT_EQ(result.out, "");

  result = Run({"delete", file.string(), "x", "--anchor", "nowhere {"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err,
            "DeleteParam Error (\"Param=x\", \"SearchBefore=nowhere {\") : List index out of bounds (-1)\n");
  EXPECT_EQ(test::ReadBytes(file), kConfig);

  result = Run({"get", (folder / "missing.lua").string(), "x"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("No such file or directory"), std::string::npos) << result.err;
}

// A FIFO or a device given as FILE is refused at once. Run under timeout(1), so that a kesta-cli that
// waits on the FIFO fails the test (status 124) instead of hanging it.
TEST_F(CliTest, SpecialFilesAreRefusedAtOnce) {
  const auto pipe = folder / "pipe.lua";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> arguments;
    std::string kind;
  };
  const Case cases[] = {
      {{"get", pipe.string(), "a"}, "FIFO"},
      {{"set", pipe.string(), "a", "1"}, "FIFO"},
      {{"get", "/dev/zero", "a"}, "character device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
    std::vector<std::string> arguments{"10", (test::BinaryFolder() / "kesta-cli").string()};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const auto result = test::RunProgram("/usr/bin/timeout", arguments);
    EXPECT_EQ(result.exitStatus, 1) << "124: kesta-cli did not return";
    EXPECT_NE(result.err.find(c.kind), std::string::npos) << result.err;
  }
  EXPECT_EQ(std::filesystem::status(pipe).type(), std::filesystem::file_type::fifo);  // set left it
}

TEST_F(CliTest, WrongUsagePrintsTheUsage) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"get", file.string()},
      {"set", file.string(), "name"},
      {"frob", file.string(), "name"},
      {"get", file.string(), "name", "--anchor"},
      {"delete", file.string(), "name", "--strip-comma"},
      {"get", file.string(), "name", "extra"},
      {"show", folder.Path().string(), "extra"},
      {"show", "--all"},
      {"apply"},
      {"apply", folder.Path().string()},
      {"apply", folder.Path().string(), "Cockpit.CheckboxRussianHUD=0", "loose"},
  };
  for (const auto& arguments : wrong) {
    const auto result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 2) << testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("usage:"), std::string::npos);
  }
  EXPECT_EQ(test::ReadBytes(file), kConfig);
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("parameter line"), std::string::npos);
}

// Every value of every document is listed with what it takes, the profile sliders in their bracket form.
TEST_F(CliTest, HelpNamesEveryValueWithWhatItTakes) {
  const std::string help = Run({"--help"}).out;
  const auto line = [&help](const std::string& name) {
    const size_t at = help.find("\n  " + name + " ");
    return at == std::string::npos ? std::string("<missing>")
                                   : help.substr(at + 1, help.find('\n', at + 1) - at - 1);
  };
  for (const GameFileKind& kind : GameFileKinds()) {
    const auto document = MakeGameDocument(kind.catalogKey);
    if (!document) continue;
    for (const NamedValue& value : document->Values())
      EXPECT_NE(line(std::string(kind.catalogKey) + "." + value.name), "<missing>") << value.name;
  }
  EXPECT_NE(line("Graphics.SpecialSliderTextureLevel").find("a position from 0 to 2"), std::string::npos);
  EXPECT_NE(line("Cockpit.CheckboxRussianHUD").find("1 (checked) or 0 (not checked)"), std::string::npos);
  EXPECT_NE(line("Graphics.EditFogParam1").find("a number (at most 6 characters)"), std::string::npos);
  EXPECT_NE(line("Network.EditServerName").find("text of at most 50 characters"), std::string::npos);
  EXPECT_NE(line("Graphics.ComboBoxBits").find("one of: \"\" (none), 16bits, 32bits"), std::string::npos);
  EXPECT_NE(line("Graphics.SliderLod[profile name]").find("a position from 1 to 20"), std::string::npos);
  EXPECT_NE(line("Graphics.SliderMiddleClip[profile name]").find("not for \"Low\""), std::string::npos);
}

// help COMMAND: the command's usage line and what it does, and nothing of the other commands; --version.
TEST_F(CliTest, HelpOfOneCommandAndTheVersion) {
  struct Case {
    std::string command;
    std::string has;     // its own text
    std::string hasNot;  // another command's
  };
  const Case cases[] = {
      {"get", "usage: kesta-cli get FILE NAME [--default TEXT]", "save-config  saves"},
      {"delete", "--anchor TEXT", "usage: kesta-cli get"},
      {"apply", "Graphics.SpecialSliderTextureLevel", "history  lists"},
      {"apply", "--diff makes apply", "get     prints"},
      {"open-config", "open-config  reads", "Graphics.SpecialSliderTextureLevel"},
      {"undo", "usage: kesta-cli undo [N]", "usage: kesta-cli history"},
      {"prefixes", "Steam's Proton", "--anchor"},
      {"find", "--lang CODE", "Graphics.SpecialSliderTextureLevel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const auto result = Run({"help", c.command});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find(c.has), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find(c.hasNot), std::string::npos) << result.out;
  }
  for (const char* wrong : {"frob", "--help", "usage:"}) {
    const auto result = Run({"help", wrong});
    EXPECT_EQ(result.exitStatus, 2) << wrong;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << wrong;
  }
  EXPECT_EQ(Run({"help"}).out, Run({"--help"}).out);

  const auto version = Run({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out, "kesta-cli " + std::string(kProgramVersion) + "\n");
}

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// Replaces one whole line (or run of lines) of a game file's text; it must be there exactly once.
std::string WithLine(std::string text, const std::string& from, const std::string& to) {
  const std::string line = "\n" + from + "\r\n";
  const size_t at = text.find(line);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(line, at + 1), std::string::npos) << from;
  if (at != std::string::npos) text.replace(at + 1, from.size(), to);
  return text;
}

std::string RegistryFile(std::string_view root, std::string_view body) {
  return "WINE REGISTRY Version 2\n;; All keys relative to " + std::string(root) + "\n\n#arch=win32\n\n" +
         std::string(body);
}

// An installation of the window with kesta-cli beside it, a copy of the sample game and a Wine prefix of
// its own whose code page the test chooses.
class CliDocumentTest : public testing::Test {
 protected:
  CliDocumentTest() {
    std::error_code error;
    fs::create_hard_link(test::BinaryFolder() / "kesta-cli", cli, error);
    if (error) fs::copy_file(test::BinaryFolder() / "kesta-cli", cli);
    SetCodePage(1252);
    graphics = test::ReadBytes(GraphicsFile());
    cockpit = test::ReadBytes(CockpitFile());
  }

  test::ProgramResult Run(const std::vector<std::string>& arguments) const {
    return test::RunProgram(cli.string(), arguments);
  }
  // "apply GAME_FOLDER arguments..."
  test::ProgramResult Apply(std::vector<std::string> assignments) const {
    assignments.insert(assignments.begin(), {"apply", Game()});
    return Run(assignments);
  }
  void SetCodePage(int codePage) const {
    prefix.Write("system.reg", RegistryFile("\\\\Machine",
                                            "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] 1\n"
                                            "\"ACP\"=\"" +
                                                std::to_string(codePage) + "\"\n"));
  }
  std::string Game() const { return install.Game("").string(); }
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  fs::path CockpitFile() const { return install.Game("Config/cockpit.cfg"); }
  // Every file of the game folder with its bytes.
  Files GameFiles() const {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(install.Game("")))
      if (entry.is_regular_file()) files[entry.path().string()] = test::ReadBytes(entry.path());
    return files;
  }
  static void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  test::ProgramInstall install;
  fs::path cli = install.Folder().Folder() / "kesta-cli";
  test::TempFolder prefix;
  test::ScopedEnv winePrefix{"WINEPREFIX", prefix.Path().c_str()};
  std::string graphics, cockpit;
};

constexpr size_t npos = std::string::npos;

TEST_F(CliDocumentTest, ShowPrintsEveryValueOfEachDocumentAndWritesNothing) {
  const Files before = GameFiles();
  const auto result = Run({"show", Game()});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  const std::string& out = result.out;
  EXPECT_TRUE(
      out.starts_with("Graphics.SpecialSliderTextureLevel = 2\nGraphics.SpecialSliderPrecaching = 1\n"))
      << out;
  for (const char* line :
       {"Graphics.SpecialSliderShadowDensity = 6", "Graphics.CheckboxExhaust = 1",
        "Graphics.EditLandNightL12 = 15000", "Graphics.EditScreenShotName = ScreenShots/ScreenShot_",
        "Graphics.ComboBoxGameResolution = 1024x768", "Graphics.ComboBoxGameAspect = 4/3 (1.33..)",
        "Graphics.ComboBoxOptimization1 = Medium", "Graphics.SliderLod[Low] = 7",
        "Graphics.SliderLod[High] = 15", "Graphics.SliderMiddleClip[Medium] = 40"})
    EXPECT_NE(out.find("\n" + std::string(line) + "\n"), npos) << line;
  EXPECT_EQ(out.find("SliderMiddleClip[Low]"), npos);  // Low has no middle plane
  EXPECT_NE(out.find("\nCockpit.SpecialSliderMirrors = 1\nCockpit.SpecialSliderMirrorResolution = 1\n"
                     "Cockpit.SpecialSliderReflections = 1\nCockpit.CheckboxRussianHUD = 1\nNetwork."),
            npos)
      << out;
  // A list shows its number of entries, then each entry.
  EXPECT_NE(out.find("\nNetwork.ComboBoxServerList = 2\nNetwork.ComboBoxServerList[1] = 192.168.0.10\n"
                     "Network.ComboBoxServerList[2] = lockon.example.org\nStats.CheckBoxShowMessage = 1\n"),
            npos)
      << out;
  for (const char* line : {"Network.EditPlayerName = Pilot", "Network.ComboBoxInterface = Lan & Internet",
                           "Server.CheckboxDisableCombatViews = 1"})
    EXPECT_NE(out.find("\n" + std::string(line) + "\n"), npos) << line;
  EXPECT_NE(out.find("\nServer.F4ViewX = 0\nServer.F4ViewY = -8.5\nServer.F4ViewZ = +1.5\n"), npos) << out;
  // Per-aircraft values carry the aircraft's list entry.
  for (const char* line : {"View.SpecialSliderViewAngleMax[Su-25T] = 120",
                           "View.PanelColor[MiG-29] = 0,255,64", "SnapView.SpecialSliderVAngle[F-15C] = -7",
                           "Producer.RadioGroupFFB = Yes", "World.DateTimePicker = 2005-06-01"})
    EXPECT_NE(out.find("\n" + std::string(line) + "\n"), npos) << line;
  EXPECT_NE(out.find("\nDrawinfo.PodRUOrange = 255,128,0\nExportConfig.RadioGroupActiveExport = No\n"
                     "MECustom.CheckBoxTrafficCivil = 1\nMECustom.SpecialSliderScenes = 1\n"),
            npos)
      << out;
  EXPECT_TRUE(out.ends_with("\nMECustom.CheckBoxMapEnnemies = 1\n")) << out;
  EXPECT_EQ(GameFiles(), before);
}

// Each change reaches the file as the window's Apply writes it (the lines the graphics and cockpit page
// tests expect), and nothing else changes.
TEST_F(CliDocumentTest, ApplyWritesTheLinesTheWindowWrites) {
  struct Edit {
    std::string from, to;
  };
  struct Case {
    const char* what;
    int codePage;
    std::vector<std::string> assignments;
    std::vector<Edit> graphicsEdits, cockpitEdits;
  };
  const Case cases[] = {
      {"slider",
       1252,
       {"Graphics.SpecialSliderTextureLevel=0"},
       {{"TextureLevel = 2;", "TextureLevel = 0;"}},
       {}},
      {"check boxes of both files, as show prints them",
       1252,
       {"Cockpit.CheckboxRussianHUD = 0", "Graphics.CheckboxExhaust = 0"},
       {{"Exhaust = 1;", "Exhaust = 0;"}},
       {{"RussianHUD = 1;", "RussianHUD = 0;"}}},
      {"text in a 1251 game",
       1251,
       {"Graphics.EditScreenShotName = ScreenShots/\u0421\u043d\u0438\u043c\u043e\u043a_"},
       {{"ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
         "ScreenshotName = \"ScreenShots/\xD1\xED\xE8\xEC\xEE\xEA_%03d.jpg\";"}},
       {}},
      {"profile slider",
       1252,
       {"Graphics.SliderFarClip[Medium]=12"},
       {{"\t\tfar_clip = 80000;\r\n\t\tstructures = {40, 5000};",
         "\t\tfar_clip = 60000;\r\n\t\tstructures = {40, 5000};"}},
       {}},
      {"one blank each side is the separator, other blanks are text",
       1252,
       {"Graphics.EditScreenShotName =  Shot = one "},
       {{"ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
         "ScreenshotName = \" Shot = one %03d.jpg\";"}},
       {}},
      {"without blanks the first \"=\" separates",
       1252,
       {"Graphics.EditScreenShotName=a = b"},
       {{"ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";", "ScreenshotName = \"a = b%03d.jpg\";"}},
       {}},
  };
  const Files original = GameFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(GraphicsFile(), graphics);
    WriteBytes(CockpitFile(), cockpit);
    SetCodePage(c.codePage);
    const auto result = Apply(c.assignments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err + result.out, "");
    std::string expectedGraphics = graphics, expectedCockpit = cockpit;
    for (const Edit& edit : c.graphicsEdits)
      expectedGraphics = WithLine(expectedGraphics, edit.from, edit.to);
    for (const Edit& edit : c.cockpitEdits) expectedCockpit = WithLine(expectedCockpit, edit.from, edit.to);
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), expectedGraphics);
    EXPECT_EQ(test::ReadBytes(CockpitFile()), expectedCockpit);
    Files others = GameFiles();
    others[GraphicsFile().string()] = graphics;
    others[CockpitFile().string()] = cockpit;
    EXPECT_EQ(others, original);
  }
}

// Names and values travel in the game's code page: show gives them in UTF-8 (never Latin-1: 0x80 is the
// euro sign in 1252), and apply takes them back in the same form.
// graphics.cfg's scenery line follows the mission editor's scenery whichever file a command sets, as
// the window's Apply writes both; an unreadable MeCustom.xml leaves the line as it is.
TEST_F(CliDocumentTest, SceneryLineFollowsTheMissionEditor) {
  const fs::path meCustomFile = install.Game("ME/MeCustom.xml");
  const std::string meCustom = test::ReadBytes(meCustomFile);
  const auto withDensity = [&meCustom](const char* density) {
    std::string text = meCustom;
    text.replace(text.find("WorldDensity=\"2\""), 16, std::string("WorldDensity=\"") + density + "\"");
    return text;
  };
  struct Case {
    const char* what;
    std::string meCustomBefore;
    std::string assignment;
    const char* sceneFile;      // the graphics line afterwards
    const char* meCustomAfter;  // an attribute MeCustom.xml holds afterwards
  };
  const Case cases[] = {
      {"scenery set", meCustom, "MECustom.SpecialSliderScenes=2", "High", "WorldDensity=\"3\""},
      {"another mission editor value", withDensity("1"), "MECustom.CheckBoxImmortal=1", "Medium",
       "Immortal=\"1\""},
      {"graphics value", withDensity("1"), "Graphics.CheckboxExhaust=0", "Low", "WorldDensity=\"1\""},
      {"unreadable mission editor file", "<MissionEditor>", "Graphics.CheckboxExhaust=0", "Medium",
       "<MissionEditor>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(GraphicsFile(), graphics);
    WriteBytes(meCustomFile, c.meCustomBefore);
    const auto result = Apply({c.assignment});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(test::ReadBytes(GraphicsFile()).find(std::string("\nSceneFile = \"") + c.sceneFile + "\";"),
              npos);
    EXPECT_NE(test::ReadBytes(meCustomFile).find(c.meCustomAfter), npos);
  }
}

TEST_F(CliDocumentTest, GameTextTravelsInTheGamesCodePage) {
  struct Case {
    int codePage;
    std::string bytes;
    std::string shown;
  };
  const Case cases[] = {
      {1251, "\xD1\xED\xE8\xEC\xEE\xEA_", "\u0421\u043d\u0438\u043c\u043e\u043a_"},
      {1252, "Cl\xE9\x80_", "Cl\u00e9\u20ac_"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    SetCodePage(c.codePage);
    std::string text = WithLine(graphics, "ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
                                "ScreenshotName = \"" + c.bytes + "%03d.jpg\";");
    text = WithLine(text, "\tHigh", "\t" + c.bytes);
    WriteBytes(GraphicsFile(), text);

    const std::string shown = Run({"show", Game()}).out;
    EXPECT_NE(shown.find("\nGraphics.EditScreenShotName = " + c.shown + "\n"), npos) << shown;
    EXPECT_NE(shown.find("\nGraphics.SliderLod[" + c.shown + "] = 15\n"), npos) << shown;

    const auto result = Apply(
        {"Graphics.SliderLod[" + c.shown + "] = 12", "Graphics.EditScreenShotName = " + c.shown + c.shown});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    std::string expected = WithLine(text, "ScreenshotName = \"" + c.bytes + "%03d.jpg\";",
                                    "ScreenshotName = \"" + c.bytes + c.bytes + "%03d.jpg\";");
    expected = WithLine(expected, "\t\tlod = 1.5;", "\t\tlod = 1.2;");
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), expected);
  }
}

// A typed text cannot end its Lua string: the file still parses, and the text reads back as typed, in the
// game's code page.
TEST_F(CliDocumentTest, TextsReachLuaFilesAsLuaStrings) {
  struct Case {
    int codePage;
    std::string typed;  // UTF-8, as on the command line
    std::string line;   // as written into config.lua
  };
  const Case cases[] = {
      {1252, "x\"; os.execute(\"rm -rf ~\") --", "playerName = \"x\\\"; os.execute(\\\"rm -rf ~\\\") --\";"},
      {1252, "Quote\" and \\ back", "playerName = \"Quote\\\" and \\\\ back\";"},
      {1251, "\u041f\u0438\u043b\u043e\u0442", "playerName = \"\xCF\xE8\xEB\xEE\xF2\";"},
  };
  const fs::path config = install.Game("Config/network/config.lua");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    SetCodePage(c.codePage);
    const auto result =
        Apply({"Network.EditPlayerName=" + c.typed, "Network.ComboBoxServerList[3]=" + c.typed});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string text = test::ReadBytes(config);
    EXPECT_NE(text.find("\r\n" + c.line + "\r\n"), npos) << text;
    const auto lua = test::RunProgram(
        "/bin/bash", {(test::SourceFolder() / "scripts/check_lua.sh").string(), config.string()});
    EXPECT_EQ(lua.exitStatus, 0) << lua.err;
    const std::string shown = Run({"show", Game()}).out;
    EXPECT_NE(shown.find("\nNetwork.EditPlayerName = " + c.typed + "\n"), npos) << shown;
    EXPECT_NE(shown.find("\nNetwork.ComboBoxServerList[3] = " + c.typed + "\n"), npos) << shown;
  }
}

// Nothing is written while any name, value or file fails: a correct change of the other file is held back
// too, and each failure names the NAME and says why.
TEST_F(CliDocumentTest, RefusedAssignmentsWriteNoFile) {
  struct Case {
    const char* what;
    std::vector<std::string> assignments;
    std::string failure;
  };
  const std::string change = "Cockpit.SpecialSliderMirrors=0";  // valid on its own
  const Case cases[] = {
      {"unknown name", {change, "Graphics.SpecialSliderNope=1"}, "Graphics.SpecialSliderNope: unknown name"},
      {"unknown file", {change, "Nope.SpecialSliderMirrors=1"}, "Nope.SpecialSliderMirrors: unknown name"},
      {"no file named", {change, "SpecialSliderMirrors=1"}, "SpecialSliderMirrors: unknown name"},
      {"position out of range",
       {change, "Graphics.SpecialSliderTextureLevel=3"},
       "Graphics.SpecialSliderTextureLevel: \"3\" is not a position from 0 to 2"},
      {"profile position out of range",
       {change, "Graphics.SliderLod[High]=0"},
       "Graphics.SliderLod[High]: \"0\" is not a position from 1 to 20"},
      {"not an entry",
       {change, "Graphics.ComboBoxBits=24bits"},
       "Graphics.ComboBoxBits: \"24bits\" is not one of"},
      {"text too long",
       {change, "Graphics.EditFogParam1=1234567"},
       "Graphics.EditFogParam1: \"1234567\" is longer than the 6 characters"},
      {"character the code page cannot hold",
       {change, "Graphics.EditScreenShotName=\u0416\u0430\u0440\u0430"},
       "Graphics.EditScreenShotName: \"\u0416\u0430\u0440\u0430\" holds a character the game's code page "
       "(1252) "
       "cannot hold"},
      {"profile that does not exist",
       {change, "Graphics.SliderLod[Night]=3"},
       "Graphics.SliderLod[Night]: \"Night\" is not a visibility-range profile"},
      {"position out of the slider's range",
       {change, "MECustom.SpecialSliderMissilesEffectiveness=110"},
       "MECustom.SpecialSliderMissilesEffectiveness: \"110\" is not a position from 0 to 100"},
      {"not a number where the file holds one unquoted",
       {change, "Network.EditServerPort=1;f()"},
       "Network.EditServerPort: \"1;f()\" is not a number (at most 5 characters)"},
      // Found only when the file is written; the text comes from the English language file.
      {"refused by the file's rules",
       {change, "Graphics.ComboBoxGameResolution=wide"},
       "The game resolution is not valid (expected: width x height)."},
  };
  const Files before = GameFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = Apply(c.assignments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find(c.failure), npos) << result.err;
    EXPECT_NE(result.err.find("Nothing was written."), npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(GameFiles(), before);
  }
}

// A file that cannot be read is reported with status 1; show still shows the other file, and apply
// writes nothing when it would have to write the failing file.
TEST_F(CliDocumentTest, FilesThatCannotBeReadAreReported) {
  struct Case {
    const char* what;
    bool graphicsFails;                // else cockpit.cfg fails
    std::optional<std::string> bytes;  // nothing: the file is missing
    bool withLanguageFile;
    std::string failure;
  };
  const std::string withoutProfiles = graphics.substr(0, graphics.find("\tLow\r\n")) + "}\r\n]==]\r\n";
  const Case cases[] = {
      {"missing", false, std::nullopt, true, "Cannot open file"},
      {"empty", false, "", true, "the file is empty"},
      {"no visibility-range profile", true, withoutProfiles, true,
       "No visibility range profile was found in the graphics file."},
      {"no language file: the message's key", true, withoutProfiles, false, ": VisibilityRange\n"},
  };
  const fs::path languageFile = install.Folder().Languages() / "en-EN.xml";
  const std::string language = test::ReadBytes(languageFile);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(GraphicsFile(), graphics);
    WriteBytes(CockpitFile(), cockpit);
    const fs::path failing = c.graphicsFails ? GraphicsFile() : CockpitFile();
    c.bytes ? WriteBytes(failing, *c.bytes) : static_cast<void>(fs::remove(failing));
    c.withLanguageFile ? WriteBytes(languageFile, language) : static_cast<void>(fs::remove(languageFile));
    const Files before = GameFiles();
    const std::string label = (c.graphicsFails ? "Graphics (" : "Cockpit (") + failing.string() + "): ";

    const auto shown = Run({"show", Game()});
    EXPECT_EQ(shown.exitStatus, 1);
    EXPECT_NE(shown.err.find(label), npos) << shown.err;
    EXPECT_NE(shown.err.find(c.failure), npos) << shown.err;
    EXPECT_EQ(shown.out.find(c.graphicsFails ? "Graphics." : "Cockpit."), npos) << shown.out;
    EXPECT_NE(shown.out.find(c.graphicsFails ? "Cockpit.SpecialSliderMirrors = 1\n"
                                             : "Graphics.SliderLod[High] = 15\n"),
              npos);

    const auto applied = Apply({"Graphics.CheckboxExhaust=0", "Cockpit.SpecialSliderMirrors=0"});
    EXPECT_EQ(applied.exitStatus, 1);
    EXPECT_NE(applied.err.find(label), npos) << applied.err;
    EXPECT_NE(applied.err.find("Nothing was written."), npos) << applied.err;
    EXPECT_EQ(GameFiles(), before);
  }
}

// The messages come from the English language file read by the window's rules: the first entry of a
// name counts even without a text, and whitespace around markup in a text is layout. A key without a
// text, or any key when the file is not XML, stands for itself.
TEST_F(CliDocumentTest, MessagesAreReadFromTheLanguageFileAsTheWindowReadsThem) {
  const struct {
    const char* what;
    std::string entries;
    std::string failure;
  } cases[] = {
      {"first entry of the name has no text",
       "<entry><name>VisibilityRange</name></entry>"
       "<entry><name>VisibilityRange</name><string>second</string></entry>",
       ": VisibilityRange\n"},
      {"markup in the text, name in another case",
       "<entry><name>visibilityrange</name><string>No <b>profile</b> </string></entry>", ": No profile\n"},
      {"character data", "<entry><name>VisibilityRange</name><string><![CDATA[<none>]]></string></entry>",
       ": <none>\n"},
      {"not XML", "<entry><name>VisibilityRange</name><string>unclosed</string>", ": VisibilityRange\n"},
  };
  WriteBytes(GraphicsFile(), graphics.substr(0, graphics.find("\tLow\r\n")) + "}\r\n]==]\r\n");
  const fs::path languageFile = install.Folder().Languages() / "en-EN.xml";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(languageFile,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<language>" + c.entries + "</language>\n");
    const auto shown = Run({"show", Game()});
    EXPECT_EQ(shown.exitStatus, 1);
    EXPECT_NE(shown.err.find("Graphics (" + GraphicsFile().string() + ")" + c.failure), npos) << shown.err;
  }
}

// show's lines go back to apply unchanged, one argument each: the first apply puts the file into the form
// the window writes (here: CR LF, and a profile value off the slider's grid), a second changes no byte.
TEST_F(CliDocumentTest, ShowLinesAppliedTwiceChangeNothingTheSecondTime) {
  std::string text = WithLine(graphics, "\t\tlod = 0.7;", "\t\tlod = 0.73;");
  for (size_t at; (at = text.find("\r\n")) != npos;) text.erase(at, 1);
  WriteBytes(GraphicsFile(), text);

  const auto shown = Run({"show", Game()});
  ASSERT_EQ(shown.exitStatus, 0) << shown.err;
  std::vector<std::string> arguments{"apply", Game()};
  std::istringstream lines(shown.out);
  for (std::string line; std::getline(lines, line);) arguments.push_back(line);

  const auto first = Run(arguments);
  ASSERT_EQ(first.exitStatus, 0) << first.err;
  const Files afterFirst = GameFiles();
  EXPECT_EQ(afterFirst.at(GraphicsFile().string()), graphics);
  EXPECT_EQ(Run({"show", Game()}).out, shown.out);

  const auto second = Run(arguments);
  ASSERT_EQ(second.exitStatus, 0) << second.err;
  EXPECT_EQ(GameFiles(), afterFirst);
}

// Graphics comes before Cockpit in the window's order, whatever the order of the arguments; when the
// cockpit write fails, graphics.cfg, already written, gets its old bytes back and the message says so: a
// failed apply leaves the old set, and no entry of it in the journal.
TEST_F(CliDocumentTest, AFailedWritePutsBackTheFilesWrittenBeforeIt) {
  test::ProgramResult result;
  {
    const test::ScopedReadOnly readOnly(CockpitFile());
    ASSERT_TRUE(readOnly.Failure().empty()) << readOnly.Failure();
    result = Apply({"Cockpit.SpecialSliderMirrors=0", "Graphics.SpecialSliderTextureLevel=0"});
  }
  EXPECT_EQ(result.exitStatus, 1);
  const std::string graphicsLabel = "Graphics (" + GraphicsFile().string() + ")";
  const std::string cockpitLabel = "Cockpit (" + CockpitFile().string() + ")";
  EXPECT_NE(result.err.find(cockpitLabel + ": Cannot create file"), npos) << result.err;
  EXPECT_NE(result.err.find("Written, then put back as it was: " + graphicsLabel +
                            ".\nNot written: " + cockpitLabel + ".\n"),
            npos)
      << result.err;
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), graphics);
  EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);
  EXPECT_TRUE(fs::is_empty(install.Folder().Journal()));
}

// history lists what apply and undo wrote; undo puts back the files of the newest (or a numbered) entry,
// leaves a file edited by hand since alone with exit status 1, and its own entry undoes in turn.
TEST_F(CliDocumentTest, HistoryAndUndoTakeAnApplyBack) {
  const Files old = GameFiles();
  ASSERT_EQ(Apply({"Graphics.SpecialSliderTextureLevel=0", "Cockpit.SpecialSliderMirrors=0"}).exitStatus, 0);
  const Files applied = GameFiles();
  ASSERT_NE(applied, old);

  auto history = Run({"history"});
  EXPECT_EQ(history.exitStatus, 0);
  const std::string files = "\t" + GraphicsFile().string() + "\n\t" + CockpitFile().string() + "\n";
  EXPECT_TRUE(history.out.starts_with("1\t")) << history.out;
  EXPECT_TRUE(history.out.ends_with("\tkesta-cli apply\n" + files)) << history.out;

  auto undo = Run({"undo"});
  EXPECT_EQ(undo.exitStatus, 0) << undo.err;
  EXPECT_EQ(undo.err, "");
  EXPECT_NE(undo.out.find("(kesta-cli apply)\nPut back: " + GraphicsFile().string() +
                          "\nPut back: " + CockpitFile().string() + "\n"),
            npos)
      << undo.out;
  EXPECT_EQ(GameFiles(), old);
  history = Run({"history"});
  EXPECT_TRUE(history.out.starts_with("2\t")) << history.out;
  EXPECT_NE(history.out.find("\tundo of kesta-cli apply\n" + files + "1\t"), npos) << history.out;

  // The undo of the undo, by its number: the applied set again.
  undo = Run({"undo", "2"});
  EXPECT_EQ(undo.exitStatus, 0) << undo.err;
  EXPECT_EQ(GameFiles(), applied);

  // Undo of the first apply while cockpit.cfg was edited by hand: only graphics.cfg goes back.
  const std::string edited = test::ReadBytes(CockpitFile()) + "-- the player's own line\r\n";
  WriteBytes(CockpitFile(), edited);
  undo = Run({"undo", "1"});
  EXPECT_EQ(undo.exitStatus, 1);
  EXPECT_EQ(undo.err, "Changed since that Apply, so left as it is: " + CockpitFile().string() + "\n");
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), graphics);
  EXPECT_EQ(test::ReadBytes(CockpitFile()), edited);

  const struct {
    std::vector<std::string> words;
    int status;
    const char* err;
  } refused[] = {
      {{"undo", "99"}, 1, "The journal of Applies holds no entry 99.\n"},
      {{"undo", "x"}, 2, "usage:"},
      {{"undo", "-1"}, 2, "usage:"},
      {{"undo", "1", "2"}, 2, "usage:"},
      {{"history", "1"}, 2, "usage:"},
  };
  const Files before = GameFiles();
  for (const auto& c : refused) {
    const auto result = Run(c.words);
    EXPECT_EQ(result.exitStatus, c.status) << c.words.back();
    EXPECT_TRUE(result.err.starts_with(c.err)) << result.err;
  }
  EXPECT_EQ(GameFiles(), before);
}

// Without GAME_FOLDER, the window's settings file beside the program names it; without one there, the
// message says where to look.
TEST_F(CliDocumentTest, GameFolderComesFromTheSettingsBesideTheProgram) {
  const auto shown = Run({"show"});
  EXPECT_EQ(shown.exitStatus, 0) << shown.err;
  EXPECT_NE(shown.out.find("\nCockpit.SpecialSliderMirrors = 1\n"), npos);
  EXPECT_EQ(Run({"apply", "Cockpit.SpecialSliderMirrors=0"}).exitStatus, 0);
  EXPECT_EQ(test::ReadBytes(CockpitFile()), WithLine(cockpit, "Mirrors = 1;", "Mirrors = 0;"));

  WriteIniValue(install.SettingsFile(), "Config", "LockOnPath", "");
  const Files before = GameFiles();
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"show"},
        std::vector<std::string>{"apply", "Cockpit.SpecialSliderMirrors=1"}}) {
    const auto result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("No game folder: " + install.SettingsFile().string()), npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(GameFiles(), before);
}

// A setting of only "¤" and blanks counts as none: the game's registry key in the Wine prefix gives the
// folder, through the prefix's drive links and without regard to case; the files' catalogue paths come
// from the settings.
TEST_F(CliDocumentTest, GameFolderComesFromTheRegistryWhenTheSettingsNameNone) {
  fs::create_directories(prefix / "drive_c/Games");
  fs::copy(install.Game(""), prefix / "drive_c/Games/Lock On", fs::copy_options::recursive);
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  prefix.Write("user.reg", RegistryFile("\\\\User\\\\S-1-5-21-0-0-0-1000",
                                        "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1700000000\n"
                                        "\"Path\"=\"C:\\\\games\\\\LOCK ON\\\\\"\n"));
  WriteIniValue(install.SettingsFile(), "Config", "LockOnPath", "\xC2\xA4\xC2\xA4  ");
  WriteIniValue(install.SettingsFile(), "Files", "Cockpit", "CONFIG\\COCKPIT.CFG");

  const auto result = Run({"apply", "Cockpit.SpecialSliderMirrors=0"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(test::ReadBytes(prefix / "drive_c/Games/Lock On/Config/cockpit.cfg"),
            WithLine(cockpit, "Mirrors = 1;", "Mirrors = 0;"));
  EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);
}

// save-config keeps the game as it is; open-config after other changes puts every value back, through
// the same writes as Apply, and says per file what it did.
TEST_F(CliDocumentTest, ConfigurationSavedAndOpenedPutsTheValuesBack) {
  const Files before = GameFiles();
  const std::string shown = Run({"show", Game()}).out;
  const fs::path kst = install.Root() / "evening.kst";
  auto result = Run({"save-config", Game(), kst.string()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 12) << result.out;
  EXPECT_TRUE(result.out.starts_with("Graphics (" + GraphicsFile().string() +
                                     "): saved as section Config\\graphics.cfg ("))
      << result.out;
  EXPECT_EQ(GameFiles(), before);
  const std::string saved = test::ReadBytes(kst);
  EXPECT_TRUE(
      saved.starts_with(std::string(20, '#') + "Config\\graphics.cfg" + std::string(20, '#') + "\r\n"));

  ASSERT_EQ(Apply({"Graphics.SpecialSliderTextureLevel=0", "Cockpit.CheckboxRussianHUD=0",
                   "Network.EditPlayerName=Somebody", "MECustom.SpecialSliderScenes=2"})
                .exitStatus,
            0);
  result = Run({"open-config", kst.string(), Game()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 12) << result.out;
  EXPECT_NE(result.out.find("Cockpit (" + CockpitFile().string() + "): written from its section\n"), npos);
  EXPECT_EQ(Run({"show", Game()}).out, shown);
  // Written as Apply writes: the values back, the lines no page shows as the game files have them.
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), graphics);
  EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);
  EXPECT_EQ(test::ReadBytes(kst), saved);
}

// Only the files that have a section are written; the mission editor's scenery takes graphics.cfg along.
TEST_F(CliDocumentTest, OpenConfigWritesTheFilesWithASection) {
  const std::string marker = std::string(20, '#') + "ME\\MeCustom.xml" + std::string(20, '#');
  const std::string meCustom = test::ReadBytes(install.Game("ME/MeCustom.xml"));
  ASSERT_EQ(Apply({"MECustom.SpecialSliderScenes=2"}).exitStatus, 0);
  const Files scenesTwo = GameFiles();
  const fs::path kst = install.Root() / "realism.kst";
  WriteBytes(kst, marker + "\r\n" + meCustom + marker + "\r\n");
  const auto result = Run({"open-config", kst.string(), Game()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find("Cockpit: no section, left as it was\n"), npos) << result.out;
  EXPECT_NE(result.out.find("Graphics (" + GraphicsFile().string() +
                            "): written for the mission editor's scenery\n"),
            npos)
      << result.out;
  const Files after = GameFiles();
  for (const auto& [path, bytes] : after) {
    if (path.ends_with("MeCustom.xml") || path.ends_with("graphics.cfg")) continue;
    EXPECT_EQ(bytes, scenesTwo.at(path)) << path;
  }
  EXPECT_NE(after.at(GraphicsFile().string()), scenesTwo.at(GraphicsFile().string()));
  EXPECT_EQ(after.at(GraphicsFile().string()), graphics);
}

// A game file whose bytes hold a NUL is read only up to it: it is left as it is, named with the reason, the
// other files are still written, and the status is 1.
TEST_F(CliDocumentTest, AFileHoldingANulIsLeftAsItIsAndTheOthersAreWritten) {
  const fs::path kst = install.Root() / "all.kst";
  ASSERT_EQ(Run({"save-config", Game(), kst.string()}).exitStatus, 0);
  const size_t afterFirstLine = graphics.find('\n') + 1;
  const std::pair<const char*, size_t> cases[] = {{"a NUL inside", afterFirstLine}, {"a NUL first", 0}};
  for (const auto& [what, at] : cases) {
    SCOPED_TRACE(what);
    const std::string withNul =
        graphics.substr(0, at) + std::string(1, '\0') + "Hidden = 1;\r\n" + graphics.substr(at);
    WriteBytes(GraphicsFile(), withNul);
    WriteBytes(CockpitFile(), cockpit);
    const std::string reason = "Graphics (" + GraphicsFile().string() + "): " + GraphicsFile().string() +
                               " holds a NUL byte (at offset " + std::to_string(at) + ")";

    auto result = Apply({"Graphics.SpecialSliderTextureLevel=0", "Cockpit.SpecialSliderMirrors=0",
                         "Cockpit.SpecialSliderReflections=0"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find(reason), npos) << result.err;
    EXPECT_EQ(result.err.find("Nothing was written"), npos) << result.err;
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), withNul);
    const std::string cockpitApplied = test::ReadBytes(CockpitFile());
    EXPECT_NE(cockpitApplied, cockpit);

    result = Run({"open-config", kst.string(), Game()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find(reason), npos) << result.err;
    EXPECT_NE(result.out.find("Graphics (" + GraphicsFile().string() + "): left as it was\n"), npos)
        << result.out;
    EXPECT_EQ(test::ReadBytes(GraphicsFile()), withNul);
    EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);  // its section's values are back

    for (const std::vector<std::string>& edit :
         {std::vector<std::string>{"set", GraphicsFile().string(), "TextureLevel", "0"},
          std::vector<std::string>{"delete", GraphicsFile().string(), "TextureLevel"}}) {
      result = Run(edit);
      EXPECT_EQ(result.exitStatus, 1) << edit[0];
      EXPECT_NE(result.err.find(GraphicsFile().string() + " holds a NUL byte"), npos) << result.err;
      EXPECT_EQ(test::ReadBytes(GraphicsFile()), withNul);
    }
  }

  // A configuration holding a NUL is not read at all: its sections behind the NUL would be missing.
  std::string saved = test::ReadBytes(kst);
  saved.insert(saved.find("####Config\\cockpit.cfg####"), 1, '\0');
  WriteBytes(kst, saved);
  WriteBytes(GraphicsFile(), graphics);
  const Files before = GameFiles();
  const auto result = Run({"open-config", kst.string(), Game()});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find(kst.string() + " holds a NUL byte"), npos) << result.err;
  EXPECT_NE(result.err.find("Nothing was written"), npos) << result.err;
  EXPECT_EQ(GameFiles(), before);
}

TEST_F(CliDocumentTest, ConfigurationsThatCannotBeReadOrWrittenAreErrors) {
  const Files before = GameFiles();
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* err;
  };
  const Case cases[] = {
      {{"open-config", (install.Root() / "missing.kst").string(), Game()}, 1, "No such file or directory"},
      {{"open-config", install.Root().string(), Game()}, 1, "Cannot open file"},
      {{"save-config", Game(), (install.Root() / "no folder" / "x.kst").string()},
       1,
       "No such file or directory"},
      {{"save-config"}, 2, "usage:"},
      {{"open-config", "a.kst", Game(), "more"}, 2, "usage:"},
  };
  for (const Case& c : cases) {
    const auto result = Run(c.arguments);
    EXPECT_EQ(result.exitStatus, c.status) << c.arguments[0] << result.err;
    EXPECT_NE(result.err.find(c.err), npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(fs::exists(install.Root() / "no folder"));
  EXPECT_EQ(GameFiles(), before);
}

// A game file that cannot be read gets no section; the others are saved and the failure is the status.
TEST_F(CliDocumentTest, SaveConfigLeavesOutAFileItCannotRead) {
  fs::remove(install.Game("Config/producer.cfg"));
  const fs::path kst = install.Root() / "partial.kst";
  const auto result = Run({"save-config", Game(), kst.string()});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(
      result.err.find("Producer (" + install.Game("Config/producer.cfg").string() + "): no section saved\n"),
      npos)
      << result.err;
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 11) << result.out;
  const std::string saved = test::ReadBytes(kst);
  EXPECT_EQ(saved.find("producer.cfg#"), npos);
  EXPECT_NE(saved.find("####Config\\World\\World.lua####"), npos);
}

// prefixes lists what a player's game managers keep, with the game folder each prefix's key names.
TEST_F(CliDocumentTest, PrefixesListsEachPrefixWithTheGameFolderItNames) {
  test::TempFolder home;
  const auto makePrefix = [](const fs::path& prefix, const std::string& user) {
    fs::create_directories(prefix / "drive_c/Games/Lock On");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n";
    std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n" << user;
  };
  makePrefix(home / ".wine", "");
  makePrefix(home / ".PlayOnLinux/wineprefix/LockOn",
             "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"C:\\\\Games\\\\Lock On\\\\\"\n");
  makePrefix(home / ".PlayOnLinux/wineprefix/Old",
             "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1\n\"Path\"=\"C:\\\\Gone\\\\\"\n");
  // The runner closes each line: the system's Wine, PlayOnLinux's build or its deleted one.
  std::ofstream(home / ".PlayOnLinux/wineprefix/Old/playonlinux.cfg") << "ARCH=x86\nVERSION=4.0\n";
  const test::ScopedEnv homeEnv("HOME", home.Path().c_str());
  const test::ScopedEnv noPrefix("WINEPREFIX", "");
  const auto result = Run({"prefixes"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const fs::path playOnLinux = home / ".PlayOnLinux/wineprefix";
  EXPECT_EQ(result.out, ".wine\t" + (home / ".wine").string() + "\t-\tsystem wine\n" + "LockOn\t" +
                            (playOnLinux / "LockOn").string() + "\t" +
                            (playOnLinux / "LockOn/drive_c/Games/Lock On/").string() +
                            "\tPlayOnLinux: system wine\n" + "Old\t" + (playOnLinux / "Old").string() + "\t" +
                            (playOnLinux / "Old/drive_c/Gone/").string() +
                            " (missing)\tPlayOnLinux: wine 4.0 (missing)\n");
}

// An apply of several files and an open-config, each stopped at every step of its transaction as a crash
// would stop it (KESTA_CLI_STOP_AT), then followed by show: the set is all old up to the last file, all new
// after it, show says what it found, and no temporary file or incomplete entry is left.
// --diff prints what apply would write, as a unified diff relative to the game folder, in Apply's order,
// with the files' CR LF kept and game text in UTF-8; it writes nothing, not even a journal entry.
TEST_F(CliDocumentTest, ApplyDiffPrintsTheChangesAndWritesNothing) {
  const Files before = GameFiles();
  const auto noJournal = [this] {
    std::error_code error;
    return !fs::exists(install.Folder().Journal(), error) || fs::is_empty(install.Folder().Journal());
  };
  auto result = Apply({"Cockpit.SpecialSliderMirrors=0", "--diff", "Graphics.SpecialSliderTextureLevel=0"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "--- Config/graphics.cfg\n+++ Config/graphics.cfg\n@@ -1,6 +1,6 @@\n"
            " -- Lock On 1.1 graphics options\r\n \r\n-TextureLevel = 2;\r\n+TextureLevel = 0;\r\n"
            " WaterQuality = 2;\r\n FogQuality = 1;\r\n LightsLevel = 2;\r\n"
            "--- Config/cockpit.cfg\n+++ Config/cockpit.cfg\n@@ -1,6 +1,6 @@\n"
            " -- Cockpit options\r\n \r\n-Mirrors = 1;\r\n+Mirrors = 0;\r\n MirrorResolution = 1;\r\n"
            " Reflections = 1;\r\n RussianHUD = 1;\r\n");
  EXPECT_EQ(GameFiles(), before);
  EXPECT_TRUE(noJournal());

  SetCodePage(1251);
  result =
      Apply({"--diff", "Graphics.EditScreenShotName = ScreenShots/\u0421\u043d\u0438\u043c\u043e\u043a_"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find(
                "\n+ScreenshotName = \"ScreenShots/\u0421\u043d\u0438\u043c\u043e\u043a_%03d.jpg\";\r\n"),
            npos)
      << result.out;
  EXPECT_EQ(GameFiles(), before);

  // Values as they are: nothing would change.
  result = Apply({"Graphics.SpecialSliderTextureLevel=2", "--diff"});
  EXPECT_EQ(result.exitStatus, 3) << result.err;
  EXPECT_EQ(result.out, "");
  // A refused value is reported as apply reports it.
  result = Apply({"Graphics.SpecialSliderTextureLevel=9", "--diff"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(GameFiles(), before);
  EXPECT_TRUE(noJournal());
}

class CliJournalTest : public CliDocumentTest {
 protected:
  struct Command {
    const char* what;
    std::vector<std::string> arguments;
  };
  std::vector<Command> Commands() const {
    return {{"apply",
             {"apply", Game(), "Graphics.SpecialSliderTextureLevel=0", "Cockpit.SpecialSliderMirrors=0",
              "Network.EditPlayerName=Somebody", "MECustom.SpecialSliderScenes=2"}},
            {"open-config", {"open-config", Kst().string(), Game()}}};
  }
  fs::path Kst() const { return install.Root() / "other.kst"; }
  // A saved configuration whose every section differs from the game files as they are.
  void SaveOtherConfiguration() {
    const Files old = GameFiles();
    ASSERT_EQ(Run(Commands()[0].arguments).exitStatus, 0);
    ASSERT_EQ(Run({"save-config", Game(), Kst().string()}).exitStatus, 0);
    PutBack(old);
  }
  static void PutBack(const Files& files) {
    for (const auto& [path, bytes] : files) WriteBytes(path, bytes);
  }
  // Names in the journal that are not complete entries: temporary files, incomplete or damaged entries.
  std::vector<std::string> UnfinishedJournal() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(install.Folder().Journal(), ec), end; !ec && it != end; it.increment(ec))
      names.push_back(it->path().filename().string());
    const std::vector<JournalEntry> history = ApplyJournal(install.Folder().Journal()).History();
    if (names.size() == history.size()) return {};
    return names;
  }
};

// open-config --diff shows exactly what open-config then writes: after it, nothing is left to show.
TEST_F(CliJournalTest, OpenConfigDiffShowsWhatOpenConfigWrites) {
  SaveOtherConfiguration();
  const Files before = GameFiles();
  const size_t entries = ApplyJournal(install.Folder().Journal()).History().size();
  auto result = Run({"open-config", Kst().string(), Game(), "--diff"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_TRUE(result.out.starts_with("--- Config/graphics.cfg\n+++ Config/graphics.cfg\n@@ ")) << result.out;
  EXPECT_NE(result.out.find("\n-TextureLevel = 2;\r\n+TextureLevel = 0;\r\n"), npos) << result.out;
  EXPECT_EQ(result.out.find("written from its section"), npos);
  EXPECT_EQ(GameFiles(), before);
  EXPECT_EQ(ApplyJournal(install.Folder().Journal()).History().size(), entries);

  ASSERT_EQ(Run({"open-config", Kst().string(), Game()}).exitStatus, 0);
  EXPECT_NE(GameFiles(), before);
  result = Run({"open-config", "--diff", Kst().string(), Game()});
  EXPECT_EQ(result.exitStatus, 3) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(CliJournalTest, ACommandStoppedAtEachStepIsFinishedOrRolledBackByTheNext) {
  SaveOtherConfiguration();
  const Files old = GameFiles();
  struct Step {
    const char* name;
    bool allNew;
    const char* report;  // in what show says on its error output; nothing: says nothing
  };
  const Step steps[] = {
      {"before-journal", false, nullptr},
      {"journal-written", false, "was cut short; it had changed no file."},
      {"between-files", false, "these files got their bytes from before it back: "},
      {"files-written", true, "was cut short after it had written every file; it is now complete"},
  };
  for (const Command& command : Commands()) {
    SCOPED_TRACE(command.what);
    PutBack(old);
    ASSERT_EQ(Run(command.arguments).exitStatus, 0);
    const Files fresh = GameFiles();
    ASSERT_NE(fresh, old);
    for (const Step& step : steps) {
      SCOPED_TRACE(step.name);
      PutBack(old);
      {
        const test::ScopedEnv stop("KESTA_CLI_STOP_AT", step.name);
        ASSERT_EQ(Run(command.arguments).exitStatus, 86);
      }
      if (std::string_view(step.name) == "between-files") {
        EXPECT_NE(GameFiles(), old);  // stopped midway: the set is mixed until the next command
        EXPECT_NE(GameFiles(), fresh);
      }
      const auto shown = Run({"show", Game()});
      EXPECT_EQ(shown.exitStatus, 0) << shown.err;
      EXPECT_EQ(GameFiles(), step.allNew ? fresh : old);
      if (step.report) {
        EXPECT_NE(shown.err.find(step.report), npos) << shown.err;
      } else {
        EXPECT_EQ(shown.err, "");
      }
      if (std::string_view(step.name) == "between-files") {
        EXPECT_NE(shown.err.find(": " + GraphicsFile().string() + "\n"), npos) << shown.err;
      }
      EXPECT_EQ(UnfinishedJournal(), std::vector<std::string>{});
    }
  }
}

// Runs a program given with its arguments.
test::ProgramResult RunWords(const std::vector<std::string>& words) {
  return test::RunProgram(words.front(), {words.begin() + 1, words.end()});
}

// What a run of kills found, each kill followed by one show.
struct KillFigures {
  int kills = 0;
  int allOld = 0;
  int allNew = 0;
  int mixed = 0;            // every file old or new, but not all the same: must stay 0
  int damaged = 0;          // files neither old nor new: must stay 0
  int temporaries = 0;      // names left beside the game files or in the journal: must stay 0
  int recovered = 0;        // the show found an Apply cut short
  int endedOnTheirOwn = 0;  // done before the kill came
};

// Starts the command that turns the set into the other one again and again, kills it with SIGKILL at a
// random moment of its run, then runs show and compares every game file with both sets.
KillFigures KillAndShow(const Files& first, const Files& second,
                        const std::function<std::vector<std::string>(bool toSecond)>& command,
                        const std::function<test::ProgramResult()>& show,
                        const std::function<Files()>& gameFiles,
                        const std::function<size_t()>& journalLeftovers, int kills) {
  // Kills are spread over one whole run, as long as it takes on this machine now.
  const auto timed = std::chrono::steady_clock::now();
  EXPECT_EQ(RunWords(command(true)).exitStatus, 0);
  const auto runTime =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - timed);
  EXPECT_EQ(gameFiles(), second);
  std::mt19937 random(20261211);
  std::uniform_int_distribution<long> delay(0, runTime.count() * 6 / 5);
  KillFigures figures;
  // A loaded machine may make a run far slower than when it was timed: while either set has not come
  // up, the kills go on with their delays stretched (twice as long every 4 kills), up to twice as many.
  long stretch = 1;
  const auto bothSeen = [&figures] { return figures.allOld > 0 && figures.allNew > 0; };
  for (; figures.kills < kills || (!bothSeen() && figures.kills < 2 * kills); ++figures.kills) {
    if (figures.kills >= kills && (figures.kills - kills) % 4 == 0) stretch *= 2;
    const bool toSecond = gameFiles() == first;
    const Files& from = toSecond ? first : second;
    const Files& to = toSecond ? second : first;
    const std::vector<std::string> words = command(toSecond);
    const pid_t pid = test::StartProgram(words);
    figures.endedOnTheirOwn += test::KillAfter(pid, std::chrono::microseconds(delay(random) * stretch));
    const test::ProgramResult shown = show();
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    figures.recovered += shown.err.find("was cut short") != std::string::npos;
    const Files now = gameFiles();
    int old = 0, fresh = 0, neither = 0;
    for (const auto& [path, bytes] : now) figures.temporaries += !from.contains(path);
    figures.temporaries += static_cast<int>(journalLeftovers());
    for (const auto& [path, bytes] : from) {
      const auto found = now.find(path);
      if (found == now.end()) {
        ++neither;
        continue;
      }
      const bool isOld = found->second == bytes;
      const bool isNew = found->second == to.at(path);
      old += isOld;
      fresh += isNew && !isOld;
      neither += !isOld && !isNew;
    }
    if (neither > 0) {
      ADD_FAILURE() << "kill " << figures.kills << ": " << neither << " files neither old nor new";
      figures.damaged += neither;
    } else if (now == from) {
      ++(toSecond ? figures.allOld : figures.allNew);
    } else if (now == to) {
      ++(toSecond ? figures.allNew : figures.allOld);
    } else {
      ADD_FAILURE() << "kill " << figures.kills << ": " << old << " files old, " << fresh << " new";
      ++figures.mixed;
    }
    if (now != first && now != second) {  // keep going: the figures count every fault
      for (const auto& [path, bytes] : now)
        if (!first.contains(path)) fs::remove(path);
      for (const auto& [path, bytes] : first)
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
  }
  std::printf(
      "kills: %d; all old %d, all new %d, mixed %d; damaged files %d; temporary files %d; an Apply cut short "
      "found by show %d times; done before the kill %d times\n",
      figures.kills, figures.allOld, figures.allNew, figures.mixed, figures.damaged, figures.temporaries,
      figures.recovered, figures.endedOnTheirOwn);
  return figures;
}

TEST_F(CliJournalTest, KilledAtRandomMomentsTheSetIsAllOldOrAllNew) {
  SaveOtherConfiguration();
  const Files first = GameFiles();
  const fs::path back = install.Root() / "back.kst";
  ASSERT_EQ(Run({"save-config", Game(), back.string()}).exitStatus, 0);
  const auto show = [this] { return Run({"show", Game()}); };
  const auto files = [this] { return GameFiles(); };
  const auto leftovers = [this] { return UnfinishedJournal().size(); };
  struct Case {
    const char* what;
    std::function<std::vector<std::string>(bool toSecond)> command;
  };
  const std::vector<std::string> applyBack{
      "Graphics.SpecialSliderTextureLevel=2", "Cockpit.SpecialSliderMirrors=1",
      "Network.EditPlayerName=" + std::string("Pilot"), "MECustom.SpecialSliderScenes=1"};
  const Case cases[] = {
      {"open-config",
       [&](bool toSecond) {
         return std::vector<std::string>{cli.string(), "open-config",
                                         toSecond ? Kst().string() : back.string(), Game()};
       }},
      {"apply",
       [&](bool toSecond) {
         std::vector<std::string> words = Commands()[0].arguments;
         if (!toSecond) std::copy(applyBack.begin(), applyBack.end(), words.begin() + 2);
         words.insert(words.begin(), cli.string());
         return words;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Both sets as the command itself writes them.
    PutBack(first);
    ASSERT_EQ(RunWords(c.command(false)).exitStatus, 0);
    const Files start = GameFiles();
    ASSERT_EQ(RunWords(c.command(true)).exitStatus, 0);
    const Files other = GameFiles();
    ASSERT_NE(start, other);
    PutBack(start);
    const KillFigures figures =
        KillAndShow(start, other, c.command, show, files, leftovers, test::KillCount(12));
    EXPECT_EQ(figures.mixed, 0);
    EXPECT_EQ(figures.damaged, 0);
    EXPECT_EQ(figures.temporaries, 0);
    EXPECT_GT(figures.allOld, 0);
    EXPECT_GT(figures.allNew, 0);
  }
}

// find names the values of the controls a caption's words point to, as show prints them, in the
// window's language or the one asked for; commands and page buttons print where they are.
TEST_F(CliDocumentTest, FindPrintsTheNamesShowPrintsForTheMatchingControls) {
  const auto shadows = Run({"find", "SHADOW"});
  EXPECT_EQ(shadows.exitStatus, 0) << shadows.err;
  EXPECT_EQ(shadows.out,
            "Graphics.SpecialSliderShadowLevel = 2  (Shadows — Standard)\n"
            "Graphics.SpecialSliderShadowDensity = 6  (Shadow density — Standard)\n");
  // The values are those show prints.
  const std::string shown = Run({"show"}).out;
  EXPECT_NE(shown.find("\nGraphics.SpecialSliderShadowLevel = 2\n"), npos);
  EXPECT_NE(shown.find("\nGraphics.SpecialSliderShadowDensity = 6\n"), npos);
  WriteIniValue(install.SettingsFile(), "Config", "Language", "DE");
  const auto german = Run({"find", "schatten"});
  EXPECT_EQ(german.out,
            "Graphics.SpecialSliderShadowLevel = 2  (Schatten — Allgemein)\n"
            "Graphics.SpecialSliderShadowDensity = 6  (Schattendichte — Allgemein)\n");
  const auto russian = Run({"find", "тени", "--lang", "RU"});
  EXPECT_EQ(russian.exitStatus, 0) << russian.err;
  EXPECT_EQ(russian.out, "Graphics.SpecialSliderShadowLevel = 2  (Тени — Основные)\n");
  const auto command = Run({"find", "schwarz"});
  EXPECT_EQ(command.exitStatus, 0);
  EXPECT_EQ(command.out, "Schwarz (Optionen)\n");
  EXPECT_EQ(Run({"find", "client", "settings", "--lang", "EN"}).out,
            "Client settings — Client settings (Game settings)\n");
  // A value beside its label is found by the label's words.
  EXPECT_EQ(Run({"find", "client", "port", "--lang", "EN"}).out,
            "Network.EditClientPort = 10308  (Client port — Client settings)\n");
  const auto nothing = Run({"find", "zzzqx"});
  EXPECT_EQ(nothing.exitStatus, 1);
  EXPECT_EQ(nothing.out, "");
  EXPECT_EQ(Run({"find", "shadows", "--lang", "XX"}).exitStatus, 2);
  EXPECT_EQ(Run({"find", "--lang", "EN"}).exitStatus, 2);
}

}  // namespace
}  // namespace kesta
