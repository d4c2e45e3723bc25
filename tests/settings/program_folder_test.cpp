#include "settings/program_folder.h"

#include <gtest/gtest.h>

#include "support/read_only.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

bool Writable(const fs::path&) { return true; }
bool ReadOnly(const fs::path&) { return false; }

// A program folder with a shipped server list, and per-user folders, all in one temporary folder.
class ProgramFolderTest : public testing::Test {
 protected:
  ProgramFolderTest() {
    root.Write("program/kesta", "");
    root.Write("program/ServerList/lan.txt", "192.168.0.10\r\n");
  }
  fs::path Executable() const { return root / "program/kesta"; }
  fs::path Config() const { return root / "config/kesta"; }
  fs::path Data() const { return root / "data/kesta"; }

  test::TempFolder root;
  test::ScopedEnv home{"HOME", (root / "home").c_str()};
  test::ScopedEnv config{"XDG_CONFIG_HOME", (root / "config").c_str()};
  test::ScopedEnv data{"XDG_DATA_HOME", (root / "data").c_str()};
};

TEST_F(ProgramFolderTest, WritableFolderKeepsEverythingBesideTheExecutable) {
  const ProgramFolder folder(Executable(), Writable);
  const fs::path program = root / "program";
  EXPECT_TRUE(folder.KeepsFilesBesideExecutable());
  EXPECT_EQ(folder.SettingsFile(), program / "kesta.ini");
  EXPECT_EQ(folder.RecentList(), program / "lastfile.ini");
  EXPECT_EQ(folder.Backups(), program / "Backup");
  EXPECT_EQ(folder.ServerLists(), program / "ServerList");
  EXPECT_EQ(folder.Languages(), program / "Languages");
  EXPECT_FALSE(fs::exists(root / "config"));
  EXPECT_FALSE(fs::exists(root / "data"));
}

TEST_F(ProgramFolderTest, ReadOnlyFolderSendsThePlayersFilesToThePerUserFolders) {
  const ProgramFolder folder(Executable(), ReadOnly);
  const fs::path program = root / "program";
  EXPECT_FALSE(folder.KeepsFilesBesideExecutable());
  EXPECT_EQ(folder.SettingsFile(), Config() / "kesta.ini");
  EXPECT_EQ(folder.RecentList(), Data() / "lastfile.ini");
  EXPECT_EQ(folder.Backups(), Data() / "Backup");
  EXPECT_EQ(folder.ServerLists(), Data() / "ServerList");
  // What the program ships is still read from its own folder.
  EXPECT_EQ(folder.Executable(), Executable());
  EXPECT_EQ(folder.Languages(), program / "Languages");
  EXPECT_EQ(folder.Defaults(), program / "Default");
  EXPECT_EQ(folder.Images(), program / "Images");
  EXPECT_EQ(folder.ScriptCatalogue(), program / "luascripts.ini");
  // The folders the program writes into are there from the start.
  EXPECT_TRUE(fs::is_directory(Config()));
  EXPECT_TRUE(fs::is_directory(folder.Backups()));
  EXPECT_EQ(test::ReadBytes(folder.ServerLists() / "lan.txt"), "192.168.0.10\r\n");
  EXPECT_FALSE(fs::exists(folder.SettingsFile()));  // no preset: the defaults apply
}

// A package manager's folder holds the marker: the per-user folders even where the folder may be written
// (root), so that nothing the package did not install is left in it.
TEST_F(ProgramFolderTest, PackagedFolderSendsThePlayersFilesToThePerUserFoldersEvenWhenWritable) {
  root.Write(fs::path("program") / kPackagedInstallationMarker, "");
  const ProgramFolder folder(Executable(), Writable);
  EXPECT_TRUE(IsPackagedInstallation(root / "program"));
  EXPECT_FALSE(folder.KeepsFilesBesideExecutable());
  EXPECT_EQ(folder.SettingsFile(), Config() / "kesta.ini");
  EXPECT_EQ(folder.Backups(), Data() / "Backup");
  EXPECT_TRUE(fs::exists(Data() / "ServerList/lan.txt"));
  EXPECT_FALSE(fs::exists(root / "program/kesta.ini"));
}

