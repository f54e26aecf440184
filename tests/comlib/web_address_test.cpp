// Where the update check may be led by a redirect.

#include "comlib/web_address.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(WebAddress, RedirectsLeadOnlyToWebAddresses) {
  const WebAddress from{L"mirror.example", 8080, L"/Horavel/Version.txt", false};
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"/other/Version.txt", L"http mirror.example 8080 /other/Version.txt"},
      {L"https://horavel.example.com/v.txt", L"https horavel.example.com 443 /v.txt"},
      {L"HTTP://127.0.0.1:81", L"http 127.0.0.1 81 /"},
      {L"//elsewhere.example/v.txt", L""},
      {L"ftp://mirror.example/v.txt", L""},
      {L"file:///C:/windows/system32/notepad.exe", L""},
      {L"Version2.txt", L""},
      {L"", L""},
      {L"/a b", L""},
  };
  for (const auto& [location, expected] : cases) {
    const auto to = webaddress::RedirectTarget(from, location);
    const std::wstring parts =
        to ? (to->secure ? L"https " : L"http ") + to->host + L" " + std::to_wstring(to->port) + L" " + to->path : L"";
    EXPECT_EQ(expected, parts) << location;
  }
}
