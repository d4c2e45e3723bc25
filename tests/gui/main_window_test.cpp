// The real main window started on a real program installation with a copy of the sample game; the
// only stand-in is the person answering dialogs.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDomDocument>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/compat_relaunch.h"
#include "app/game_folder.h"
#include "app/splash_screen.h"
#include "documents/cockpit_document.h"
#include "language/language_setup.h"
#include "platform/wine_registry.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/memory_registry.h"
#include "support/program_install.h"
#include "support/read_only.h"
#include "support/scoped_env.h"
#include "support/scripted_dialogs.h"
#include "ui/about_window.h"
#include "ui/appearance.h"
#include "ui/main_window.h"
#include "ui/page_area.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/theme.h"
#include "ui/window_status.h"

namespace kesta {
namespace {

using test::ProgramInstall;
using test::ScriptedDialogs;

// Reads "chat_log" of the statistics file into a value the test can see and change.
class StatsHandler : public GameDocumentOf<StatsHandler> {
 public:
  const GameFileKind& Kind() const override { return GameFileKindOf("Stats"); }
  void Read(const Lines& lines, const MessageLookup&) override {
    value = GetParam(lines, "chat_log", "false", "", false);
  }
  void Write(Lines& lines, const MessageLookup&) const override {
    SetParam(lines, "chat_log", value, anchor, false);
  }
  std::vector<NamedValue> Values() const override { return {{"chat_log", value}}; }
  void SetValue(std::string_view, std::string_view text) override { value = text; }
  std::string value;
  std::string anchor;  // a missing anchor makes the write fail
};

class MainWindowTest : public testing::Test {
 protected:
  explicit MainWindowTest(bool withGameFolder = true) : install(withGameFolder) {}

  // The language list of the options page, which is built on its first visit.
  static QComboBox* LanguageList(TFrmKESTA& window) {
    window.Pages().ShowPage("TabSheetOptionKESTA");
    return window.findChild<QComboBox*>("ComboBoxLanguage");
  }

  std::unique_ptr<TFrmKESTA> Start(bool runLoadingSequence = true) {
    WindowEnvironment environment{install.Folder(), &dialogs,
                                  [this](const std::filesystem::path& program, const std::filesystem::path&) {
                                    started.push_back(program);
                                    return true;
                                  }};
    auto window = std::make_unique<TFrmKESTA>(environment);
    if (runLoadingSequence) window->FormCreate();
    return window;
  }
  std::string Setting(const char* section, const char* key) {
    return ReadIniValue(install.SettingsFile(), section, key);
  }
  QStringList RecordedTexts() const {
    QStringList texts;
    for (const auto& dialog : dialogs.Recorded()) texts << dialog.kind + ": " + dialog.text;
    return texts;
  }

  ProgramInstall install;
  ScriptedDialogs dialogs;
  std::vector<std::filesystem::path> started;
};

TEST_F(MainWindowTest, StartUpReachesTheStandardsPageWithNothingToApply) {
  auto window = Start();
  EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
  EXPECT_FALSE(window->Busy());
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetGraphicsStandards");
  EXPECT_EQ(window->Ribbon()->ActiveTab()->objectName(), "dxTabDisplay");
  EXPECT_TRUE(window->RibbonButton("dxButtonGraphicsStandard")->isChecked());
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_FALSE(window->Configuration().CancelEnabled());
  EXPECT_EQ(window->Status().StatusText(0).toStdString(), install.GameFolder());
  EXPECT_EQ(window->windowTitle(), "Kesta");
  EXPECT_EQ(window->size(), QSize(490, 720));
}

TEST_F(MainWindowTest, SplashCountsElevenStepsEndingWithTheOtherSettings) {
  auto* splash = new TFrmSplashScreen;
  TFrmKESTA window({install.Folder(), &dialogs, {}}, splash);
  window.FormCreate();
  EXPECT_EQ(splash->Progress(), 11);
  EXPECT_EQ(splash->Label(), "Loading other settings...");
  splash->close();
}

TEST_F(MainWindowTest, MissingScriptCatalogueAndRecentListAreReportedAndStartUpGoesOn) {
  WriteIniValue(install.SettingsFile(), "Config", "Language", "DE");
  std::filesystem::remove(install.Folder().ScriptCatalogue());
  std::filesystem::create_directory(install.Folder().RecentList());  // cannot be read or created
  auto window = Start();
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << RecordedTexts().join("\n").toStdString();
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("luascripts.ini"));
  EXPECT_TRUE(dialogs.Recorded()[0].text.endsWith("\n\nDie Liste der Exportskripte bleibt leer."));
  EXPECT_TRUE(dialogs.Recorded()[1].text.contains("lastfile.ini"));
  EXPECT_TRUE(dialogs.Recorded()[1].text.endsWith(
      "\n\nDie Liste der zuletzt verwendeten Konfigurationen bleibt leer."));
  EXPECT_FALSE(window->Busy());
  EXPECT_TRUE(window->findChild<QTimer*>("TimerMinimize")->isActive());
}

TEST_F(MainWindowTest, FirstStartWritesEveryKeyItReads) {
  auto window = Start();
  for (const char* key : {"Language", "ThemeColor", "FormStyle", "MinimizeInSysTray", "SynchronizeDate"})
    EXPECT_NE(Setting("Config", key), kMissingIniValue) << key;
  EXPECT_EQ(Setting("Lockon", "PathReg"), "Software\\Eagle Dynamics\\Lock On 1.1\\");
  for (std::string_view key : WholeSetOrder())
    EXPECT_EQ(Setting("Files", std::string(key).c_str()), DefaultSetting(key)) << key;
  EXPECT_EQ(Setting("Config", "Language"), "EN");
  EXPECT_EQ(LanguageList(*window)->currentText(), "English");
}

TEST_F(MainWindowTest, ExactlyOnePageButtonIsPressedAfterEveryNavigation) {
  auto window = Start();
  const char* const buttons[] = {
      "dxButtonGraphicsCockpit", "dxButtonResolution",    "dxButtonScreenshots", "dxButtonOptimisation",
      "dxButtonObjectClipping",  "dxButtonObjectDensity", "dxButtonMultiClient", "dxButtonMultiServer",
      "dxButtonRealism",         "dxButtonOther",         "dxButtonLUA",         "dxButtonView",
      "dxButtonMouseView",       "dxButtonSmokeColor",    "dxButtonOptions",     "dxButtonBackup",
      "dxButtonGraphicsStandard"};
  for (const char* name : buttons) {
    window->Pages().PageButtonClick(window->RibbonButton(name));
    int pressed = 0;
    for (auto* button : window->findChildren<TRibbonButton*>())
      if (button->isCheckable() && button->isChecked()) ++pressed;
    EXPECT_EQ(pressed, 1) << name;
    EXPECT_TRUE(window->RibbonButton(name)->isChecked()) << name;
  }
}

TEST_F(MainWindowTest, SelectingATabShowsItsFirstPage) {
  auto window = Start();
  window->Pages().PageButtonClick(window->RibbonButton("dxButtonResolution"));
  auto tab = [&](const char* name) {
    for (TRibbonTab* tab : window->Ribbon()->Tabs())
      if (tab->objectName() == name) return tab;
    return static_cast<TRibbonTab*>(nullptr);
  };
  window->Ribbon()->SetActiveTab(tab("dxTabGameSettings"));
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetMultiplayerClient");
  window->Ribbon()->SetActiveTab(tab("dxTabDisplay"));
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetGraphicsStandards");
  EXPECT_TRUE(window->RibbonButton("dxButtonGraphicsStandard")->isChecked());

  // Realism, Options and Backup pages open without switching the ribbon tab.
  window->Ribbon()->SetActiveTab(tab("dxTabOptions"));
  window->Pages().PageButtonClick(window->RibbonButton("dxButtonRealism"));
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetRealism");
  EXPECT_EQ(window->Ribbon()->ActiveTab()->objectName(), "dxTabOptions");
}

TEST_F(MainWindowTest, PreviewAreaFollowsThePage) {
  auto window = Start();
  auto* preview = window->findChild<QWidget*>("PanelImageGraphics");
  const std::pair<const char*, bool> cases[] = {
      {"dxButtonGraphicsStandard", true}, {"dxButtonResolution", false},  {"dxButtonOptimisation", true},
      {"dxButtonObjectClipping", true},   {"dxButtonMultiClient", false}, {"dxButtonGraphicsCockpit", true}};
  for (const auto& [button, shown] : cases) {
    window->Pages().PageButtonClick(window->RibbonButton(button));
    EXPECT_EQ(!preview->isHidden(), shown) << button;
  }
  EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
}

TEST_F(MainWindowTest, MissingPreviewPictureIsReportedAndThePageStillChanges) {
  std::filesystem::remove(install.Folder().Images() / "textures.jpg");
  auto window = Start();
  window->Pages().PageButtonClick(window->RibbonButton("dxButtonOptimisation"));
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetOptimization1");
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("textures.jpg"));
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("No such file or directory"));
}

