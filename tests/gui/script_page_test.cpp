// The export-script page on the real window over a copy of the sample game with a catalogue and an
// export.lua of our own: what each script shows, the check box rewriting export.lua at once, broken
// catalogue lines and unreadable files, the site link through a stand-in xdg-open, and the export switch.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "documents/export_document.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/fake_desktop_handler.h"
#include "support/page_test.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "ui/appearance.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/window_status.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// Positions in the catalogue below.
enum Script { kTool, kHud, kFlight, kMissing, kThreeFields, kNoSeparator };

// Tool.lua is installed in another letter case, Missing.lua not at all; the address holds characters
// that mean something in markup.
constexpr char kCatalogue[] =
    "Tool.lua;Reads the gauges;A. Author;https://example.org/tool?a=1&b=<2>\n"
    "HudRelay.lua;Sends the heading;J. Novak;https://example.org/hudrelay\n"
    "FlightRecorder.lua;Writes a CSV file;P. Marchand;https://example.org/flightrecorder\n"
    "Missing.lua;Not installed;K. Lindqvist;https://example.org/missing\n"
    "Broken.lua;Only two details;B. Author\n"
    "NoSeparator\n";

// The lines of export.lua, written with CR LF as the game ships it. Tool.lua's run line is commented
// out, HudRelay.lua's carries a trailing comment, FlightRecorder.lua's is in capitals with a commented
// copy, and Missing.lua's is active although its file is not there.
const char* const kExportLines[] = {
    "-- Run by the game when EnableExportScript is true.",
    "function LuaExportStart() end",
    "-- dofile(\"./config/export/Tool.lua\")",
    "dofile(\"./config/export/HudRelay.lua\") -- relays the HUD",
    "local keep = 1",
    "DOFILE(\"./CONFIG/EXPORT/FLIGHTRECORDER.LUA\")",
    "--dofile(\"./config/export/FlightRecorder.lua\") an older copy",
    "dofile(\"./config/export/Missing.lua\")",
    "function LuaExportStop() end",
};

std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string ExportLua() {
  std::string text;
  for (const char* line : kExportLines) text += std::string(line) + "\r\n";
  return text;
}

class ScriptPageTest : public test::PageTest {
 protected:
  void SetUp() override {
    test::TempFolder scratch;
    fs::copy_file(scratch.Write("catalogue", kCatalogue), install.Folder().ScriptCatalogue(),
                  fs::copy_options::overwrite_existing);
    fs::remove(install.Game("Config/Export/FlightRecorder.lua"));
    WriteScript("FlightRecorder.lua");
    WriteScript("tool.LUA");
    WriteExportLua(ExportLua());
    PageTest::SetUp();
  }

  void WriteScript(const std::string& name) const {
    std::ofstream(install.Game("Config/Export") / name) << "-- a script\n";
  }
  void WriteExportLua(const std::string& bytes) const {
    std::ofstream(ExportFile(), std::ios::binary | std::ios::trunc) << bytes;
  }
  fs::path ExportFile() const { return install.Game("Config/Export/export.lua"); }

  QComboBox* Scripts() const { return Control<QComboBox>("ComboBoxLUAScripts"); }
  QCheckBox* Box() const { return Control<QCheckBox>("CheckBoxScriptEnabled"); }
  QString Text(const char* label) const { return Control<QLabel>(label)->text(); }
  bool Visible(const char* control) const { return Control<QWidget>(control)->isVisibleTo(Page()); }
  QWidget* Page() const { return Control<QWidget>("TabSheetLUA"); }
  QList<QRadioButton*> SwitchItems() const {
    return Control<QWidget>("RadioGroupActiveExport")
        ->findChildren<QRadioButton*>("RadioGroupActiveExportItem");
  }

  // The user picks a script from the list.
  void Choose(Script script) {
    Scripts()->setCurrentIndex(script);
    emit Scripts()->activated(script);
  }
  // Chooses the script and clicks its box: one click, so the box turns to the other state.
  void ChooseAndClick(Script script) {
    Choose(script);
    ASSERT_TRUE(Box()->isEnabled());
    Box()->click();
  }

