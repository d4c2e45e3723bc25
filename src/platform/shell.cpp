#include "platform/shell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kesta {

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& workingFolder) {
  QStringList qtArguments;
  for (const std::string& argument : arguments) qtArguments << QString::fromStdString(argument);
  return QProcess::startDetached(QString::fromStdString(program), qtArguments,
                                 QString::fromStdString(workingFolder.string()));
}

bool OpenWithDesktop(const std::string& target) {
  return StartDetached("xdg-open", {target}, std::filesystem::current_path());
}

}  // namespace kesta
