// The release tool as a releaser runs it: a key pair, a signed manifest, its verification, and the
// program's update check accepting what it signed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QNetworkAccessManager>
#include <filesystem>
#include <string>

#include "support/local_http_server.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "support/update_check_run.h"
#include "update/update_check.h"

namespace kesta {
namespace {

using test::ReadBytes;
using test::RunProgram;

const std::string kTool = KESTA_RELEASE_TOOL;

class ReleaseToolTest : public testing::Test {
 protected:
  void SetUp() override {
    const test::ProgramResult keygen = RunProgram(kTool, {"keygen", SecretKey()});
    ASSERT_EQ(keygen.exitStatus, 0) << keygen.err;
    publicKeyHex = keygen.out;
    if (publicKeyHex.ends_with('\n')) publicKeyHex.pop_back();
    installer = temp.Write("KESTASetup.exe", "MZ the installer of 3.0.4");
  }
  std::string SecretKey() const { return (temp / "release.key").string(); }
  std::string Manifest() const { return (temp / "KESTASetup_beta3.manifest").string(); }

  test::TempFolder temp;
  std::string publicKeyHex;
  std::filesystem::path installer;
};

TEST_F(ReleaseToolTest, KeyPairSecretOnlyForItsOwnerAndNeverReplaced) {
  ASSERT_TRUE(PublicKeyFromHex(publicKeyHex)) << publicKeyHex;
  struct stat status {};
  ASSERT_EQ(::stat(SecretKey().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  const std::string secret = ReadBytes(SecretKey());
  EXPECT_EQ(secret.size(), 129u);  // 64 bytes in hex and a line break

  const test::ProgramResult again = RunProgram(kTool, {"keygen", SecretKey()});
  EXPECT_EQ(again.exitStatus, 1);
  EXPECT_NE(again.err.find("release.key"), std::string::npos) << again.err;
  EXPECT_EQ(ReadBytes(SecretKey()), secret);
}

TEST_F(ReleaseToolTest, SignedManifestVerifiesWithTheKeyAndTheInstallerOnly) {
  const test::ProgramResult sign =
      RunProgram(kTool, {"sign", SecretKey(), "3.0.4", installer.string(), Manifest()});
  ASSERT_EQ(sign.exitStatus, 0) << sign.err;
  const std::optional<ReleaseManifest> manifest = ParseManifest(ReadBytes(Manifest()));
  ASSERT_TRUE(manifest);
  EXPECT_EQ(manifest->version, "3.0.4");
  EXPECT_EQ(manifest->installerSize, std::filesystem::file_size(installer));
  EXPECT_EQ(CheckInstallerFile(installer, *manifest), "");
  EXPECT_EQ(ReadBytes(Manifest() + ".sig").size(), 64u);

  const test::ProgramResult verify =
      RunProgram(kTool, {"verify", publicKeyHex, Manifest(), installer.string()});
  EXPECT_EQ(verify.exitStatus, 0) << verify.err;
  EXPECT_EQ(verify.out, "3.0.4\n");

  // Another key, another installer, a wrong version: refused.
  const test::ProgramResult otherKey =
      RunProgram(kTool, {"verify", std::string(64, '0'), Manifest(), installer.string()});
  EXPECT_EQ(otherKey.exitStatus, 1);
  const auto other = temp.Write("other.exe", "MZ the installer of 3.0.2");
  EXPECT_EQ(RunProgram(kTool, {"verify", publicKeyHex, Manifest(), other.string()}).exitStatus, 1);
  EXPECT_EQ(RunProgram(kTool, {"sign", SecretKey(), "3.0.4-beta", installer.string(), Manifest()}).exitStatus,
            1);
  EXPECT_EQ(RunProgram(kTool, {"sign", SecretKey(), "3.0.4"}).exitStatus, 2);
  EXPECT_EQ(ParseManifest(ReadBytes(Manifest())),
            manifest);  // the refused signing left the manifest as it was
}

// What the tool signs is what the program installs.
TEST_F(ReleaseToolTest, TheUpdateCheckAcceptsTheToolsRelease) {
  ASSERT_EQ(RunProgram(kTool, {"sign", SecretKey(), "3.0.4", installer.string(), Manifest()}).exitStatus, 0);
  test::LocalHttpServer server;
  server.Serve("/KESTA/version_beta3.txt", {200, "3.0.4\n"});
  server.Serve("/KESTA/KESTASetup_beta3.manifest", {200, QByteArray::fromStdString(ReadBytes(Manifest()))});
  server.Serve("/KESTA/KESTASetup_beta3.manifest.sig",
               {200, QByteArray::fromStdString(ReadBytes(Manifest() + ".sig"))});
  server.Serve("/KESTA/KESTASetup_beta3.exe", {200, QByteArray::fromStdString(ReadBytes(installer))});
  UpdateCheckEvents events;
  events.log = [](const char*) {};
  events.stepSucceeded = [] {};
  QString failure;
  events.stepFailed = [&](const char* key, const QString& detail) { failure = key + (": " + detail); };
  events.askNewVersion = [] { return true; };
  QNetworkAccessManager network;
  UpdateCheck check(network, server.BaseUrl().toString(), temp / "tmp", events,
                    PublicKeyFromHex(publicKeyHex));
  const std::optional<UpdateOutcome> outcome = test::RunUntilFinished(check);
  EXPECT_EQ(outcome, UpdateOutcome::InstallerReady) << failure.toStdString();
  ASSERT_TRUE(check.Verified());
  EXPECT_EQ(ReadBytes(check.Verified()->installer), ReadBytes(installer));
}

}  // namespace
}  // namespace kesta
