// The program's web pages come from host settings the user may edit: only a plain host (and port)
// makes an address, so an edited setting can neither point the desktop's handler at another scheme or
// a local file nor pass it an option.

#include "settings/web_addresses.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "support/temp_folder.h"

namespace kesta {
namespace {

TEST(WebAddressesTest, OnlyPlainHostNamesMakeAnAddress) {
  for (const char* good :
       {"kesta.example.org", "localhost", "192.168.0.10", "downloads.example.org:8080", "a-b.c1.org", "X"})
    EXPECT_TRUE(IsHostName(good)) << good;
  for (const char* bad : {"", "a..b", ".example.org", "example.org.", "-x.org", "x-.org", "example.org/evil",
                          "user@example.org", "http://example.org", "file:///etc/passwd", "ex ample.org",
                          "host:", "host:99999", "host:80a", "host:8:8", "--help", "é.org"})
    EXPECT_FALSE(IsHostName(bad)) << bad;
  EXPECT_FALSE(IsHostName(std::string(64, 'a') + ".org"));  // a label is at most 63 characters
}

TEST(WebAddressesTest, PagesFollowTheirHostSettings) {
  test::TempFolder folder;
  const auto path = folder.Write("kesta.ini",
                                 "[Config]\r\nWebSiteHost= kesta.example.org \r\n"
                                 "DownloadServerHost=downloads.example.org:8080\r\n");
  const SettingsFile settings(path);
  EXPECT_EQ(ProgramWebPage(settings), "http://kesta.example.org/");
  EXPECT_EQ(BugReportPage(settings), "http://downloads.example.org:8080/KESTA/bugreport/");

  WriteIniValue(path, "Config", "WebSiteHost", "kesta.example.org/../x");
  EXPECT_EQ(ProgramWebPage(settings), std::nullopt);
  WriteIniValue(path, "Config", "DownloadServerHost", "");  // deletes the key: empty by default
  EXPECT_EQ(BugReportPage(settings), std::nullopt);
  EXPECT_EQ(ReadIniKey(path, "Config", "DownloadServerHost"), "");  // written back, for the user to fill in
}

}  // namespace
}  // namespace kesta
