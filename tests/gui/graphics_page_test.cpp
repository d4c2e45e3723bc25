// The graphics pages on the real window over a copy of the sample game: graphics.cfg read into the
// controls and written back line by line, resolutions, the aspect check, the visibility-range profiles
// and the load failures.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "documents/graphics_document.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
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

// Replaces one whole line of the file's text (an empty `to` removes it); the line must be there once.
std::string WithLine(std::string text, const std::string& from, const std::string& to) {
  const std::string line = "\n" + from + "\r\n";
  const size_t at = text.find(line);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(line, at + 1), std::string::npos) << from;
  if (at != std::string::npos) text.replace(at + 1, to.empty() ? from.size() + 2 : from.size(), to);
  return text;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class GraphicsPageTest : public test::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    sample = test::ReadBytes(GraphicsFile());
  }

  template <typename T = TSpecialSlider>
  T* Find(const char* name) const {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }
  fs::path GraphicsFile() const { return install.Game("Config/graphics.cfg"); }
  void Click(const char* button) const { Find<QToolButton>(button)->click(); }
  void Choose(const char* combo, const QString& item) const {
    QComboBox* box = Combo(combo);
    box->setCurrentIndex(box->findText(item));
    emit box->activated(box->currentIndex());
  }

  std::string sample;
};

TEST_F(GraphicsPageTest, StartUpShowsTheSampleFile) {
  EXPECT_EQ(Find("SpecialSliderTextureLevel")->Position(), 2);
  EXPECT_EQ(Find("SpecialSliderTextureLevel")->ValueText(), "High");  // step captions of the language file
  EXPECT_EQ(Find("SpecialSliderPrecaching")->Position(), 1);
  EXPECT_EQ(Find("SpecialSliderWaterQuality")->Position(), 2);
  EXPECT_EQ(Find("SpecialSliderShadowDensity")->Position(), 6);
  EXPECT_TRUE(Find<QCheckBox>("CheckboxExhaust")->isChecked());
  EXPECT_EQ(Combo("ComboBoxGameResolution")->currentText(), "1024x768");
  EXPECT_EQ(Combo("ComboBoxMovieResolution")->currentText(), "640x480");
  EXPECT_EQ(Combo("ComboBoxBits")->currentText(), "32bits");
  EXPECT_EQ(Combo("ComboBoxGameAspect")->currentIndex(), 0);
  EXPECT_TRUE(Find<QCheckBox>("CheckBoxGameFullScreen")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("CheckBoxMovieFullScreen")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("EditScreenShotName")->text(), "ScreenShots/ScreenShot_");
  EXPECT_TRUE(Find<QCheckBox>("CheckboxJPG")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("EditLandNightL12")->text(), "15000");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), "Medium");
  EXPECT_EQ(Combo("ComboBoxOptimization2")->currentText(), "Medium");
  EXPECT_EQ(Find("SliderLod")->Position(), 10);
  EXPECT_FALSE(Find<QToolButton>("SpeedButtonRemoveOpti")->isEnabled());
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

