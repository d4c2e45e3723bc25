// The other-settings page (producer.cfg, World.lua) and the smoke colour page (drawinfo.lua) on the real
// window over a copy of the sample game: the files' values in the controls, the user's changes in the
// documents and the files, broken files, and the mission date set to today at start-up.

#include <gtest/gtest.h>

#include <QDate>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "documents/option_documents.h"
#include "engine/game_file.h"
#include "pages/game_options/game_option_pages.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/page_test.h"
#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/jpeg_image.h"
#include "ui/main_window.h"
#include "ui/page_area.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

std::string Lookup(std::string_view key) { return std::string(key); }

// The colours of the sample drawinfo.lua in the pages' order, US pods first.
const std::array<QColor, 12> kSampleColors = {
    QColor(255, 20, 20), QColor(20, 200, 20),   QColor(20, 40, 255), QColor(255, 255, 255),
    QColor(255, 230, 0), QColor(255, 128, 0),   QColor(255, 20, 20), QColor(20, 200, 20),
    QColor(20, 40, 255), QColor(255, 255, 255), QColor(255, 230, 0), QColor(255, 128, 0)};

// drawinfo.lua with one block for each of the twelve pods, each of them 100,100,100 except `pod`, whose
// block holds `colourLines` (CR LF line breaks, as the game ships its files).
std::string Drawinfo(size_t pod, const std::string& colourLines) {
  std::string text = "Smokes = {}\r\ndo\r\n";
  for (size_t i = 0; i < kSmokePods.size(); ++i) {
    text += "\t" + std::string(kSmokePods[i].anchor) + " =\r\n\t{\r\n";
    text += i == pod ? colourLines : "\t\tr = 100,\r\n\t\tg = 100,\r\n\t\tb = 100,\r\n";
    text += "\t\ta = 200,\r\n\t}\r\n";
  }
  return text + "end\r\n";
}

std::string WorldLua(const std::string& dateLine) {
  return "-- Date and start time of the missions\r\n\r\n" + dateLine + "\r\nMissionStartTime = 28800\r\n";
}

class GameOptionPagesTest : public test::PageTest {
 protected:
  QDateEdit* Picker() const { return Control<QDateEdit>("DateTimePicker"); }
  QList<QRadioButton*> FfbItems() const {
    return Control<QWidget>("RadioGroupFFB")->findChildren<QRadioButton*>("RadioGroupFFBItem");
  }
  // 0 "Yes", 1 "No", -1 neither.
  int FfbShown() const {
    const QList<QRadioButton*> items = FfbItems();
    return items[0]->isChecked() ? 0 : items[1]->isChecked() ? 1 : -1;
  }
  QColor Panel(size_t pod) const {
    return Control<QFrame>(QString::fromUtf8(kSmokePods[pod].panel.data()))
        ->palette()
        .color(QPalette::Window);
  }
  std::array<QColor, 12> Panels() const {
    std::array<QColor, 12> colors;
    for (size_t i = 0; i < colors.size(); ++i) colors[i] = Panel(i);
    return colors;
  }
  std::array<QColor, 12> DocumentColors() const {
    std::array<QColor, 12> colors;
    const DrawinfoDocument& drawinfo = window->GameFiles().Get<DrawinfoDocument>();
    for (size_t i = 0; i < colors.size(); ++i)
      colors[i] = QColor(drawinfo.colors[i].red, drawinfo.colors[i].green, drawinfo.colors[i].blue);
    return colors;
  }
  // Answers the colour dialog of the pod's button with `answer` (nothing: Cancel) and clicks it.
  void ChooseColor(size_t pod, std::optional<QColor> answer) {
    dialogs.Queue(answer);
    Control<QPushButton>("Button" + QString::fromUtf8(kSmokePods[pod].panel.data()))->click();
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
  }

  fs::path ProducerFile() const { return install.Game("Config/producer.cfg"); }
  fs::path WorldFile() const { return install.Game("Config/World/World.lua"); }
  fs::path DrawinfoFile() const { return install.Game("Config/weapons/drawinfo.lua"); }
  // Writes the game's file and loads it, as a load from the backup page does.
  void LoadGameFile(std::string_view key, const fs::path& file, const std::string& bytes) {
    test::TempFolder scratch;
    fs::copy_file(scratch.Write("file", bytes), file, fs::copy_options::overwrite_existing);
    window->GameFiles().Load(key, file);
  }
};

