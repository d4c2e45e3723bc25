#include "app/kesta_application.h"
#include "app/start_up.h"
#include "platform/shell.h"

int main(int argc, char* argv[]) {
  kesta::TKestaApplication application(argc, argv);
  const std::filesystem::path executable = QApplication::applicationFilePath().toStdString();
  const auto window = kesta::StartMainWindow(
      executable, [](const std::filesystem::path& program, const std::filesystem::path& workingFolder) {
        return kesta::StartDetached(program.string(), {}, workingFolder);
      });
  return window ? application.exec() : 0;
}
