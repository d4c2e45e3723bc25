#include "settings/settings_file.h"

#include <sys/stat.h>

#include <array>
#include <utility>

#include "engine/failure.h"
#include "platform/file_io.h"
#include "settings/ini_file.h"

namespace kesta {

std::string DefaultSetting(std::string_view key) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 30> kDefaults{{
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
      {"WebSiteHost", ""},         // the program's web page; none is shown while empty
      {"DownloadServerHost", ""},  // bug-report page; no bug reports while empty
      {"UpdateServer", ""},        // base address of the update files; no update check while empty
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

// Identifies one version of the file: every write replaces it with a new file, and an edit in place
// changes its time or size (times tick in steps of a few milliseconds, far finer than a person edits).
struct SettingsFile::Parsed {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  IniDocument document;
};

SettingsFile::SettingsFile(std::filesystem::path path) : m_path(std::move(path)) {}
SettingsFile::~SettingsFile() = default;

std::optional<std::string> SettingsFile::Stored(std::string_view section, std::string_view key) const {
  struct stat info {};
  if (::stat(m_path.c_str(), &info) != 0) {
    m_parsed.reset();
    return ReadIniKey(m_path, section, key);  // missing or unreadable: as the plain read says
  }
  const bool same = m_parsed && m_parsed->device == info.st_dev && m_parsed->inode == info.st_ino &&
                    m_parsed->size == info.st_size && m_parsed->modified.tv_sec == info.st_mtim.tv_sec &&
                    m_parsed->modified.tv_nsec == info.st_mtim.tv_nsec;
  if (!same) {
    try {
      m_parsed = std::make_unique<Parsed>(
          Parsed{info.st_dev, info.st_ino, info.st_size, info.st_mtim, IniDocument(ReadWholeFile(m_path))});
    } catch (const EKestaError&) {
      m_parsed.reset();
      return std::nullopt;  // a file that cannot be read holds no key
    }
  }
  return m_parsed->document.Value(section, key);
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) const {
  const std::optional<std::string> stored = Stored(section, key);
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

void SettingsFile::WriteSetting(std::string_view section, std::string_view key,
                                std::string_view value) const {
  WriteIniValue(m_path, section, key, value);
}

}  // namespace kesta
