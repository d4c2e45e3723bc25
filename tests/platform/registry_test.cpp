#include "platform/registry.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/failure.h"
#include "platform/wine_registry.h"
#include "support/memory_registry.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

using test::MemoryStore;
using test::TempFolder;

constexpr const char* kGameKey = "Software\\Eagle Dynamics\\Lock On 1.1";

MemoryStore GameStore(bool writable = false) {
  MemoryStore store(writable);
  store.AddKey(RegRoot::CurrentUser, "Software");
  store.AddKey(RegRoot::CurrentUser, "Software\\Eagle Dynamics");
  store.AddKey(RegRoot::CurrentUser, kGameKey);
  store.Set(RegRoot::CurrentUser, kGameKey, "Path", "C:\\Games\\Lock On\\");
  store.Set(RegRoot::CurrentUser, kGameKey, "Empty", "");
  store.Set(RegRoot::CurrentUser, kGameKey, "Version", std::nullopt);
  store.Set(RegRoot::CurrentUser, kGameKey, "Accents", "\xC3\xA9t\xC3\xA9");  // 2 UTF-16 units
  store.Set(RegRoot::CurrentUser, kGameKey, "Emoji", "\xF0\x9F\x98\x80");     // a surrogate pair
  store.AddKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  return store;
}

TEST(RegistryAccessor, OpensPathsFromTheRootOrRelativeToTheOpenKey) {
  struct Case {
    std::optional<std::string> open;  // key opened first
    std::string path;
    bool opens;
    std::string currentAfter;
  };
  const Case cases[] = {
      {std::nullopt, "Software\\Eagle Dynamics\\Lock On 1.1\\", true, kGameKey},
      {std::nullopt, "\\Software\\Eagle Dynamics", true, "Software\\Eagle Dynamics"},
      {std::nullopt, "SOFTWARE\\eagle dynamics", true, "SOFTWARE\\eagle dynamics"},
      {"Software", "Eagle Dynamics\\Lock On 1.1", true, kGameKey},
      {"Software", "\\Software\\Eagle Dynamics", true, "Software\\Eagle Dynamics"},
      {"Software", "Eagle Dynamics\\\\", true, "Software\\Eagle Dynamics"},
      // A failed open keeps the key that was open.
      {"Software", "Software", false, "Software"},
      {"Software", "\\Eagle Dynamics", false, "Software"},
      {std::nullopt, "Software\\\\Eagle Dynamics", false, ""},
      {std::nullopt, "\\\\Software", false, ""},
      {std::nullopt, "Software\\Eagle", false, ""},
  };
  MemoryStore store = GameStore();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    TRegistryRO registry(store);
    if (c.open) {
      ASSERT_TRUE(registry.OpenKeyRead(*c.open));
    }
    EXPECT_EQ(registry.OpenKeyRead(c.path), c.opens);
    EXPECT_EQ(registry.CurrentPath(), c.currentAfter);
    EXPECT_EQ(registry.HasCurrentKey(), c.opens || c.open.has_value());
  }
}

TEST(RegistryAccessor, RootChoosesTheKeysAndClosesTheOpenKey) {
  MemoryStore store = GameStore();
  TRegistryRO registry(store);
  EXPECT_EQ(registry.RootKey(), RegRoot::CurrentUser);
  ASSERT_TRUE(registry.OpenKeyRead(kGameKey));
  registry.SetRootKey(RegRoot::LocalMachine);
  EXPECT_FALSE(registry.HasCurrentKey());
  EXPECT_FALSE(registry.OpenKeyRead(kGameKey));
  EXPECT_TRUE(registry.OpenKeyRead("Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

TEST(RegistryAccessor, DataSizeCountsUtf16BytesAndTellsEmptyFromMissing) {
  const std::pair<const char*, int> cases[] = {
      {"Path", 36}, {"Empty", 0}, {"Missing", -1}, {"Accents", 8}, {"Emoji", 6},
  };
  MemoryStore store = GameStore();
  TRegistryRO registry(store);
  EXPECT_EQ(registry.GetDataSize("Path"), -1) << "no key open";
  ASSERT_TRUE(registry.OpenKeyRead(kGameKey));
  for (const auto& [name, size] : cases) EXPECT_EQ(registry.GetDataSize(name), size) << name;
}

TEST(RegistryAccessor, WritesOnlyThroughAKeyOpenedForWriting) {
  MemoryStore readOnly = GameStore(false);
  EXPECT_FALSE(TRegistryRO(readOnly).OpenKeyWrite(kGameKey));

  MemoryStore store = GameStore(true);
  TRegistryRO reader(store);
  ASSERT_TRUE(reader.OpenKeyRead(kGameKey));
  EXPECT_THROW(reader.WriteString("Path", "D:\\"), EKestaError);
  EXPECT_THROW(TRegistryRO(store).WriteString("Path", "D:\\"), EKestaError);
  EXPECT_EQ(store.ReadString(RegRoot::CurrentUser, kGameKey, "Path"), "C:\\Games\\Lock On\\");

  TRegistryRO writer(store);
  EXPECT_FALSE(writer.OpenKeyWrite("Software\\New Key")) << "keys are never created";
  EXPECT_FALSE(store.KeyExists(RegRoot::CurrentUser, "Software\\New Key"));
  ASSERT_TRUE(writer.OpenKeyWrite(kGameKey));
  writer.WriteString("Path", "D:\\Lock On\\");
  EXPECT_EQ(store.ReadString(RegRoot::CurrentUser, kGameKey, "path"), "D:\\Lock On\\");
}

TEST(RegistryOperations, ReadRegStringReturnsTextEmptyOrFails) {
  const std::string missingKeyText =
      "La clé HKEY_LOCAL_MACHINE\\Software\\Eagle Dynamics\\Lock On 2\\ ou le champ Path ne sont pas "
      "définis dans la base de registre.";
  struct Case {
    std::string key, name;
    std::string result;  // or the failure's text
    bool fails;
  };
  const Case cases[] = {
      {"Software\\Eagle Dynamics\\Lock On 1.1\\", "Path", "C:\\Games\\Lock On\\", false},
      {"\\software\\eagle dynamics\\lock on 1.1", "PATH", "C:\\Games\\Lock On\\", false},
      {kGameKey, "Missing", "", false},
      {kGameKey, "Empty", "", false},
      {kGameKey, "Version", "Invalid data type for 'Version'", true},
      {"Software\\Eagle Dynamics\\Lock On 2\\", "Path", missingKeyText, true},
  };
  MemoryStore store = GameStore();
  ScopedRegistryStore scoped(store);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.name);
    try {
      EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, c.key, c.name), c.result);
      EXPECT_FALSE(c.fails);
    } catch (const EKestaError& error) {
      EXPECT_TRUE(c.fails);
      EXPECT_EQ(error.what(), c.result);
    }
  }
}

