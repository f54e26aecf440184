// The update check: reading the version file, comparing versions, vetting
// the site address, and the schedule run against a real loopback server.

#include "comlib/update_check.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Section = std::map<std::wstring, std::wstring>;

constexpr wchar_t kRunning[] = L"1.1.3";
constexpr wchar_t kSupportSite[] = L"https://support.example/Horavel/";
constexpr std::int64_t kNow = 1800000000;  // a moment in January 2027
// Stands in a response for the loopback server's own plain http:// address.
constexpr char kPlainUrl[] = "$PLAIN_URL";

std::string VersionFile(const std::string& version, const std::string& address) {
  return version + "\r\n" + address + "\r\n";
}

std::wstring Hex(std::int64_t seconds) { return inistore::FormatHex64(static_cast<std::uint64_t>(seconds)); }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

Section ReadSection(const std::wstring& path) {
  std::vector<wchar_t> buffer(65536, L'\0');
  const DWORD length =
      GetPrivateProfileSectionW(update::kSection, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  Section section;
  for (const wchar_t* entry = buffer.data(); entry < buffer.data() + length && *entry; entry += wcslen(entry) + 1) {
    const std::wstring text(entry);
    const size_t equals = text.find(L'=');
    section[text.substr(0, equals)] = text.substr(equals + 1);
  }
  return section;
}

constexpr wchar_t kCaption[] = L"Horavelのアップデート。";

// What the notice looked like when it was answered.
struct NoticeSeen {
  bool found = false;
  RECT client{};
  RECT window{};
  LONG_PTR style = 0;
  RECT openSite{};  // in client coordinates
  RECT later{};
  wchar_t openSiteText[32] = {};
  wchar_t laterText[32] = {};
};

// Answers the next notice shown on this thread as a user would: presses
// the button with the id, or closes the notice when the id is 0.
class NoticeAnswerer {
 public:
  explicit NoticeAnswerer(int buttonId) : buttonId_(buttonId), timer_(SetTimer(nullptr, 0, 30, &Poll)) {
    current_ = this;
  }
  ~NoticeAnswerer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  NoticeSeen seen;

 private:
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    HWND notice = FindWindowW(L"#32770", kCaption);
    if (current_ == nullptr || notice == nullptr || !IsWindowVisible(notice)) return;
    KillTimer(nullptr, current_->timer_);
    NoticeSeen& seen = current_->seen;
    seen.found = true;
    GetClientRect(notice, &seen.client);
    GetWindowRect(notice, &seen.window);
    seen.style = GetWindowLongPtrW(notice, GWL_STYLE);
    for (auto [id, rect, text] : {std::tuple{0x1000, &seen.openSite, seen.openSiteText},
                                  std::tuple{0x1002, &seen.later, seen.laterText}}) {
      GetWindowRect(GetDlgItem(notice, id), rect);
      MapWindowPoints(nullptr, notice, reinterpret_cast<POINT*>(rect), 2);
      GetDlgItemTextW(notice, id, text, 32);
    }
    if (current_->buttonId_ == 0) {
      PostMessageW(notice, WM_CLOSE, 0, 0);
    } else {
      SendDlgItemMessageW(notice, current_->buttonId_, BM_CLICK, 0, 0);
    }
  }

  static inline NoticeAnswerer* current_ = nullptr;
  int buttonId_;
  UINT_PTR timer_;
};

// One run of the check in a fresh settings file against a fresh server.
struct CheckRun {
  Section before;
  std::string response;
  int delayDays = 0;
  int choice = kNoticeClosed;
  // With an answering button, the real notice is shown over this owner.
  std::optional<int> answerButton{};
  HWND owner = nullptr;
  bool overTls = false;
  std::int64_t now = kNow;

  // What came of it.
  size_t requests = 0;
  std::vector<std::wstring> notices{};  // the published versions shown
  std::wstring noticeHost{};            // where the last notice said it leads
  std::vector<std::wstring> opened{};
  Section after{};
  std::wstring log{};
  NoticeSeen seen{};

