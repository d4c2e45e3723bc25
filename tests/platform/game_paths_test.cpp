#include "platform/game_paths.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

TEST(GamePathTest, MatchesEachComponentWithoutRegardToCase) {
  test::TempFolder folder;
  folder.Write("Lock On/CONFIG/Network/Config.LUA", "x");
  folder.Write("Lock On/Config2/view.lua", "x");
  const std::string game = (folder / "Lock On").string() + "/";

  struct Case {
    const char* catalogPath;
    const char* expected;  // relative to the game folder
  };
  const Case cases[] = {
      {"Config\\network\\config.lua", "CONFIG/Network/Config.LUA"},
      {"config/NETWORK/config.lua", "CONFIG/Network/Config.LUA"},
      {"Config2\\view.lua", "Config2/view.lua"},
      {"Config\\network\\missing.lua", "CONFIG/Network/missing.lua"},  // the folders still resolve
      {"Nowhere\\Sub\\file.lua", "Nowhere/Sub/file.lua"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GamePath(game, c.catalogPath), fs::path(game) / c.expected) << c.catalogPath;
}

TEST(GamePathTest, FolderWithoutTrailingSeparatorIsJoinedAsText) {
  test::TempFolder folder;
  folder.Write("GameConfig/graphics.cfg", "x");
  EXPECT_EQ(GamePath((folder / "Game").string(), "Config\\graphics.cfg"), folder / "GameConfig/graphics.cfg");
}

TEST(GamePathTest, ExactNameWinsOverACaseVariant) {
  test::TempFolder folder;
  folder.Write("config/a.lua", "lower");
  folder.Write("Config/a.lua", "upper");
  EXPECT_EQ(GamePath(folder.Path().string() + "/", "Config\\a.lua"), folder / "Config/a.lua");
  EXPECT_EQ(GamePath(folder.Path().string() + "/", "config\\a.lua"), folder / "config/a.lua");
}

TEST(WindowsToNativeSeparatorsTest, TurnsBackslashesIntoSlashes) {
  EXPECT_EQ(WindowsToNativeSeparators("ME\\MeCustom.xml"), "ME/MeCustom.xml");
  EXPECT_EQ(WindowsToNativeSeparators("\\"), "/");
}

}  // namespace
}  // namespace kesta
