#include "settings/web_addresses.h"

#include <algorithm>

#include "settings/settings_file.h"

namespace kesta {

namespace {

bool IsLabelCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

std::optional<std::string> PageOn(const SettingsFile& settings, std::string_view key, std::string_view path) {
  const std::string host = settings.ReadSetting("Config", key);
  if (!IsHostName(host)) return std::nullopt;
  return "http://" + host + std::string(path);
}

}  // namespace

bool IsHostName(std::string_view host) {
  if (const size_t colon = host.find(':'); colon != std::string_view::npos) {
    const std::string_view port = host.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    if (std::stoul(std::string(port)) > 65535) return false;
    host = host.substr(0, colon);
  }
  if (host.empty() || host.size() > 253) return false;
  // Labels between dots: not empty, at most 63 characters, no hyphen at either end.
  for (size_t start = 0; start <= host.size();) {
    const size_t dot = std::min(host.find('.', start), host.size());
    const std::string_view label = host.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
        !std::all_of(label.begin(), label.end(), IsLabelCharacter))
      return false;
    start = dot + 1;
  }
  return true;
}

std::optional<std::string> ProgramWebPage(const SettingsFile& settings) {
  return PageOn(settings, "WebSiteHost", "/");
}

std::optional<std::string> BugReportPage(const SettingsFile& settings) {
  return PageOn(settings, "DownloadServerHost", "/KESTA/bugreport/");
}

}  // namespace kesta
