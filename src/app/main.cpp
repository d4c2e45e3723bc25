#include "app/command_line.h"
#include "app/kesta_application.h"
#include "app/single_instance.h"
#include "app/start_up.h"
#include "app/tray_and_options.h"
#include "platform/shell.h"

int main(int argc, char* argv[]) {
  // Before the application object: --help and --version need no display and start nothing.
  if (const auto status = kesta::AnswerCommandLine(argc, argv, stdout)) return *status;
  kesta::TKestaApplication application(argc, argv);
  const std::filesystem::path executable = QApplication::applicationFilePath().toStdString();
  kesta::TSingleInstance instance;
  const auto window = kesta::StartMainWindow(
      executable,
      [&instance](const std::filesystem::path& program, const std::filesystem::path& workingFolder) {
        // The program started in this one's place (a new game folder) must not find this one running.
        instance.Release();
        return kesta::StartDetached(program.string(), {}, workingFolder);
      },
      [&instance] { return instance.ClaimOrWake(); });
  if (!window) return 0;
  instance.OnShowRequested([&window] { window->Tray().RestoreFromTray(); });
  return application.exec();
}
