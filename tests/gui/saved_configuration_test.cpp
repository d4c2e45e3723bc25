// Saved configurations through the real window: Save Config and Open config with their dialogs, the
// sections of the ".kst" file, the modified state, and the recent list in the application menu.

#include <gtest/gtest.h>

#include <QDate>
#include <filesystem>
#include <fstream>
#include <map>

#include "engine/game_file.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "settings/ini_file.h"
#include "support/page_test.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "ui/appearance.h"
#include "ui/application_menu.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"
#include "ui/special_slider.h"
#include "ui/window_status.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Values = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

class SavedConfigurationTest : public test::PageTest {
 protected:
  // Every file of the game folder with its bytes.
  Files GameFolder() const {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(install.Game("")))
      if (entry.is_regular_file()) files[entry.path().string()] = test::ReadBytes(entry.path());
    return files;
  }
  // What every page shows, file by file.
  Values PageValues() const {
    Values values;
    for (std::string_view key : WholeSetOrder())
      for (const NamedValue& value : window->GameFiles().Document(key).Values())
        values[std::string(key)].emplace_back(value.name, value.value);
    return values;
  }
  std::string Value(std::string_view key, std::string_view name) const {
    for (const NamedValue& value : window->GameFiles().Document(key).Values())
      if (value.name == name) return value.value;
    return "<missing>";
  }
  // Edits as the pages make them, without the modified state, so that opening is seen to set it.
  void Set(std::initializer_list<std::tuple<std::string_view, std::string_view, std::string_view>> edits) {
    for (const auto& [key, name, value] : edits) {
      window->GameFiles().Document(key).SetValue(name, value);
      window->RefreshPages(key);
    }
  }
  void Save(const fs::path& path) {
    dialogs.QueueText(QString::fromStdString(path.string()));
    window->Configuration().dxButtonSaveConfigClick();
  }
  void Open(const fs::path& path) {
    dialogs.QueueText(QString::fromStdString(path.string()));
    window->Configuration().dxButtonOpenConfigClick();
  }
  // The dialogs other than the file dialogs.
  std::vector<test::RecordedDialog> Messages() const {
    std::vector<test::RecordedDialog> messages;
    for (const auto& dialog : dialogs.Recorded())
      if (dialog.kind != "Open" && dialog.kind != "Save") messages.push_back(dialog);
    return messages;
  }
  // The marker lines of a saved configuration, in order.
  static std::vector<std::string> Markers(const fs::path& file) {
    std::vector<std::string> markers;
    for (const std::string& line : ReadGameFile(file))
      if (line.starts_with(std::string(20, '#'))) markers.push_back(line);
    return markers;
  }
  std::string Marker(std::string_view key) const {
    return std::string(20, '#') + window->GameFiles().CatalogPath(key) + std::string(20, '#');
  }
  QStringList PaneCaptions() const { return window->Ribbon()->ApplicationMenu()->RecentItems(); }
  std::vector<std::string> Recent() const { return window->Configuration().RecentConfigurationPaths(); }
  fs::path Backup(const std::string& name) const { return install.Folder().Backups() / name; }
};

