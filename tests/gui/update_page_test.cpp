#include "update/update_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "app/tray_and_options.h"
#include "settings/ini_file.h"
#include "support/local_http_server.h"
#include "support/page_test.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "support/test_signing_key.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta::test {
namespace {

const QString kVersion = "/KESTA/version_beta3.txt";
// The marker appears whole or not at all: a test that sees it may read it at once.
const QByteArray kInstaller =
    "#!/bin/sh\npwd > installer-ran.part && mv installer-ran.part installer-ran.txt\n";

class UpdatePageTest : public PageTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Listening());
    WriteIniValueOrFail(install.SettingsFile(), "Config", "UpdateServer", ServerSetting());
    PageTest::SetUp();
    page = window->findChild<TUpdatePage*>();
    ASSERT_NE(page, nullptr);
    page->SetPublicKey(keys.publicKey);
    page->SetNetworkPresence([this] { return connected; });
    page->SetInstallDelay(0);
  }
  virtual std::string ServerSetting() const { return server.BaseUrl().toString().toStdString(); }

  // Clicks the ribbon command and waits until the check has ended.
  void RunFromRibbon() {
    window->RibbonButton("dxButtonKESTAUpdate")->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  }
  QString Log() const { return Control<QPlainTextEdit>("MemoUpdate")->toPlainText(); }
  QString M(const char* key) const { return window->LookupMessage(key); }
  bool Shown(const char* picture) const { return !Control<QLabel>(picture)->isHidden(); }
  QString ActivePage() const { return window->Pages().ActivePage()->objectName(); }
  // A new release whose installer records that it ran; the player says yes to it.
  void ServeRelease(const TestSigningKey& signer) {
    server.Serve(kVersion, {200, "3.0.4"});
    server.Serve("/KESTA/KESTASetup_beta3.exe", {200, kInstaller});
    const auto [manifest, signature] = signer.SignRelease(kInstaller, "3.0.4");
    server.Serve("/KESTA/KESTASetup_beta3.manifest", {200, manifest});
    server.Serve("/KESTA/KESTASetup_beta3.manifest.sig", {200, signature});
    window->show();
    dialogs.QueueYes();
  }
  void OfferRelease(const TestSigningKey& signer) {
    ServeRelease(signer);
    RunFromRibbon();
  }
  // Where the installer ran: the check's private folder below the temporary folder.
  std::filesystem::path Ran() const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.Path()))
      if (entry.path().filename() == "installer-ran.txt") return entry.path();
    return {};
  }
  // What the checks left in the temporary folder.
  std::vector<std::string> Left() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path()))
      names.push_back(entry.path().filename().string());
    return names;
  }

  TempFolder temp;
  ScopedEnv tmpdir{"TMPDIR", temp.Path().c_str()};
  LocalHttpServer server;
  TestSigningKey keys;
  TUpdatePage* page = nullptr;
  bool connected = true;
};

