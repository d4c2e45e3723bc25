// The mission editor's options (MeCustom.xml) on the real window over a copy of the sample game: the
// realism page, the scenery and civil traffic of the graphics page, and graphics.cfg's scenery line that
// follows the mission editor's.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "documents/mission_editor_document.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/special_slider.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// MeCustom.xml with the option elements' attributes given.
std::string MeCustom(const std::string& mission, const std::string& player) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<MissionEditor>\r\n  <ApplicationOptions>\r\n"
         "    <MissionOptions>\r\n      <MissionOption " + mission + "/>\r\n    </MissionOptions>\r\n"
         "    <PlayerOptions>\r\n      <PlayerOption " + player + "/>\r\n    </PlayerOptions>\r\n"
         "  </ApplicationOptions>\r\n</MissionEditor>\r\n";
}

void Overwrite(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

class RealismPageTest : public test::PageTest {
 protected:
  template <typename T>
  T* Control(const char* name) const {
    T* control = window->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QCheckBox* Box(const char* name) const { return Control<QCheckBox>(name); }
  TSpecialSlider* Slider(const char* name) const { return Control<TSpecialSlider>(name); }
  fs::path MeCustomFile() const { return install.Game("ME/MeCustom.xml"); }
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  const MissionEditorDocument& Document() const { return window->GameFiles().Get<MissionEditorDocument>(); }
  // Writes the game's file and loads it, as a load from the backup page does.
  void LoadMeCustom(const std::string& bytes) {
    test::TempFolder scratch;
    fs::copy_file(scratch.Write("file", bytes), MeCustomFile(), fs::copy_options::overwrite_existing);
    window->GameFiles().Load("MECustom", MeCustomFile());
  }
};

TEST_F(RealismPageTest, SampleFileShowsOnTheRealismAndGraphicsPages) {
  EXPECT_TRUE(Box("CheckBoxTrafficCivil")->isChecked());
  EXPECT_TRUE(Box("CheckBoxTrafficCivil")->isEnabled());
  EXPECT_EQ(Slider("SpecialSliderScenes")->Position(), 1);
  EXPECT_TRUE(Slider("SpecialSliderScenes")->isEnabled());
  // The sample has these switches on and the others off.
  for (std::string_view name : kRealismSwitches) {
    const std::string box = "CheckBox" + std::string(name);
    const bool on = name == "ExternalView" || name == "AwacsView" || name == "AircraftSwitching" || name == "PadLock";
    EXPECT_EQ(Box(box.c_str())->isChecked(), on) << box;
  }
  EXPECT_EQ(Slider("SpecialSliderGEffects")->Position(), 2);
  EXPECT_EQ(Slider("SpecialSliderMissilesEffectiveness")->Position(), 100);
  for (const char* name : {"CheckBoxMapMyAircraft", "CheckBoxMapAllies", "CheckBoxMapEnnemies"})
    EXPECT_TRUE(Box(name)->isChecked()) << name;
  EXPECT_EQ(Control<QGroupBox>("GroupBoxRealismMyAircraft")->title(), "Realism");
  EXPECT_EQ(Box("CheckBoxMapEnnemies")->text(), "Enemies on the map");
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

// A load shows the file's values without a preview picture or a change of the user's; the user's own
// changes of the two graphics-page controls show their picture.
TEST_F(RealismPageTest, GraphicsPageControlsReactToTheUserOnly) {
  window->Pages().ShowPage("TabSheetGraphicsStandards");
  ASSERT_TRUE(Shows("graphics_default.jpg"));
  LoadMeCustom(MeCustom("WorldDensity=\"3\" MissilesEffectiveness=\"40\"",
                        "CivTraffic=\"0\" GEffects=\"0\" AwacsViewFilter=\"2\""));
  EXPECT_EQ(Slider("SpecialSliderScenes")->Position(), 2);
  EXPECT_FALSE(Box("CheckBoxTrafficCivil")->isChecked());
  EXPECT_EQ(Slider("SpecialSliderMissilesEffectiveness")->Position(), 40);
  EXPECT_TRUE(Box("CheckBoxMapAllies")->isChecked());
  EXPECT_FALSE(Box("CheckBoxMapMyAircraft")->isChecked());
  EXPECT_TRUE(Shows("graphics_default.jpg"));
  EXPECT_FALSE(window->Configuration().ApplyEnabled());

  Slider("SpecialSliderScenes")->DownArrow()->click();
  EXPECT_TRUE(Shows("scenes_1.jpg"));
  EXPECT_EQ(Document().scenes, 1);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  Box("CheckBoxTrafficCivil")->click();
  EXPECT_TRUE(Shows("civiltraffic_1.jpg"));
  EXPECT_TRUE(Document().civilTraffic);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

// One Apply writes both files: the mission editor's attributes, everything else of it kept, and the
// scenery line of graphics.cfg from the same slider.
TEST_F(RealismPageTest, ApplyWritesMeCustomAndTheGraphicsSceneryLine) {
  Slider("SpecialSliderScenes")->UpArrow()->click();
  Box("CheckBoxImmortal")->click();
  Box("CheckBoxMapAllies")->click();
  Slider("SpecialSliderGEffects")->DownArrow()->click();
  Slider("SpecialSliderMissilesEffectiveness")->DownArrow()->click();
  window->Configuration().dxButtonApplyClick();
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();

  const std::string written = test::ReadBytes(MeCustomFile());
  for (const char* attribute :
       {"WorldDensity=\"3\" MissilesEffectiveness=\"90\" Weather=\"1\"", "CivTraffic=\"1\" Immortal=\"1\"",
        "GEffects=\"1\" AwacsViewFilter=\"5\" Callsign=\"Enfield\"", "<Paths Missions=\"./Missions/\""})
    EXPECT_NE(written.find(attribute), std::string::npos) << attribute << "\n" << written;
  EXPECT_NE(test::ReadBytes(GraphicsFile()).find("\nSceneFile = \"High\";"), std::string::npos);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

// The missiles' slider moves by tens with its arrows and shows the game's own value, 50, in green.
TEST_F(RealismPageTest, MissilesEffectivenessStepsByTensAndMarksFifty) {
  auto* slider = Control<TSpecialSliderModMan>("SpecialSliderMissilesEffectiveness");
  slider->SetPosition(60);
  slider->DownArrow()->click();
  EXPECT_EQ(slider->Position(), 50);
  EXPECT_EQ(slider->ValueBackground(), TSpecialSliderModMan::LowColor());
  EXPECT_EQ(Document().missilesEffectiveness, 50);
  slider->DownArrow()->click();
  EXPECT_NE(slider->ValueBackground(), TSpecialSliderModMan::LowColor());
}

// A file the program could not read leaves the switches and sliders as they were after the question.
TEST_F(RealismPageTest, FailedLoadKeepsThePageAndOffersTheDefaultCopy) {
  dialogs.QueueNo();
  LoadMeCustom(MeCustom("WorldDensity=\"1\"", "Immortal=\"1\" GEffects=\"1.5\" AwacsViewFilter=\"1\""));
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith("MECustomSettings")) << Recorded();
  EXPECT_FALSE(Box("CheckBoxImmortal")->isChecked());
  EXPECT_EQ(Slider("SpecialSliderScenes")->Position(), 1);
  EXPECT_EQ(Slider("SpecialSliderGEffects")->Position(), 2);
}

// Until the mission editor's file was read, the scenery slider shows no value of the player's, and
// graphics.cfg keeps the scenery line it has.
TEST(MissionEditorNeverReadTest, GraphicsApplyKeepsTheSceneryLine) {
  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  const fs::path graphics = install.Game("Config/graphics.cfg");
  std::string text = test::ReadBytes(graphics);
  const size_t at = text.find("SceneFile = \"Medium\";");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 21, "SceneFile = \"Low\";");
  Overwrite(graphics, text);
  Overwrite(install.Game("ME/MeCustom.xml"), "<MissionEditor><ApplicationOptions>");
  dialogs.QueueNo();  // no default copy for the broken file
  auto window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
  window->FormCreate();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(window->GameFiles().Apply("Graphics", graphics));
  EXPECT_NE(test::ReadBytes(graphics).find("\nSceneFile = \"Low\";"), std::string::npos);
}

}  // namespace
}  // namespace kesta
