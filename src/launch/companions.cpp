// LoTATC and LoTATC .NET, found in the Wine prefix's registry at start-up and started under Wine, and the
// two TrackIR steps every game start runs first.

#include <system_error>

#include "engine/text.h"
#include "platform/game_paths.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/wine_registry.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

constexpr std::string_view kLotatcKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LOTATC";
constexpr std::string_view kUserUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kLotatcNetManifest = "/update/LotatcDotNET.application";

// The prefix whose registry named the companions, and so holds their programs.
std::filesystem::path RegistryPrefix() {
  if (const auto* wine = dynamic_cast<const WineRegistry*>(&CurrentRegistry())) return wine->Prefix();
  return WineRegistry::DefaultPrefix();
}

// Everything up to and including the last path separator or drive colon, then `program`, without quotes.
std::string BesideUninstaller(const std::string& uninstallString, std::string_view program) {
  const std::size_t end = uninstallString.find_last_of("\\:");
  std::string path =
      (end == std::string::npos ? std::string() : uninstallString.substr(0, end + 1)) + std::string(program);
  std::erase(path, '"');
  return path;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

void TFrmKESTA::DetectCompanions() {
  for (const QString& id : {command::kLotatcClient, command::kLotatcServer, command::kLotatcNet})
    m_commands->SetVisible(id, false);
  try {
    const std::string uninstaller = ReadRegString(RegRoot::LocalMachine, kLotatcKey, "UninstallString");
    if (!uninstaller.empty()) {
      m_lotatcClientPath = BesideUninstaller(uninstaller, "LoTATC.exe");
      m_lotatcServerPath = BesideUninstaller(uninstaller, "lotatcsrv.exe");
      m_commands->SetVisible(command::kLotatcClient, true);
      m_commands->SetVisible(command::kLotatcServer, true);
    }
  } catch (const std::exception&) {
    // No LoTATC: its commands stay hidden.
  }
  try {
    if (IsLotatcNetInstalled()) m_commands->SetVisible(command::kLotatcNet, true);
  } catch (const std::exception&) {
  }
}

bool TFrmKESTA::IsLotatcNetInstalled() {
  TRegistryRO registry;
  registry.SetRootKey(RegRoot::CurrentUser);
  if (!registry.OpenKeyRead(kUserUninstallKey)) return false;
  const std::vector<std::string> entries = registry.GetKeyNames();
  bool installed = false;
  for (const std::string& entry : entries) {
    TRegistryRO subKey;
    subKey.SetRootKey(RegRoot::CurrentUser);
    if (!subKey.OpenKeyRead("\\" + std::string(kUserUninstallKey) + "\\" + entry)) continue;
    if (subKey.GetDataSize("DisplayName") < 0) continue;
    const std::string name = subKey.ReadString("DisplayName");
    if (!EqualsNoCase(name, "LoTATC .NET") && !EqualsNoCase(name, "LoTATC.NET")) continue;
    installed = true;
    // The installer records where it was deployed from: the address to start it by when no host is set.
    if (subKey.GetDataSize("UrlUpdateInfo") > 0) {
      const std::string address = Trim(subKey.ReadString("UrlUpdateInfo"));
      if (EndsWithNoCase(address, kLotatcNetManifest)) m_lotatcNetInstalledAddress = address;
    }
  }
  return installed;
}

std::string TFrmKESTA::LotatcNetAddress() const {
  const std::string host = Trim(m_settings.ReadSetting("Config", "LotatcNetHost"));
  if (host.empty()) return m_lotatcNetInstalledAddress;
  return (host.find("://") == std::string::npos ? "http://" : "") + host + std::string(kLotatcNetManifest);
}

void TFrmKESTA::StartLotatc(const std::string& windowsPath, const char* failureKey) {
  const std::filesystem::path prefix = RegistryPrefix();
  const std::filesystem::path program = MapWindowsPath(prefix, windowsPath);
  StartUnderWineOrReport(program.string(), {}, program.parent_path(), prefix, LookupMessage(failureKey));
}

void TFrmKESTA::MenuLOTATCClientClick() { StartLotatc(m_lotatcClientPath, "LOTATCClient"); }
void TFrmKESTA::MenuLOTATCServerClick() { StartLotatc(m_lotatcServerPath, "LOTATCServer"); }

void TFrmKESTA::dxButtonLotatcNetClick() {
  const std::string address = LotatcNetAddress();
  if (address.empty()) return m_dialogs->Error(LookupMessage("LoTATCNetStartError"));
  StartUnderWineOrReport("rundll32.exe", {"dfshim.dll,ShOpenVerbApplication", address}, {}, RegistryPrefix(),
                         LookupMessage("LoTATCNetStartError"));
}

void TFrmKESTA::DeleteTrackIrIni() {
  if (!OptionToggleOn(OptionToggle::DeleteTrackIrIni)) return;
  const std::filesystem::path file = GamePath(m_gameFolder, "Input\\trackir.ini");
  std::error_code ignored;  // a file that stays is no reason to keep the game from starting
  if (std::filesystem::is_regular_file(file, ignored)) std::filesystem::remove(file, ignored);
}

bool TFrmKESTA::ConfirmTrackIR() {
  // opentrack is what players on Linux run in TrackIR's place; the game sees it as TrackIR.
  if (!OptionToggleOn(OptionToggle::CheckTrackIR) || FindProcess("TrackIR") || FindProcess("opentrack"))
    return true;
  return m_dialogs->ShowMessage(MessageKind::Warning, LookupMessage("TrackIRNotStarted"),
                                MessageButtons::YesNo) == DialogAnswer::Yes;
}

}  // namespace kesta