TEST_F(UpdatePageTest, UpToDateFromTheRibbonLogsEachStepAndShowsTheSuccessPicture) {
  server.Serve(kVersion, {200, "3.0.3\n"});
  EXPECT_FALSE(Shown("ImageUpdateOk"));
  EXPECT_FALSE(Shown("ImageUpdateError"));
  window->RibbonButton("dxButtonKESTAUpdate")->click();
  // The commands wait while the check runs; the window goes on taking input.
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");
  EXPECT_FALSE(window->RibbonButton("dxButtonKESTAUpdate")->isEnabled());
  EXPECT_FALSE(Control<QAction>("MenuCheckForUpdate")->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  EXPECT_EQ(Log(),
            M("DownloadingVersion") + " OK !\n" + M("OpeningVersion") + " OK !\n\n" + M("LastestVersion"));
  EXPECT_TRUE(Shown("ImageUpdateOk"));
  EXPECT_FALSE(Shown("ImageUpdateError"));
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");
  EXPECT_TRUE(window->RibbonButton("dxButtonKESTAUpdate")->isEnabled());
  EXPECT_TRUE(Control<QAction>("MenuCheckForUpdate")->isEnabled());
  EXPECT_EQ(Left(), std::vector<std::string>{});
}

TEST_F(UpdatePageTest, AFailureShowsItsBlockAndThePicturesStayOnceShown) {
  Control<QAction>("MenuCheckForUpdate")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  EXPECT_EQ(Log(), M("DownloadingVersion") + " ERROR !\n\n" + M("DownloadingVersionError") +
                       "\n404 Not Found\n\n" + M("AutoUpdateFailed"));
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_FALSE(Shown("ImageUpdateOk"));

  server.Serve(kVersion, {200, "3.0.3"});
  RunFromRibbon();
  EXPECT_TRUE(Log().endsWith(M("LastestVersion"))) << Log().toStdString();
  EXPECT_FALSE(Log().contains("ERROR"));
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_TRUE(Shown("ImageUpdateOk"));
}

TEST_F(UpdatePageTest, WithoutANetworkOneLineAndNothingSent) {
  connected = false;
  RunFromRibbon();
  EXPECT_EQ(Log(), M("NotConnectedToInternet"));
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");
  EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(UpdatePageTest, AtStartUpUpToDateGoesBackToTheGraphicsPage) {
  server.Serve(kVersion, {200, "3.0.3"});
  window->TimerMinimizeTimer();
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  EXPECT_TRUE(Log().endsWith("\n\n" + M("LastestVersion")));
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
}

TEST_F(UpdatePageTest, AtStartUpOfflineGoesBackToTheGraphicsPage) {
  connected = false;
  window->TimerMinimizeTimer();
  EXPECT_EQ(Log(), M("NotConnectedToInternet"));
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
}

TEST_F(UpdatePageTest, StartUpCheckFollowsItsOption) {
  server.Serve(kVersion, {200, "3.0.3"});
  window->findChild<QCheckBox*>("MenuCheckForUpdateWhenStarting")->setChecked(false);
  window->TimerMinimizeTimer();
  EXPECT_FALSE(page->Running());
  EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(UpdatePageTest, DeclinedNewVersionReturnsToTheGraphicsPage) {
  server.Serve(kVersion, {200, "3.0.4"});
  dialogs.QueueNo();
  RunFromRibbon();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].text, M("NewVersion"));
  EXPECT_EQ(dialogs.Recorded()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
  EXPECT_EQ(server.Requests(), QStringList{kVersion});
}

TEST_F(UpdatePageTest, VerifiedInstallerStartsAndTheWindowCloses) {
  OfferRelease(keys);
  EXPECT_TRUE(Log().endsWith(M("VerifyingNewVersion") + " OK !\n\n" + M("CloseAndSetup")))
      << Log().toStdString();
  // The bar was sized to the installer; both it and the speed are cleared once the download ended.
  EXPECT_EQ(Control<QProgressBar>("ProgressBar")->maximum(), kInstaller.size());
  EXPECT_EQ(Control<QProgressBar>("ProgressBar")->value(), 0);
  EXPECT_EQ(Control<QLabel>("LabelSpeed")->text(), "");
  EXPECT_TRUE(Shown("ImageUpdateOk"));
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Ran().empty(); }, 10000));
  EXPECT_EQ(ReadBytes(Ran()), std::filesystem::canonical(Ran().parent_path()).string() + "\n");
  EXPECT_EQ(Ran().parent_path().parent_path(), temp.Path());
  EXPECT_FALSE(window->isVisible());
}

// The installer's bytes are checked again when it starts: changed during the wait, it does not start.
TEST_F(UpdatePageTest, InstallerChangedDuringTheWaitIsNotStarted) {
  page->SetInstallDelay(5000);
  ServeRelease(keys);
  window->RibbonButton("dxButtonKESTAUpdate")->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return Log().endsWith(M("CloseAndSetup")); }, 20000))
      << Log().toStdString();
  std::filesystem::path installer;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.Path()))
    if (entry.path().filename() == "KESTASetup.exe") installer = entry.path();
  ASSERT_FALSE(installer.empty());
  std::filesystem::permissions(installer, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  const std::string swapped = QByteArray(kInstaller).replace("pwd", "id ").toStdString();
  temp.Write(std::filesystem::relative(installer, temp.Path()), swapped);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000))
      << "the installer's start did not come";
  EXPECT_TRUE(Log().endsWith(M("StartingNewVersion") + " ERROR !\n\n" + M("StartingNewVersionError") +
                             "\nThe installer's SHA-256 is not the signed release's\n\n" +
                             M("AutoUpdateFailed")))
      << Log().toStdString();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(Ran().empty());
  EXPECT_EQ(Left(), std::vector<std::string>{});
}

