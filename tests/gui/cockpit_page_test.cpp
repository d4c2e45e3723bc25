// The cockpit page on the real window over a copy of the sample game: the cockpit file's four lines,
// its load and apply failures, the preview pictures and the canopy command's folder renames.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/program_install.h"
#include "support/run_program.h"
#include "support/scripted_dialogs.h"
#include "ui/jpeg_image.h"
#include "ui/main_window.h"
#include "ui/special_slider.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using test::ProgramInstall;
using test::ScriptedDialogs;

struct CockpitState {
  int mirrors;
  int mirrorResolution;
  int reflections;
  bool russianHud;
  bool operator==(const CockpitState&) const = default;
};

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void PrintTo(const CockpitState& s, std::ostream* out) {
  *out << "{" << s.mirrors << ", " << s.mirrorResolution << ", " << s.reflections << ", " << s.russianHud
       << "}";
}

class CockpitPageTest : public test::PageTest {
 protected:
  TSpecialSlider* Slider(const char* name) const { return window->findChild<TSpecialSlider*>(name); }
  QCheckBox* RussianHud() const { return window->findChild<QCheckBox*>("CheckboxRussianHUD"); }
  CockpitState State() const {
    return {Slider("SpecialSliderMirrors")->Position(), Slider("SpecialSliderMirrorResolution")->Position(),
            Slider("SpecialSliderReflections")->Position(), RussianHud()->isChecked()};
  }
  QString Memo() const { return window->findChild<QPlainTextEdit*>("MemoCanopy")->toPlainText(); }
  QPushButton* CanopyButton() const { return window->findChild<QPushButton*>("ButtonCanopy"); }
  QString ButtonCaption() const { return CanopyButton()->text(); }
  fs::path CockpitFile() const { return install.Game("Config/cockpit.cfg"); }
  fs::path Effects() const { return install.Game("Bazar/Effects"); }
  QString Text(const fs::path& path) const { return QString::fromStdString(path.string()); }
  void ExpectCanopyTexts(bool active) const {
    EXPECT_EQ(Memo(), window->LookupMessage(active ? "CanopyDisable" : "CanopyDisabled"));
    EXPECT_EQ(ButtonCaption(),
              window->LookupMessage(active ? "CanopyButtonDisable" : "CanopyButtonDisabled"));
  }
};

