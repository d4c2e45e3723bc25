#include "ui/command_table.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <memory>

#include "ui/ribbon_button.h"

namespace kesta {
namespace {

// Two copies of one command's button, a tray menu with a separator leading two companion-like
// commands, and a table over them, as the window declares them.
struct CommandFixture {
  QWidget window;
  TRibbonButton* quick = new TRibbonButton("dxButtonApply", TRibbonButton::Size::Small, &window);
  TRibbonButton* inMenu = new TRibbonButton("dxButtonApply", TRibbonButton::Size::Small, &window);
  TRibbonButton* client = new TRibbonButton("dxButtonLotatcClient", TRibbonButton::Size::Large, &window);
  QMenu* tray = new QMenu(&window);
  QAction* separator = tray->addSeparator();
  QAction* clientItem = tray->addAction("LOTATC Client");
  QAction* netItem = tray->addAction("LOTATC.NET");
  TCommandTable table{&window};
  int applied = 0;
  int clientRuns = 0;
  int netRuns = 0;

  CommandFixture() {
    table.Register({"Apply", [this] { ++applied; }, {quick, inMenu}});
    table.Register({"Client", [this] { ++clientRuns; }, {client}, {separator, clientItem}});
    table.Register({"Net", [this] { ++netRuns; }, {}, {separator, netItem}});
  }
};

TEST(CommandTableTest, EveryPlaceRunsTheHandlerAndFollowsTheEnabledState) {
  CommandFixture f;
  f.quick->click();
  f.inMenu->click();
  f.clientItem->trigger();
  EXPECT_TRUE(f.table.Trigger("Net"));
  EXPECT_EQ(f.applied, 2);
  EXPECT_EQ(f.clientRuns, 1);
  EXPECT_EQ(f.netRuns, 1);

  ASSERT_TRUE(f.table.SetEnabled("Apply", false));
  EXPECT_FALSE(f.quick->isEnabled());
  EXPECT_FALSE(f.inMenu->isEnabled());
  EXPECT_FALSE(f.table.Enabled("Apply"));
  f.quick->click();  // a disabled button does not run its command
  EXPECT_EQ(f.applied, 2);

  ASSERT_TRUE(f.table.SetEnabled("Client", false));
  EXPECT_FALSE(f.client->isEnabled());
  EXPECT_FALSE(f.clientItem->isEnabled());
  EXPECT_TRUE(f.separator->isEnabled()) << "a separator is no place to enable";
  EXPECT_TRUE(f.netItem->isEnabled()) << "another command's item";

  ASSERT_TRUE(f.table.SetEnabled("Apply", true));
  EXPECT_TRUE(f.table.Enabled("Apply"));
  EXPECT_TRUE(f.inMenu->isEnabled());
}

TEST(CommandTableTest, UnknownIdsChangeNothing) {
  CommandFixture f;
  EXPECT_EQ(f.table.Find("Missing"), nullptr);
  EXPECT_FALSE(f.table.SetEnabled("Missing", false));
  EXPECT_FALSE(f.table.SetVisible("Missing", false));
  EXPECT_FALSE(f.table.SetAvailable("Missing", false, "why"));
  EXPECT_FALSE(f.table.Trigger("Missing"));
  EXPECT_FALSE(f.table.Enabled("Missing"));
  ASSERT_NE(f.table.Find("Apply"), nullptr);
  EXPECT_EQ(f.table.Find("Apply")->buttons.size(), 2);
}

// The separator that leads a group shows while any of the group's commands shows, whatever order
// they are shown and hidden in.
TEST(CommandTableTest, ASharedSeparatorShowsWhileAnyOfItsCommandsShows) {
  struct Case {
    bool client;
    bool net;
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
    CommandFixture f;
    const auto which = testing::Message() << "client " << c.client << ", net " << c.net;
    f.table.SetVisible("Client", false);
    f.table.SetVisible("Net", false);
    EXPECT_FALSE(f.separator->isVisible()) << which;
    f.table.SetVisible("Client", c.client);
    f.table.SetVisible("Net", c.net);
    EXPECT_EQ(f.clientItem->isVisible(), c.client) << which;
    EXPECT_EQ(f.client->isHidden(), !c.client) << which;
    EXPECT_EQ(f.netItem->isVisible(), c.net) << which;
    EXPECT_EQ(f.separator->isVisible(), c.client || c.net) << which;
    // Hiding one keeps the separator for the other.
    f.table.SetVisible("Net", false);
    EXPECT_EQ(f.separator->isVisible(), c.client) << which;
  }
}

TEST(CommandTableTest, AWithheldCommandSaysWhyAndForgetsItWhenOfferedAgain) {
  CommandFixture f;
  f.client->SetHint("Start LoTATC");
  ASSERT_TRUE(f.table.SetAvailable("Client", false, "No LoTATC here"));
  EXPECT_FALSE(f.client->isEnabled());
  EXPECT_FALSE(f.clientItem->isEnabled());
  EXPECT_EQ(f.client->toolTip(), "No LoTATC here");
  EXPECT_EQ(f.clientItem->toolTip(), "No LoTATC here");

  ASSERT_TRUE(f.table.SetAvailable("Client", true, "No LoTATC here"));
  EXPECT_TRUE(f.client->isEnabled());
  EXPECT_TRUE(f.clientItem->isEnabled());
  EXPECT_NE(f.clientItem->toolTip(), "No LoTATC here");
}

}  // namespace
}  // namespace kesta