  // False where the run needs TLS and there is no front for it (not under Wine).
  bool Go() {
    TempFolder folder;
    ScopedAppLog logScope(folder.File(L"log.txt"));
    Inifile_CL ini(folder.File(L"Horavel.ini"));
    Inifile_CL::CreateIfMissing(ini.Path());
    LoopbackHttpServer server;
    const size_t plain = response.find(kPlainUrl);
    if (plain != std::string::npos) response.replace(plain, strlen(kPlainUrl), Narrow(server.Url()));
    server.Answer(response);
    const std::wstring url = overTls ? server.SecureUrl() : server.Url();
    if (url.empty()) return false;
    ini.WriteString(update::kSection, update::kUpdateUrlKey, url);
    for (const auto& [key, value] : before) ini.WriteString(update::kSection, key.c_str(), value);

    UpdateCheck_CL::Hooks hooks;
    hooks.now = [this] { return now; };
    hooks.delayDays = [this] { return delayDays; };
    hooks.showNotice = [this](const UpdateNotice& notice) {
      EXPECT_TRUE(UpdateCheck_CL::NoticeShowing());
      EXPECT_EQ(kRunning, notice.running);
      notices.push_back(notice.published);
      noticeHost = notice.siteHost;
      if (!answerButton) return choice;
      NoticeAnswerer answerer(*answerButton);
      const int answer = ShowUpdateNotice(notice);
      seen = answerer.seen;
      return answer;
    };
    hooks.openSite = [this](const std::wstring& address) { opened.push_back(address); };
    EXPECT_EQ(0, UpdateCheck_CL(ini, L"http://127.0.0.1:1/unused", kSupportSite, hooks).Run(kCaption, kRunning, owner));
    EXPECT_FALSE(UpdateCheck_CL::NoticeShowing());

    requests = server.RequestLines().size();
    after = ReadSection(ini.Path());
    after.erase(update::kUpdateUrlKey);
    if (FileExists(folder.File(L"log.txt"))) log = ReadUtf16(folder.File(L"log.txt"));
    return true;
  }
};

struct Expected {
  const char* name;
  CheckRun run;
  size_t requests;
  std::vector<std::wstring> notices;
  std::vector<std::wstring> opened;
  Section after;
};

void Verify(Expected& test) {
  SCOPED_TRACE(test.name);
  if (!test.run.Go()) return;
  EXPECT_EQ(test.requests, test.run.requests);
  EXPECT_EQ(test.notices, test.run.notices);
  EXPECT_EQ(test.opened, test.run.opened);
  EXPECT_EQ(test.after, test.run.after);
}

}  // namespace

TEST(VersionFile, TakesTheVersionAndTheAddressBetweenTheLineBreaks) {
  struct Case {
    std::string body;
    std::wstring version;
    std::wstring address;
  };
  const Case cases[] = {
      {VersionFile("1.1.4.0", "https://example.org/dl"), L"1.1.4.0", L"https://example.org/dl"},
      {VersionFile("1.1.10.0", "https://example.org/dl"), L"1.1.10.0", L"https://example.org/dl"},
      {"2026.12.31.65535\nhttp://a\n", L"2026.12.31.65535", L"http://a"},
      {std::string(40, '1') + "\r\nhttp://a", std::wstring(32, L'1'), L"http://a"},
      {"<html><body>Not Found</body></html>\r\n", L"0.0.0.0", L""},
      {"", L"", L""},
      {"1.1.4.", L"1.1.4.", L""},
      {"1.1.4.0\r\n", L"1.1.4.0", L""},
      {"1.1.4.0\r\nhx\r\n", L"1.1.4.0", L"hx"},
      {std::string("1.1\0.40\r\nhttp://a\0b\r\n", 21), L"1.1", L"http://a"},
      {"\xff\xfe\x01\x02", L"\u00ff\u00fe\x01\x02", L""},
  };
  for (const Case& test : cases) {
    const update::VersionFile file = update::ParseVersionFile(test.body);
    EXPECT_EQ(test.version, file.version) << test.body;
    EXPECT_EQ(test.address, file.siteAddress) << test.body;
  }
}

