#include "settings/program_folder.h"

namespace kesta {

ProgramFolder::ProgramFolder(std::filesystem::path executable)
    : m_executable(std::move(executable)), m_folder(m_executable.parent_path()) {}

std::filesystem::path ProgramFolder::SettingsFile() const {
  std::filesystem::path settings = m_executable;
  settings.replace_extension(".ini");
  return settings;
}

}  // namespace kesta