TEST_F(GraphicsPageTest, EveryPreviewHandlerShowsItsPictureAndMarksThePagesModified) {
  struct Case {
    const char* name;
    std::function<void()> change;
    const char* picture;
  };
  auto slider = [this](const char* name, int position) {
    return [this, name, position] { Find(name)->SetPosition(position); };
  };
  const Case cases[] = {
      {"textures", slider("SpecialSliderTextureLevel", 1), "texturelevel_1.jpg"},
      {"precaching", slider("SpecialSliderPrecaching", 0), "graphics_default.jpg"},
      {"water", slider("SpecialSliderWaterQuality", 3), "waterquality_3.jpg"},
      {"fog", slider("SpecialSliderFogQuality", 0), "fogquality_0.jpg"},
      {"lights", slider("SpecialSliderLightsLevel", 1), "LightsLevel_1.jpg"},
      {"effects", slider("SpecialSliderEffectOptions", 3), "effectoptions_3.jpg"},
      {"shadows", slider("SpecialSliderShadowLevel", 0), "ShadowLevel_0.jpg"},
      {"density 3", slider("SpecialSliderShadowDensity", 3), "shadowdensity_0.jpg"},
      {"density 4", slider("SpecialSliderShadowDensity", 4), "shadowdensity_5.jpg"},
      {"density 7", slider("SpecialSliderShadowDensity", 7), "shadowdensity_10.jpg"},
      {"exhaust off", [this] { Find<QCheckBox>("CheckboxExhaust")->click(); }, "exhaust_0.jpg"},
      {"high profile", [this] { Choose("ComboBoxOptimization2", "High"); }, "visibilityrange_2.jpg"},
      {"low profile", [this] { Choose("ComboBoxOptimization1", "Low"); }, "visibilityrange_0.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableApplyCancel(false, false);
    c.change();
    EXPECT_TRUE(Shows(c.picture));
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
  }
  EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), "Low");
  EXPECT_EQ(Combo("ComboBoxOptimization2")->currentText(), "Low");
  // The format boxes exclude each other.
  Find<QCheckBox>("CheckboxBMP")->click();
  EXPECT_FALSE(Find<QCheckBox>("CheckboxJPG")->isChecked());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