TEST(VersionFile, VersionsCompareAsNumbersAndTextIsNeverNewer) {
  struct Case {
    const wchar_t* current;
    const wchar_t* candidate;
    bool newer;
  };
  const Case cases[] = {
      {L"1.1.9", L"1.1.10", true},     {L"1.1.10", L"1.1.9", false},  {L"1.1.3", L"1.1.3.0", false},
      {L"1.1.3", L"1.1.4.0", true},    {L"1.1.3", L"1.1.3.1", true},  {L"1.1.3", L"1.1.03", false},
      {L"1.1.3", L"2", true},          {L"1.1.3", L"1.1", false},     {L"0.0.0.0", L"0.0.0.1", true},
      {L"1.1.3", L"1.1.99999999999999999999", true},                  {L"9.9", L"10.0", true},
      {L"1.1.3", L"<html>", false},    {L"1.1.3", L"Not Fou", false}, {L"1.1.3", L"", false},
      {L"1.1.3", L"1..4", false},      {L"1.1.3", L"1.1.4.", false},  {L"1.1.3", L"-1.2", false},
      {L"garbage", L"0.0.0.1", true},  {L"garbage", L"garbage", false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(test.newer, update::IsNewerVersion(test.current, test.candidate))
        << std::string(test.current, test.current + wcslen(test.current)) << " -> "
        << std::string(test.candidate, test.candidate + wcslen(test.candidate));
  }
}

TEST(VersionFile, OnlyPlainWebAddressesOnTheMakersHostsMayReachTheShell) {
  using update::SiteAddressVerdict;
  struct Case {
    std::wstring address;
    SiteAddressVerdict verdict;
  };
  const Case cases[] = {
      {L"https://example.org/Horavel/", SiteAddressVerdict::kOpenable},
      {L"http://example.org/Horavel/", SiteAddressVerdict::kPlainHttp},
      {L"HTTPS://example.org/dl?v=1.1.4", SiteAddressVerdict::kOpenable},
      {L"https://example.org/" + std::wstring(2028, L'a'), SiteAddressVerdict::kOpenable},
      {L"http://example.org/" + std::wstring(2030, L'a'), SiteAddressVerdict::kTooLong},
      {L"", SiteAddressVerdict::kEmpty},
      {L"file:///C:/windows/system32/notepad.exe", SiteAddressVerdict::kNotHttp},
      {L"C:\\windows\\system32\\notepad.exe", SiteAddressVerdict::kNotHttp},
      {L"javascript:alert(1)", SiteAddressVerdict::kNotHttp},
      {L"http://", SiteAddressVerdict::kNotHttp},
      {L"httpx://example.org", SiteAddressVerdict::kNotHttp},
      {L"http://example.org/a b", SiteAddressVerdict::kUnprintable},
      {L"http://example.org/\t", SiteAddressVerdict::kUnprintable},
      {L"http://example.org/ü", SiteAddressVerdict::kUnprintable},
      {L"https://SUPPORT.example:8443/dl", SiteAddressVerdict::kOpenable},
      {L"http://127.0.0.2:8080/evil/setup.exe", SiteAddressVerdict::kForeignHost},
      {L"http://example.org.evil.net/", SiteAddressVerdict::kForeignHost},
      {L"http://evil.net/example.org", SiteAddressVerdict::kForeignHost},
      {L"http://example.org@evil.net/", SiteAddressVerdict::kForeignHost},
      {L"http://example.org:80@evil.net/", SiteAddressVerdict::kNotHttp},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(test.verdict, update::CheckSiteAddress(test.address, {L"example.org", L"support.example"}))
        << std::string(test.address.begin(), test.address.begin() + std::min<size_t>(test.address.size(), 40));
  }
}

TEST(VersionFile, UpdateUrlNamesHostPortAndPath) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"http://horavel.example.com/Horavel/Version.txt", L"horavel.example.com 80 /Horavel/Version.txt"},
      {L"HTTP://127.0.0.1:8080/v.txt", L"127.0.0.1 8080 /v.txt"},
      {L"http://mirror.example", L"mirror.example 80 /"},
      {L"https://horavel.example.com/v.txt", L"horavel.example.com 443 /v.txt"},
      {L"http://:80/v.txt", L""}, {L"http://host:0/v", L""},
      {L"http://host:65536/v", L""}, {L"http://host:8x/v", L""}, {L"http://host/a b", L""},
      {L"horavel.example.com/v.txt", L""},
  };
  for (const auto& [url, expected] : cases) {
    const auto address = webaddress::Parse(url);
    const std::wstring parts =
        address ? address->host + L" " + std::to_wstring(address->port) + L" " + address->path : L"";
    EXPECT_EQ(expected, parts);
  }
  // Plain http only from this machine.
  for (const auto& [url, trusted] : {std::pair{L"https://mirror.example/v", true}, {L"http://LocalHost:81/v", true},
                                     {L"http://127.9.0.1/v", true}, {L"http://mirror.example/v", false},
                                     {L"http://128.0.0.1/v", false}, {L"http://127.0.0.1.evil.net/v", false}}) {
    EXPECT_EQ(trusted, webaddress::IsTrustedChannel(*webaddress::Parse(url)));
  }
}