// Save, change the pages, open: the pages show the saved values again and are marked modified; no game
// file changes before Apply, which then writes the saved values.
TEST_F(SavedConfigurationTest, OpeningPutsTheSavedValuesBackAndApplyWritesThem) {
  const Files game = GameFolder();
  Set({{"Graphics", "SpecialSliderTextureLevel", "0"},
       {"Cockpit", "CheckboxRussianHUD", "0"},
       {"Network", "EditPlayerName", "Saved pilot"},
       {"World", "DateTimePicker", "2010-01-02"},
       {"MECustom", "CheckBoxTrafficCivil", "0"}});
  const Values saved = PageValues();
  const fs::path file = Backup("night.kst");
  Save(file);

  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  const FileDialogRequest& request = dialogs.Recorded()[0].file;
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Save");
  EXPECT_EQ(request.folder.toStdString(), install.Folder().Backups().string());
  EXPECT_EQ(request.filter, "KESTA Kesta File kst (*.kst)|*.kst");
  EXPECT_EQ(request.defaultExtension, "kst");
  EXPECT_EQ(request.fileName, "config_" + QDate::currentDate().toString("yyyy_MM_dd"));
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Saved"));
  EXPECT_FALSE(window->Configuration().ApplyEnabled());  // saving leaves the modified state as it was
  EXPECT_EQ(GameFolder(), game);
  std::vector<std::string> expectedMarkers;
  for (std::string_view key : WholeSetOrder()) expectedMarkers.insert(expectedMarkers.end(), 2, Marker(key));
  EXPECT_EQ(Markers(file), expectedMarkers);
  EXPECT_TRUE(test::ReadBytes(file).ends_with(Marker("ExportConfig") + "\r\n"));

  Set({{"Graphics", "SpecialSliderTextureLevel", "1"},
       {"Cockpit", "CheckboxRussianHUD", "1"},
       {"Network", "EditPlayerName", "Other pilot"},
       {"World", "DateTimePicker", "2001-05-06"},
       {"MECustom", "CheckBoxTrafficCivil", "1"}});
  dialogs.ClearRecorded();
  window->ShowStatusMessage("");
  Open(file);

  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Open");
  EXPECT_EQ(dialogs.Recorded()[0].file.filter, request.filter);
  EXPECT_EQ(dialogs.Recorded()[0].file.folder, request.folder);
  EXPECT_EQ(dialogs.Recorded()[0].file.fileName, "");
  EXPECT_EQ(PageValues(), saved);
  EXPECT_EQ(window->findChild<TSpecialSlider*>("SpecialSliderTextureLevel")->Position(), 0);
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(window->Configuration().CancelEnabled());
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Loaded"));
  EXPECT_FALSE(window->GameFiles().Access().HasSections());
  EXPECT_EQ(GameFolder(), game);
  EXPECT_EQ(Recent(), std::vector<std::string>{file.string()});  // saved and opened: listed once

  window->Configuration().dxButtonApplyClick();
  EXPECT_TRUE(Messages().empty()) << Recorded();
  EXPECT_NE(test::ReadBytes(install.Game("Config/graphics.cfg")).find("TextureLevel = 0;"),
            std::string::npos);
  window->Configuration().dxButtonCancelClick();  // reads every game file again
  EXPECT_EQ(PageValues(), saved);
}

// A file whose applier failed while saving has no section: opening leaves its page as it is, silently.
// A file whose catalogue path changed since finds no section either.
TEST_F(SavedConfigurationTest, AFileWithoutItsSectionKeepsItsPage) {
  fs::remove(install.Game("Config/producer.cfg"));
  const fs::path file = Backup("without producer.kst");
  Save(file);
  const auto errors = Messages();
  ASSERT_EQ(errors.size(), 1u) << Recorded();
  EXPECT_TRUE(errors[0].text.startsWith(window->LookupMessage("Applying") + " (ProducerSettings)\r\n"))
      << errors[0].text.toStdString();
  const std::vector<std::string> markers = Markers(file);
  EXPECT_EQ(markers.size(), 22u);
  EXPECT_EQ(std::count(markers.begin(), markers.end(), Marker("Producer")), 0);
  EXPECT_EQ(window->Status().StatusText(1), window->LookupMessage("Saved"));
  EXPECT_EQ(Recent(), std::vector<std::string>{file.string()});

  const std::string savedDrawinfo = Value("Drawinfo", "PodUSRed");
  Set({{"Producer", "RadioGroupFFB", "No"},
       {"Drawinfo", "PodUSRed", "1,2,3"},
       {"Cockpit", "CheckboxRussianHUD", "0"}});
  WriteIniValue(install.SettingsFile(), "Files", "Drawinfo", "Config\\weapons\\DrawInfo.lua");
  dialogs.ClearRecorded();
  Open(file);
  EXPECT_TRUE(Messages().empty()) << Recorded();
  EXPECT_EQ(Value("Producer", "RadioGroupFFB"), "No");
  EXPECT_EQ(Value("Drawinfo", "PodUSRed"), "1,2,3");
  EXPECT_NE(savedDrawinfo, "1,2,3");
  EXPECT_EQ(Value("Cockpit", "CheckboxRussianHUD"), "1");
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
}