// Each load of the graphics file shows its profile's picture again; it is read anew whenever its file is
// not the one read last.
TEST_F(GraphicsPageTest, TheProfilesPictureIsReadAgainWhenItsFileChanged) {
  const fs::path picture = install.Folder().Images() / "visibilityrange_1.jpg";
  const std::string original = test::ReadBytes(picture);
  // Another picture made as long as the first: a decoder reads nothing after a JPEG's end marker.
  QImage red(64, 48, QImage::Format_RGB32);
  red.fill(Qt::red);
  EncodeJpegFile(red, install.Root() / "red.jpg", 90);
  std::string sameSize = test::ReadBytes(install.Root() / "red.jpg");
  ASSERT_LT(sameSize.size(), original.size());
  sameSize.resize(original.size(), '\0');
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"another picture", test::ReadBytes(install.Folder().Images() / "scenes_1.jpg")},
      {"the same size, written later", sameSize},
      {"the first picture back", original},
  };
  window->Configuration().LoadGraphicsSettings(GraphicsFile(), false);
  ASSERT_TRUE(Shows("visibilityrange_1.jpg"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage before = Find<QLabel>("ImageGraphics")->pixmap().toImage();
    WriteFileAtomically(picture, c.bytes);
    fs::last_write_time(picture, fs::last_write_time(picture) + std::chrono::seconds(1));
    window->Configuration().LoadGraphicsSettings(GraphicsFile(), false);
    EXPECT_TRUE(Shows("visibilityrange_1.jpg"));
    EXPECT_NE(Find<QLabel>("ImageGraphics")->pixmap().toImage(), before);
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GraphicsPageTest, ApplyRewritesOnlyTheManagedLinesAndTheGameCanReadIt) {
  Find("SpecialSliderTextureLevel")->SetPosition(0);
  Find("SpecialSliderPrecaching")->SetPosition(2);
  Find("SpecialSliderShadowDensity")->SetPosition(4);
  Find<QCheckBox>("CheckboxExhaust")->setChecked(false);
  Find<QCheckBox>("CheckboxBMP")->setChecked(true);
  Combo("ComboBoxGameResolution")->setEditText("1280 x 1024");
  Combo("ComboBoxGameAspect")->setCurrentIndex(2);
  Find<QCheckBox>("CheckBoxMovieFullScreen")->setChecked(true);
  Find<QLineEdit>("EditMFDL01")->setText("12000");
  Find("SliderFarClip")->SetPosition(12);  // Medium's far clipping: 60000
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  window->Configuration().dxButtonApplyClick();
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();

  std::string expected = sample;
  expected = WithLine(expected, "TextureLevel = 2;", "TextureLevel = 0;");
  expected = WithLine(expected, "\taround_camera = 50000;", "\taround_camera = 100000;");
  expected = WithLine(expected, "ShadowDensity = 0.6;", "ShadowDensity = 0.4;");
  expected = WithLine(expected, "Exhaust = 1;", "Exhaust = 0;");
  expected = WithLine(expected, "ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
                      "ScreenshotName = \"ScreenShots/ScreenShot_%03d.bmp\";");
  expected = ReplaceAll(expected, "resolution = {1024, 768};", "resolution = {1280, 1024};");
  expected = ReplaceAll(expected, "aspect = 1.333333373;", "aspect = 1.77;");
  expected = WithLine(expected, "\t\tfullscreen = 0;", "\t\tfullscreen = 1;");
  expected =
      WithLine(expected, "\t\tL01 = 10000;\r\n\t\tL12 = 25000;", "\t\tL01 = 12000;\r\n\t\tL12 = 25000;");
  expected = WithLine(expected, "\t\tfar_clip = 80000;\r\n\t\tstructures = {40, 5000};",
                      "\t\tfar_clip = 60000;\r\n\t\tstructures = {40, 5000};");
  EXPECT_EQ(test::ReadBytes(GraphicsFile()), expected);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  ExpectLuaReads(GraphicsFile());
}

TEST_F(GraphicsPageTest, MissingLinesAreAddedAndValuesReadAsTheGameMeansThem) {
  test::TempFolder folder;
  std::string text = WithLine(sample, "ShadowDensity = 0.6;", "ShadowDensity = 0.65;");
  text = WithLine(text, "Exhaust = 1;", "Exhaust = 2;");
  text = WithLine(text, "\taround_camera = 50000;", "\taround_camera = 75000;");
  text = WithLine(text, "\tbpp = 32;", "\tbpp = 24;");
  text = WithLine(text, "ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
                  "ScreenshotName = \"Shots/Img_%03D.BMP\";");
  text = WithLine(text, "TextureLevel = 2;", "");
  const fs::path file = folder.Write("graphics.cfg", text);
  Find("SpecialSliderPrecaching")->SetPosition(0);
  window->Configuration().LoadGraphicsSettings(file, false);
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_EQ(Find("SpecialSliderShadowDensity")->Position(), 6);  // 6.5 halves to even
  EXPECT_EQ(Find("SpecialSliderPrecaching")->Position(), 0);     // an unknown value leaves it
  EXPECT_EQ(Find("SpecialSliderTextureLevel")->Position(), 2);
  EXPECT_EQ(Combo("ComboBoxBits")->currentIndex(), -1);
  EXPECT_EQ(Find<QLineEdit>("EditScreenShotName")->text(), "Shots/Img_");
  EXPECT_TRUE(Find<QCheckBox>("CheckboxBMP")->isChecked());

  window->Configuration().ApplyGraphicsSettings(file);
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
  std::string expected = WithLine(text, "Exhaust = 2;", "Exhaust = 1;");
  expected = WithLine(expected, "ShadowDensity = 0.65;", "ShadowDensity = 0.6;");
  expected = WithLine(expected, "\taround_camera = 75000;", "\taround_camera = 25000;");
  expected = WithLine(expected, "ScreenshotName = \"Shots/Img_%03D.BMP\";",
                      "ScreenshotName = \"Shots/Img_%03d.bmp\";");
  expected += "TextureLevel = 2;\r\n";  // a missing top-level line lands at the end
  EXPECT_EQ(test::ReadBytes(file), expected);
  ExpectLuaReads(file);
}

TEST_F(GraphicsPageTest, ResolutionTextsBecomeWidthAndHeightOrFailTheApply) {
  struct Case {
    const char* typed;
    const char* written;  // nullptr: the apply fails
  };
  const Case cases[] = {{"1024 x 768", "{1024, 768}"}, {"1024", "{1024, 1024}"},
                        {"800x600", "{800, 600}"},     {"", nullptr},
                        {"wide x 600", nullptr},       {"1024 x", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    test::TempFolder folder;
    const fs::path target = folder.Path() / "graphics.cfg";
    Combo("ComboBoxGameResolution")->setEditText(c.typed);
    dialogs.ClearRecorded();
    window->Configuration().ApplyGraphicsSettings(target);
    if (c.written) {
      EXPECT_EQ(test::ReadBytes(target), ReplaceAll(sample, "{1024, 768}", c.written));
      EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
    } else {
      EXPECT_FALSE(fs::exists(target));
      ASSERT_EQ(dialogs.Recorded().size(), 1u);
      EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
      EXPECT_TRUE(dialogs.Recorded()[0].text.endsWith("- " + window->LookupMessage("InvalidResolution")))
          << dialogs.Recorded()[0].text.toStdString();
    }
  }
}

TEST_F(GraphicsPageTest, AspectCheckComparesWithoutChangingTheSelection) {
  test::TempFolder folder;
  const fs::path file =
      folder.Write("graphics.cfg", ReplaceAll(sample, "aspect = 1.333333373;", "aspect = 1.25;"));
  Combo("ComboBoxGameAspect")->setCurrentIndex(2);
  EXPECT_TRUE(window->Configuration().LoadGraphicsSettings(file, true));
  EXPECT_EQ(Combo("ComboBoxGameAspect")->currentIndex(), 2);
  Combo("ComboBoxGameAspect")->setCurrentIndex(1);
  EXPECT_FALSE(window->Configuration().LoadGraphicsSettings(file, true));
  EXPECT_FALSE(window->Configuration().LoadGraphicsSettings(file, false));
  EXPECT_EQ(Combo("ComboBoxGameAspect")->currentIndex(), 1);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GraphicsPageTest, ProfilesAreAddedEditedRemovedAndWrittenOnTheirOwnBlocks) {
  dialogs.QueueText("Night");
  Click("SpeedButtonAddOpti");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), "Night");
  EXPECT_EQ(Combo("ComboBoxOptimization2")->currentText(), "Night");
  EXPECT_TRUE(Find<QToolButton>("SpeedButtonRemoveOptiBis")->isEnabled());
  EXPECT_EQ(Find("SliderLod")->Position(), 10);  // Medium's values
  Find("SliderLod")->SetPosition(12);
  dialogs.QueueText("Night");
  Click("SpeedButtonAddOptiBis");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), "Night_1");
  EXPECT_EQ(Find("SliderLod")->Position(), 12);  // a copy of the shown Night
  Choose("ComboBoxOptimization2", "High");
  dialogs.QueueText("Hi");
  Click("SpeedButtonAddOpti");
  Find("SliderTreesDensity")->SetPosition(2);
  window->Configuration().dxButtonApplyClick();
  ASSERT_TRUE(dialogs.Recorded().size() == 3u) << Recorded();  // the three name inputs

  const std::string written = test::ReadBytes(GraphicsFile());
  EXPECT_NE(written.find("\tcurrent = \"Hi\";\r\n"), std::string::npos);
  const std::string hiBlock =
      "\tHi\r\n\t{\r\n\t\tnear_clip = 0.2;\r\n\t\tmiddle_clip = 4.0;\r\n\t\tfar_clip = 80000;\r\n"
      "\t\tstructures = {200, 10000};\r\n\t\ttrees = {10000, 20000};\r\n\t\tdynamic = {300, 20000};\r\n"
      "\t\tobjects = {5000, 80000};\r\n\t\tmirage = {5000, 20000};\r\n\t\tsurface = {20000, 80000};\r\n"
      "\t\tlights = {200, 80000};\r\n\t\tlod = 1.5;\r\n\t}\r\n}\r\n]==]";
  EXPECT_NE(written.find(hiBlock), std::string::npos) << written;
  EXPECT_NE(written.find("\tNight_1\r\n\t{\r\n"), std::string::npos);
  EXPECT_NE(written.find("\t\tstructures = {200, 10000};\r\n\t\ttrees = {200000, 20000};"), std::string::npos)
      << "High keeps its own values";
  ExpectLuaReads(GraphicsFile());

  // Removing Hi deletes its block only; the stock profiles cannot be removed.
  Choose("ComboBoxOptimization1", "Hi");
  Click("SpeedButtonRemoveOpti");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), "Medium");
  EXPECT_EQ(Combo("ComboBoxOptimization2")->findText("Hi"), -1);
  Click("SpeedButtonRemoveOpti");
  EXPECT_NE(Combo("ComboBoxOptimization1")->findText("Medium"), -1);
  window->Configuration().dxButtonApplyClick();
  const std::string removed = test::ReadBytes(GraphicsFile());
  EXPECT_EQ(removed.find("\tHi\r\n"), std::string::npos);
  EXPECT_NE(removed.find("\tHigh\r\n"), std::string::npos);
  EXPECT_NE(removed.find("\tcurrent = \"Medium\";\r\n"), std::string::npos);
  ExpectLuaReads(GraphicsFile());
}