TEST(UpdateSchedule, FollowsTheStoredState) {
  const std::wstring today = std::to_wstring(update::LocalDayOfMonth(kNow));
  const std::wstring otherDay = std::to_wstring(update::LocalDayOfMonth(kNow) % 28 + 1);
  const std::wstring failedToday = std::to_wstring(update::LocalDate(kNow));
  const std::wstring failedYesterday = std::to_wstring(update::LocalDate(kNow - 86400));
  const std::string toPlain =
      "HTTP/1.1 302 Found\r\nLocation: " + std::string(kPlainUrl) + "\r\nContent-Length: 0\r\n\r\n";
  // Plain http off this machine (a closed port, were it followed).
  const std::string toElsewhere = "HTTP/1.1 302 Found\r\nLocation: http://0.0.0.0:1/v.txt\r\nContent-Length: 0\r\n\r\n";
  const std::int64_t dayStart = update::LocalDayStart(update::LocalDate(kNow)).value_or(0);
  const auto at = [](std::int64_t now, CheckRun run) {
    run.now = now;
    return run;
  };
  const std::string newer = VersionFile("1.1.4.0", "https://127.0.0.1/download");
  const std::string same = VersionFile("1.1.3.0", "https://127.0.0.1/download");
  const std::string html = "<html><body>Server Error</body></html>\r\n";
  const Section seen = {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}};

  Expected cases[] = {
      {"switched off", {{{L"notify", L"1"}}, HttpResponse(newer)}, 0, {}, {}, {{L"notify", L"1"}}},
      {"already checked today", {{{L"last_day", today}}, HttpResponse(newer)}, 0, {}, {}, {{L"last_day", today}}},
      {"forced again on the same day",
       {{{L"last_day", today}, {L"force", L"2"}}, HttpResponse(same)}, 1, {}, {},
       {{L"last_day", today}, {L"force", L"2"}}},
      {"forced notice for nothing newer, closed",
       {{{L"last_day", otherDay}, {L"force", L"1"}}, HttpResponse(same), 0, kNoticeClosed}, 1, {L"1.1.3.0"}, {},
       {{L"last_day", otherDay}, {L"force", L"1"}}},
      {"first sight waits its delay",
       {{}, HttpResponse(newer), 3}, 1, {}, {},
       {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow + 3 * 86400)}, {L"last_day", today}}},
      {"first sight without delay, reminded later",
       {{}, HttpResponse(newer), 0, kNoticeLater}, 1, {L"1.1.4.0"}, {},
       {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}, {L"last_day", today}}},
      {"delay ends this second, site opened",
       {seen, HttpResponse(newer), 4, kNoticeOpenSite}, 1, {L"1.1.4.0"}, {L"https://127.0.0.1/download"}, seen},
      {"delay ends next second",
       {{{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow + 1)}}, HttpResponse(newer)}, 1, {}, {},
       {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow + 1)}, {L"last_day", today}}},
      {"a later version gets its own delay",
       {seen, HttpResponse(VersionFile("1.1.10.0", "http://127.0.0.1/d")), 2}, 1, {}, {},
       {{L"next_version", L"1.1.10.0"}, {L"next_notify", Hex(kNow + 2 * 86400)}, {L"last_day", today}}},
      {"same version with a fourth part is not newer", {seen, HttpResponse(same), 0, kNoticeOpenSite}, 1, {}, {},
       {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}, {L"last_day", today}}},
      {"error page", {{}, HttpResponse(html, std::nullopt, 404)}, 1, {}, {}, {{L"last_day", today}}},
      {"error page with force",
       {{{L"force", L"1"}}, HttpResponse(html), 0, kNoticeLater}, 1, {L"0.0.0.0"}, {},
       {{L"force", L"1"}, {L"last_day", today}}},
      {"failed a moment ago", {{{L"failed_time", Hex(kNow - 60)}}, HttpResponse(same)}, 0, {}, {},
       {{L"failed_time", Hex(kNow - 60)}}},
      {"failed hours ago", {{{L"failed_time", Hex(kNow - update::kRetryAfterFailureSeconds)}}, HttpResponse(same)}, 1,
       {}, {}, {{L"failed_time", Hex(kNow - update::kRetryAfterFailureSeconds)}, {L"last_day", today}}},
      {"an older version's failed date, early that day",
       at(dayStart + 60, {{{L"failed_date", failedToday}}, HttpResponse(same)}), 0, {}, {},
       {{L"failed_date", failedToday}}},
      {"an older version's failed date, hours into it",
       at(dayStart + update::kRetryAfterFailureSeconds, {{{L"failed_date", failedToday}}, HttpResponse(same)}), 1, {},
       {}, {{L"failed_date", failedToday}, {L"last_day", today}}},
      {"a failure stores its time in place of the date", {{{L"failed_date", failedYesterday}}, HttpResponse(same, "99")},
       1, {}, {}, {{L"failed_time", Hex(kNow)}}},
      {"redirected to plain HTTP elsewhere", {{}, toElsewhere}, 1, {}, {}, {{L"failed_time", Hex(kNow)}}},
      {"over TLS", {{}, HttpResponse(same), 0, kNoticeClosed, std::nullopt, nullptr, true}, 1, {}, {},
       {{L"last_day", today}}},
      {"from TLS redirected to plain HTTP", {{}, toPlain, 0, kNoticeClosed, std::nullopt, nullptr, true}, 1, {}, {},
       {{L"failed_time", Hex(kNow)}}},
  };
  for (Expected& test : cases) Verify(test);
  EXPECT_NE(std::wstring::npos, cases[std::size(cases) - 3].run.log.find(L"このパソコンの外のhttp://"));
  EXPECT_NE(std::wstring::npos, cases[std::size(cases) - 1].run.log.find(L"https://からhttp://へのリダイレクトはたどりません"));
}