TEST_F(GameOptionPagesTest, SampleFilesShowOnBothPages) {
  const QList<QRadioButton*> items = FfbItems();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Yes");
  EXPECT_EQ(items[1]->text(), "No");
  EXPECT_EQ(FfbShown(), 0);
  EXPECT_EQ(Picker()->date(), QDate(2005, 6, 1));
  EXPECT_TRUE(Picker()->calendarPopup());
  // Captions from the language file.
  EXPECT_EQ(Control<QGroupBox>("RadioGroupFFB")->title(), "Force feedback");
  EXPECT_EQ(Control<QGroupBox>("GroupBoxSmokeColorRU")->title(), "Russian smoke pods");
  EXPECT_EQ(Control<QLabel>("LabelPodRUYellow")->text(), "Yellow");
  EXPECT_EQ(Control<QPushButton>("ButtonPodUSWhite")->text(), "Change...");
  EXPECT_EQ(Panels(), kSampleColors);
  // Each group shows its pod's picture from the images folder.
  for (const auto& [label, file] :
       {std::pair{"ImagePodUS", "smokepod_us.jpg"}, {"ImagePodRU", "smokepod_ru.jpg"}}) {
    const QImage shown = Control<QLabel>(label)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, DecodeJpegFile(install.Folder().Images() / file).convertToFormat(QImage::Format_RGB32))
        << label;
  }
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
}

