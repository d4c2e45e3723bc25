// The window around config.lua, stats.lua and server.lua: the join entries follow each load of the server
// list, an Apply with a value config.lua cannot hold is refused while the other files are written,
// and the F4 window's changes reach Apply only when kept with OK.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "app/tray_and_options.h"
#include "documents/cockpit_document.h"
#include "documents/network_document.h"
#include "documents/server_document.h"
#include "pages/multiplayer/f4_view_window.h"
#include "sets/configuration_commands.h"
#include "sets/game_file_set.h"
#include "support/page_test.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

class MultiplayerFilesTest : public test::PageTest {
 protected:
  std::filesystem::path Config() const { return install.Game("Config/network/config.lua"); }
  std::filesystem::path Cockpit() const { return install.Game("Config/cockpit.cfg"); }
  ServerDocument& Server() const { return window->GameFiles().Get<ServerDocument>(); }

  // Clicks the F4 button; `use` works on the window once it is open and closes it.
  void WithF4Window(const std::function<void(TFrmF4View&)>& use) {
    bool reached = false;
    QTimer::singleShot(0, [&] {
      auto* f4 = qobject_cast<TFrmF4View*>(QApplication::activeModalWidget());
      ASSERT_NE(f4, nullptr);
      reached = true;
      use(*f4);
    });
    window->Pages().ShowPage("TabSheetViewCockpit");
    Control<QPushButton>("ButtonF4View")->click();
    EXPECT_TRUE(reached);
  }
};

TEST_F(MultiplayerFilesTest, EachLoadOfTheServerListRebuildsTheJoinEntries) {
  QSignalSpy rebuilt(&window->Tray(), &TTrayAndOptions::JoinMenuOutdated);
  ASSERT_TRUE(window->GameFiles().Load("Network", Config()));
  EXPECT_EQ(rebuilt.count(), 1);
  window->GameFiles().Load("Stats", install.Game("Config/network/stats.lua"));
  EXPECT_EQ(rebuilt.count(), 1);
}

TEST_F(MultiplayerFilesTest, ApplyRefusesAValueTheFileCannotHoldAndWritesTheOthers) {
  const std::string config = test::ReadBytes(Config());
  window->GameFiles().Get<NetworkDocument>().chatHeight = "1 (";  // as a user may type it
  window->GameFiles().Get<CockpitDocument>().mirrors = 0;
  window->EnableApplyCancel(true, true);
  window->Configuration().dxButtonApplyClick();

  ASSERT_EQ(dialogs.Recorded().size(), 1u) << Recorded();
  const QString message = dialogs.Recorded()[0].text;
  EXPECT_EQ(dialogs.Recorded()[0].kind, "Error");
  EXPECT_TRUE(message.startsWith(window->LookupMessage("Applying") + " (NetworkSettings)\r\n"))
      << message.toStdString();
  EXPECT_TRUE(message.endsWith("- " + window->LookupMessage("InvalidNumber") + " height = 1 ("))
      << message.toStdString();
  EXPECT_EQ(test::ReadBytes(Config()), config);
  EXPECT_NE(test::ReadBytes(Cockpit()).find("Mirrors = 0;"), std::string::npos);
  EXPECT_EQ(window->GameFiles().Get<NetworkDocument>().chatHeight, "1 (");  // the page keeps what was typed
}

TEST_F(MultiplayerFilesTest, F4WindowChangesReachApplyOnlyThroughOk) {
  const ServerDocument before = Server();
  WithF4Window([](TFrmF4View& f4) { f4.accept(); });
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(Server() == before);

  WithF4Window([](TFrmF4View& f4) {
    f4.ImageMouseUp({0, 21});
    f4.reject();
  });
  EXPECT_FALSE(window->Configuration().ApplyEnabled());
  EXPECT_TRUE(Server() == before);

  WithF4Window([](TFrmF4View& f4) {
    f4.ImageMouseUp({0, 21});
    f4.accept();
  });
  EXPECT_TRUE(window->Configuration().ApplyEnabled());
  EXPECT_EQ(Server().f4ViewX, "8.61");
  EXPECT_EQ(Server().f4ViewY, "+ 3.57");
  window->Configuration().dxButtonApplyClick();
  const std::string server = test::ReadBytes(install.Game("Config/view/server.lua"));
  EXPECT_NE(server.find("\tr[1] = p[1] + 3.57\r\n\tr[2] = p[2] +1.5\r\n\tr[3] = 8.61\r\n"), std::string::npos)
      << server;
  ExpectLuaReads(install.Game("Config/view/server.lua"));
}

}  // namespace
}  // namespace kesta