TEST_F(MainWindowTest, StoredAppearanceIsAppliedWithLetterCaseCounting) {
  struct Case {
    const char* theme;
    const char* style;
    ColorScheme scheme;
    bool newStyle;
  };
  const Case cases[] = {{"Blue", "New", ColorScheme::Blue, true},
                        {"blue", "Classic", ColorScheme::Silver, false},
                        {"Black", "new", ColorScheme::Black, false}};
  for (const Case& c : cases) {
    WriteIniValue(install.SettingsFile(), "Config", "ThemeColor", c.theme);
    WriteIniValue(install.SettingsFile(), "Config", "FormStyle", c.style);
    auto window = Start();
    EXPECT_EQ(window->Appearance().CurrentColorScheme(), c.scheme) << c.theme;
    EXPECT_EQ(window->Appearance().NewFormStyle(), c.newStyle) << c.style;
  }
}

TEST_F(MainWindowTest, AppearanceCommandsAreStoredAtOnce) {
  auto window = Start();
  window->Appearance().dxButtonBlueStyleClick();
  EXPECT_EQ(Setting("Config", "ThemeColor"), "Blue");
  const bool before = window->Appearance().NewFormStyle();
  const std::string stored = Setting("Config", "FormStyle");
  window->Appearance().dxButtonFormStyleClick();
  EXPECT_NE(window->Appearance().NewFormStyle(), before);
  window->Appearance().dxButtonFormStyleClick();
  EXPECT_EQ(window->Appearance().NewFormStyle(), before);
  EXPECT_EQ(Setting("Config", "FormStyle"), stored);
}

TEST_F(MainWindowTest, StatusMessageStaysItsFullTimeAfterEachMessage) {
  auto window = Start();
  auto* timer = window->findChild<QTimer*>("TimerStatutBar");
  window->ShowStatusMessage("first");
  QTest::qWait(300);
  window->ShowStatusMessage("second");
  EXPECT_EQ(window->Status().StatusText(1), "second");
  EXPECT_GT(timer->remainingTime(), 1800);  // restarted, not left to run out from the first message
  window->Status().TimerStatutBarTimer();
  EXPECT_EQ(window->Status().StatusText(1), "");
}

TEST_F(MainWindowTest, ApplyWritesEveryFileAndReportsApplied) {
  auto window = Start(false);
  auto handler = std::make_unique<StatsHandler>();
  StatsHandler* stats = handler.get();
  window->GameFiles().Register(std::move(handler));
  window->FormCreate();
  EXPECT_EQ(stats->value, "true");  // as the sample game has it

  stats->value = "false";
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonApplyClick();
  EXPECT_NE(test::ReadBytes(install.Game("Config/network/stats.lua")).find("chat_log = false;"),
            std::string::npos);
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Applyed"));
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST_F(MainWindowTest, FailedApplyKeepsTheEditsMarked) {
  auto window = Start(false);
  auto handler = std::make_unique<StatsHandler>();
  StatsHandler* stats = handler.get();
  window->GameFiles().Register(std::move(handler));
  window->FormCreate();
  const std::string before = test::ReadBytes(install.Game("Config/network/stats.lua"));

  stats->anchor = "no such block {";
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonApplyClick();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(
      dialogs.Recorded()[0].text.startsWith(window->LookupMessage("Applying") + " (StatsSettings)\r\n"));
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("SetParam Error"));
  EXPECT_EQ(test::ReadBytes(install.Game("Config/network/stats.lua")), before);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_NE(window->Status().StatusText(1), window->LookupMessage("Applyed"));
}