// A section that counts as empty offers the default copy; Yes loads the default copy from disk, not the
// same section again.
TEST_F(SavedConfigurationTest, AnEmptySectionOffersTheDefaultCopyOnce) {
  const fs::path file = install.Root() / "blank network.kst";
  WriteGameFile(file, {Marker("Network"), "", "  \t", Marker("Network")});
  Set({{"Network", "EditPlayerName", "Changed"}});
  dialogs.QueueText(QString::fromStdString(file.string()));
  dialogs.QueueYes();
  window->Configuration().dxButtonOpenConfigClick();
  const auto questions = Messages();
  ASSERT_EQ(questions.size(), 1u) << Recorded();
  EXPECT_TRUE(questions[0].text.contains(window->LookupMessage("EmptyFile")))
      << questions[0].text.toStdString();
  const fs::path defaultCopy = install.Folder().Defaults() / "Config.lua";
  EXPECT_EQ(window->GameFiles().RememberedPath("Network"), defaultCopy);
  const auto fromDefault = MakeGameDocument("Network");
  fromDefault->Read(ReadGameFile(defaultCopy), [](std::string_view key) { return std::string(key); });
  std::vector<std::pair<std::string, std::string>> expected;
  for (const NamedValue& value : fromDefault->Values()) expected.emplace_back(value.name, value.value);
  EXPECT_EQ(PageValues()["Network"], expected);
  EXPECT_NE(Value("Network", "EditPlayerName"), "Changed");
}

TEST_F(SavedConfigurationTest, ASaveThatCannotBeWrittenIsReportedAndListsNothing) {
  const Files game = GameFolder();
  dialogs.QueueCancel();
  window->Configuration().dxButtonSaveConfigClick();
  EXPECT_EQ(dialogs.Recorded().size(), 1u) << Recorded();

  Save(install.Root() / "no such folder" / "x.kst");
  const auto errors = Messages();
  ASSERT_EQ(errors.size(), 1u) << Recorded();
  EXPECT_TRUE(errors[0].text.startsWith(window->LookupMessage("ConfigSaveFailed") + "\r\n"));
  EXPECT_TRUE(errors[0].text.contains("No such file or directory")) << errors[0].text.toStdString();
  EXPECT_EQ(window->Status().StatusText(1), "");
  EXPECT_TRUE(Recent().empty());
  EXPECT_TRUE(test::ReadBytes(install.Folder().RecentList()).empty());
  EXPECT_FALSE(window->GameFiles().Access().HasSections());
  EXPECT_EQ(GameFolder(), game);
}

// A configuration that cannot be read, from the dialog or from the list: the reason is shown and nothing
// changes, the list's order included.
TEST_F(SavedConfigurationTest, AConfigurationThatCannotBeReadChangesNothing) {
  Save(Backup("gone.kst"));
  Save(Backup("kept.kst"));
  fs::remove(Backup("gone.kst"));
  Set({{"Cockpit", "CheckboxRussianHUD", "0"}});
  const Values before = PageValues();
  const std::string list = test::ReadBytes(install.Folder().RecentList());
  dialogs.ClearRecorded();
  window->ShowStatusMessage("");

  Open(install.Folder().Backups());                    // a folder
  window->Configuration().dxBarApplicationMenu1ExtraPaneItemClick(1);  // gone.kst
  const auto errors = Messages();
  ASSERT_EQ(errors.size(), 2u) << Recorded();
  for (const auto& error : errors)
    EXPECT_TRUE(error.text.startsWith(window->LookupMessage("ConfigOpenFailed") + "\r\n"))
        << error.text.toStdString();
  EXPECT_TRUE(errors[1].text.contains("No such file or directory")) << errors[1].text.toStdString();
  EXPECT_EQ(PageValues(), before);
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_EQ(window->Status().StatusText(1), "");
  EXPECT_EQ(Recent(), (std::vector<std::string>{Backup("kept.kst").string(), Backup("gone.kst").string()}));
  EXPECT_EQ(test::ReadBytes(install.Folder().RecentList()), list);
}

