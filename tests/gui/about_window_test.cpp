// The About window and the bug-report commands on the real window over a copy of the sample game: what the
// window shows, its link and the bug-report page opened through a stand-in xdg-open, and the commands
// without a server to point at.

#include "ui/about_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "settings/ini_file.h"
#include "support/fake_desktop_handler.h"
#include "support/program_install.h"
#include "support/scoped_env.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "ui/jpeg_image.h"
#include "ui/main_window.h"
#include "ui/preview_pictures.h"
#include "ui/ribbon.h"
#include "ui/ribbon_button.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

constexpr char kWebSite[] = "kesta.example.org";
constexpr char kDownloads[] = "downloads.example.org";

class AboutWindowTest : public testing::Test {
 protected:
  // The window started with these host settings (nullptr: not in the settings file at all).
  void Start(const char* webSite, const char* downloads) {
    if (webSite) WriteIniValueOrFail(install.SettingsFile(), "Config", "WebSiteHost", webSite);
    if (downloads) WriteIniValueOrFail(install.SettingsFile(), "Config", "DownloadServerHost", downloads);
    window = std::make_unique<TFrmKESTA>(WindowEnvironment{install.Folder(), &dialogs, {}});
    window->FormCreate();
    ASSERT_TRUE(dialogs.Recorded().empty()) << dialogs.Recorded().front().text.toStdString();
  }

  // Runs `command`, which should open the About window, and `whileOpen` on that window once it is shown.
  // Returns the window, which must be gone again by then.
  QPointer<TFrmAbout> WithAbout(const std::function<void()>& command,
                                const std::function<void(TFrmAbout&)>& whileOpen) {
    QPointer<TFrmAbout> opened;
    QTimer::singleShot(0, [&] {
      opened = qobject_cast<TFrmAbout*>(QApplication::activeModalWidget());
      if (!opened) return ADD_FAILURE() << "no About window";
      if (!QTest::qWaitForWindowExposed(opened)) ADD_FAILURE() << "the About window never appeared";
      whileOpen(*opened);
      if (opened && opened->isVisible()) {
        ADD_FAILURE() << "the About window is still open";
        opened->reject();
      }
    });
    command();
    return opened;
  }

  TRibbonButton* Button(const char* name) const { return window->RibbonButton(name); }
  QAction* TrayItem(const char* name) const { return window->findChild<QAction*>(name); }

  test::ProgramInstall install;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
};

