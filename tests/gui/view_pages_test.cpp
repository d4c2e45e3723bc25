// The view pages on the real window over a copy of the sample game: each aircraft's records of view.lua
// and snapviews.lua in the controls, what showing one does to odd values and to the modified state, the
// report of a value that cannot be shown, the stored aircraft, the user's edits and Apply writing them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "documents/view_documents.h"
#include "pages/multiplayer/f4_view_window.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
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

constexpr char kView[] = "Config/view/view.lua";
constexpr char kSnapView[] = "Config/view/snapviews.lua";

// Replaces the value of the line "name = ..." in the file; with no value, removes the line.
void SetLine(const fs::path& file, const std::string& name, const std::optional<std::string>& value) {
  std::string text = test::ReadBytes(file);
  const size_t start = text.find(name + " = ");
  ASSERT_NE(start, std::string::npos) << name;
  const size_t end = text.find('\n', start);
  ASSERT_NE(end, std::string::npos) << name;
  const size_t valueEnd = text[end - 1] == '\r' ? end - 1 : end;
  if (value)
    text.replace(start, valueEnd - start, name + " = " + *value);
  else
    text.erase(start, end + 1 - start);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

std::string LimitsLine(size_t p) {
  return "CameraViewAngleLimits[" + std::string(kViewAircraft[p].planeIndex) + "]";
}
std::string HudColorLine(size_t p) { return "HUDColor[" + std::string(kViewAircraft[p].planeIndex) + "]"; }
std::string SnapLine(size_t p, const char* angle) {
  return "Snap[" + std::to_string(p + 1) + "][13][\"" + angle + "\"]";
}

// The full line as written, followed by the end of the line (no ";", no other value).
bool HasLine(const std::string& text, const std::string& line) {
  for (const char* end : {"\r\n", "\n"})
    if (text.find(line + end) != std::string::npos) return true;
  return false;
}

struct Shown {
  QString aircraft;
  int min;
  int max;
  QString trackIR;
  QColor color;
  int viewAngle;
  int vAngle;
  int hAngle;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* out) {
  *out << "{" << s.aircraft.toStdString() << ", " << s.min << ", " << s.max << ", TrackIR "
       << s.trackIR.toStdString() << ", " << s.color.name().toStdString() << ", " << s.viewAngle << ", "
       << s.vAngle << ", " << s.hAngle << "}";
}

class ViewPagesTest : public test::PageTest {
 protected:
  template <typename T = TSpecialSlider>
  T* Control(const char* name) const {
    T* control = window->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  TSpecialSlider* Slider(const char* name) const { return Control(name); }
  QComboBox* Aircraft() const { return Control<QComboBox>("ComboBoxAircraft"); }
  // The colour as painted on the screen, not as the widget was told.
  QColor PanelColor() const {
    QFrame* panel = Control<QFrame>("PanelColor");
    const QImage image = panel->grab().toImage();
    return image.pixelColor(image.rect().center());
  }
  Shown Showing() const {
    return {Aircraft()->currentText(),
            Slider("SpecialSliderViewAngleMin")->Position(),
            Slider("SpecialSliderViewAngleMax")->Position(),
            Control<QLabel>("LabelTrackIR")->text(),
            PanelColor(),
            Slider("SpecialSliderViewAngleDefault")->Position(),
            Slider("SpecialSliderVAngle")->Position(),
            Slider("SpecialSliderHAngle")->Position()};
  }
  void Select(const char* entry) const { Aircraft()->setCurrentIndex(AircraftPosition(entry)); }

  ViewDocument& View() const { return window->GameFiles().Get<ViewDocument>(); }
  SnapViewDocument& SnapView() const { return window->GameFiles().Get<SnapViewDocument>(); }
  ViewDocument::Limits& Limits(const char* entry) const {
    return View().views[static_cast<size_t>(AircraftPosition(entry))];
  }
  SnapViewDocument::DefaultView& DefaultView(const char* entry) const {
    return SnapView().views[static_cast<size_t>(AircraftPosition(entry))];
  }

  // As the settings file holds it; "¤¤¤¤¤" while the key is missing.
  std::string PreferredAircraft() const {
    return ReadIniValue(install.SettingsFile(), "Config", "PreferedAircraft");
  }
  void SetPreferredAircraft(const std::string& entry) const {
    WriteIniValueOrFail(install.SettingsFile(), "Config", "PreferedAircraft", entry);
  }

  // Loads the game's file again, as Cancel or a load of a saved configuration would.
  void Load(const char* catalogKey, const char* file) const {
    ASSERT_TRUE(window->GameFiles().Load(catalogKey, install.Game(file))) << Recorded();
  }
  void Edit(const char* file, const std::string& name, const std::optional<std::string>& value) const {
    SetLine(install.Game(file), name, value);
  }
  void Apply() const {
    window->EnableApplyCancel(true, true);
    window->Configuration().dxButtonApplyClick();
    EXPECT_FALSE(window->Configuration().ApplyEnabled()) << Recorded();
  }
  std::string Written(const char* file) const { return test::ReadBytes(install.Game(file)); }
};

TEST_F(ViewPagesTest, SampleFilesShowTheStoredAircraftAndTheMouseSwitches) {
  // The page was first built after start-up loaded both files: the default aircraft is shown.
  EXPECT_EQ(Showing(), (Shown{"Su-27", 20, 140, "80", QColor(0, 255, 0), 75, -9, 0}));
  EXPECT_EQ(PreferredAircraft(), "Su-27");
  ASSERT_EQ(Aircraft()->count(), 8);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(Aircraft()->itemText(i).toStdString(), kViewAircraft[static_cast<size_t>(i)].entry);
  EXPECT_FALSE(Aircraft()->isEditable());
  EXPECT_TRUE(Control<QCheckBox>("CheckboxCockpitMouse")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>("CheckboxExternalMouse")->isChecked());
  // The snap view's -9.5 is held as the whole number the page shows.
  EXPECT_EQ(DefaultView("Su-27").vAngle, "-9");
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ViewPagesTest, EachAircraftShowsItsOwnRecordsAndIsStoredAsTheOneShownLast) {
  // Different values for every aircraft and field, so that a record shown for another one shows.
  // The limits' sums are odd: every mean is a half, which goes to the even neighbour.
  for (size_t p = 0; p < kViewAircraft.size(); ++p) {
    const int n = static_cast<int>(p);
    Edit(kView, LimitsLine(p),
         "{" + std::to_string(11 + n) + ".000000, " + std::to_string(120 + n) + ".000000}");
    Edit(
        kView, HudColorLine(p),
        "{" + std::to_string(10 + n) + ", " + std::to_string(100 + n) + ", " + std::to_string(200 + n) + "}");
    Edit(kSnapView, SnapLine(p, "viewAngle"), std::to_string(60 + n) + ".000000");
    Edit(kSnapView, SnapLine(p, "vAngle"), std::to_string(-1 - n) + ".000000");
    Edit(kSnapView, SnapLine(p, "hAngle"), std::to_string(1 + n) + ".000000");
  }
  Load("View", kView);
  Load("SnapView", kSnapView);
  const Shown expected[] = {
      {"Su-27", 11, 120, "66", QColor(10, 100, 200), 60, -1, 1},
      {"Su-33", 12, 121, "66", QColor(11, 101, 201), 61, -2, 2},
      {"Su-25", 13, 122, "68", QColor(12, 102, 202), 62, -3, 3},
      {"Su-25T", 14, 123, "68", QColor(13, 103, 203), 63, -4, 4},
      {"MiG-29", 15, 124, "70", QColor(14, 104, 204), 64, -5, 5},
      {"MiG-29K", 16, 125, "70", QColor(15, 105, 205), 65, -6, 6},
      {"A-10A", 17, 126, "72", QColor(16, 106, 206), 66, -7, 7},
      {"F-15C", 18, 127, "72", QColor(17, 107, 207), 67, -8, 8},
  };
  EXPECT_EQ(Showing(), expected[0]);  // the loads showed the stored aircraft again
  // Backwards, so that every slider moves at every choice.
  for (auto it = std::rbegin(expected); it != std::rend(expected); ++it) {
    SCOPED_TRACE(it->aircraft.toStdString());
    window->EnableApplyCancel(false, false);
    Aircraft()->setCurrentIndex(AircraftPosition(it->aircraft.toStdString()));
    EXPECT_EQ(Showing(), *it);
    EXPECT_EQ(PreferredAircraft(), it->aircraft.toStdString());
    EXPECT_FALSE(window->Configuration().ApplyEnabled());
    EXPECT_FALSE(window->Configuration().CancelEnabled());
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ViewPagesTest, OutOfRangeValuesShowAtTheNearestBoundAndAreWrittenSo) {
  // The sliders stand at the bounds already when F-15C is chosen after Su-33: no slider moves, and
  // the records must still take the values shown.
  Edit(kView, LimitsLine(1), "{0.000000, 250.000000}");
  Edit(kSnapView, SnapLine(1, "viewAngle"), "180.000000");
  Edit(kSnapView, SnapLine(1, "vAngle"), "-40.000000");
  Edit(kSnapView, SnapLine(1, "hAngle"), "40.000000");
  Edit(kView, LimitsLine(7), "{-5.000000, 300.000000}");
  Edit(kSnapView, SnapLine(7, "viewAngle"), "200.000000");
  Edit(kSnapView, SnapLine(7, "vAngle"), "-90.000000");
  Edit(kSnapView, SnapLine(7, "hAngle"), "55.000000");
  Load("View", kView);
  Load("SnapView", kSnapView);
  // Not shown yet, and already held as the sliders will show them: an Apply writes the same whichever
  // aircraft was shown.
  EXPECT_EQ(Limits("F-15C").viewAngleMax, "250");

  Select("Su-33");
  Select("F-15C");
  EXPECT_EQ(Showing(), (Shown{"F-15C", 0, 250, "125", QColor(0, 255, 128), 180, -40, 40}));
  EXPECT_EQ(Limits("F-15C").viewAngleMin, "0");
  EXPECT_EQ(Limits("F-15C").viewAngleMax, "250");
  EXPECT_EQ(DefaultView("F-15C").viewAngle, "180");
  EXPECT_EQ(DefaultView("F-15C").vAngle, "-40");
  EXPECT_EQ(DefaultView("F-15C").hAngle, "40");
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_FALSE(window->Configuration().CancelEnabled());

  Apply();
  EXPECT_TRUE(HasLine(Written(kView), "CameraViewAngleLimits[PlaneIndex.iF_15] = {0.0, 250.0}"))
      << Written(kView);
  const std::string snap = Written(kSnapView);
  EXPECT_TRUE(HasLine(snap, SnapLine(7, "viewAngle") + " = 180")) << snap;
  EXPECT_TRUE(HasLine(snap, SnapLine(7, "vAngle") + " = -40")) << snap;
  EXPECT_TRUE(HasLine(snap, SnapLine(7, "hAngle") + " = 40")) << snap;
  ExpectLuaReads(install.Game(kView));
  ExpectLuaReads(install.Game(kSnapView));
}

TEST_F(ViewPagesTest, FileValuesAreShownAsWholeNumbersAndWrittenSo) {
  struct Case {
    const char* file;
    std::string line;
    std::string value;
    const char* aircraft;
    std::function<int()> shown;
    int expected;
    std::string written;
  };
  const auto position = [this](const char* slider) {
    return [this, slider] { return Slider(slider)->Position(); };
  };
  const Case cases[] = {
      {kView, "CameraViewAngleLimits[PlaneIndex.iSu_39]", "{20.000000, 140.000000}", "Su-25T",
       position("SpecialSliderViewAngleMax"), 140,
       "CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.0, 140.0}"},
      {kView, "CameraViewAngleLimits[PlaneIndex.iSu_39]", "{20.000000, 140.000000}", "Su-25T",
       position("SpecialSliderViewAngleMin"), 20, "CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.0, 140.0}"},
      {kSnapView, SnapLine(2, "viewAngle"), "75.500000", "Su-25", position("SpecialSliderViewAngleDefault"),
       75, SnapLine(2, "viewAngle") + " = 75"},
      {kSnapView, SnapLine(2, "vAngle"), "-9.500000", "Su-25", position("SpecialSliderVAngle"), -9,
       SnapLine(2, "vAngle") + " = -9"},
      {kSnapView, SnapLine(2, "hAngle"), "12.999", "Su-25", position("SpecialSliderHAngle"), 12,
       SnapLine(2, "hAngle") + " = 12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    Edit(c.file, c.line, c.value);
    Load(c.file == kView ? "View" : "SnapView", c.file);
    Select(c.aircraft);
    EXPECT_EQ(c.shown(), c.expected);
    Apply();
    EXPECT_TRUE(HasLine(Written(c.file), c.written)) << Written(c.file);
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ViewPagesTest, AValueThatIsNoWholeNumberIsReportedAndTheRestIsNotShown) {
  struct Case {
    const char* name;
    const char* file;
    std::string line;
    std::optional<std::string> value;  // none: the line is missing
    std::string failure;
    std::string note;
    int viewAngleDefault;  // Su-25's 80 while the failure came before that step
  };
  const Case cases[] = {
      {"colour with decimals", kView, HudColorLine(0), "{0.0, 255.0, 0.0}",
       "'0.0' is not a valid integer value", "ViewAngleMax: 140", 80},
      {"missing limits", kView, LimitsLine(0), std::nullopt, "'' is not a valid integer value",
       "ViewAngleMin: ", 80},
      {"vertical angle", kSnapView, SnapLine(0, "vAngle"), "up", "'up' is not a valid integer value",
       "ViewVAngle: up", 75},
  };
  const std::string view = test::ReadBytes(install.Game(kView));
  const std::string snap = test::ReadBytes(install.Game(kSnapView));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(install.Game(kView), std::ios::binary | std::ios::trunc) << view;
    std::ofstream(install.Game(kSnapView), std::ios::binary | std::ios::trunc) << snap;
    Edit(c.file, c.line, c.value);
    Select("Su-25");
    Load("View", kView);
    Load("SnapView", kSnapView);
    ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();
    window->EnableApplyCancel(false, false);

    Select("Su-27");
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    const test::RecordedDialog& report = dialogs.Recorded()[0];
    EXPECT_EQ(report.kind, "Error");
    EXPECT_EQ(report.buttons, MessageButtons::Ok);
    EXPECT_EQ(report.text.toStdString(),
              "Loading Su-27 View-SnapViews Settings\r\n----------------------\r\n" + c.failure +
                  "\r\n----------------------\r\n" + c.note +
                  "\r\n----------------------\r\nPlease contact the developper!");
    EXPECT_EQ(Slider("SpecialSliderViewAngleDefault")->Position(), c.viewAngleDefault);
    EXPECT_EQ(PreferredAircraft(), "Su-25");
    EXPECT_FALSE(window->Configuration().ApplyEnabled());
    // Showing is over: the user's next move is a change again.
    Slider("SpecialSliderHAngle")->UpArrow()->click();
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    dialogs.ClearRecorded();

    // A load that shows the stored aircraft reports it the same way.
    SetPreferredAircraft("Su-27");
    window->GameFiles().Load("View", install.Game(kView));
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].text, report.text);
    dialogs.ClearRecorded();
  }
}

TEST_F(ViewPagesTest, StoredAircraftIsFoundInAnyLetterCaseWhenTheFilesAreLoaded) {
  struct Case {
    const char* stored;
    Shown expected;
  };
  const Case cases[] = {
      {"mig-29", {"MiG-29", 20, 140, "80", QColor(0, 255, 64), 75, -9, 0}},
      {"SU-25T", {"Su-25T", 20, 120, "70", QColor(255, 200, 0), 80, -12, 0}},
      {"a-10a", {"A-10A", 20, 130, "75", QColor(0, 255, 128), 70, -8, 0}},
      // Nothing stored, or a name of no aircraft in the list: the setting's default.
      {"", {"Su-27", 20, 140, "80", QColor(0, 255, 0), 75, -9, 0}},
      {"Tornado", {"Su-27", 20, 140, "80", QColor(0, 255, 0), 75, -9, 0}},
  };
  for (const char* file : {"View", "SnapView"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(file) + " " + c.stored);
      Select("F-15C");
      SetPreferredAircraft(c.stored);
      Load(file, file == std::string("View") ? kView : kSnapView);
      EXPECT_EQ(Showing(), c.expected);
      // Stored as the list writes it.
      EXPECT_EQ(PreferredAircraft(), c.expected.aircraft.toStdString());
      EXPECT_FALSE(window->Configuration().ApplyEnabled());
    }
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ViewPagesTest, UserMovesOfTheSlidersGoIntoTheShownAircraftsRecords) {
  struct Case {
    const char* slider;
    std::function<std::string()> field;
    std::string expected;
  };
  const Case cases[] = {
      {"SpecialSliderViewAngleMin", [this] { return Limits("Su-25").viewAngleMin; }, "21"},
      {"SpecialSliderViewAngleMax", [this] { return Limits("Su-25").viewAngleMax; }, "121"},
      {"SpecialSliderViewAngleDefault", [this] { return DefaultView("Su-25").viewAngle; }, "81"},
      {"SpecialSliderVAngle", [this] { return DefaultView("Su-25").vAngle; }, "-11"},
      {"SpecialSliderHAngle", [this] { return DefaultView("Su-25").hAngle; }, "1"},
  };
  Select("Su-25");
  const ViewDocument view = View();
  const SnapViewDocument snap = SnapView();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slider);
    window->EnableApplyCancel(false, false);
    Slider(c.slider)->UpArrow()->click();
    EXPECT_EQ(c.field(), c.expected);
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
    EXPECT_TRUE(window->Configuration().CancelEnabled());
  }
  // Only the shown aircraft's records changed.
  for (const char* other : {"Su-27", "Su-25T", "F-15C"}) {
    EXPECT_EQ(Limits(other), view.views[static_cast<size_t>(AircraftPosition(other))]) << other;
    EXPECT_EQ(DefaultView(other), snap.views[static_cast<size_t>(AircraftPosition(other))]) << other;
  }
  EXPECT_EQ(Control<QLabel>("LabelTrackIR")->text(), "71");  // 21 and 121

  Apply();
  EXPECT_TRUE(HasLine(Written(kView), "CameraViewAngleLimits[PlaneIndex.iSu_25] = {21.0, 121.0}"));
  EXPECT_TRUE(HasLine(Written(kSnapView), SnapLine(2, "viewAngle") + " = 81"));
  EXPECT_TRUE(HasLine(Written(kSnapView), SnapLine(2, "vAngle") + " = -11"));
  EXPECT_TRUE(HasLine(Written(kSnapView), SnapLine(2, "hAngle") + " = 1"));
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(ViewPagesTest, TrackIRAngleIsTheMeanOfTheLimitsWithHalvesToEven) {
  struct Case {
    int min;
    int max;
    const char* expected;
  };
  const Case cases[] = {
      {20, 140, "80"}, {20, 141, "80"},   {21, 142, "82"}, {0, 1, "0"}, {0, 3, "2"},
      {0, 0, "0"},     {180, 250, "215"}, {180, 0, "90"},  // the limits are not compared with each other
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.min) + " and " + std::to_string(c.max));
    Slider("SpecialSliderViewAngleMin")->SetPosition(c.min);
    Slider("SpecialSliderViewAngleMax")->SetPosition(c.max);
    EXPECT_EQ(Control<QLabel>("LabelTrackIR")->text(), c.expected);
    EXPECT_EQ(Limits("Su-27").viewAngleMin, std::to_string(c.min));
    EXPECT_EQ(Limits("Su-27").viewAngleMax, std::to_string(c.max));
  }
}