TEST(RegistryOperations, WriteRegStringWritesExistingKeysOfAWritableStoreOnly) {
  const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  MemoryStore store = GameStore(true);
  ScopedRegistryStore scoped(store);
  WriteRegString(RegRoot::LocalMachine, runKey, "KESTA", "kesta.exe");
  EXPECT_EQ(store.ReadString(RegRoot::LocalMachine, runKey, "KESTA"), "kesta.exe");
  try {
    WriteRegString(RegRoot::CurrentUser, runKey, "KESTA", "kesta.exe");
    FAIL() << "wrote to a missing key";
  } catch (const EKestaError& error) {
    EXPECT_EQ(error.what(), RegistryErrorText(runKey, "KESTA"));
  }
  EXPECT_FALSE(store.KeyExists(RegRoot::CurrentUser, runKey));
}

TEST(CurrentRegistry, UsesTheInstalledStoreUntilItsScopeEnds) {
  RegistryStore& original = CurrentRegistry();
  MemoryStore outer = GameStore();
  MemoryStore inner;
  {
    ScopedRegistryStore installOuter(outer);
    EXPECT_TRUE(RegKeyExists(RegRoot::CurrentUser, kGameKey));
    {
      ScopedRegistryStore installInner(inner);
      EXPECT_EQ(&CurrentRegistry(), &inner);
      EXPECT_FALSE(RegKeyExists(RegRoot::CurrentUser, kGameKey));
    }
    EXPECT_EQ(&CurrentRegistry(), &outer);
  }
  EXPECT_EQ(&CurrentRegistry(), &original);
}

// The game's key as Wine keeps it in user.reg, read through the same calls the program makes.
TEST(RegistryOverWinePrefix, ReadsTheGameKeyAndRefusesWrites) {
  const std::string userReg =
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
      "#arch=win32\n\n"
      "[Software\\\\Eagle Dynamics\\\\Lock On 1.1] 1712345678\n"
      "#time=1da8f2c3e4b5a60\n"
      "\"Path\"=\"C:\\\\Games\\\\Lock On\\\\\"\n"
      "\"Empty\"=\"\"\n\n"
      "[Software\\\\Eagle Dynamics\\\\Lock On 1.1\\\\Options] 1712345678\n"
      "\"Mode\"=dword:00000001\n";
  TempFolder prefix;
  const auto userFile = prefix.Write("user.reg", userReg);
  WineRegistry wine(prefix.Path());
  ScopedRegistryStore scoped(wine);

  EXPECT_TRUE(RegKeyExists(RegRoot::CurrentUser, "Software\\Eagle Dynamics\\Lock On 1.1\\"));
  EXPECT_FALSE(RegKeyExists(RegRoot::LocalMachine, kGameKey));
  EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "SOFTWARE\\EAGLE DYNAMICS\\lock on 1.1", "path"),
            "C:\\Games\\Lock On\\");
  EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, kGameKey, "Empty"), "");
  EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, kGameKey, "Missing"), "");

  TRegistryRO registry;
  ASSERT_TRUE(registry.OpenKeyRead("Software\\Eagle Dynamics"));
  EXPECT_EQ(registry.GetKeyNames(), std::vector<std::string>{"Lock On 1.1"});
  EXPECT_FALSE(registry.OpenKeyWrite("Lock On 1.1"));

  try {
    WriteRegString(RegRoot::CurrentUser, kGameKey, "Path", "D:\\");
    FAIL() << "wrote to Wine's registry";
  } catch (const EKestaError& error) {
    EXPECT_EQ(error.what(), RegistryErrorText(kGameKey, "Path"));
  }
  EXPECT_EQ(test::ReadBytes(userFile), userReg);
}

}  // namespace
}  // namespace kesta
