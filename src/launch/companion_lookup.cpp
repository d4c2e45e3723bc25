#include "launch/companion_lookup.h"

#include <exception>
#include <vector>

#include "engine/text.h"
#include "platform/registry.h"
#include "platform/wine_registry.h"

namespace kesta {

namespace {

constexpr std::string_view kLotatcKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LOTATC";
constexpr std::string_view kUserUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kLotatcNetManifest = "/update/LotatcDotNET.application";

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

// Whether an uninstall entry of the user names LoTATC .NET; its deployment address goes to `address`.
bool FindLotatcNet(std::string& address) {
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
      const std::string url = Trim(subKey.ReadString("UrlUpdateInfo"));
      if (EndsWithNoCase(url, kLotatcNetManifest)) address = url;
    }
  }
  return installed;
}

}  // namespace

CompanionInstallations FindCompanions() {
  CompanionInstallations found;
  try {
    const std::string uninstaller = ReadRegString(RegRoot::LocalMachine, kLotatcKey, "UninstallString");
    if (!uninstaller.empty()) {
      found.lotatcClientPath = BesideUninstaller(uninstaller, "LoTATC.exe");
      found.lotatcServerPath = BesideUninstaller(uninstaller, "lotatcsrv.exe");
    }
  } catch (const std::exception&) {
    // No LoTATC.
  }
  try {
    found.lotatcNet = FindLotatcNet(found.lotatcNetInstalledAddress);
  } catch (const std::exception&) {
  }
  return found;
}

std::filesystem::path CompanionPrefix() {
  if (const auto* wine = dynamic_cast<const WineRegistry*>(&CurrentRegistry())) return wine->Prefix();
  return WineRegistry::DefaultPrefix();
}

std::string LotatcNetAddress(std::string_view hostSetting, const std::string& installedAddress) {
  const std::string host = Trim(std::string(hostSetting));
  if (host.empty()) return installedAddress;
  return (host.find("://") == std::string::npos ? "http://" : "") + host + std::string(kLotatcNetManifest);
}

}  // namespace kesta