// The menu's pane lists the file names, most recent first, and opens the one clicked, which moves on top.
TEST_F(SavedConfigurationTest, PaneItemsOpenTheirConfigurationAndMoveOnTop) {
  Set({{"Cockpit", "CheckboxRussianHUD", "0"}});
  Save(Backup("a.kst"));
  Set({{"Cockpit", "CheckboxRussianHUD", "1"}});
  Save(Backup("b.kst"));
  EXPECT_EQ(PaneCaptions(), (QStringList{"b.kst", "a.kst"}));
  TApplicationMenu* menu = window->Ribbon()->ApplicationMenu();
  EXPECT_EQ(menu->RecentButtons()[1]->toolTip(), QString::fromStdString(Backup("a.kst").string()));

  emit menu->RecentItemClicked(1);
  EXPECT_EQ(Value("Cockpit", "CheckboxRussianHUD"), "0");
  EXPECT_EQ(PaneCaptions(), (QStringList{"a.kst", "b.kst"}));
  EXPECT_EQ(test::ReadBytes(install.Folder().RecentList()),
            Backup("a.kst").string() + "\n" + Backup("b.kst").string() + "\n");
  EXPECT_TRUE(Messages().empty()) << Recorded();
}

// What start-up leaves out of a hand-edited list (lines with "(") and what it keeps beyond eight stays in
// the file until the next save or open writes the list again.
TEST_F(SavedConfigurationTest, StartUpShowsTheFileAsItIsUntilTheNextUse) {
  const fs::path bracketed = install.Root() / "Backup (old)" / "campaign.kst";
  fs::create_directories(bracketed.parent_path());
  Save(bracketed);
  EXPECT_EQ(PaneCaptions(), QStringList{"campaign.kst"});

  std::string text;
  for (int i = 1; i <= 12; ++i) text += Backup("config_" + std::to_string(i) + ".kst").string() + "\n";
  text += bracketed.string() + "\n";
  std::ofstream(install.Folder().RecentList(), std::ios::binary | std::ios::trunc) << text;
  Save(Backup("config_1.kst"));  // so that the first entry can be opened
  std::ofstream(install.Folder().RecentList(), std::ios::binary | std::ios::trunc) << text;

  TFrmKESTA next(WindowEnvironment{install.Folder(), &dialogs, {}});
  next.FormCreate();
  QStringList twelve;
  for (int i = 1; i <= 12; ++i) twelve << QString("config_%1.kst").arg(i);
  EXPECT_EQ(next.Ribbon()->ApplicationMenu()->RecentItems(), twelve);
  EXPECT_EQ(test::ReadBytes(install.Folder().RecentList()), text);

  next.Configuration().dxBarApplicationMenu1ExtraPaneItemClick(0);
  EXPECT_EQ(next.Ribbon()->ApplicationMenu()->RecentItems(), twelve.mid(0, 8));
  std::string eight;
  for (int i = 1; i <= 8; ++i) eight += Backup("config_" + std::to_string(i) + ".kst").string() + "\n";
  EXPECT_EQ(test::ReadBytes(install.Folder().RecentList()), eight);
  EXPECT_TRUE(Messages().empty()) << Recorded();
}

// kesta-cli's save-config writes the bytes the window's Save Config writes, and the window opens it.
TEST_F(SavedConfigurationTest, KestaCliSavesTheFileTheWindowSaves) {
  const fs::path cli = install.Folder().Folder() / "kesta-cli";
  fs::copy_file(test::BinaryFolder() / "kesta-cli", cli);
  const fs::path fromWindow = Backup("window.kst");
  const fs::path fromCli = Backup("cli.kst");
  Save(fromWindow);
  const auto result =
      test::RunProgram(cli.string(), {"save-config", install.Game("").string(), fromCli.string()});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(test::ReadBytes(fromCli), test::ReadBytes(fromWindow));
  EXPECT_EQ(Markers(fromCli).size(), 24u);
}

}  // namespace
}  // namespace kesta
