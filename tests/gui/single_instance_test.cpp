// Starting the program while it runs: the real program started as child processes over a temporary
// installation, with a runtime folder of the test's own, so that no other test or window is involved.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "app/single_instance.h"
#include "app/tray_and_options.h"
#include "support/page_test.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

namespace fs = std::filesystem;

// The runtime folder as the session makes it: the user's alone.
fs::path PrivateFolder(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
  return folder;
}

class SingleInstanceTest : public test::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    fs::copy_file(test::BinaryFolder() / "kesta", install.Folder().Executable());
  }

  // The player starts the program from its menu entry.
  void Start(QProcess& process) const {
    process.setProgram(QString::fromStdString(install.Folder().Executable().string()));
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    ASSERT_TRUE(process.waitForStarted());
  }
  // The start has ended by itself, while this process answered what it was asked.
  static bool Ended(QProcess& process) {
    return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000);
  }
  fs::path Socket() const { return runtime.Path() / "kesta.instance"; }

  test::TempFolder runtime;
  test::ScopedEnv runtimeVariable{"XDG_RUNTIME_DIR", PrivateFolder(runtime.Path()).c_str()};
};

TEST_F(SingleInstanceTest, ASecondStartBringsTheRunningWindowToTheFrontAndEnds) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(QTest::qWaitFor([this] { return fs::exists(Socket()); }, 60000));
  QProcess second;
  Start(second);
  ASSERT_TRUE(Ended(second));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);

  // Killed, the first leaves its socket behind; no later start is kept from being the first by it.
  ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
  ASSERT_TRUE(first.waitForFinished());
  ASSERT_TRUE(fs::exists(Socket()));
  TSingleInstance here;
  ASSERT_TRUE(here.ClaimOrWake());
  here.OnShowRequested([this] { window->Tray().RestoreFromTray(); });

  // This window, as the program's first, is asked to come back by the next start, minimised or hidden.
  for (const bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden in the tray" : "minimised");
    window->show();
    window->showMinimized();
    if (hidden) window->hide();
    QProcess next;
    Start(next);
    ASSERT_TRUE(Ended(next));
    EXPECT_EQ(next.exitCode(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
  }
}

}  // namespace
}  // namespace kesta
