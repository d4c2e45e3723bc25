#include "settings/settings_file.h"

#include <array>
#include <utility>

#include "settings/ini_file.h"

namespace kesta {

std::string DefaultSetting(std::string_view key) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 27> kDefaults{{
      {"MinimizeInSysTray", "0"},
      {"StartMinimize", "0"},
      {"ServerListPath", ""},
      {"BackupPath", ""},
      {"ReloadSettingsMessage", "0"},
      {"AutoDeleteTrackIrIni", "1"},
      {"Language", "EN"},
      {"LockOnPath", ""},
      {"CheckForUpdateWhenStarting", "1"},
      {"SynchronizeDate", "0"},
      {"CheckTrackIR", "0"},
      {"ThemeColor", "Black"},
      {"FormStyle", "New"},
      {"PreferedAircraft", "Su-27"},
      {"PathReg", "Software\\Eagle Dynamics\\Lock On 1.1\\"},
      {"Graphics", "Config\\graphics.cfg"},
      {"Cockpit", "Config\\cockpit.cfg"},
      {"Network", "Config\\network\\config.lua"},
      {"Stats", "Config\\network\\stats.lua"},
      {"Server", "Config\\view\\server.lua"},
      {"View", "Config\\view\\view.lua"},
      {"SnapView", "Config\\view\\snapviews.lua"},
      {"Producer", "Config\\producer.cfg"},
      {"World", "Config\\World\\World.lua"},
      {"Drawinfo", "Config\\weapons\\drawinfo.lua"},
      {"ExportConfig", "Config\\Export\\config.lua"},
      {"MECustom", "ME\\MeCustom.xml"},
  }};
  for (const auto& [name, value] : kDefaults)
    if (name == key) return std::string(value);
  return {};
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) const {
  const std::optional<std::string> stored = ReadIniKey(m_path, section, key);
  if (!stored) {
    std::string value = DefaultSetting(key);
    try {
      StoreIniValue(m_path, section, key, value);
    } catch (const std::exception& failure) {
      if (!m_onWriteFailure) throw;
      m_onWriteFailure(failure.what());
    }
    return value;
  }
  return stored->empty() ? DefaultSetting(key) : *stored;
}

void SettingsFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value) const {
  WriteIniValue(m_path, section, key, value);
}

}  // namespace kesta