// A file whose bytes hold a NUL is shown as far as it reads, but Apply leaves it as it is and says why, in
// the chosen language; the other files are still written.
TEST_F(MainWindowTest, ApplyLeavesAFileHoldingANulAndSaysWhyInTheChosenLanguage) {
  WriteIniValue(install.SettingsFile(), "Config", "Language", "FR");
  const std::filesystem::path statsFile = install.Game("Config/network/stats.lua");
  std::string bytes = test::ReadBytes(statsFile);
  const size_t nul = bytes.find('\n') + 1;
  bytes.insert(nul, std::string("\0hidden = 1;\r\n", 15));
  std::ofstream(statsFile, std::ios::binary | std::ios::trunc) << bytes;
  auto window = Start(false);
  auto handler = std::make_unique<StatsHandler>();
  StatsHandler* stats = handler.get();
  window->GameFiles().Register(std::move(handler));
  window->FormCreate();
  ASSERT_TRUE(dialogs.Recorded().empty());

  stats->value = "maybe";
  window->GameFiles().Get<CockpitDocument>().russianHud =
      !window->GameFiles().Get<CockpitDocument>().russianHud;
  const std::string cockpit = test::ReadBytes(install.Game("Config/cockpit.cfg"));
  window->Configuration().dxButtonApplyClick();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(
      dialogs.Recorded()[0].text,
      window->LookupMessage("Applying") + " (StatsSettings)\r\n" +
          window->LookupMessage("FileHoldsNul").arg(QString::fromStdString(statsFile.string())).arg(nul));
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains("octet NUL")) << dialogs.Recorded()[0].text.toStdString();
  EXPECT_EQ(test::ReadBytes(statsFile), bytes);
  EXPECT_NE(test::ReadBytes(install.Game("Config/cockpit.cfg")), cockpit);
}

TEST_F(MainWindowTest, EmptyFileOffersTheDefaultCopyAndApplyRestoresTheGameFile) {
  std::filesystem::resize_file(install.Game("Config/network/stats.lua"), 0);
  auto window = Start(false);
  auto handler = std::make_unique<StatsHandler>();
  StatsHandler* stats = handler.get();
  window->GameFiles().Register(std::move(handler));
  dialogs.QueueYes();
  window->FormCreate();

  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_TRUE(dialogs.Recorded()[0].text.startsWith("StatsSettings\r\n----------------------\r\n"));
  EXPECT_TRUE(dialogs.Recorded()[0].text.contains(
      QString::fromStdString(install.Game("Config/network/stats.lua").string())));
  EXPECT_EQ(window->GameFiles().RememberedPath("Stats")->filename(), "Stats.lua");
  EXPECT_EQ(stats->value, "true");

  window->Configuration().dxButtonApplyClick();
  EXPECT_NE(test::ReadBytes(install.Game("Config/network/stats.lua")).find("chat_log = true;"),
            std::string::npos);
}

TEST_F(MainWindowTest, BackupPageLoadsAndSavesOneFile) {
  auto window = Start(false);
  auto handler = std::make_unique<StatsHandler>();
  StatsHandler* stats = handler.get();
  window->GameFiles().Register(std::move(handler));
  window->FormCreate();
  window->Pages().PageButtonClick(window->RibbonButton("dxButtonBackup"));  // built on its first visit
  auto* list = window->findChild<QComboBox*>("ComboBoxBackup");
  ASSERT_EQ(list->count(), 11);
  EXPECT_EQ(list->itemText(0), "Config\\graphics.cfg");
  EXPECT_EQ(window->findChild<QLabel*>("LabelBackupInfo")->text(),
            window->LookupMessage("Config\\graphics.cfg"));
  list->setCurrentIndex(list->findText("Config\\network\\stats.lua"));
  emit list->activated(list->currentIndex());
  EXPECT_EQ(window->findChild<QLabel*>("LabelBackupInfo")->text(),
            window->LookupMessage("Config\\network\\stats.lua"));
  const auto click = [&window](const char* button) { window->findChild<QToolButton*>(button)->click(); };

  // Save proposes the file's name in the backup folder with its extension's filter.
  const auto saved = install.Root() / "saved-stats.lua";
  dialogs.QueueText(QString::fromStdString(saved.string()));
  stats->value = "maybe";
  click("SpeedButtonSaveToFile");
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  const FileDialogRequest& request = dialogs.Recorded()[0].file;
  EXPECT_EQ(request.fileName, "stats.lua");
  EXPECT_EQ(request.filter, window->LookupMessage("File") + " lua (*.lua)|*.lua");
  EXPECT_EQ(request.folder.toStdString(), install.Folder().Backups().string());
  EXPECT_NE(test::ReadBytes(saved).find("chat_log = maybe;"), std::string::npos);
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Saved"));

  // Loading from that file shows the client page and makes it the base of the next Cancel.
  dialogs.QueueText(QString::fromStdString(saved.string()));
  stats->value = "x";
  click("SpeedButtonLoadFromFile");
  EXPECT_EQ(stats->value, "maybe");
  EXPECT_EQ(window->Pages().ActivePage()->objectName(), "TabSheetMultiplayerClient");
  EXPECT_EQ(*window->GameFiles().RememberedPath("Stats"), saved);
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Loaded"));

  // A cancelled dialog changes nothing.
  window->ShowStatusMessage("");
  dialogs.QueueCancel();
  click("SpeedButtonLoadFromFile");
  EXPECT_EQ(*window->GameFiles().RememberedPath("Stats"), saved);
  EXPECT_EQ(window->Status().StatusText(1), "");

  // The default copy, found whatever the letter case of its name.
  click("SpeedButtonLoadDefault");
  EXPECT_EQ(window->GameFiles().RememberedPath("Stats")->filename(), "Stats.lua");
}

TEST_F(MainWindowTest, ChoosingGermanStoresItAndAsksForARestart) {
  auto window = Start();
  window->Language().ComboBoxLanguageChange(5);
  EXPECT_EQ(Setting("Config", "Language"), "DE");
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].text, "Please restart KESTA !");
  EXPECT_EQ(dialogs.Texts().yes, window->LookupMessage("Yes"));  // still the language of this run
}

TEST_F(MainWindowTest, TranslatedDialogTextsAndCaptions) {
  WriteIniValue(install.SettingsFile(), "Config", "Language", "FR");
  auto window = Start();
  EXPECT_EQ(LanguageList(*window)->currentIndex(), 0);
  EXPECT_NE(dialogs.Texts().yes, "Yes");
  EXPECT_EQ(dialogs.Texts().yes, window->LookupMessage("Yes"));
  EXPECT_NE(window->RibbonButton("dxButtonApply")->property("caption").toString(), "Apply");
}

