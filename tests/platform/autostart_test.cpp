// The XDG autostart entry: where it lives, how the Exec line quotes the executable, and reading,
// writing and removing it in a temporary configuration folder.

#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "engine/failure.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

using test::TempFolder;

using test::ScopedEnv;

TEST(AutostartTest, FolderIsUnderXdgConfigHomeOnlyWhenThatIsAbsolute) {
  const std::pair<const char*, const char*> cases[] = {
      {"/x/config", "/x/config/autostart"},
      {nullptr, "/home/pilot/.config/autostart"},
      {"", "/home/pilot/.config/autostart"},
      {"relative/config", "/home/pilot/.config/autostart"},
  };
  const ScopedEnv home("HOME", "/home/pilot");
  for (const auto& [configHome, expected] : cases) {
    const ScopedEnv config("XDG_CONFIG_HOME", configHome);
    EXPECT_EQ(AutostartFolder(), expected) << (configHome ? configHome : "unset");
  }
  const ScopedEnv config("XDG_CONFIG_HOME", "/x/config");
  EXPECT_EQ(AutostartEntryPath(), "/x/config/autostart/kesta.desktop");
}

TEST(AutostartTest, ExecLineQuotesThePathAsDesktopEntriesRequire) {
  // Two layers: the Exec quoting (\" \` \$ \\ and %%), then the string escapes of every value (\\ \n).
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/kesta/kesta", R"("/opt/kesta/kesta" /delay)"},
      {"/home/a pilot/kesta", R"("/home/a pilot/kesta" /delay)"},
      {"/games/100%/kesta", R"("/games/100%%/kesta" /delay)"},
      {"/games/$HOME`id`/kesta", R"("/games/\\$HOME\\`id\\`/kesta" /delay)"},
      {R"(/games/a"b\c/kesta)", R"("/games/a\\"b\\\\c/kesta" /delay)"},
      {"/games/two\nlines/kesta", R"("/games/two\nlines/kesta" /delay)"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(AutostartCommand(path), expected) << path;
}

TEST(AutostartTest, ReadsTheExecOfTheMainGroupOfAnEntryTheSessionRuns) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"[Desktop Entry]\nType=Application\nExec = \"/a/kesta\" /delay \n", "\"/a/kesta\" /delay"},
      {"[Desktop Entry]\r\nExec=\"/a/kesta\" /delay\r\nName=KESTA\r\n", "\"/a/kesta\" /delay"},
      {"# Exec=comment\n[Desktop Action x]\nExec=other\n[Desktop Entry]\n#Exec=no\nExec=yes\n", "yes"},
      {"[Desktop Entry]\nName=KESTA\n", ""},
      {"", ""},
      {"[Desktop Entry]\nExec=kesta\nHidden=true\n", std::nullopt},
      {"[Desktop Entry]\nExec=kesta\nHidden=false\n", "kesta"},
  };
  const TempFolder config;
  const ScopedEnv configHome("XDG_CONFIG_HOME", config.Path().c_str());
  EXPECT_EQ(ReadAutostartCommand(), std::nullopt);
  for (const auto& [content, expected] : cases) {
    config.Write("autostart/kesta.desktop", content);
    EXPECT_EQ(ReadAutostartCommand(), expected) << content;
  }
}

TEST(AutostartTest, WrittenEntryReadsBackAndRemovalToleratesAMissingOne) {
  const TempFolder config;
  const ScopedEnv configHome("XDG_CONFIG_HOME", (config / "new/config").c_str());
  WriteAutostartEntry("/opt/a pilot/kesta");
  EXPECT_EQ(ReadAutostartCommand(), AutostartCommand("/opt/a pilot/kesta"));
  const std::string entry = test::ReadBytes(config / "new/config/autostart/kesta.desktop");
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\nName=KESTA\n")) << entry;
  RemoveAutostartEntry();
  RemoveAutostartEntry();
  EXPECT_EQ(ReadAutostartCommand(), std::nullopt);

  // A file where the folder should be: writing fails with the system's words, removing has nothing to do.
  std::filesystem::remove(config / "new/config/autostart");
  config.Write("new/config/autostart", "");
  try {
    WriteAutostartEntry("/opt/kesta");
    ADD_FAILURE() << "no failure";
  } catch (const EKestaError& failure) {
    EXPECT_NE(std::string(failure.what()).find((config / "new/config/autostart").string()),
              std::string::npos);
  }
  EXPECT_NO_THROW(RemoveAutostartEntry());
  EXPECT_EQ(ReadAutostartCommand(), std::nullopt);
}

}  // namespace
}  // namespace kesta