  // The file's lines with the script's ones left out and `appended` added at the end.
  static std::string ExportLuaWithout(const std::string& script, const std::string& appended) {
    std::string text;
    for (const char* line : kExportLines)
      if (!BelongsToScript(line, script)) text += std::string(line) + "\r\n";
    return text + (appended.empty() ? "" : appended + "\r\n");
  }
};

TEST_F(ScriptPageTest, FirstVisitListsTheCatalogueAndShowsTheFirstScript) {
  QComboBox* scripts = Scripts();
  ASSERT_EQ(scripts->count(), 6);
  const char* const names[] = {"Tool.lua",    "HudRelay.lua", "FlightRecorder.lua",
                               "Missing.lua", "Broken.lua",   "NoSeparator"};
  for (int i = 0; i < scripts->count(); ++i) EXPECT_EQ(scripts->itemText(i), names[i]);
  EXPECT_EQ(scripts->currentIndex(), kTool);
  EXPECT_EQ(Text("LabelScriptInfo"), "Reads the gauges");
  EXPECT_EQ(Text("LabelScriptAuteur"), "A. Author");
  // The address is the link's text as written, not markup.
  EXPECT_TRUE(Text("LabelScriptSite").contains("https://example.org/tool?a=1&amp;b=&lt;2&gt;"))
      << Text("LabelScriptSite").toStdString();
  // Found although the file on disk is tool.LUA.
  EXPECT_TRUE(Visible("LabelScriptDispo"));
  EXPECT_FALSE(Visible("LabelScriptNonDispo"));
  EXPECT_TRUE(Visible("CheckBoxScriptEnabled"));
  EXPECT_TRUE(Box()->isEnabled());
  EXPECT_FALSE(Box()->isChecked());  // its only run line is commented out
  // Captions from the language file.
  EXPECT_EQ(Text("LabelScriptDispo"), "SCRIPT OK! Its file is in the game's Config\\Export folder.");
  EXPECT_EQ(Box()->text(), "Run this script (export.lua is changed at once)");
  EXPECT_EQ(ExportFile(), fs::path(install.Game("Config/Export/export.lua")));
  EXPECT_EQ(test::ReadBytes(ExportFile()), ExportLua());  // showing writes nothing
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

TEST_F(ScriptPageTest, EachScriptShowsWhetherItIsInstalledAndRun) {
  struct Case {
    Script script;
    const char* info;
    bool installed;
    bool checked;
  };
  const Case cases[] = {
      {kFlight, "Writes a CSV file", true, true},  // a run line in capitals is active
      {kHud, "Sends the heading", true, false},    // a trailing comment makes it inactive
      {kMissing, "Not installed", false, false},   // an active line, but no file to run
      {kTool, "Reads the gauges", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.info);
    Choose(c.script);
    EXPECT_EQ(Text("LabelScriptInfo"), c.info);
    EXPECT_EQ(Visible("LabelScriptDispo"), c.installed);
    EXPECT_EQ(Visible("LabelScriptNonDispo"), !c.installed);
    EXPECT_TRUE(Visible("CheckBoxScriptEnabled"));
    EXPECT_EQ(Box()->isEnabled(), c.installed);
    EXPECT_EQ(Box()->isChecked(), c.checked);
  }
  // Showing a script is no click: the file is as it was.
  EXPECT_EQ(test::ReadBytes(ExportFile()), ExportLua());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ScriptPageTest, ClickRewritesExportLuaAtOnceKeepingEveryOtherLineInOrder) {
  struct Case {
    Script script;
    const char* name;
    bool checkedAfter;
  };
  const Case cases[] = {
      // The commented run line goes, one clean line is appended.
      {kTool, "Tool.lua", true},
      // The middle line with its trailing comment goes, one clean line is appended.
      {kHud, "HudRelay.lua", true},
      // The capitals line and the commented copy both go; nothing is appended.
      {kFlight, "FlightRecorder.lua", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteExportLua(ExportLua());
    window->Status().TimerStatutBarTimer();
    ChooseAndClick(c.script);
    EXPECT_EQ(Box()->isChecked(), c.checkedAfter);
    EXPECT_EQ(test::ReadBytes(ExportFile()),
              ExportLuaWithout(c.name, c.checkedAfter ? ExportRunLine(c.name) : ""));
    ExpectLuaReads(ExportFile());
    EXPECT_EQ(window->Status().StatusText(1), "Configuration applied");
    // Written at once: nothing waits for Apply.
    EXPECT_FALSE(window->Configuration().ApplyEnabled());
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ScriptPageTest, CancelDoesNotUndoAClickAndTheBoxFollowsTheFileBackAndForth) {
  ChooseAndClick(kTool);
  const std::string enabled = test::ReadBytes(ExportFile());
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonCancelClick();
  EXPECT_EQ(test::ReadBytes(ExportFile()), enabled);
  EXPECT_TRUE(Box()->isChecked());

  Box()->click();
  EXPECT_EQ(test::ReadBytes(ExportFile()), ExportLuaWithout("Tool.lua", ""));
  Choose(kHud);
  Choose(kTool);
  EXPECT_FALSE(Box()->isChecked());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ScriptPageTest, CatalogueLineWithFewerThanFourFieldsShowsWhatItHasAndSaysWhatIsMissing) {
  struct Case {
    Script script;
    const char* info;
    const char* author;
    const char* line;
  };
  const Case cases[] = {
      {kThreeFields, "Only two details", "B. Author", "Broken.lua;Only two details;B. Author"},
      {kNoSeparator, "", "", "NoSeparator"},
  };
  const std::string catalogue = install.Folder().ScriptCatalogue().string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Choose(kTool);  // a complete script first: none of it may stay
    dialogs.ClearRecorded();
    Choose(c.script);
    EXPECT_EQ(Text("LabelScriptInfo"), c.info);
    EXPECT_EQ(Text("LabelScriptAuteur"), c.author);
    EXPECT_EQ(Text("LabelScriptSite"), "");
    EXPECT_FALSE(Visible("CheckBoxScriptEnabled"));
    EXPECT_FALSE(Visible("LabelScriptDispo"));
    EXPECT_FALSE(Visible("LabelScriptNonDispo"));
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
    EXPECT_EQ(dialogs.Recorded()[0].text.toStdString(),
              "Line " + std::to_string(c.script + 1) +
                  " of the list of export scripts is incomplete. Each line needs four fields separated by "
                  "semicolons: name;description;author;address\r\n" +
                  catalogue + "\r\n" + c.line);
  }
}

// Ways export.lua fails a click or the showing of a script.
struct Failure {
  const char* what;
  bool folder;            // a folder stands in its place
  std::string exportLua;  // else its bytes
  const char* message;    // the error box begins with it
};

// Taking HudRelay.lua's line out of this would leave "1" standing alone: Lua refuses the result.
const std::string kHalfStatement = CrLf({"x = dofile(\"./config/export/HudRelay.lua\") +", "1", "print(x)"});

const Failure kUnreadable[] = {
    {"export.lua is a folder", true, "", "The file could not be read:\r\n"},
    {"export.lua is empty", false, "", "The file could not be read:\r\n"},
};
const Failure kNotLuaAfterwards = {"the result would not be Lua", false, kHalfStatement,
                                   "Error while writing the file\r\nThe new text of export.lua would not be "
                                   "valid Lua, so the file was left as it was."};

class ScriptPageFailureTest : public ScriptPageTest {
 protected:
  void Spoil(const Failure& failure) const {
    fs::remove_all(ExportFile());
    if (failure.folder)
      fs::create_directory(ExportFile());
    else
      WriteExportLua(failure.exportLua);
  }
  bool Unchanged(const Failure& failure) const {
    return failure.folder ? fs::is_directory(ExportFile())
                          : test::ReadBytes(ExportFile()) == failure.exportLua;
  }
};

TEST_F(ScriptPageFailureTest, FailedClickReportsAndPutsTheBoxBackToWhatTheFileSays) {
  for (const Failure& failure : {kUnreadable[0], kUnreadable[1], kNotLuaAfterwards}) {
    SCOPED_TRACE(failure.what);
    // Shown as run by a file that runs it, then export.lua is spoilt before the click.
    WriteExportLua(kHalfStatement);
    Choose(kHud);
    ASSERT_TRUE(Box()->isChecked());
    Spoil(failure);
    window->Status().TimerStatutBarTimer();
    dialogs.ClearRecorded();
    Box()->click();
    // One box: putting the check back is no second click.
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
    EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith(failure.message)) << Recorded();
    EXPECT_TRUE(Box()->isChecked());
    EXPECT_TRUE(Unchanged(failure));
    EXPECT_EQ(window->Status().StatusText(1), "");
  }
}

TEST_F(ScriptPageFailureTest, UnreadableExportLuaStopsShowingAScriptAndLeavesNothingOfTheLastOne) {
  for (const Failure& failure : kUnreadable) {
    SCOPED_TRACE(failure.what);
    WriteExportLua(ExportLua());
    Choose(kTool);
    Spoil(failure);
    dialogs.ClearRecorded();
    Choose(kHud);
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].text.toStdString(), failure.message + ExportFile().string());
    for (const char* label : {"LabelScriptInfo", "LabelScriptAuteur", "LabelScriptSite"})
      EXPECT_EQ(Text(label), "") << label;
    EXPECT_FALSE(Visible("CheckBoxScriptEnabled"));
    EXPECT_FALSE(Visible("LabelScriptDispo"));
    EXPECT_TRUE(Unchanged(failure));
  }
}