TEST_F(MainWindowTest, UnknownLanguageOrMissingFileFallsBackToEnglishOnce) {
  for (const char* code : {"XX", "DE"}) {
    if (std::string(code) == "DE") std::filesystem::remove(install.Folder().Languages() / "de-DE.xml");
    WriteIniValue(install.SettingsFile(), "Config", "Language", code);
    dialogs.ClearRecorded();
    auto window = Start();
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << code;
    EXPECT_EQ(dialogs.Recorded()[0].kind, "Warning");
    // Told in the language the program goes on in, from its file.
    const QString text = dialogs.Recorded()[0].text;
    EXPECT_EQ(text.startsWith("The language code \"XX\" is unknown.\n"), std::string(code) == "XX")
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("\n\nKESTA goes on in English where it can.")) << text.toStdString();
    EXPECT_EQ(LanguageList(*window)->currentText(), "English");
    EXPECT_EQ(window->LookupMessage("Yes"), "Yes");
  }
}

// The Cancel button of Qt's file dialog and of a message box, and the file dialog's "Look in" label,
// without mnemonics (platforms differ in showing them).
std::string QtOwnTexts() {
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Cancel);
  return QStringList{files.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
                     files.findChild<QLabel*>("lookInLabel")->text(), box.button(QMessageBox::Cancel)->text()}
      .join(" | ")
      .remove(u'&')
      .toStdString();
}

TEST_F(MainWindowTest, QtsOwnDialogTextsFollowTheLanguageWhileTheWindowLives) {
  if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
    GTEST_SKIP() << "Qt's translations are not installed (scripts/setup.sh installs them)";
  const std::string english = "Cancel | Look in: | Cancel";
  ASSERT_EQ(QtOwnTexts(), english);
  WriteIniValue(install.SettingsFile(), "Config", "Language", "DE");
  {
    auto window = Start();
    EXPECT_EQ(QtOwnTexts(), "Abbrechen | Suchen in: | Abbrechen");
  }
  WriteIniValue(install.SettingsFile(), "Config", "Language", "SP");
  {
    auto window = Start();
    EXPECT_EQ(QtOwnTexts(), "Cancelar | Ver en: | Cancelar");
  }
  EXPECT_EQ(QtOwnTexts(), english);
  EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
}

TEST_F(MainWindowTest, EveryControlTheLanguageFilesNameExists) {
  auto window = Start();
  for (const QString& page : TPageArea::PageNames()) window->Pages().ShowPage(page);
  // The About window's controls exist while it is open.
  QStringList names{window->objectName()};
  for (QObject* object : window->findChildren<QObject*>()) names << object->objectName();
  QTimer::singleShot(0, [&names] {
    QWidget* about = QApplication::activeModalWidget();
    if (!about) return ADD_FAILURE() << "no About window";
    names << about->objectName();
    for (QObject* object : about->findChildren<QObject*>()) names << object->objectName();
    about->close();
  });
  window->About().MenuAboutClick();
  QDomDocument document;
  QFile file(QString::fromStdString((install.Folder().Languages() / "en-EN.xml").string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  ASSERT_TRUE(document.setContent(&file));
  QStringList missing;
  for (QDomElement entry = document.documentElement().firstChildElement(); !entry.isNull();
       entry = entry.nextSiblingElement()) {
    for (QDomElement control = entry.firstChildElement("controls").firstChildElement(); !control.isNull();
         control = control.nextSiblingElement()) {
      const QString name = control.text().section('.', 0, 0);
      if (!names.contains(name, Qt::CaseInsensitive)) missing << name;
    }
  }
  EXPECT_TRUE(missing.isEmpty()) << missing.join(", ").toStdString();
}

TEST_F(MainWindowTest, QuitKeepsTheTrayOptionAndTheCloseBoxMinimisesWithIt) {
  WriteIniValue(install.SettingsFile(), "Config", "MinimizeInSysTray", "1");
  auto window = Start();
  window->show();
  EXPECT_FALSE(window->close());  // the close box sends it away instead
  EXPECT_TRUE(window->isVisible() || window->isMinimized());
  window->BitBtnQuitClick();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Setting("Config", "MinimizeInSysTray"), "1");
}

TEST_F(MainWindowTest, OptionBoxesChangedAtStartWriteNothingAndClicksWriteTheirKey) {
  WriteIniValue(install.SettingsFile(), "Config", "StartMinimize", "1");
  auto window = Start();
  const std::string afterStart = test::ReadBytes(install.SettingsFile());
  window->Pages().ShowPage("TabSheetOptionKESTA");  // built on its first visit
  EXPECT_TRUE(window->findChild<QCheckBox*>("MenuStartMinimize")->isChecked());
  window->findChild<QCheckBox*>("MenuCheckTrackIR")->click();
  EXPECT_EQ(Setting("Config", "CheckTrackIR"), "1");
  window->findChild<QCheckBox*>("MenuStartMinimize")->click();
  EXPECT_EQ(Setting("Config", "StartMinimize"), "0");
  EXPECT_NE(afterStart, test::ReadBytes(install.SettingsFile()));
}

class NoGameFolderTest : public MainWindowTest {
 protected:
  NoGameFolderTest() : MainWindowTest(false) {}
  test::MemoryStore registry;
};

TEST_F(NoGameFolderTest, CancelledChoiceEndsTheProgramWithoutReadingGameFiles) {
  const ScopedRegistryStore scope(registry);
  dialogs.QueueCancel();
  auto window = Start();
  ASSERT_EQ(dialogs.Recorded().size(), 3u);
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("LockOnPathNotFound"));
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Open");
  EXPECT_EQ(dialogs.Recorded()[1].file.filter, "lockon.exe |lockon.exe");
  EXPECT_EQ(dialogs.Recorded()[2].text, window->LookupMessage("RegNotExists"));
  EXPECT_TRUE(window->QuitFlag());
  window->show();
  // The deferred step closes the window; a busy machine may take a while to run it.
  for (int waited = 0; window->isVisible() && waited < 5000; waited += 20) QTest::qWait(20);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(NoGameFolderTest, ChosenExecutableGivesTheFolderAndStoresIt) {
  const ScopedRegistryStore scope(registry);
  dialogs.QueueText(QString::fromStdString(install.Game("LockOn.exe").string()));
  auto window = Start();
  EXPECT_EQ(window->GameFolder(), install.GameFolder());
  EXPECT_EQ(Setting("Config", "LockOnPath"), install.GameFolder());
  EXPECT_FALSE(window->QuitFlag());
}

TEST_F(NoGameFolderTest, RegistryKeyGivesTheFolderWithoutStoringIt) {
  const std::string key =
      "Software\\Eagle Dynamics\\Lock On 1.1";  // the store holds keys without a final "\\"
  registry.AddKey(RegRoot::CurrentUser, key);
  registry.Set(RegRoot::CurrentUser, key, "Path",
               install.GameFolder().substr(0, install.GameFolder().size() - 1));
  WriteIniValue(install.SettingsFile(), "Config", "LockOnPath", "\xC2\xA4\xC2\xA4  ");
  const ScopedRegistryStore scope(registry);
  auto window = Start();
  EXPECT_EQ(window->GameFolder(), install.GameFolder());
  EXPECT_EQ(Setting("Config", "LockOnPath"), "\xC2\xA4\xC2\xA4");
  EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
}

// A Wine prefix whose drive C holds a copy of the game, with the game's key in user.reg holding `path`
// as written in the file.
std::filesystem::path WritePrefix(const test::ProgramInstall& install, const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path prefix = install.Root() / "prefix";
  fs::create_directories(prefix / "drive_c/Games");
  fs::copy(install.Game(""), prefix / "drive_c/Games/Lock On", fs::copy_options::recursive);
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  const auto write = [&](const char* name, const std::string& text) {
    std::ofstream(prefix / name, std::ios::binary) << text;
  };
  write("system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n");
  write("user.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n\n"
        "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1700000000\n#time=1da0000000000000\n"
        "\"Path\"=" +
            path + "\n");
  return prefix;
}

// The game's key in a real Wine prefix: the Windows path it holds is found through the prefix's drive
// links, without regard to letter case, and not stored.
TEST_F(NoGameFolderTest, GameKeyInTheWinePrefixGivesTheMappedFolder) {
  namespace fs = std::filesystem;
  const fs::path prefix = WritePrefix(install, "\"C:\\\\games\\\\LOCK ON\\\\\"");
  const QByteArray oldPrefix = qgetenv("WINEPREFIX");
  qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.string()));
  WineRegistry wine(prefix);
  const ScopedRegistryStore scope(wine);
  auto window = Start();
  qputenv("WINEPREFIX", oldPrefix);

  EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
  EXPECT_TRUE(fs::exists(window->GamePathOf("Graphics"))) << window->GameFolder();
  EXPECT_EQ(fs::canonical(window->GamePathOf("Graphics")),
            fs::canonical(prefix / "drive_c/Games/Lock On/Config/graphics.cfg"));
  EXPECT_EQ(Setting("Config", "LockOnPath"), "");
}

