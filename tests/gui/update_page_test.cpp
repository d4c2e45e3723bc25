#include "update/update_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <filesystem>

#include "settings/ini_file.h"
#include "support/local_http_server.h"
#include "support/page_test.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "support/test_signing_key.h"
#include "ui/ribbon.h"

namespace kesta::test {
namespace {

const QString kVersion = "/KESTA/version_beta3.txt";
const QByteArray kInstaller = "#!/bin/sh\npwd > installer-ran.txt\n";

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
  QString ActivePage() const { return window->ActivePage()->objectName(); }
  // A new release whose installer records that it ran; the player says yes to it.
  void OfferRelease(const TestSigningKey& signer) {
    server.Serve(kVersion, {200, "3.0.4"});
    server.Serve("/KESTA/KESTASetup_beta3.exe", {200, kInstaller});
    server.Serve("/KESTA/KESTASetup_beta3.exe.sig", {200, signer.Sign(kInstaller)});
    window->show();
    dialogs.QueueYes();
    RunFromRibbon();
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
  EXPECT_EQ(Log(), M("DownloadingVersion") + " OK !\n" + M("OpeningVersion") + " OK !\n\n" + M("LastestVersion"));
  EXPECT_TRUE(Shown("ImageUpdateOk"));
  EXPECT_FALSE(Shown("ImageUpdateError"));
  EXPECT_EQ(ActivePage(), "TabSheetUpdate");
  EXPECT_TRUE(window->RibbonButton("dxButtonKESTAUpdate")->isEnabled());
  EXPECT_TRUE(Control<QAction>("MenuCheckForUpdate")->isEnabled());
  EXPECT_EQ(ReadBytes(temp / "KESTAVERSION.TXT"), "3.0.3\n");
}

TEST_F(UpdatePageTest, AFailureShowsItsBlockAndThePicturesStayOnceShown) {
  Control<QAction>("MenuCheckForUpdate")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !page->Running(); }, 20000)) << "the check did not end";
  EXPECT_EQ(Log(), M("DownloadingVersion") + " ERROR !\n\n" + M("DownloadingVersionError") + "\n404 Not Found\n\n" +
                       M("AutoUpdateFailed"));
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
  EXPECT_TRUE(Log().endsWith(M("VerifyingNewVersion") + " OK !\n\n" + M("CloseAndSetup"))) << Log().toStdString();
  // The bar was sized to the installer; both it and the speed are cleared once the download ended.
  EXPECT_EQ(Control<QProgressBar>("ProgressBar")->maximum(), kInstaller.size());
  EXPECT_EQ(Control<QProgressBar>("ProgressBar")->value(), 0);
  EXPECT_EQ(Control<QLabel>("LabelSpeed")->text(), "");
  EXPECT_TRUE(Shown("ImageUpdateOk"));
  EXPECT_TRUE(QTest::qWaitFor([this] { return std::filesystem::exists(temp / "installer-ran.txt"); }, 10000));
  EXPECT_FALSE(window->isVisible());
}

TEST_F(UpdatePageTest, UnverifiedInstallerIsDeletedAndNotStarted) {
  OfferRelease(TestSigningKey());  // signed, but not with the key the program trusts
  EXPECT_TRUE(Log().endsWith(M("VerifyingNewVersion") + " ERROR !\n\n" + M("VerifyingNewVersionError") +
                             "\nThe signature does not match the release key\n\n" + M("AutoUpdateFailed")))
      << Log().toStdString();
  EXPECT_TRUE(Shown("ImageUpdateError"));
  EXPECT_FALSE(std::filesystem::exists(temp / "KESTASetup.exe"));
  QTest::qWait(300);
  EXPECT_FALSE(std::filesystem::exists(temp / "installer-ran.txt"));
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
  window->ShowPage("TabSheetGraphicsStandards");
  window->TimerMinimizeTimer();
  EXPECT_EQ(ActivePage(), "TabSheetGraphicsStandards");
}

}  // namespace
}  // namespace kesta::test