TEST(UpdateSchedule, HostileResponsesChangeNothingButTheDay) {
  const std::wstring today = std::to_wstring(update::LocalDayOfMonth(kNow));
  const Section seen = {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}};
  const Section seenToday = {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}, {L"last_day", today}};
  Section seenFailed = seen;
  seenFailed[L"failed_time"] = Hex(kNow);
  const std::string newer = VersionFile("1.1.4.0", "http://127.0.0.1/download");
  const auto opening = [&](const std::string& address) {
    return CheckRun{seen, HttpResponse(VersionFile("1.1.4.0", address)), 0, kNoticeOpenSite};
  };

  Expected cases[] = {
      {"huge length", {seen, HttpResponse(newer, "2000000000"), 0, kNoticeOpenSite}, 1, {}, {}, seenFailed},
      {"negative length", {seen, HttpResponse(newer, "-7"), 0, kNoticeOpenSite}, 1, {}, {}, seenFailed},
      {"truncated body", {seen, HttpResponse(newer, "200"), 0, kNoticeOpenSite}, 1, {}, {}, seenFailed},
      {"no length", {seen, HttpResponse(newer, kNoContentLength), 0, kNoticeOpenSite}, 1, {}, {}, seenFailed},
      {"binary bytes", {seen, HttpResponse(std::string("\x00\xff\x10\x80\x01\x02\x03\r\nzz\r\n", 13))}, 1, {}, {},
       seenToday},
      {"body of 0 bytes", {seen, HttpResponse("")}, 1, {}, {}, seenToday},
      {"body of 6 bytes", {seen, HttpResponse("1.1.4.")}, 1, {}, {}, seenToday},
      {"version without an address", {seen, HttpResponse("1.1.4.0\r\n"), 0, kNoticeOpenSite}, 1, {}, {}, seenToday},
      {"file address", opening("file:///C:/windows/system32/notepad.exe"), 1, {L"1.1.4.0"}, {kSupportSite}, seen},
      {"address with a space", opening("http://127.0.0.1/a b"), 1, {L"1.1.4.0"}, {kSupportSite}, seen},
      {"address of 5,000 characters", opening("http://" + std::string(4993, 'a')), 1, {L"1.1.4.0"}, {kSupportSite},
       seen},
      {"another host", opening("http://127.0.0.2:8080/evil/setup.exe"), 1, {L"1.1.4.0"}, {kSupportSite}, seen},
      {"plain http", opening("http://127.0.0.1/download"), 1, {L"1.1.4.0"}, {kSupportSite}, seen},
      {"the support site's host", opening("https://support.example/dl"), 1, {L"1.1.4.0"},
       {L"https://support.example/dl"}, seen},
  };
  for (Expected& test : cases) {
    Verify(test);
    if (test.opened == std::vector<std::wstring>{kSupportSite}) {
      EXPECT_NE(std::wstring::npos, test.run.log.find(L"サポートサイトを開きます")) << "the log says why";
      EXPECT_EQ(L"support.example", test.run.noticeHost) << "the notice names where it leads";
    }
  }
  EXPECT_NE(std::wstring::npos, cases[11].run.log.find(L"http://127.0.0.2:8080/evil/setup.exe")) << "what it refused";
}

