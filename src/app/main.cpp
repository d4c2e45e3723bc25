#include <QApplication>
#include <QLocale>
#include <QScreen>

#include "app/compat_relaunch.h"
#include "app/splash_screen.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/main_window.h"

namespace {

bool StartAgain(const std::filesystem::path& program, const std::filesystem::path& workingFolder) {
  return kesta::StartDetached(program.string(), {}, workingFolder);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("KESTA");
  QApplication::setApplicationDisplayName("KESTA");
  // Numbers always use "." whatever the user's locale: the game's files expect it.
  QLocale::setDefault(QLocale::c());
  std::setlocale(LC_NUMERIC, "C");

  const std::filesystem::path executable = QApplication::applicationFilePath().toStdString();
  if (kesta::CompatibilityRelaunchCheck(kesta::CurrentRegistry(), executable,
                                        [](const auto& program) { return StartAgain(program, program.parent_path()); }))
    return 0;

  auto* splash = new kesta::TFrmSplashScreen;
  splash->show();
  splash->repaint();
  QApplication::processEvents();

  kesta::WindowEnvironment environment{kesta::ProgramFolder(executable), nullptr, StartAgain};
  kesta::TFrmKESTA window(environment, splash);
  window.FormCreate();
  splash->close();
  std::setlocale(LC_NUMERIC, "C");
  if (const QScreen* screen = QApplication::primaryScreen())
    window.move(screen->availableGeometry().center() - window.rect().center());
  window.show();
  return application.exec();
}
