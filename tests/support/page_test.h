#pragma once
// The base of the page tests: the real window started on a copy of the sample game, with the dialogs
// answered by the script, and the checks every page test needs.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/program_install.h"
#include "support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/page_area.h"

namespace kesta::test {

class PageTest : public testing::Test {
 protected:
  void SetUp() override;

  // The window's control of that name; a missing one fails the test.
  template <typename T>
  T* Control(const QString& name) const {
    T* control = window->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
  // Every dialog so far, one per line, for failure messages.
  std::string Recorded() const;
  // The picture above the page is the named one of the images folder.
  bool Shows(const char* picture) const;
  // The game's Lua 5.1 compiler accepts the file.
  void ExpectLuaReads(const std::filesystem::path& file) const;

  ProgramInstall install;
  ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
};

// The real window started on a copy of the sample game, shown and the active one, as the player sees it
// when using the keyboard.
class ActiveWindowTest : public testing::Test {
 protected:
  void SetUp() override;

  ProgramInstall install;
  ScriptedDialogs dialogs;
  std::unique_ptr<TFrmKESTA> window;
};

}  // namespace kesta::test
