#pragma once
// The program's own web pages. Their servers are settings ("Config"), empty until someone runs them:
// `WebSiteHost` serves the program's web page, `DownloadServerHost` the bug-report page.

#include <optional>
#include <string>
#include <string_view>

namespace kesta {

class SettingsFile;

// A host name or IPv4 address, with an optional port: nothing that could turn the address built from
// it into another scheme, a path of its own or a command-line option.
bool IsHostName(std::string_view host);

// "http://host/", or nothing when the setting is empty or not a host name.
std::optional<std::string> ProgramWebPage(const SettingsFile& settings);
// "http://host/KESTA/bugreport/" on the download server, or nothing, as above.
std::optional<std::string> BugReportPage(const SettingsFile& settings);

}  // namespace kesta