TEST_F(CockpitPageTest, StartUpShowsTheSampleFileAndTheActiveCanopy) {
  EXPECT_EQ(State(), (CockpitState{1, 1, 1, true}));
  // Step captions come from the language file.
  EXPECT_EQ(Slider("SpecialSliderMirrors")->ValueText(), "On");
  EXPECT_EQ(Slider("SpecialSliderMirrorResolution")->ValueText(), "Medium");
  ExpectCanopyTexts(true);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

TEST_F(CockpitPageTest, LinesBecomeControlStatesWithDefaultsForMissingLines) {
  struct Case {
    const char* file;
    CockpitState expected;
  };
  const Case cases[] = {
      {"Mirrors = 0;\r\nMirrorResolution = 2;\r\nReflections = 0;\r\nRussianHUD = 0;\r\n", {0, 2, 0, false}},
      {"-- nothing but a comment\r\n", {0, 0, 1, true}},
      {"\r\n  \r\n\t\r\n", {0, 0, 1, true}},  // blank lines are not an empty file
      {"RussianHUD = 2;\r\nMirrors = 1;\r\n", {1, 0, 1, false}},
      {"Mirrors=7;\nMirrorResolution = -3;\nReflections =1\n", {1, 0, 1, true}},  // the sliders clamp
      {"Mirrors = +1;\r\nRussianHUD = 1 ;\r\n", {1, 0, 1, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    test::TempFolder folder;
    window->Configuration().LoadCockpitSettings(folder.Write("cockpit.cfg", c.file));
    EXPECT_EQ(State(), c.expected);
    EXPECT_TRUE(Shows("graphics_default.jpg"));
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(CockpitPageTest, ApplyRewritesOnlyTheFourLinesWithCrLfAndTheGameCanReadIt) {
  // Mixed line ends, no final line break, Reflections and RussianHUD missing.
  WriteFile(CockpitFile(),
            "-- Cockpit options\n\nMirrors = 1;\nMirrorResolution=1;\r\nCockpitShadows = 1;\r"
            "IndicatorRefresh = 2;");
  window->Configuration().LoadCockpitSettings(CockpitFile());
  EXPECT_EQ(State(), (CockpitState{1, 1, 1, true}));

  Slider("SpecialSliderMirrors")->SetPosition(0);
  Slider("SpecialSliderMirrorResolution")->SetPosition(2);
  RussianHud()->setChecked(false);
  window->Configuration().dxButtonApplyClick();

  EXPECT_EQ(test::ReadBytes(CockpitFile()),
            "-- Cockpit options\r\n\r\nMirrors = 0;\r\nMirrorResolution = 2;\r\nCockpitShadows = 1;\r\n"
            "IndicatorRefresh = 2;\r\nReflections = 1;\r\nRussianHUD = 0;\r\n");
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  ExpectLuaReads(CockpitFile());
}

TEST_F(CockpitPageTest, LoadFailuresAskForTheDefaultCopyWithTheCockpitTitle) {
  struct Case {
    const char* name;
    const char* file;
    const char* picture;      // removed from the images folder before loading
    const char* failureText;  // in the question after the path
  };
  const Case cases[] = {
      {"fraction", "Mirrors = 1;\r\nMirrorResolution = 1.5;\r\n", nullptr,
       "'1.5' is not a valid integer value for MirrorResolution"},
      {"word", "Reflections = yes;\r\n", nullptr, "'yes' is not a valid integer value for Reflections"},
      {"nothing", "Mirrors = ;\r\n", nullptr, "'' is not a valid integer value for Mirrors"},
      {"missing picture", "Mirrors = 0;\r\n", "graphics_default.jpg", "graphics_default.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    const fs::path file = folder.Write("cockpit.cfg", c.file);
    if (c.picture) fs::rename(install.Folder().Images() / c.picture, folder / c.picture);
    dialogs.ClearRecorded();
    dialogs.QueueYes();
    if (c.picture) dialogs.QueueNo();  // the default copy needs the picture too
    window->Configuration().LoadCockpitSettings(file);

    ASSERT_GE(dialogs.Recorded().size(), 1u);
    const QString question = dialogs.Recorded()[0].text;
    EXPECT_TRUE(question.startsWith("CockpitSettings\r\n----------------------\r\n" +
                                    window->LookupMessage("Loading") + "\r\n" + Text(file) + "\r\n"))
        << question.toStdString();
    EXPECT_TRUE(question.contains(c.failureText)) << question.toStdString();
    EXPECT_EQ(dialogs.Recorded()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(*window->GameFiles().RememberedPath("Cockpit"), install.Folder().Defaults() / "Cockpit.cfg");
    if (c.picture) {
      fs::rename(folder / c.picture, install.Folder().Images() / c.picture);
    } else {
      EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
      EXPECT_EQ(State(), (CockpitState{1, 1, 1, true}));  // the default copy's values
    }
  }
}

TEST_F(CockpitPageTest, EmptyFileOffersTheDefaultCopy) {
  WriteFile(CockpitFile(), "");
  dialogs.QueueYes();
  window->Configuration().LoadCockpitSettings(CockpitFile());
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith("CockpitSettings\r\n----------------------\r\n" +
                                                    window->LookupMessage("EmptyFile") + "\r\n" +
                                                    Text(CockpitFile())));
  EXPECT_EQ(*window->GameFiles().RememberedPath("Cockpit"), install.Folder().Defaults() / "Cockpit.cfg");
}

TEST_F(CockpitPageTest, ApplyFailureSaysApplyingWithoutALabelAndWritesNothing) {
  test::TempFolder folder;
  const fs::path source = folder.Write("cockpit.cfg", "Mirrors = 0;\r\n");
  window->Configuration().LoadCockpitSettings(source);
  fs::remove(source);
  const std::string before = test::ReadBytes(CockpitFile());

  window->Configuration().ApplyCockpitSettings(CockpitFile());
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  const QString message = dialogs.Recorded()[0].text;
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_TRUE(message.startsWith(window->LookupMessage("Applying") + "\r\n")) << message.toStdString();
  EXPECT_TRUE(message.contains("No such file or directory")) << message.toStdString();
  EXPECT_EQ(test::ReadBytes(CockpitFile()), before);
}

TEST_F(CockpitPageTest, EveryPreviewHandlerShowsItsPictureAndMarksThePagesModified) {
  struct Case {
    const char* name;
    std::function<void()> change;
    const char* picture;
  };
  auto slider = [this](const char* name, int position) {
    return [this, name, position] { Slider(name)->SetPosition(position); };
  };
  const Case cases[] = {
      {"mirrors off", slider("SpecialSliderMirrors", 0), "mirror_0.jpg"},
      {"mirrors on", slider("SpecialSliderMirrors", 1), "mirror_1.jpg"},
      {"reflections off", slider("SpecialSliderReflections", 0), "reflections_0.jpg"},
      {"resolution high", slider("SpecialSliderMirrorResolution", 2), "mirrorresolution_2.jpg"},
      {"resolution low", slider("SpecialSliderMirrorResolution", 0), "mirrorresolution_0.jpg"},
      {"hud off", [this] { RussianHud()->click(); }, "russianhud_0.jpg"},
      {"hud on", [this] { RussianHud()->click(); }, "russianhud_1.jpg"},
      // The arrows are the user's way to the same handler.
      {"arrow up", [this] { Slider("SpecialSliderReflections")->UpArrow()->click(); }, "reflections_1.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableApplyCancel(false, false);
    c.change();
    EXPECT_TRUE(Shows(c.picture));
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    EXPECT_TRUE(window->Configuration().CancelEnabled());
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();

  // A missing picture is reported; the change itself stands.
  fs::remove(install.Folder().Images() / "mirror_0.jpg");
  window->EnableApplyCancel(false, false);
  Slider("SpecialSliderMirrors")->SetPosition(0);
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("mirror_0.jpg"));
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
}

TEST_F(CockpitPageTest, CanopyCommandDisablesAndRestoresTheEffectAtOnce) {
  const std::string cockpit = test::ReadBytes(CockpitFile());
  ASSERT_TRUE(fs::is_directory(Effects() / "CANOPY"));

  CanopyButton()->click();
  EXPECT_FALSE(fs::exists(Effects() / "CANOPY"));
  EXPECT_TRUE(fs::exists(Effects() / "CANOPY_OLD/readme.txt"));
  ExpectCanopyTexts(false);
  EXPECT_TRUE(Shows("canopy_old.jpg"));
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Information");
  EXPECT_EQ(dialogs.Recorded()[0].text,
            window->LookupMessage("CanopyInfo") + "\r\n" + Text(Effects() / "CANOPY"));

  CanopyButton()->click();
  EXPECT_FALSE(fs::exists(Effects() / "CANOPY_OLD"));
  EXPECT_TRUE(fs::exists(Effects() / "CANOPY/readme.txt"));
  ExpectCanopyTexts(true);
  EXPECT_TRUE(Shows("canopy.jpg"));
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Information");
  EXPECT_EQ(dialogs.Recorded()[1].text,
            window->LookupMessage("CanopyRestore") + "\r\n" + Text(Effects() / "CANOPY_OLD"));

  // Neither the cockpit file nor the modified state is touched.
  EXPECT_EQ(test::ReadBytes(CockpitFile()), cockpit);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

TEST_F(CockpitPageTest, CanopyFoldersAreFoundInAnyLetterCase) {
  struct Case {
    const char* folder;  // the effect's folder under "bazar/EFFECTS", as the game was installed
    bool active;
    const char* renamedTo;
  };
  const Case cases[] = {
      {"Canopy", true, "CANOPY_OLD"},
      {"canopy_old", false, "CANOPY"},
      {"Canopy-Backup", false, "CANOPY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    fs::remove_all(install.Game("Bazar"));
    fs::remove_all(install.Game("bazar"));
    const fs::path effects = install.Game("bazar/EFFECTS");
    fs::create_directories(effects / c.folder);
    WriteFile(effects / "CANOPY.txt", "files never hold the effect");  // first in name order
    window->Configuration().LoadCockpitSettings(CockpitFile());
    ExpectCanopyTexts(c.active);

    dialogs.ClearRecorded();
    CanopyButton()->click();
    EXPECT_TRUE(fs::is_directory(effects / c.renamedTo));
    EXPECT_FALSE(fs::exists(effects / c.folder));
    EXPECT_TRUE(fs::exists(effects / "CANOPY.txt"));
    ExpectCanopyTexts(!c.active);
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Information");
    EXPECT_TRUE(dialogs.Recorded()[0].text.endsWith("\r\n" + Text(effects / c.folder)));
  }
}

TEST_F(CockpitPageTest, FailedRenameIsReportedAndThePageShowsTheRealState) {
  // A folder of the target name, even an empty one in another letter case, stops the rename.
  fs::create_directory(Effects() / "Canopy_Old");
  CanopyButton()->click();
  EXPECT_TRUE(fs::exists(Effects() / "CANOPY/readme.txt"));
  EXPECT_TRUE(fs::is_directory(Effects() / "Canopy_Old"));
  ExpectCanopyTexts(true);
  EXPECT_TRUE(Shows("graphics_default.jpg"));
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("CanopyRenameFailed") + "\r\n" +
                                            Text(Effects() / "CANOPY") + "\r\n" +
                                            Text(Effects() / "CANOPY_OLD") + "\r\nFile exists");

  // The page still shows the effect active, but outside the program it was disabled meanwhile and a file
  // took the active name: the command restores nothing and the page turns to the real state.
  fs::remove(Effects() / "Canopy_Old");
  fs::rename(Effects() / "CANOPY", Effects() / "CANOPY_OLD");
  WriteFile(Effects() / "CANOPY", "a file where the folder should be");
  dialogs.ClearRecorded();
  CanopyButton()->click();
  EXPECT_TRUE(fs::is_directory(Effects() / "CANOPY_OLD"));
  ExpectCanopyTexts(false);
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_TRUE(dialogs.Recorded()[0].text.endsWith("\r\nFile exists"));
}

TEST_F(CockpitPageTest, NoEffectFolderIsReportedWithTheEffectsFolder) {
  fs::remove_all(Effects() / "CANOPY");
  WriteFile(Effects() / "canopy_notes.txt", "not a folder");
  CanopyButton()->click();
  fs::remove_all(Effects());
  CanopyButton()->click();

  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Recorded();
  for (const auto& dialog : dialogs.Recorded()) {
    EXPECT_EQ(dialog.kind, "Error");
    EXPECT_EQ(dialog.text, window->LookupMessage("CanopyNotFound") + "\r\n" + Text(Effects() / ""));
  }
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

}  // namespace
}  // namespace kesta