// A build without the release key tells of the new version, asks nothing and fetches nothing more.
TEST_F(UpdatePageTest, WithoutAReleaseKeyTheNewVersionIsOnlyReported) {
  page->SetPublicKey(std::nullopt);
  server.Serve(kVersion, {200, "3.0.4"});
  window->TimerMinimizeTimer();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  EXPECT_EQ(Log(), M("DownloadingVersion") + " OK !\n" + M("OpeningVersion") + " OK !\n\n" +
                       M("NewVersionNoReleaseKey"));
  EXPECT_TRUE(dialogs.Recorded().empty());
  EXPECT_EQ(server.Requests(), QStringList{kVersion});
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");  // news the player should see, even at start-up
  EXPECT_EQ(Left(), std::vector<std::string>{});
}

TEST_F(UpdatePageTest, ReleaseSignedWithAnotherKeyIsNotFetched) {
  OfferRelease(TestSigningKey());  // signed, but not with the key the program trusts
  EXPECT_TRUE(Log().endsWith(M("VerifyingRelease") + " ERROR !\n\n" + M("VerifyingReleaseError") +
                             "\nThe release description is not signed with the release key\n\n" +
                             M("AutoUpdateFailed")))
      << Log().toStdString();
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_FALSE(server.Requests().contains("/KESTA/KESTASetup_beta3.exe"));
  EXPECT_EQ(Left(), std::vector<std::string>{});
  EXPECT_TRUE(window->isVisible());
}

TEST_F(UpdatePageTest, SpeedInKiloOctetsPerSecond) {
  page->ShowDownloadProgress(2097152, 4000);
  EXPECT_EQ(Control<QLabel>("LabelSpeed")->text(), M("Downloading") + " 512.00 Ko/s");
}

class UpdatePageWithoutServerTest : public UpdatePageTest {
  std::string ServerSetting() const override { return ""; }
};

TEST_F(UpdatePageWithoutServerTest, SaysNoServerIsConfiguredAndSendsNothing) {
  connected = false;  // not what the player is told: the server is missing, not the network
  RunFromRibbon();
  EXPECT_EQ(Log(), M("NoUpdateServer"));
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_TRUE(server.Requests().isEmpty());
  // At start-up the missing server is nobody's concern: the page stays where it was.
  window->Pages().ShowPage("TabSheetGraphicsStandards");
  window->TimerMinimizeTimer();
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
}

// The start-up check without a server looks for nothing, so the window does not build the page for it;
// the command still does, to say what is missing.
TEST(UpdateCheckAtStartUpTest, WithoutAServerThePageWaitsForTheCommand) {
  ProgramInstall install;
  ScriptedDialogs dialogs;
  TFrmKESTA window(WindowEnvironment{install.Folder(), &dialogs, {}});
  window.FormCreate();
  ASSERT_TRUE(window.Tray().OptionToggleOn(OptionToggle::CheckForUpdateWhenStarting));
  window.TimerMinimizeTimer();
  EXPECT_EQ(window.findChild<TUpdatePage*>(), nullptr);
  EXPECT_EQ(window.Pages().ActivePage()->objectName(), "TabSheetGraphicsStandards");

  window.RibbonButton("dxButtonKESTAUpdate")->click();
  ASSERT_NE(window.findChild<TUpdatePage*>(), nullptr);
  EXPECT_EQ(window.findChild<QPlainTextEdit*>("MemoUpdate")->toPlainText(),
            window.LookupMessage("NoUpdateServer"));
  EXPECT_TRUE(dialogs.Recorded().empty());
}

}  // namespace
}  // namespace kesta::test