// A "Path" that is no text names no folder: the user is asked for one, as when there is no key.
TEST_F(NoGameFolderTest, GameKeyWithANumberForItsPathAsksForTheFolder) {
  const std::filesystem::path prefix = WritePrefix(install, "dword:00000005");
  std::filesystem::create_directories(prefix / "drive_c/Program Files");
  const QByteArray oldPrefix = qgetenv("WINEPREFIX");
  qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.string()));
  WineRegistry wine(prefix);
  const ScopedRegistryStore scope(wine);
  dialogs.QueueText(QString::fromStdString(install.Game("LockOn.exe").string()));
  auto window = Start();
  qputenv("WINEPREFIX", oldPrefix);
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << RecordedTexts().join("\n").toStdString();
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("LockOnPathNotFound"));
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Open");
  // The dialog starts where Windows programs are installed in the prefix.
  EXPECT_EQ(dialogs.Recorded()[1].file.folder,
            QString::fromStdString((prefix / "drive_c/Program Files").string()));
  EXPECT_EQ(window->GameFolder(), install.GameFolder());
  EXPECT_FALSE(window->QuitFlag());
}

// A game manager's prefix (a Bottles bottle here) holding the game is found when the settings and the
// default prefix name no folder; it is not stored. With two such prefixes the player chooses.
TEST_F(NoGameFolderTest, OneOtherPrefixWithTheGameGivesItsFolder) {
  namespace fs = std::filesystem;
  const fs::path home = install.Root() / "home";
  const test::ScopedEnv homeEnv("HOME", home.c_str());
  const fs::path bottles = home / ".local/share/bottles/bottles";
  const auto bottle = [&](const char* name) {
    const fs::path made = WritePrefix(install, "\"C:\\\\Games\\\\Lock On\\\\\"");
    fs::create_directories(bottles);
    fs::rename(made, bottles / name);
    return bottles / name;
  };
  const fs::path first = bottle("LockOn");
  const ScopedRegistryStore scope(registry);
  {
    auto window = Start();
    EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
    EXPECT_TRUE(
        fs::equivalent(window->GamePathOf("Graphics"), first / "drive_c/Games/Lock On/Config/graphics.cfg"))
        << window->GameFolder();
    EXPECT_EQ(Setting("Config", "LockOnPath"), "");
  }
  // With two, the player picks one by its bottle's name and folder; the pick is stored as a chosen folder
  // would be. Cancelling the pick asks for the folder by hand.
  const fs::path second = bottle("Second");
  // A bottle whose key names a folder that is gone is not offered.
  const fs::path gone = bottle("Gone");
  fs::remove_all(gone / "drive_c/Games/Lock On");
  const QString secondFolder = QString::fromStdString((second / "drive_c/Games/Lock On/").string());
  dialogs.QueueChoice(1);
  {
    auto window = Start();
    ASSERT_EQ(dialogs.Recorded().size(), 1u) << RecordedTexts().join("\n").toStdString();
    const test::RecordedDialog& choice = dialogs.Recorded()[0];
    EXPECT_EQ(choice.kind, "Choice");
    EXPECT_EQ(choice.text, window->LookupMessage("GameInSeveralPrefixes"));
    ASSERT_EQ(choice.items.size(), 2);
    EXPECT_TRUE(choice.items[0].startsWith("LockOn ")) << choice.items[0].toStdString();
    EXPECT_TRUE(choice.items[0].endsWith((first / "drive_c/Games/Lock On/").c_str()))
        << choice.items[0].toStdString();
    EXPECT_TRUE(choice.items[1].startsWith("Second ")) << choice.items[1].toStdString();
    EXPECT_TRUE(choice.items[1].endsWith(secondFolder)) << choice.items[1].toStdString();
    EXPECT_EQ(QString::fromStdString(window->GameFolder()), secondFolder);
    EXPECT_EQ(QString::fromStdString(Setting("Config", "LockOnPath")), secondFolder);
    EXPECT_FALSE(window->QuitFlag());
  }
  {
    // The stored pick comes first at the next start: nothing is asked.
    dialogs.ClearRecorded();
    auto window = Start();
    EXPECT_TRUE(dialogs.Recorded().empty()) << RecordedTexts().join("\n").toStdString();
    EXPECT_EQ(QString::fromStdString(window->GameFolder()), secondFolder);
  }
  WriteIniValue(install.SettingsFile(), "Config", "LockOnPath", "");
  dialogs.ClearRecorded();
  dialogs.QueueCancelChoice();
  dialogs.QueueCancel();
  auto window = Start();
  ASSERT_EQ(dialogs.Recorded().size(), 4u) << RecordedTexts().join("\n").toStdString();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Choice");
  EXPECT_EQ(dialogs.Recorded()[1].text, window->LookupMessage("LockOnPathNotFound"));
  EXPECT_EQ(dialogs.Recorded()[2].kind, "Open");
  EXPECT_TRUE(window->QuitFlag());
}