template <typename T>
T* Control(const TFrmAbout& about, const char* name) {
  T* control = about.findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

QString Text(const TFrmAbout& about, const char* name) {
  const QLabel* label = Control<QLabel>(about, name);
  return label ? label->text() : QString();
}

TEST_F(AboutWindowTest, ShowsTheDesignInTheLanguageAndEnterClosesAFreshWindowEachTime) {
  Start(kWebSite, kDownloads);
  const QImage banner = DecodeJpegFile(install.Folder().Images() / std::string(kAboutBanner));
  const auto check = [&](TFrmAbout& about) {
    EXPECT_EQ(about.size(), QSize(297, 452));
    EXPECT_EQ(about.windowTitle(), "About KESTA");
    const QLabel* image = Control<QLabel>(about, "Image1");
    EXPECT_EQ(image->geometry(), QRect(0, 0, 297, 153));
    EXPECT_EQ(image->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              banner.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Text(about, "Label1"), "KESTA");
    EXPECT_EQ(Text(about, "LabelVersion"), "v.3.0.3");
    EXPECT_EQ(Text(about, "JvLinkLabel"), "http://kesta.example.org/");
    EXPECT_EQ(Control<QLabel>(about, "JvLinkLabel")->palette().color(QPalette::WindowText),
              QColor(0, 64, 128));
    EXPECT_EQ(Text(about, "LabelIconsSite"), "http://kesta.example.org/");
    EXPECT_EQ(QStringList({Text(about, "LabelDevelopper"), Text(about, "LabelPictures"),
                           Text(about, "LabelLanguages"), Text(about, "LabelIcons")}),
              QStringList({"Developer:", "Pictures:", "Languages:", "Icons:"}));
    QStringList translators;
    for (int i = 1; i <= 6; ++i)
      translators << Text(about, QString("LabelLanguage%1").arg(i).toUtf8()).left(2);
    EXPECT_EQ(translators, QStringList({"FR", "EN", "SP", "RU", "HR", "DE"}));
    const QPushButton* ok = Control<QPushButton>(about, "ButtonGraphicsApply");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    QTest::keyClick(&about, Qt::Key_Return);
  };
  const QPointer<TFrmAbout> first = WithAbout([&] { Button("dxButtonAbout")->click(); }, check);
  EXPECT_TRUE(first.isNull());  // freed once closed
  // The tray's item opens a new one, not the first brought back.
  const QPointer<TFrmAbout> second = WithAbout([&] { TrayItem("MenuAbout")->trigger(); }, check);
  EXPECT_TRUE(second.isNull());
  EXPECT_EQ(TrayItem("MenuAbout")->text(), "About KESTA");
  EXPECT_TRUE(dialogs.Recorded().empty());
}

TEST_F(AboutWindowTest, LinkAndBugReportOpenWithTheDesktopsHandlerAndAFailureIsReported) {
  Start(kWebSite, kDownloads);
  EXPECT_TRUE(Button("dxButtonReportBug")->isEnabled());
  EXPECT_TRUE(TrayItem("MenuBugReport")->isEnabled());
  const auto clickLink = [](TFrmAbout& about) {
    QLabel* link = about.findChild<QLabel*>("JvLinkLabel");
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
  };
  {
    test::FakeDesktopHandler handler;
    EXPECT_EQ(handler.Opened([&] {
      WithAbout([&] { window->About().MenuAboutClick(); },
                [&](TFrmAbout& about) {
                  clickLink(about);
                  about.accept();
                });
    }),
              "http://kesta.example.org/");
    EXPECT_EQ(handler.Opened([&] { Button("dxButtonReportBug")->click(); }),
              "http://downloads.example.org/KESTA/bugreport/");
    EXPECT_EQ(handler.Opened([&] { TrayItem("MenuBugReport")->trigger(); }),
              "http://downloads.example.org/KESTA/bugreport/");
    EXPECT_TRUE(dialogs.Recorded().empty());
  }

  // Without a handler to start, the user is told instead of nothing happening.
  test::TempFolder empty;
  test::ScopedEnv noHandler("PATH", empty.Path().c_str());
  WithAbout([&] { window->About().MenuAboutClick(); },
            [&](TFrmAbout& about) {
              clickLink(about);
              about.accept();
            });
  Button("dxButtonReportBug")->click();
  ASSERT_EQ(dialogs.Recorded().size(), 2u);
  for (const auto& [dialog, address] :
       {std::pair{dialogs.Recorded()[0], "http://kesta.example.org/"},
        std::pair{dialogs.Recorded()[1], "http://downloads.example.org/KESTA/bugreport/"}}) {
    EXPECT_EQ(dialog.kind, "Error");
    EXPECT_EQ(dialog.text, "The web address could not be opened (no web browser could be started):\r\n" +
                               QString(address));
  }
}

// An empty host, one missing from the settings file and one that is not a host name all leave the window
// without a link and the bug-report commands disabled with the reason on them.
TEST_F(AboutWindowTest, WithoutUsableHostsTheLinkIsHiddenAndBugReportSaysWhyItIsDisabled) {
  for (const char* host : {static_cast<const char*>(nullptr), "", "example.org/evil", "--help"}) {
    SCOPED_TRACE(host ? host : "(absent)");
    window.reset();
    Start(host, host);
    const QString why = window->LookupMessage("BugReportNoServer");
    EXPECT_TRUE(why.startsWith("No bug-report page is set.")) << why.toStdString();
    TRibbonButton* report = Button("dxButtonReportBug");
    EXPECT_FALSE(report->isEnabled());
    EXPECT_EQ(report->toolTip(), why);
    // The tooltip is shown over the disabled button too.
    window->show();
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), report->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(report, &hover);
    EXPECT_EQ(QToolTip::text(), why);
    QToolTip::hideText();
    EXPECT_FALSE(TrayItem("MenuBugReport")->isEnabled());
    EXPECT_EQ(TrayItem("MenuBugReport")->toolTip(), why);
    EXPECT_TRUE(window->findChild<QMenu*>("PopupDroit")->toolTipsVisible());
    WithAbout([&] { Button("dxButtonAbout")->click(); },
              [&](TFrmAbout& about) {
                EXPECT_FALSE(Control<QLabel>(about, "JvLinkLabel")->isVisible());
                EXPECT_EQ(about.findChild<QLabel*>("LabelIconsSite"), nullptr);
                EXPECT_TRUE(Control<QLabel>(about, "LabelIconsName")->isVisible());
                about.accept();
              });
    EXPECT_TRUE(dialogs.Recorded().empty());
  }
}

TEST_F(AboutWindowTest, BugReportPageRemovedWhileRunningIsReportedAndTheCommandsTurnOff) {
  Start(kWebSite, kDownloads);
  WriteIniValueOrFail(install.SettingsFile(), "Config", "DownloadServerHost", "");
  TrayItem("MenuBugReport")->trigger();
  ASSERT_EQ(dialogs.Recorded().size(), 1u);
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_EQ(dialogs.Recorded()[0].text, window->LookupMessage("BugReportNoServer"));
  EXPECT_FALSE(Button("dxButtonReportBug")->isEnabled());
  EXPECT_FALSE(TrayItem("MenuBugReport")->isEnabled());
}

TEST_F(AboutWindowTest, AMissingBannerLeavesItsPlaceEmptyAndTheWindowOpens) {
  fs::remove(install.Folder().Images() / std::string(kAboutBanner));
  Start(kWebSite, kDownloads);
  const QPointer<TFrmAbout> about =
      WithAbout([&] { window->About().MenuAboutClick(); },
                [&](TFrmAbout& shown) {
                  EXPECT_TRUE(Control<QLabel>(shown, "Image1")->pixmap().isNull());
                  EXPECT_EQ(Text(shown, "LabelVersion"), "v.3.0.3");
                  shown.accept();
                });
  EXPECT_TRUE(about.isNull());
  EXPECT_TRUE(dialogs.Recorded().empty());
}

}  // namespace
}  // namespace kesta
