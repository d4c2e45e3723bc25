#pragma once
// Where the Wine prefix's registry says LoTATC and LoTATC .NET are installed (their uninstall entries).

#include <filesystem>
#include <string>
#include <string_view>

namespace kesta {

struct CompanionInstallations {
  std::string lotatcClientPath;  // Windows paths, as the registry names them; empty when not installed
  std::string lotatcServerPath;
  bool lotatcNet = false;
  // The address LoTATC .NET was deployed from, when its entry names one.
  std::string lotatcNetInstalledAddress;
};

// Reads the current registry; a registry that cannot be read counts as naming nothing.
CompanionInstallations FindCompanions();

// The prefix whose registry named the companions, and so holds their programs.
std::filesystem::path CompanionPrefix();

// The address LoTATC .NET is started by: from the host setting, else the one it was installed from; empty
// when neither is known.
std::string LotatcNetAddress(std::string_view hostSetting, const std::string& installedAddress);

}  // namespace kesta