TEST_F(GameOptionPagesTest, ForceFeedbackLineSelectsYesOrNo) {
  struct Case {
    const char* line;
    int shown;  // 0 "Yes", 1 "No"
  };
  // Each case shows the other answer than the one before, so that every load has to change the page.
  const Case cases[] = {
      {"ForceFeedbackEnabled = false;", 1},
      {"-- no such line", 0},
      {"ForceFeedbackEnabled = TRUE;", 1},
      {"ForceFeedbackEnabled = true;", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    LoadGameFile("Producer", ProducerFile(), std::string("JoystickDeadZone = 2;\n") + c.line + "\n");
    EXPECT_EQ(FfbShown(), c.shown);
    EXPECT_FALSE(window->Configuration().ApplyEnabled());  // a load is no change of the user's
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GameOptionPagesTest, ForceFeedbackChoiceReachesTheDocumentAndTheFile) {
  FfbItems()[1]->click();
  EXPECT_FALSE(window->GameFiles().Get<ProducerDocument>().forceFeedback);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(window->Configuration().CancelEnabled());
  window->Configuration().dxButtonApplyClick();
  EXPECT_NE(test::ReadBytes(ProducerFile()).find("\nForceFeedbackEnabled = false;"), std::string::npos);

  window->EnableApplyCancel(false, false);
  FfbItems()[0]->click();
  EXPECT_TRUE(window->GameFiles().Get<ProducerDocument>().forceFeedback);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GameOptionPagesTest, MissionDateInLowerCaseIsShownAndWrittenInTheGamesSpelling) {
  LoadGameFile("World", WorldFile(), WorldLua("MissionDate = { year = 2004, month = 12, day = 31 }"));
  EXPECT_EQ(Picker()->date(), QDate(2004, 12, 31));
  // The year is shown whole, whatever the system's short format does with it.
  EXPECT_TRUE(Picker()->text().contains("2004")) << Picker()->text().toStdString();
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  window->Configuration().dxButtonApplyClick();
  EXPECT_EQ(test::ReadBytes(WorldFile()), WorldLua("MissionDate = { Year = 2004, Month = 12, Day = 31 }"));
  ExpectLuaReads(WorldFile());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GameOptionPagesTest, ImpossibleOrMissingMissionDateFailsTheLoadAndThePageKeepsItsDate) {
  const char* const lines[] = {
      "MissionDate = { Year = 2005, Month = 2, Day = 31 }",
      "MissionDate = { Year = 2005, Month = 7 }",
      "-- no date line",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    dialogs.ClearRecorded();
    dialogs.QueueNo();  // no default copy
    LoadGameFile("World", WorldFile(), WorldLua(line));
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    const test::RecordedDialog& question = dialogs.Recorded()[0];
    EXPECT_EQ(question.kind, "Error");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(question.text.startsWith("WorldSettings\r\n")) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(QString::fromStdString(WorldFile().string())));
    EXPECT_EQ(Picker()->date(), QDate(2005, 6, 1));
    EXPECT_EQ(window->GameFiles().Get<WorldDocument>().missionDate, (MissionDate{2005, 6, 1}));
  }
}

TEST_F(GameOptionPagesTest, DateChosenReachesTheDocumentAndTheFile) {
  window->Pages().ShowPage("TabSheetOther1");
  Picker()->setDate(QDate(2012, 2, 29));
  EXPECT_EQ(window->GameFiles().Get<WorldDocument>().missionDate, (MissionDate{2012, 2, 29}));
  EXPECT_TRUE(window->Configuration().ApplyEnabled());

  // Typed over the year: four digits give that very year, not one of the 1900s.
  window->EnableApplyCancel(false, false);
  Picker()->setFocus();
  Picker()->setSelectedSection(QDateTimeEdit::YearSection);
  QTest::keyClicks(Picker(), "2024");
  EXPECT_EQ(Picker()->date(), QDate(2024, 2, 29));
  EXPECT_EQ(window->GameFiles().Get<WorldDocument>().missionDate, (MissionDate{2024, 2, 29}));
  EXPECT_TRUE(window->Configuration().ApplyEnabled());

  window->Configuration().dxButtonApplyClick();
  EXPECT_NE(test::ReadBytes(WorldFile()).find("MissionDate = { Year = 2024, Month = 2, Day = 29 }"),
            std::string::npos);
  ExpectLuaReads(WorldFile());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST(MissionDateFormatTest, ShortDateOfTheLocaleWithTheYearInFourDigits) {
  struct Case {
    const char* locale;
    const char* format;
  };
  const Case cases[] = {
      {"en_US", "M/d/yyyy"},    // two digits in the locale's own format
      {"de_DE", "dd.MM.yyyy"},  // likewise
      {"fr_FR", "dd/MM/yyyy"},  // four already
      {"C", "d MMM yyyy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(MissionDateFormat(QLocale(c.locale)), c.format);
  }
}

TEST_F(GameOptionPagesTest, PodBlockIsShownAndAnApplyWithoutChangeWritesItInTheGamesLayout) {
  // Written by hand: no tabs, no spaces.
  LoadGameFile("Drawinfo", DrawinfoFile(), Drawinfo(1, "r=20,\r\ng=200,\r\nb=20,\r\n"));
  EXPECT_EQ(Panel(1), QColor(20, 200, 20));  // PodUSGreen, Smokes[87]
  EXPECT_EQ(Panel(0), QColor(100, 100, 100));
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  window->Configuration().dxButtonApplyClick();
  EXPECT_EQ(test::ReadBytes(DrawinfoFile()), Drawinfo(1, "\t\tr = 20,\r\n\t\tg = 200,\r\n\t\tb = 20,\r\n"));
  ExpectLuaReads(DrawinfoFile());
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
}

TEST_F(GameOptionPagesTest, FileWithoutThePodsShowsTheDefaultColourAndApplyLeavesItAlone) {
  const std::string bytes = "-- Colours of the smoke pods\r\nSmokes = {}\r\n";
  LoadGameFile("Drawinfo", DrawinfoFile(), bytes);
  std::array<QColor, 12> fallback;
  fallback.fill(QColor(245, 40, 40));
  EXPECT_EQ(Panels(), fallback);
  EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();

  window->Configuration().dxButtonApplyClick();
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  const QString expectedStart = window->LookupMessage("Applying") + " (DrawinfoSettings)\r\n";
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith(expectedStart)) << Recorded();
  EXPECT_EQ(test::ReadBytes(DrawinfoFile()), bytes);
  EXPECT_EQ(Panels(), fallback);
}

TEST_F(GameOptionPagesTest, ColourThatIsNoNumberFailsTheLoadAndThePanelsKeepTheirColours) {
  dialogs.QueueNo();
  LoadGameFile("Drawinfo", DrawinfoFile(), Drawinfo(4, "\t\tr = 1,\r\n\t\tg = x,\r\n\t\tb = 3,\r\n"));
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith("DrawinfoSettings\r\n")) << Recorded();
  EXPECT_EQ(Panels(), kSampleColors);
  EXPECT_EQ(DocumentColors(), kSampleColors);
}

TEST_F(GameOptionPagesTest, EachChangeButtonOffersItsOwnPanelsColourAndChangesOnlyThatPod) {
  std::array<QColor, 12> expected = kSampleColors;
  for (size_t pod = 0; pod < kSmokePods.size(); ++pod) {
    SCOPED_TRACE(kSmokePods[pod].panel);
    window->EnableApplyCancel(false, false);
    dialogs.ClearRecorded();
    const QColor chosen(static_cast<int>(pod) * 20, 255 - static_cast<int>(pod) * 20, 7);
    ChooseColor(pod, chosen);
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Color");
    EXPECT_EQ(dialogs.Recorded()[0].text, kSampleColors[pod].name());
    expected[pod] = chosen;
    EXPECT_EQ(Panels(), expected);
    EXPECT_EQ(DocumentColors(), expected);
    EXPECT_TRUE(window->Configuration().ApplyEnabled());
  }

  window->Configuration().dxButtonApplyClick();
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  DrawinfoDocument written;
  written.Read(ReadGameFile(DrawinfoFile()), Lookup);
  for (size_t pod = 0; pod < kSmokePods.size(); ++pod)
    EXPECT_EQ(QColor(written.colors[pod].red, written.colors[pod].green, written.colors[pod].blue),
              expected[pod])
        << kSmokePods[pod].panel;
  ExpectLuaReads(DrawinfoFile());
}

TEST_F(GameOptionPagesTest, SameColourConfirmedCountsAsAChangeAndCancelChangesNothing) {
  struct Case {
    const char* name;
    std::optional<QColor> answer;
    bool applyBefore;
    bool applyAfter;
  };
  const Case cases[] = {
      {"same colour confirmed", kSampleColors[9], false, true},
      {"cancelled", std::nullopt, false, false},
      {"cancelled with other changes waiting", std::nullopt, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->EnableApplyCancel(c.applyBefore, c.applyBefore);
    ChooseColor(9, c.answer);  // PodRUWhite
    EXPECT_EQ(window->Configuration().ApplyEnabled(), c.applyAfter);
    EXPECT_EQ(Panels(), kSampleColors);
    EXPECT_EQ(DocumentColors(), kSampleColors);
  }
}

// Start-up with the option to set the missions' date to today, each on an installation of its own.
class MissionDateSynchronisationTest : public testing::Test {
 protected:
  std::unique_ptr<TFrmKESTA> Start(const test::ProgramInstall& install, bool synchronise) {
    WriteIniValueOrFail(install.SettingsFile(), "Config", "SynchronizeDate", synchronise ? "1" : "0");
    auto window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    return window;
  }
  static std::string DateLine(const QDate& date) {
    return QString("MissionDate = { Year = %1, Month = %2, Day = %3 }")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .toStdString();
  }
  // Runs the deferred start-up step; the day it ran on, which a run across midnight makes one of two.
  static QDate RunDeferredStep(TFrmKESTA& window, const fs::path& world) {
    const QDate before = QDate::currentDate();
    window.TimerMinimizeTimer();
    const QDate after = QDate::currentDate();
    return test::ReadBytes(world).find(DateLine(before)) != std::string::npos ? before : after;
  }
  std::string Recorded() const {
    std::string texts;
    for (const auto& dialog : dialogs.Recorded())
      texts += (dialog.kind + ": " + dialog.text + "\n").toStdString();
    return texts;
  }

  test::ScriptedDialogs dialogs;
};

TEST_F(MissionDateSynchronisationTest, DeferredStepWritesTodayIntoWorldLuaWhenTheOptionIsOn) {
  for (const bool synchronise : {false, true}) {
    SCOPED_TRACE(synchronise ? "on" : "off");
    const test::ProgramInstall install;
    auto window = Start(install, synchronise);
    window->Pages().ShowPage("TabSheetOther1");
    const fs::path worldFile = install.Game("Config/World/World.lua");
    const std::string sample = test::ReadBytes(worldFile);
    const std::string drawinfo = test::ReadBytes(install.Game("Config/weapons/drawinfo.lua"));
    ASSERT_NE(sample.find(DateLine(QDate(2005, 6, 1))), std::string::npos);

    const QDate today = RunDeferredStep(*window, worldFile);
    const std::string world = test::ReadBytes(worldFile);
    const QDate shown = window->findChild<QDateEdit*>("DateTimePicker")->date();
    if (synchronise) {
      EXPECT_NE(world.find(DateLine(today)), std::string::npos) << world;
      EXPECT_EQ(shown, today);
      EXPECT_EQ(window->GameFiles().Get<WorldDocument>().missionDate,
                (MissionDate{today.year(), today.month(), today.day()}));
    } else {
      EXPECT_EQ(world, sample);
      EXPECT_EQ(shown, QDate(2005, 6, 1));
    }
    EXPECT_EQ(test::ReadBytes(install.Game("Config/weapons/drawinfo.lua")), drawinfo);
    EXPECT_FALSE(window->Configuration().ApplyEnabled());
    EXPECT_TRUE(dialogs.Recorded().empty()) << Recorded();
  }
}

TEST_F(MissionDateSynchronisationTest, FileThatFailedToLoadAtStartUpIsNotWrittenOver) {
  const test::ProgramInstall install;
  const fs::path drawinfoFile = install.Game("Config/weapons/drawinfo.lua");
  const std::string broken = Drawinfo(4, "\t\tr = 1,\r\n\t\tg = x,\r\n\t\tb = 3,\r\n");
  { std::ofstream(drawinfoFile, std::ios::binary | std::ios::trunc) << broken; }
  dialogs.QueueNo();  // no default copy for drawinfo.lua
  auto window = Start(install, true);
  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();

  const fs::path worldFile = install.Game("Config/World/World.lua");
  const QDate today = RunDeferredStep(*window, worldFile);
  EXPECT_NE(test::ReadBytes(worldFile).find(DateLine(today)), std::string::npos);
  // The pods' colours the program could not read stay in the file, not the program's defaults.
  EXPECT_EQ(test::ReadBytes(drawinfoFile), broken);
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
}

}  // namespace
}  // namespace kesta