// The settings file holds one value a line: a folder whose path holds a line break (Linux allows one)
// is refused before anything is stored.
TEST_F(NoGameFolderTest, ChosenFolderWithALineBreakIsRefused) {
  const std::filesystem::path odd = install.Root() / "Lock\nOn";
  std::filesystem::create_directories(odd);
  std::ofstream(odd / "LockOn.exe") << "MZ";
  const ScopedRegistryStore scope(registry);
  dialogs.QueueText(QString::fromStdString((odd / "LockOn.exe").string()));
  auto window = Start();
  ASSERT_EQ(dialogs.Recorded().size(), 4u) << RecordedTexts().join("\n").toStdString();
  EXPECT_EQ(dialogs.Recorded()[2].kind, "Error");
  EXPECT_EQ(dialogs.Recorded()[2].text, window->LookupMessage("GameFolderLineBreak") + "\r\n" +
                                            QString::fromStdString(odd.string() + "/"));
  EXPECT_EQ(dialogs.Recorded()[3].text, window->LookupMessage("RegNotExists"));
  EXPECT_TRUE(window->QuitFlag());
  EXPECT_EQ(window->GameFolder(), "");
  EXPECT_EQ(Setting("Config", "LockOnPath"), "");
  EXPECT_EQ(test::ReadBytes(install.SettingsFile()).find("On/"), std::string::npos);
}

TEST_F(MainWindowTest, ChangeToAFolderWithALineBreakKeepsTheOldFolder) {
  auto window = Start();
  window->show();
  const std::string settingsBefore = test::ReadBytes(install.SettingsFile());
  const std::filesystem::path odd = install.Root() / "Lock\r\nOn";
  std::filesystem::create_directories(odd);
  std::ofstream(odd / "LockOn.exe") << "MZ";
  dialogs.ClearRecorded();
  dialogs.QueueText(QString::fromStdString((odd / "LockOn.exe").string()));
  window->Game().MenuChangePath1Click();
  ASSERT_EQ(dialogs.Recorded().size(), 2u) << RecordedTexts().join("\n").toStdString();
  EXPECT_EQ(dialogs.Recorded()[1].kind, "Error");
  EXPECT_TRUE(dialogs.Recorded()[1].text.startsWith(window->LookupMessage("GameFolderLineBreak")));
  EXPECT_EQ(window->GameFolder(), install.GameFolder());
  EXPECT_EQ(window->Status().StatusText(0), QString::fromStdString(install.GameFolder()));
  EXPECT_EQ(test::ReadBytes(install.SettingsFile()), settingsBefore);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ChangeOfGameFolderRestartsTheProgram) {
  auto window = Start();
  window->show();
  dialogs.QueueText(QString::fromStdString(install.Game("LockOn.exe").string()));
  window->Game().MenuChangePath1Click();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], install.Folder().Executable());
  EXPECT_EQ(dialogs.Recorded().back().text, window->LookupMessage("PathUpdated"));
  EXPECT_FALSE(window->isVisible());
}

TEST(CompatibilityRelaunchTest, WritesTheLayerAndRestartsOnlyWhenNeeded) {
  const std::string versionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  const std::string layersKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
  const std::filesystem::path exe = "/opt/kesta/kesta";
  struct Case {
    const char* version;
    std::optional<std::string> layers;  // nothing: the layers key does not exist
    bool relaunch;
    const char* stored;
  };
  const Case cases[] = {
      {"6.1", std::string(), true, "WINXPSP2"},
      {"6.0", std::string("RUNASADMIN"), true, "WINXPSP2 RUNASADMIN"},
      {"6.1", std::string("WINXPSP2"), false, "WINXPSP2"},
      {"5.1", std::string(), false, ""},
      {"6.1", std::nullopt, false, nullptr},
  };
  for (const Case& c : cases) {
    test::MemoryStore registry(true);
    registry.AddKey(RegRoot::LocalMachine, versionKey);
    registry.Set(RegRoot::LocalMachine, versionKey, "CurrentVersion", std::string(c.version));
    if (c.layers) {
      registry.AddKey(RegRoot::CurrentUser, layersKey);
      if (!c.layers->empty()) registry.Set(RegRoot::CurrentUser, layersKey, exe.string(), *c.layers);
    }
    int starts = 0;
    const bool relaunched =
        CompatibilityRelaunchCheck(registry, exe, [&](const std::filesystem::path&) { return ++starts > 0; });
    EXPECT_EQ(relaunched, c.relaunch) << c.version;
    EXPECT_EQ(starts, c.relaunch ? 1 : 0);
    if (c.stored && c.layers) {
      EXPECT_EQ(registry.ReadString(RegRoot::CurrentUser, layersKey, exe.string()).value_or(""), c.stored);
    }
  }
}

// Counts the reads that reach a store in memory; the write question is passed on uncounted.
class ReadCountingStore : public RegistryStore {
 public:
  explicit ReadCountingStore(test::MemoryStore& store) : m_store(store) {}
  bool KeyExists(RegRoot root, std::string_view path) const override {
    ++reads;
    return m_store.KeyExists(root, path);
  }
  std::optional<std::string> ReadString(RegRoot root, std::string_view path,
                                        std::string_view name) const override {
    ++reads;
    return m_store.ReadString(root, path, name);
  }
  std::vector<std::string> SubKeyNames(RegRoot root, std::string_view path) const override {
    ++reads;
    return m_store.SubKeyNames(root, path);
  }
  bool CanWrite(RegRoot root, std::string_view path) const override { return m_store.CanWrite(root, path); }
  void WriteString(RegRoot root, std::string_view path, std::string_view name,
                   std::string_view text) override {
    m_store.WriteString(root, path, name, text);
  }