// export.lua holding a NUL is shown as far as it reads, but a click leaves it as it is and says why.
TEST_F(ScriptPageFailureTest, ExportLuaHoldingANulIsNotRewritten) {
  const Failure holdsNul = {"export.lua holds a NUL", false, ExportLua() + std::string("\0-- after\r\n", 11),
                            "Error while writing the file\r\n"};
  Spoil(holdsNul);
  Choose(kTool);
  const bool shown = Box()->isChecked();
  dialogs.ClearRecorded();
  Box()->click();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith(holdsNul.message + QString::fromStdString(ExportFile().string()) +
                                                    " holds a NUL byte (at offset " +
                                                    QString::number(ExportLua().size()) + ")"))
      << Recorded();
  EXPECT_EQ(Box()->isChecked(), shown);
  EXPECT_TRUE(Unchanged(holdsNul));
}

TEST_F(ScriptPageTest, SiteLinkOpensTheAddressWithTheDesktopsHandler) {
  window->Pages().ShowPage("TabSheetLUA");
  window->show();
  QLabel* site = Control<QLabel>("LabelScriptSite");
  // A click on the link's first letters.
  const auto clickLink = [site] {
    QApplication::processEvents();
    QTest::mouseClick(site, Qt::LeftButton, {}, QPoint(site->contentsRect().left() + 4, site->height() / 2));
  };
  {
    test::FakeDesktopHandler handler;
    EXPECT_EQ(handler.Opened(clickLink), "https://example.org/tool?a=1&b=<2>");
    EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  }

  // Without a handler to start, the user is told instead of nothing happening.
  test::TempFolder empty;
  test::ScopedEnv noHandler("PATH", empty.Path().c_str());
  Choose(kHud);
  clickLink();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].text,
            "The web address could not be opened (no web browser could be started):\r\n"
            "https://example.org/hudrelay");
}

TEST_F(ScriptPageTest, ExportSwitchFollowsTheDocumentAndApplyWritesConfigLua) {
  const QList<QRadioButton*> items = SwitchItems();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Yes");
  EXPECT_EQ(items[1]->text(), "No");
  EXPECT_TRUE(items[1]->isChecked());  // the sample's EnableExportScript = false
  EXPECT_EQ(Control<QGroupBox>("RadioGroupActiveExport")->title(), "Export scripts in the game");

  items[0]->click();
  EXPECT_TRUE(window->GameFiles().Get<ExportConfigDocument>().exportEnabled);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(window->Configuration().CancelEnabled());
  const fs::path config = install.Game("Config/Export/config.lua");
  EXPECT_EQ(test::ReadBytes(config).find("EnableExportScript = true"), std::string::npos);
  window->Configuration().dxButtonApplyClick();
  EXPECT_NE(test::ReadBytes(config).find("\r\nEnableExportScript = true\r\n"), std::string::npos)
      << test::ReadBytes(config);
  ExpectLuaReads(config);

  // Cancel reloads the switch from the file.
  items[1]->click();
  window->Configuration().dxButtonCancelClick();
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

}  // namespace
}  // namespace kesta
