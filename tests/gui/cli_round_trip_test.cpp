// The window and kesta-cli over two copies of one game whose files hold values the controls cannot show
// as they are: a view limit beyond its slider, a snap view angle below its slider, a port the file quotes
// and a server name longer than its box. The window shows what it writes, kesta-cli's show prints the
// same, apply takes those lines back unchanged, and both write the same bytes.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "ui/special_slider.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// Replaces the value of the first line holding "name = ".
void SetValueLine(const fs::path& file, const std::string& name, const std::string& value) {
  std::string text = test::ReadBytes(file);
  const size_t start = text.find(name + " = ");
  ASSERT_NE(start, std::string::npos) << name;
  const size_t end = text.find("\r\n", start);
  ASSERT_NE(end, std::string::npos) << name;
  text.replace(start, end - start, name + " = " + value);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// Every file below the folder, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = test::ReadBytes(entry.path());
  return files;
}

class CliRoundTripTest : public test::PageTest {};

TEST_F(CliRoundTripTest, ShowPrintsWhatTheWindowShowsAndBothWriteTheSameBytes) {
  const std::string longName(55, 'N');
  const fs::path view = install.Game("Config/view/view.lua");
  SetValueLine(view, "CameraViewAngleLimits[PlaneIndex.iSu_27]", "{-5.000000, 300.000000}");
  SetValueLine(view, "CameraViewAngleLimits[PlaneIndex.iSu_33]", "{20.000000, 300.000000}");
  SetValueLine(install.Game("Config/view/snapviews.lua"), "Snap[1][13][\"vAngle\"]", "-60.000000");
  const fs::path config = install.Game("Config/network/config.lua");
  SetValueLine(config, "\tport", "\"10308\";");
  SetValueLine(config, "\tname", "\"" + longName + "\";");
  test::TempFolder cliGame;
  fs::copy(install.Game(""), cliGame.Path(), fs::copy_options::recursive);

  for (const auto& [key, file] :
       {std::pair{"View", "Config/view/view.lua"}, std::pair{"SnapView", "Config/view/snapviews.lua"},
        std::pair{"Network", "Config/network/config.lua"}})
    ASSERT_TRUE(window->GameFiles().Load(key, install.Game(file))) << Recorded();
  EXPECT_EQ(Control<TSpecialSlider>("SpecialSliderViewAngleMin")->Position(), 0);
  EXPECT_EQ(Control<TSpecialSlider>("SpecialSliderViewAngleMax")->Position(), 250);
  EXPECT_EQ(Control<TSpecialSlider>("SpecialSliderVAngle")->Position(), -40);
  EXPECT_EQ(Control<QLineEdit>("EditClientPort")->text(), "10308");
  EXPECT_EQ(Control<QLineEdit>("EditServerName")->text().toStdString(), longName);
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonApplyClick();
  ASSERT_TRUE(dialogs.Recorded().empty()) << Recorded();

  const fs::path cli = install.Folder().Folder() / "kesta-cli";
  fs::copy_file(test::BinaryFolder() / "kesta-cli", cli);
  const auto shown = test::RunProgram(cli.string(), {"show", cliGame.Path().string()});
  ASSERT_EQ(shown.exitStatus, 0) << shown.err;
  const std::string printed[] = {"View.SpecialSliderViewAngleMin[Su-27] = 0",
                                 "View.SpecialSliderViewAngleMax[Su-27] = 250",
                                 "View.SpecialSliderViewAngleMax[Su-33] = 250",
                                 "SnapView.SpecialSliderVAngle[Su-27] = -40",
                                 "Network.EditClientPort = 10308",
                                 "Network.EditServerName = " + longName};
  for (const std::string& line : printed)
    EXPECT_NE(shown.out.find("\n" + line + "\n"), std::string::npos) << line;
  std::vector<std::string> arguments{"apply", cliGame.Path().string()};
  std::istringstream lines(shown.out);
  for (std::string line; std::getline(lines, line);) arguments.push_back(line);
  const auto applied = test::RunProgram(cli.string(), arguments);
  ASSERT_EQ(applied.exitStatus, 0) << applied.err;

  EXPECT_EQ(FilesBelow(cliGame.Path()), FilesBelow(install.Game("")));
  const std::string written = test::ReadBytes(view);
  EXPECT_NE(written.find("CameraViewAngleLimits[PlaneIndex.iSu_27] = {0.0, 250.0}\r\n"), std::string::npos);
  EXPECT_NE(written.find("CameraViewAngleLimits[PlaneIndex.iSu_33] = {20.0, 250.0}\r\n"), std::string::npos);
  EXPECT_NE(test::ReadBytes(config).find("\tport = 10308;\r\n"), std::string::npos);
  EXPECT_NE(test::ReadBytes(config).find("\tname = \"" + longName + "\";\r\n"), std::string::npos);
  ExpectLuaReads(config);
}

// Saving a configuration writes the same bytes from the window and from kesta-cli; opening one and
// applying it writes the same game files.
TEST_F(CliRoundTripTest, SavedConfigurationsAreTheSameBytesAndOpeningOneWritesTheSameFiles) {
  test::TempFolder cliGame;
  fs::copy(install.Game(""), cliGame.Path(), fs::copy_options::recursive);
  const fs::path cli = install.Folder().Folder() / "kesta-cli";
  fs::copy_file(test::BinaryFolder() / "kesta-cli", cli);

  const fs::path windowSaved = install.Root() / "window.kst";
  dialogs.QueueText(QString::fromStdString(windowSaved.string()));
  window->Configuration().dxButtonSaveConfigClick();
  const fs::path cliSaved = install.Root() / "cli.kst";
  const auto saved =
      test::RunProgram(cli.string(), {"save-config", cliGame.Path().string(), cliSaved.string()});
  ASSERT_EQ(saved.exitStatus, 0) << saved.err;
  EXPECT_EQ(test::ReadBytes(cliSaved), test::ReadBytes(windowSaved));

  std::string text = test::ReadBytes(windowSaved);
  const size_t at = text.find("TextureLevel = 2;");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 17, "TextureLevel = 0;");
  std::ofstream(windowSaved, std::ios::binary | std::ios::trunc) << text;
  ASSERT_TRUE(window->Configuration().OpenConfiguration(windowSaved)) << Recorded();
  window->Configuration().dxButtonApplyClick();
  const auto opened =
      test::RunProgram(cli.string(), {"open-config", windowSaved.string(), cliGame.Path().string()});
  ASSERT_EQ(opened.exitStatus, 0) << opened.err;
  std::vector<std::string> messages;
  for (const auto& dialog : dialogs.Recorded())
    if (dialog.kind != "Save") messages.push_back(dialog.text.toStdString());
  EXPECT_TRUE(messages.empty()) << Recorded();

  EXPECT_EQ(FilesBelow(cliGame.Path()), FilesBelow(install.Game("")));
  EXPECT_NE(test::ReadBytes(install.Game("Config/graphics.cfg")).find("TextureLevel = 0;"),
            std::string::npos);
}

}  // namespace
}  // namespace kesta