TEST_F(ProgramFolderTest, PerUserFoldersFollowTheBaseDirectoryRules) {
  struct Case {
    const char* what;
    const char* configHome;
    const char* dataHome;
    fs::path settings, backups;
  };
  const fs::path home = root / "home";
  const std::string configHere = (root / "c").string(), dataHere = (root / "d").string();
  const Case cases[] = {
      {"unset: below the home folder", nullptr, nullptr, home / ".config/kesta/kesta.ini",
       home / ".local/share/kesta/Backup"},
      {"relative values are ignored", "config", "data", home / ".config/kesta/kesta.ini",
       home / ".local/share/kesta/Backup"},
      {"empty values are ignored", "", "", home / ".config/kesta/kesta.ini",
       home / ".local/share/kesta/Backup"},
      {"absolute values are taken", configHere.c_str(), dataHere.c_str(), root / "c/kesta/kesta.ini",
       root / "d/kesta/Backup"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::ScopedEnv configHome("XDG_CONFIG_HOME", c.configHome);
    test::ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
    const ProgramFolder folder(Executable(), ReadOnly);
    EXPECT_EQ(folder.SettingsFile(), c.settings);
    EXPECT_EQ(folder.Backups(), c.backups);
    EXPECT_TRUE(fs::is_directory(c.backups));
  }
}

// A settings file beside a read-only executable (an administrator's preset, or the player's own before the
// folder became read-only) starts the player's settings once; the player's own file is never replaced.
TEST_F(ProgramFolderTest, SettingsBesideTheExecutableStartThePlayersOnce) {
  root.Write("program/kesta.ini", "[Config]\nLockOnPath=/games/lockon/\n");
  const ProgramFolder first(Executable(), ReadOnly);
  EXPECT_EQ(test::ReadBytes(first.SettingsFile()), "[Config]\nLockOnPath=/games/lockon/\n");
  EXPECT_EQ(fs::status(first.SettingsFile()).permissions() & fs::perms::owner_write, fs::perms::owner_write);

  root.Write("config/kesta/kesta.ini", "[Config]\nLanguage=DE\n");
  const ProgramFolder second(Executable(), ReadOnly);
  EXPECT_EQ(test::ReadBytes(second.SettingsFile()), "[Config]\nLanguage=DE\n");
}

// The shipped lists are copied into a new per-user folder only: the player's edits and deletions stay.
TEST_F(ProgramFolderTest, ShippedServerListsAreCopiedOnceAndNeverOverThePlayersOwn) {
  root.Write("program/ServerList/public.txt", "203.0.113.5\r\n");
  const ProgramFolder first(Executable(), ReadOnly);
  const fs::path lists = first.ServerLists();
  EXPECT_EQ(test::ReadBytes(lists / "public.txt"), "203.0.113.5\r\n");
  root.Write("data/kesta/ServerList/lan.txt", "10.1.1.1\r\n");
  fs::remove(lists / "public.txt");

  const ProgramFolder second(Executable(), ReadOnly);
  EXPECT_EQ(test::ReadBytes(lists / "lan.txt"), "10.1.1.1\r\n");
  EXPECT_FALSE(fs::exists(lists / "public.txt"));
  EXPECT_FALSE(fs::exists(Data() / "ServerList.partial"));
}

// The decision through the real permission check, on a folder that really is read-only.
TEST_F(ProgramFolderTest, ReallyReadOnlyFolderIsSeenAsSuch) {
  EXPECT_TRUE(FolderIsWritable(root / "program"));
  EXPECT_TRUE(ProgramFolder(Executable()).KeepsFilesBesideExecutable());
  const test::ScopedReadOnly readOnly(root / "program");
  if (!readOnly.Failure().empty()) GTEST_SKIP() << readOnly.Failure();
  EXPECT_FALSE(FolderIsWritable(root / "program"));
  const ProgramFolder folder(Executable());
  EXPECT_EQ(folder.SettingsFile(), Config() / "kesta.ini");
  EXPECT_EQ(folder.ServerLists(), Data() / "ServerList");
  EXPECT_EQ(test::ReadBytes(folder.ServerLists() / "lan.txt"), "192.168.0.10\r\n");
}

}  // namespace
}  // namespace kesta