TEST_F(GraphicsPageTest, LowHidesTheMiddlePlaneAndACancelledNameAddsNothing) {
  Choose("ComboBoxOptimization1", "Low");
  EXPECT_TRUE(Find("SliderMiddleClip")->isHidden());
  dialogs.QueueCancel();
  Click("SpeedButtonAddOpti");
  dialogs.QueueText("  ");
  Click("SpeedButtonAddOpti");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->count(), 3);
  dialogs.QueueText("Dusk");
  Click("SpeedButtonAddOpti");
  EXPECT_FALSE(Find("SliderMiddleClip")->isHidden());
  // A copy of Low gets a middle plane, stored as its slider shows it.
  EXPECT_EQ(window->GameFiles().Get<GraphicsDocument>().optis.back().MiddleClip, "4.0");
}

TEST_F(GraphicsPageTest, LoadFailuresAskForTheDefaultCopyWithTheGraphicsTitle) {
  struct Case {
    const char* name;
    std::string from, to;
    const char* failureText;
    const char* picture = nullptr;  // moved out of the images folder while loading
  };
  const Case cases[] = {
      {"fraction", "TextureLevel = 2;", "TextureLevel = 1.5;",
       "'1.5' is not a valid integer value for TextureLevel"},
      {"no profile", "", "", ""},
      {"bad profile value", "\t\tlod = 1.0;", "\t\tlod = much;", "Please contact the developper!"},
      {"missing picture", "TextureLevel = 2;", "TextureLevel = 1;", "texturelevel_1.jpg",
       "texturelevel_1.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    std::string text = sample;
    if (c.name == std::string("no profile")) {
      // Only the "current" line stays inside the Camera block.
      text = text.substr(0, text.find("\tLow\r\n")) + "}\r\n]==]\r\n";
    } else {
      text = WithLine(text, c.from, c.to);
    }
    const fs::path file = folder.Write("graphics.cfg", text);
    if (c.picture) fs::rename(install.Folder().Images() / c.picture, folder / c.picture);
    Find("SpecialSliderTextureLevel")->SetPosition(0);
    dialogs.ClearRecorded();
    dialogs.QueueYes();
    window->Configuration().LoadGraphicsSettings(file, false);
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    const QString question = dialogs.Recorded()[0].text;
    EXPECT_TRUE(question.startsWith("GraphicsSettings\r\n----------------------\r\n" +
                                    window->LookupMessage("Loading") + "\r\n" +
                                    QString::fromStdString(file.string()) + "\r\n"))
        << question.toStdString();
    const QString failure =
        c.failureText[0] ? QString(c.failureText) : window->LookupMessage("VisibilityRange");
    EXPECT_TRUE(question.contains(failure)) << question.toStdString();
    EXPECT_EQ(*window->GameFiles().RememberedPath("Graphics"), install.Folder().Defaults() / "Graphics.cfg");
    EXPECT_EQ(Find("SpecialSliderTextureLevel")->Position(), 2);  // the default copy's value
    if (c.picture) fs::rename(folder / c.picture, install.Folder().Images() / c.picture);
  }
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// Text from the file shows in the game's code page, and typed text reaches the file in it, never as '?'.
TEST_F(GraphicsPageTest, GameTextTravelsInTheGamesCodePage) {
  struct Case {
    int codePage;
    std::string nameBytes;
    QString shownName;
    QString typedProfile;
    std::string profileBytes;
  };
  const Case cases[] = {
      {1251, "\xD1\xED\xE8\xEC\xEE\xEA_", QString::fromUtf8("Снимок_"), QString::fromUtf8("Ночь"),
       "\xCD\xEE\xF7\xFC"},
      {1252, "Cl\xE9_", QString::fromUtf8("Clé_"), QString::fromUtf8("Été"), "\xC9t\xE9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    const ScopedGameCodePage codePage(c.codePage);
    test::TempFolder folder;
    const fs::path file = folder.Write(
        "graphics.cfg", WithLine(sample, "ScreenshotName = \"ScreenShots/ScreenShot_%03d.jpg\";",
                                 "ScreenshotName = \"ScreenShots/" + c.nameBytes + "%03d.jpg\";"));
    window->Configuration().LoadGraphicsSettings(file, false);
    EXPECT_EQ(Find<QLineEdit>("EditScreenShotName")->text(), "ScreenShots/" + c.shownName);
    dialogs.QueueText(c.typedProfile);
    Click("SpeedButtonAddOpti");
    EXPECT_EQ(Combo("ComboBoxOptimization1")->currentText(), c.typedProfile);
    dialogs.ClearRecorded();  // the input box
    window->Configuration().ApplyGraphicsSettings(file);
    ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
    const std::string written = test::ReadBytes(file);
    EXPECT_NE(written.find("ScreenshotName = \"ScreenShots/" + c.nameBytes + "%03d.jpg\";\r\n"),
              std::string::npos);
    EXPECT_NE(written.find("\tcurrent = \"" + c.profileBytes + "\";\r\n"), std::string::npos);
    EXPECT_NE(written.find("\t" + c.profileBytes + "\r\n\t{\r\n"), std::string::npos);
  }

  // What the page cannot store is refused instead of being written as '?'.
  const ScopedGameCodePage western(1252);
  QLineEdit* name = Find<QLineEdit>("EditScreenShotName");
  const QString before = name->text();
  QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("Ж"));
  QApplication::sendEvent(name, &typed);
  EXPECT_EQ(name->text(), before);
  const int profiles = Combo("ComboBoxOptimization1")->count();
  dialogs.ClearRecorded();
  dialogs.QueueText(QString::fromUtf8("Жара"));
  Click("SpeedButtonAddOpti");
  EXPECT_EQ(Combo("ComboBoxOptimization1")->count(), profiles);
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << Recorded();  // the input box, then the refusal
  EXPECT_TRUE(dialogs.Recorded()[1].text.startsWith(window->LookupMessage("GameTextNotInCodePage")));
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// A size the display does not list is offered as the file has it, so an Apply that changed nothing
// neither fails nor turns it into another size.
TEST_F(GraphicsPageTest, SizesTheDisplayDoesNotListAreOfferedAndKept) {
  test::TempFolder folder;
  std::string text = ReplaceAll(sample, "resolution = {1024, 768};", "resolution = {1366, 700};");
  text = WithLine(text, "\t\tresolution = {640, 480};", "\t\tresolution = {320, 240};");
  const fs::path file = folder.Write("graphics.cfg", text);
  window->Configuration().LoadGraphicsSettings(file, false);
  EXPECT_EQ(Combo("ComboBoxGameResolution")->currentText(), "1366x700");
  EXPECT_EQ(Combo("ComboBoxMovieResolution")->currentText(), "320x240");
  EXPECT_GT(Combo("ComboBoxMovieResolution")->count(), 1);  // the display's sizes stay offered
  window->Configuration().ApplyGraphicsSettings(file);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  EXPECT_EQ(test::ReadBytes(file), text);
}

}  // namespace
}  // namespace kesta
