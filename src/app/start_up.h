#pragma once
// Everything the program does between making the application object and showing the idle window. The
// start-up bench runs this same code, so that what it times is what the player waits for.

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <clocale>
#include <filesystem>
#include <functional>
#include <memory>

#include <QPointer>

#include "app/compat_relaunch.h"
#include "app/kesta_application.h"
#include "app/splash_screen.h"
#include "platform/registry.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

using StartProgramFunction = decltype(WindowEnvironment::startProgram);

// The shown main window; nothing when another instance was started in this one's place, or runs
// already (`claimInstance` answers false), and this one must end at once.
inline std::unique_ptr<TFrmKESTA> StartMainWindow(const std::filesystem::path& executable,
                                                  const StartProgramFunction& startProgram,
                                                  const std::function<bool()>& claimInstance = {}) {
  QApplication::setApplicationName("KESTA");
  // No display name: Qt would add it to every window and box title ("Kesta — KESTA").
  // The installed desktop entry (kesta.desktop): desktops match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("kesta");
  // Numbers always use "." whatever the user's locale: the game's files expect it.
  QLocale::setDefault(QLocale::c());
  std::setlocale(LC_NUMERIC, "C");

  const auto startAgain = [&startProgram](const std::filesystem::path& program) {
    return startProgram && startProgram(program, program.parent_path());
  };
  if (CompatibilityRelaunchCheck(CurrentRegistry(), executable, startAgain)) return nullptr;
  // Only now: the relaunched instance must not find this one running.
  if (claimInstance && !claimInstance()) return nullptr;

  auto* splash = new TFrmSplashScreen;
  splash->show();
  splash->repaint();
  QApplication::processEvents();

  auto window = std::make_unique<TFrmKESTA>(
      WindowEnvironment{ProgramFolder(executable), nullptr, startProgram}, splash);
  TKestaApplication::SetFailureDisplay([shown = QPointer<TFrmKESTA>(window.get())](const QString& text) {
    if (!shown) return false;
    shown->Dialogs().Error(text);
    return true;
  });
  window->FormCreate();
  splash->close();
  std::setlocale(LC_NUMERIC, "C");
  if (const QScreen* screen = QApplication::primaryScreen())
    window->move(screen->availableGeometry().center() - window->rect().center());
  window->show();
  return window;
}

}  // namespace kesta