TEST_F(ViewPagesTest, ColourDialogStartsOnTheHudColourAndAConfirmedColourIsAChange) {
  struct Case {
    const char* name;
    std::optional<QColor> answer;
    QColor shown;
    bool modified;
  };
  const Case cases[] = {
      {"another colour", QColor(12, 34, 56), QColor(12, 34, 56), true},
      {"the same colour", QColor(255, 200, 0), QColor(255, 200, 0), true},
      {"cancelled", std::nullopt, QColor(255, 200, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load("View", kView);  // Su-25's colour from the file again
    Select("Su-25");
    window->EnableApplyCancel(false, false);
    dialogs.ClearRecorded();
    dialogs.Queue(c.answer);
    Control<QPushButton>("ButtonColorChange")->click();
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Color");
    EXPECT_EQ(dialogs.Recorded()[0].text, "#ffc800");
    EXPECT_EQ(PanelColor(), c.shown);
    const ViewDocument::Limits& su25 = Limits("Su-25");
    EXPECT_EQ(su25.hudColorR + "," + su25.hudColorG + "," + su25.hudColorB,
              std::to_string(c.shown.red()) + "," + std::to_string(c.shown.green()) + "," +
                  std::to_string(c.shown.blue()));
    EXPECT_EQ(window->Configuration().ApplyEnabled(), c.modified);
    EXPECT_EQ(window->Configuration().CancelEnabled(), c.modified);
  }

  dialogs.Queue(QColor(12, 34, 56));
  Control<QPushButton>("ButtonColorChange")->click();
  Apply();
  EXPECT_TRUE(HasLine(Written(kView), "HUDColor[PlaneIndex.iSu_25] = {12, 34, 56}")) << Written(kView);
  // Su-25T had the same colour: its line is its own.
  EXPECT_TRUE(HasLine(Written(kView), "HUDColor[PlaneIndex.iSu_39] = {255, 200, 0}")) << Written(kView);
}

TEST_F(ViewPagesTest, MouseSwitchesShowAndWriteTheirOwnLines) {
  Edit(kView, "CockpitMouse", "false");
  Load("View", kView);
  auto* cockpit = Control<QCheckBox>("CheckboxCockpitMouse");
  auto* external = Control<QCheckBox>("CheckboxExternalMouse");
  EXPECT_FALSE(cockpit->isChecked());
  EXPECT_TRUE(external->isChecked());
  EXPECT_FALSE(window->Configuration().ApplyEnabled());

  struct Case {
    QCheckBox* box;
    bool cockpitMouse;
    bool externalMouse;
  };
  const Case cases[] = {{cockpit, true, true}, {external, true, false}, {cockpit, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box->objectName().toStdString());
    window->EnableApplyCancel(false, false);
    c.box->click();
    EXPECT_EQ(View().cockpitMouse, c.cockpitMouse);
    EXPECT_EQ(View().externalMouse, c.externalMouse);
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
  }
  external->click();
  Apply();
  EXPECT_TRUE(HasLine(Written(kView), "CockpitMouse = false")) << Written(kView);
  EXPECT_TRUE(HasLine(Written(kView), "ExternalMouse = true")) << Written(kView);
}

TEST_F(ViewPagesTest, RearCameraButtonOpensTheF4Window) {
  // On the cockpit view page only.
  auto* sheet = window->findChild<QWidget*>("TabSheetViewCockpit");
  ASSERT_NE(sheet, nullptr);
  auto* button = sheet->findChild<QPushButton*>("ButtonF4View");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(window->findChildren<QPushButton*>("ButtonF4View").size(), 1);

  bool opened = false;
  // Tied to the window, so that a window that never opened leaves no timer behind for later tests.
  QTimer::singleShot(0, window.get(), [&] {
    auto* f4 = qobject_cast<TFrmF4View*>(QApplication::activeModalWidget());
    opened = f4 != nullptr;
    if (f4) f4->reject();
  });
  button->click();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());  // closed without OK
}

// The page built on its first visit, after start-up loaded the files: it shows the stored aircraft
// then, and only then do its out-of-range values take the bounds.
TEST(ViewCockpitPageFirstVisitTest, ShowsTheStoredAircraftWhenFirstBuilt) {
  test::ProgramInstall install;
  WriteIniValueOrFail(install.SettingsFile(), "Config", "PreferedAircraft", "mig-29");
  SetLine(install.Game(kView), LimitsLine(4), "{20.000000, 300.000000}");
  test::ScriptedDialogs dialogs;
  TFrmKESTA window({install.Folder(), &dialogs, {}});
  window.FormCreate();
  ViewDocument& view = window.GameFiles().Get<ViewDocument>();
  EXPECT_EQ(view.views[4].viewAngleMax, "250");  // as the slider will show it, before the page is built
  EXPECT_EQ(ReadIniValue(install.SettingsFile(), "Config", "PreferedAircraft"), "mig-29");

  window.Pages().ShowPage("TabSheetViewCockpit");
  const auto* aircraft = window.findChild<QComboBox*>("ComboBoxAircraft");
  ASSERT_NE(aircraft, nullptr);
  EXPECT_EQ(aircraft->currentText(), "MiG-29");
  EXPECT_EQ(window.findChild<TSpecialSlider*>("SpecialSliderViewAngleMax")->Position(), 250);
  EXPECT_EQ(view.views[4].viewAngleMax, "250");
  EXPECT_EQ(ReadIniValue(install.SettingsFile(), "Config", "PreferedAircraft"), "MiG-29");
  EXPECT_FALSE(window.Configuration().ApplyEnabled());
  EXPECT_TRUE(dialogs.Recorded().empty());
}

// Before both files were ever loaded no aircraft is selected: the controls change no record.
TEST(ViewCockpitPageFirstVisitTest, WithoutLoadedFilesNothingIsShownOrChanged) {
  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  TFrmKESTA window({install.Folder(), &dialogs, {}});
  window.EnableApplyCancel(false, false);
  window.Pages().ShowPage("TabSheetViewCockpit");
  const auto* aircraft = window.findChild<QComboBox*>("ComboBoxAircraft");
  ASSERT_NE(aircraft, nullptr);
  EXPECT_EQ(aircraft->currentIndex(), -1);
  const ViewDocument view = window.GameFiles().Get<ViewDocument>();
  const SnapViewDocument snap = window.GameFiles().Get<SnapViewDocument>();
  for (const char* name : {"SpecialSliderViewAngleMin", "SpecialSliderViewAngleMax",
                           "SpecialSliderViewAngleDefault", "SpecialSliderVAngle", "SpecialSliderHAngle"})
    window.findChild<TSpecialSlider*>(name)->UpArrow()->click();
  window.findChild<QPushButton*>("ButtonColorChange")->click();  // asks nothing: no answer is queued
  EXPECT_TRUE(window.GameFiles().Get<ViewDocument>() == view);
  EXPECT_TRUE(window.GameFiles().Get<SnapViewDocument>() == snap);
  EXPECT_TRUE(dialogs.Recorded().empty());
  EXPECT_FALSE(window.Configuration().ApplyEnabled());
  EXPECT_EQ(ReadIniValue(install.SettingsFile(), "Config", "PreferedAircraft"), "¤¤¤¤¤");
}

}  // namespace
}  // namespace kesta