  mutable int reads = 0;

 private:
  test::MemoryStore& m_store;
};

// A Wine prefix's registry refuses writes: the check must not pay for reading its large system.reg.
TEST(CompatibilityRelaunchTest, ReadsNothingWhereTheLayerCannotBeWritten) {
  const std::string versionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  const std::string layersKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
  struct Case {
    const char* what;
    bool writable, layersKeyExists, relaunch, reads;
  };
  const Case cases[] = {
      {"read-only store", false, true, false, false},
      {"writable store without the layers key", true, false, false, false},
      {"writable store with the layers key", true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::MemoryStore memory(c.writable);
    memory.AddKey(RegRoot::LocalMachine, versionKey);
    memory.Set(RegRoot::LocalMachine, versionKey, "CurrentVersion", std::string("6.1"));
    if (c.layersKeyExists) memory.AddKey(RegRoot::CurrentUser, layersKey);
    ReadCountingStore registry(memory);
    int starts = 0;
    const bool relaunched = CompatibilityRelaunchCheck(
        registry, "/opt/kesta/kesta", [&](const std::filesystem::path&) { return ++starts > 0; });
    EXPECT_EQ(relaunched, c.relaunch);
    EXPECT_EQ(starts, c.relaunch ? 1 : 0);
    EXPECT_EQ(registry.reads > 0, c.reads) << registry.reads << " reads";
  }
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// A settings file that cannot be written must not leave the program half-started.
TEST(UnwritableSettingsTest, StartUpFinishesAndSaysSoOnce) {
  test::ProgramInstall install(false);
  std::filesystem::create_directory(install.SettingsFile());  // in the way of every write
  test::ScriptedDialogs dialogs;
  dialogs.QueueText(QString::fromStdString(install.Game("LockOn.exe").string()));
  test::MemoryStore registry;  // no game key in this registry
  const ScopedRegistryStore scope(registry);
  TFrmKESTA window({install.Folder(), &dialogs, {}});
  window.FormCreate();
  EXPECT_FALSE(window.Busy());
  EXPECT_FALSE(window.QuitFlag());
  int reports = 0;
  for (const auto& dialog : dialogs.Recorded()) reports += dialog.text.contains("cannot store its settings");
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(window.GameFolder(), install.GameFolder());
}

// The message names what stands in the way: the settings file when it is read-only, else its folder.
TEST(UnwritableSettingsTest, ReportNamesTheReadOnlyFileOrFolder) {
  for (const bool fileReadOnly : {true, false}) {
    SCOPED_TRACE(fileReadOnly ? "read-only file" : "read-only folder");
    test::ProgramInstall install(false);
    test::TempFolder user;
    const test::ScopedEnv config("XDG_CONFIG_HOME", (user / "config").c_str());
    const test::ScopedEnv data("XDG_DATA_HOME", (user / "data").c_str());
    // A read-only file beside a writable executable; a per-user folder that is read-only and empty (a file
    // already there would be rewritten in place).
    if (fileReadOnly) WriteIniValueOrFail(install.SettingsFile(), "Config", "Language", "EN");
    const ProgramFolder folder(install.Folder().Executable(),
                               [fileReadOnly](const std::filesystem::path&) { return fileReadOnly; });
    const std::filesystem::path readOnlyPath =
        fileReadOnly ? folder.SettingsFile() : folder.SettingsFile().parent_path();
    const test::ScopedReadOnly readOnly(readOnlyPath);
    if (!readOnly.Failure().empty()) GTEST_SKIP() << readOnly.Failure();
    test::ScriptedDialogs dialogs;
    dialogs.QueueText(QString::fromStdString(install.Game("LockOn.exe").string()));
    test::MemoryStore registry;
    const ScopedRegistryStore scope(registry);
    TFrmKESTA window({folder, &dialogs, {}});
    window.FormCreate();
    QStringList reports;
    for (const auto& dialog : dialogs.Recorded())
      if (dialog.text.contains("cannot store its settings")) reports << dialog.text;
    ASSERT_EQ(reports.size(), 1) << dialogs.Recorded().size();
    const QString expected = QString(fileReadOnly ? "The settings file is read-only:\n%1"
                                                  : "The folder of the settings file is read-only:\n%1")
                                 .arg(QString::fromStdString(readOnlyPath.string()));
    EXPECT_TRUE(reports[0].contains(expected)) << reports[0].toStdString();
    EXPECT_TRUE(reports[0].startsWith("KESTA cannot store its settings in\n" +
                                      QString::fromStdString(folder.SettingsFile().string())))
        << reports[0].toStdString();
  }
}

// Every entry below the folder with its size and time of change: what any write would alter.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> Snapshot(
    const std::filesystem::path& folder) {
  std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    entries[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                      entry.last_write_time()};
  return entries;
}

// Started from an installation it may not write to, the program keeps the player's files in the per-user
// folders, starting from the settings the installation holds, and leaves its own folder as it found it.
TEST(ReadOnlyInstallationTest, StartUpWritesNothingBesideTheExecutable) {
  // Decided through an injected check, then through the real permission (last: it may have to skip).
  for (const bool realPermission : {false, true}) {
    SCOPED_TRACE(realPermission ? "folder made read-only" : "folder said to be read-only");
    test::ProgramInstall install;
    test::TempFolder user;
    const test::ScopedEnv config("XDG_CONFIG_HOME", (user / "config").c_str());
    const test::ScopedEnv data("XDG_DATA_HOME", (user / "data").c_str());
    const std::filesystem::path program = install.Folder().Folder();
    const std::string shippedSettings = test::ReadBytes(install.SettingsFile());
    const auto before = Snapshot(program);
    std::optional<test::ScopedReadOnly> readOnly;
    if (realPermission) {
      readOnly.emplace(program);
      if (!readOnly->Failure().empty()) GTEST_SKIP() << readOnly->Failure();
    }
    const ProgramFolder folder = realPermission
                                     ? ProgramFolder(install.Folder().Executable())
                                     : ProgramFolder(install.Folder().Executable(),
                                                     [](const std::filesystem::path&) { return false; });
    const std::filesystem::path settings = user / "config/kesta/kesta.ini";
    ASSERT_EQ(folder.SettingsFile(), settings);
    test::ScriptedDialogs dialogs;
    {
      TFrmKESTA window({folder, &dialogs, {}});
      window.FormCreate();
      EXPECT_EQ(window.GameFolder(), install.GameFolder());  // from the settings the installation held
      dialogs.QueueText(QString::fromStdString((folder.Backups() / "evening.kst").string()));
      window.Configuration().dxButtonSaveConfigClick();
      window.Pages().ShowPage("TabSheetOptionKESTA");
      window.findChild<QCheckBox*>("MenuSynchronizeDate")->click();
    }
    EXPECT_EQ(Snapshot(program), before);
    EXPECT_EQ(test::ReadBytes(install.SettingsFile()), shippedSettings);
    EXPECT_EQ(ReadIniValue(settings, "Config", "LockOnPath"), install.GameFolder());
    EXPECT_EQ(ReadIniValue(settings, "Config", "SynchronizeDate"), "1");
    EXPECT_TRUE(std::filesystem::exists(user / "data/kesta/Backup/evening.kst"));
    EXPECT_TRUE(std::filesystem::exists(user / "data/kesta/Backup/automatic_backup_config.lua"));
    EXPECT_NE(test::ReadBytes(user / "data/kesta/lastfile.ini").find("evening.kst"), std::string::npos);
    for (const auto& dialog : dialogs.Recorded())
      EXPECT_FALSE(dialog.text.contains("cannot store")) << dialog.text.toStdString();
  }
}

}  // namespace
}  // namespace kesta