TEST(UpdateNotice, EachAnswerKeepsItsPromise) {
  const std::wstring today = std::to_wstring(update::LocalDayOfMonth(kNow));
  const Section seen = {{L"next_version", L"1.1.4.0"}, {L"next_notify", Hex(kNow)}};
  Section remindLater = seen;
  remindLater[L"last_day"] = today;
  const RECT ownerRect{200, 150, 680, 620};
  HWND owner = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, ownerRect.left,
                               ownerRect.top, ownerRect.right - ownerRect.left, ownerRect.bottom - ownerRect.top,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, owner);
  const std::string file = HttpResponse(VersionFile("1.1.4.0", "https://127.0.0.1/download"));

  // Without an owner the notice is a message box whose No means "later";
  // the box answers only the question that differs.
  Expected cases[] = {
      {"open the site", {seen, file, 0, 0, 0x1000, owner}, 1, {L"1.1.4.0"}, {L"https://127.0.0.1/download"}, seen},
      {"remind me later", {seen, file, 0, 0, 0x1002, owner}, 1, {L"1.1.4.0"}, {}, remindLater},
      {"close box", {seen, file, 0, 0, 0, owner}, 1, {L"1.1.4.0"}, {}, seen},
      {"message box, No", {seen, file, 0, 0, IDNO, nullptr}, 1, {L"1.1.4.0"}, {}, remindLater},
  };
  for (Expected& test : cases) {
    Verify(test);
    EXPECT_TRUE(test.run.seen.found) << "the notice was on the screen";
  }

  // The dialog as the user sees it: two buttons in the bottom-right corner,
  // no minimise or maximise box, centred over its owner.
  const NoticeSeen& notice = cases[0].run.seen;
  EXPECT_EQ(std::wstring(L"\x3000サイトへ移動する\x3000"), notice.openSiteText);
  EXPECT_EQ(std::wstring(L"後日通知する\x3000"), notice.laterText);
  EXPECT_EQ(notice.client.right - 4, notice.later.right);
  EXPECT_EQ(notice.client.bottom - 4, notice.later.bottom);
  EXPECT_EQ(notice.later.left - 4, notice.openSite.right);
  EXPECT_EQ(notice.later.top, notice.openSite.top);
  EXPECT_EQ(0, notice.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_GE(notice.window.right - notice.window.left, 360);
  EXPECT_NEAR((ownerRect.left + ownerRect.right) / 2, (notice.window.left + notice.window.right) / 2, 20);
  EXPECT_NEAR((ownerRect.top + ownerRect.bottom) / 2, (notice.window.top + notice.window.bottom) / 2, 20);
  DestroyWindow(owner);
}