namespace kesta {
namespace {

// Notes in a shared log when its file is read or written.
class RecordingHandler : public GameDocumentOf<RecordingHandler> {
 public:
  RecordingHandler(const GameFileKind& kind, std::vector<std::string>& log) : m_kind(kind), m_log(log) {}
  const GameFileKind& Kind() const override { return m_kind; }
  void Read(const Lines&, const MessageLookup&) override {
    m_log.push_back("load " + std::string(m_kind.catalogKey));
  }
  void Write(Lines&, const MessageLookup&) const override {
    m_log.push_back("apply " + std::string(m_kind.catalogKey));
  }
  std::vector<NamedValue> Values() const override { return {}; }
  void SetValue(std::string_view, std::string_view) override {}

 private:
  const GameFileKind& m_kind;
  std::vector<std::string>& m_log;
};

TEST(ApplyCancelOrderTest, EveryFileInTheWholeSetOrderAndTheCursorRestored) {
  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  TFrmKESTA window({install.Folder(), &dialogs, {}});
  std::vector<std::string> log;
  for (const GameFileKind& kind : GameFileKinds())
    window.GameFiles().Register(std::make_unique<RecordingHandler>(kind, log));
  window.FormCreate();
  // Start-up reads the files in the order the pages are filled.
  const std::vector<std::string> startUp = {"load Graphics", "load Cockpit",      "load Network",
                                            "load Stats",    "load Server",       "load View",
                                            "load SnapView", "load Producer",     "load World",
                                            "load Drawinfo", "load ExportConfig", "load MECustom"};
  EXPECT_EQ(log, startUp);

  std::vector<std::string> apply, cancel;
  for (std::string_view key : WholeSetOrder()) {
    apply.push_back("apply " + std::string(key));
    cancel.push_back("load " + std::string(key));
  }
  log.clear();
  window.Configuration().dxButtonApplyClick();
  EXPECT_EQ(log, apply);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  log.clear();
  window.Configuration().dxButtonCancelClick();
  EXPECT_EQ(log, cancel);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST(FileFilterTest, WindowsFiltersBecomeQtFiltersThatIgnoreLetterCase) {
  EXPECT_EQ(ConvertFileFilter("lockon.exe |lockon.exe"),
            "lockon.exe ([lL][oO][cC][kK][oO][nN].[eE][xX][eE])");
  EXPECT_EQ(ConvertFileFilter("File cfg (*.cfg)|*.cfg|All (*.*)|*.*"),
            "File cfg (*.cfg) (*.[cC][fF][gG]);;All (*.*) (*.*)");
}

// The real dialogs, answered by a timer as a person would.
TEST(QtDialogServiceTest, FileDialogShowsTheDescriptionWithoutItsCaseBlindPattern) {
  QWidget parent;
  QtDialogService service(&parent);
  QString shownFilter;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) shownFilter = types->currentText();
    dialog->reject();
  });
  FileDialogRequest request;
  request.filter = "lockon.exe |lockon.exe";
  EXPECT_FALSE(service.OpenFileName(request));
  EXPECT_EQ(shownFilter.toStdString(), "lockon.exe");
}

TEST(QtDialogServiceTest, ChoiceGivesTheIndexOfThePickedEntryOrNothingWhenCancelled) {
  QWidget parent;
  QtDialogService service(&parent);
  const QStringList entries = {"LockOn  \u2014  /a/drive_c/Lock On/",
                               "Steam 700  \u2014  /b/drive_c/Lock On/"};
  for (const std::optional<int> pick : {std::optional<int>(1), std::optional<int>(0), std::optional<int>()}) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      if (!pick) return dialog->reject();
      auto* list = dialog->findChild<QListView*>();
      ASSERT_NE(list, nullptr);
      list->setCurrentIndex(list->model()->index(*pick, 0));
      dialog->accept();
    });
    EXPECT_EQ(service.ChooseItem("caption", "prompt", entries), pick);
  }
}

// A game folder deep in a Wine prefix keeps both its ends in the status bar; the tooltip holds it whole.
TEST_F(MainWindowTest, LongGameFolderIsShortenedInTheMiddle) {
  const std::string deep = install.Root().string() +
                           "/prefixes/a-rather-long-prefix-name/drive_c/Program Files (x86)/"
                           "Ubisoft/Eagle Dynamics/Lock On Modern Air Combat/";
  std::filesystem::create_directories(deep);
  std::filesystem::copy(install.Game(""), deep, std::filesystem::copy_options::recursive);
  WriteIniValue(install.SettingsFile(), "Config", "LockOnPath", deep);
  auto window = Start();
  ASSERT_EQ(window->GameFolder(), deep);
  const auto* panel = window->findChild<QLabel*>("StatusBarPanel0");
  EXPECT_EQ(panel->toolTip().toStdString(), deep);
  const QString shown = window->Status().StatusText(0);
  EXPECT_NE(shown.toStdString(), deep);
  EXPECT_TRUE(shown.startsWith(QString::fromStdString(install.Root().string().substr(0, 5))))
      << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("Combat/")) << shown.toStdString();
  EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->width());
}

}  // namespace
}  // namespace kesta
