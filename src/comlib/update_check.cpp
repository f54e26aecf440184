#include "comlib/update_check.h"

#include <time.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "comlib/log_file.h"
#include "comlib/ui_text.h"
#include "comlib/update_dialog.h"
#include "comlib/web_fetch.h"
#include "comlib/web_page.h"

namespace update {

namespace {

// A line ends at CR LF, or at a lone CR or LF.
constexpr char kLineEnd[] = "\r\n";

// Bytes widened one to one: the version file is plain ASCII.
std::wstring WidenUpToNul(const std::string& bytes, std::size_t start, std::size_t end) {
  std::wstring text;
  for (std::size_t index = start; index < end && bytes[index] != '\0'; ++index) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[index]));
  }
  return text;
}

// The line that starts at `start`, up to its line end or a NUL; `next` is
// where the following line starts.
std::wstring LineAt(const std::string& bytes, std::size_t start, std::size_t* next) {
  const std::size_t end = std::min(bytes.find_first_of(kLineEnd, start), bytes.size());
  *next = end + (bytes.compare(end, 2, kLineEnd) == 0 ? 2 : 1);
  return WidenUpToNul(bytes, start, end);
}

bool IsDigits(const std::wstring& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The dotted parts with their leading zeros removed, or nothing when the
// text is not a dotted number.
std::optional<std::vector<std::wstring>> DottedParts(const std::wstring& text) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = text.find(L'.', start);
    std::wstring part = text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
    if (!IsDigits(part)) return std::nullopt;
    part.erase(0, std::min(part.find_first_not_of(L'0'), part.size()));
    parts.push_back(std::move(part));
    if (dot == std::wstring::npos) return parts;
    start = dot + 1;
  }
}

// Compares two numbers written without leading zeros, of any length.
int CompareNumbers(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

}  // namespace

VersionFile ParseVersionFile(const std::string& body) {
  VersionFile file;
  std::size_t addressStart = 0;
  file.version = LineAt(body, 0, &addressStart).substr(0, kMaxVersionLength);
  // An HTML page (a server's error page) publishes nothing.
  if (!body.empty() && body[0] == '<') file.version = kNoVersion;
  std::size_t ignored = 0;
  if (addressStart < body.size()) file.siteAddress = LineAt(body, addressStart, &ignored);
  return file;
}

bool IsNewerVersion(const std::wstring& current, const std::wstring& candidate) {
  const auto newer = DottedParts(candidate);
  if (!newer) return false;
  const std::vector<std::wstring> older = DottedParts(current).value_or(std::vector<std::wstring>{});
  const std::size_t count = std::max(newer->size(), older.size());
  for (std::size_t index = 0; index < count; ++index) {
    const std::wstring newPart = index < newer->size() ? (*newer)[index] : std::wstring();
    const std::wstring oldPart = index < older.size() ? older[index] : std::wstring();
    const int order = CompareNumbers(newPart, oldPart);
    if (order != 0) return order > 0;
  }
  return false;
}

SiteAddressVerdict CheckSiteAddress(const std::wstring& address, const std::vector<std::wstring>& trustedHosts) {
  if (address.empty()) return SiteAddressVerdict::kEmpty;
  if (address.size() > kMaxSiteAddressLength) return SiteAddressVerdict::kTooLong;
  if (!webaddress::IsPrintableAscii(address)) return SiteAddressVerdict::kUnprintable;
  const std::optional<WebAddress> parsed = webaddress::Parse(address);
  if (!parsed) return SiteAddressVerdict::kNotHttp;
  // The whole name: "horavel.example.com.evil.net" is another host.
  for (const std::wstring& trusted : trustedHosts) {
    if (!trusted.empty() && _wcsicmp(parsed->host.c_str(), trusted.c_str()) == 0) {
      return parsed->secure ? SiteAddressVerdict::kOpenable : SiteAddressVerdict::kPlainHttp;
    }
  }
  return SiteAddressVerdict::kForeignHost;
}

std::wstring HostOf(const std::wstring& url) {
  const std::optional<WebAddress> address = webaddress::Parse(url);
  return address ? address->host : std::wstring();
}

const wchar_t* SiteAddressVerdictText(SiteAddressVerdict verdict) {
  switch (verdict) {
    case SiteAddressVerdict::kOpenable:
      return L"開けるアドレス";
    case SiteAddressVerdict::kEmpty:
      return L"アドレスが空";
    case SiteAddressVerdict::kNotHttp:
      return L"http://かhttps://のアドレスではない";
    case SiteAddressVerdict::kPlainHttp:
      return L"https://ではなくhttp://のアドレス";
    case SiteAddressVerdict::kTooLong:
      return L"アドレスが長すぎる";
    case SiteAddressVerdict::kUnprintable:
      return L"空白か表示できない文字を含む";
    case SiteAddressVerdict::kForeignHost:
      return L"更新サーバーでもサポートサイトでもない";
  }
  return L"";
}

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;

// Windows' own time zone, as the clock and the date show it: the C
// runtime's local time follows a TZ variable instead, when one is set.
SYSTEMTIME LocalTimeOf(std::int64_t seconds) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(seconds * kTicksPerSecond + kTicksFrom1601To1970);
  const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&fileTime, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return SYSTEMTIME{};
  }
  return local;
}

}  // namespace

int LocalDayOfMonth(std::int64_t seconds) { return LocalTimeOf(seconds).wDay; }

int LocalDate(std::int64_t seconds) {
  const SYSTEMTIME local = LocalTimeOf(seconds);
  return local.wYear * 10000 + local.wMonth * 100 + local.wDay;
}

std::optional<std::int64_t> LocalDayStart(int date) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(date / 10000);
  local.wMonth = static_cast<WORD>(date / 100 % 100);
  local.wDay = static_cast<WORD>(date % 100);
  SYSTEMTIME universal{};
  FILETIME fileTime{};
  if (date <= 0 || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
      !SystemTimeToFileTime(&universal, &fileTime)) {
    return std::nullopt;
  }
  const auto ticks = static_cast<std::int64_t>((static_cast<ULONGLONG>(fileTime.dwHighDateTime) << 32) |
                                               fileTime.dwLowDateTime);
  return (ticks - kTicksFrom1601To1970) / kTicksPerSecond;
}

bool FailureHoldsBack(std::int64_t failedAt, std::int64_t now) {
  return failedAt <= now && now - failedAt < kRetryAfterFailureSeconds;
}

}  // namespace update

namespace {

int g_noticeShowing = 0;

class NoticeShowingScope {
 public:
  NoticeShowingScope() { g_noticeShowing = 1; }
  ~NoticeShowingScope() { g_noticeShowing = 0; }
  NoticeShowingScope(const NoticeShowingScope&) = delete;
  NoticeShowingScope& operator=(const NoticeShowingScope&) = delete;
};

int RandomDelayDays() {
  std::random_device seed;
  std::mt19937 engine(seed());
  return std::uniform_int_distribution<int>(0, update::kMaxDelayDays)(engine);
}

}  // namespace

UpdateCheck_CL::Hooks UpdateCheck_CL::SystemHooks() {
  Hooks hooks;
  hooks.now = [] { return static_cast<std::int64_t>(_time64(nullptr)); };
  hooks.delayDays = &RandomDelayDays;
  hooks.showNotice = &ShowUpdateNotice;
  hooks.openSite = &OpenWebPage;
  return hooks;
}

UpdateCheck_CL::UpdateCheck_CL(const Inifile_CL& settings, std::wstring defaultUrl, std::wstring supportSite,
                               Hooks hooks)
    : settings_(settings),
      defaultUrl_(std::move(defaultUrl)),
      supportSite_(std::move(supportSite)),
      hooks_(std::move(hooks)) {}

bool UpdateCheck_CL::NoticeShowing() { return g_noticeShowing != 0; }

int UpdateCheck_CL::Run(const std::wstring& caption, const std::wstring& runningVersion, HWND owner) {
  using namespace update;
  const int force = settings_.GetInt(kSection, kForceKey, 0);
  if (NoticeShowing()) return 0;
  if (settings_.GetInt(kSection, kNotifyKey, 0) != 0) return 0;
  const int lastDay = settings_.GetInt(kSection, kLastDayKey, 0);
  const std::int64_t now = hooks_.now();
  const int today = LocalDayOfMonth(now);
  if (force == 0 && lastDay == today) return 0;
  // A server that failed is asked again only hours later: a silent one would
  // otherwise hold up every start, restarts included.
  const std::optional<std::int64_t> failedAt = LastFailure();
  if (force == 0 && failedAt && FailureHoldsBack(*failedAt, now)) return 0;

  const std::wstring url = settings_.GetString(kSection, kUpdateUrlKey, defaultUrl_.c_str());
  const std::optional<WebAddress> server = webaddress::Parse(url);
  if (!server || !webaddress::IsTrustedChannel(*server)) {
    HORAVEL_LOG(L"update_urlがhttps://のアドレス（このパソコンの中ならhttp://も可）ではないので確認しません。");
    return 0;
  }
  const std::optional<std::string> body = Fetch(*server, owner);
  // The clock went while the check waited (the session ended): nothing to show or store.
  if (owner != nullptr && !IsWindow(owner)) return 0;
  if (!body) {
    StoreFailure(now);
    return 0;
  }
  const VersionFile file = ParseVersionFile(*body);
  // A file too short to hold an address announces nothing.
  const bool newer = IsNewerVersion(runningVersion, file.version) && !file.siteAddress.empty();
  if (newer && DelayRuns(file.version)) {
    settings_.WriteInt(kSection, kLastDayKey, today);
    return 0;
  }
  if (force == 1 || newer) {
    const std::wstring site = SiteToOpen(file.siteAddress, server->host);
    ShowNotice(UpdateNotice{owner, caption, runningVersion, file.version, HostOf(site)}, site, today);
    return 0;
  }
  settings_.WriteInt(kSection, kLastDayKey, today);
  return 0;
}

std::optional<std::string> UpdateCheck_CL::Fetch(const WebAddress& server, HWND owner) const {
  webfetch::Result fetched = webfetch::FetchWithin(server, update::kFetchTimeLimitMs, owner);
  if (fetched.outcome == webfetch::Outcome::kTimedOut) {
    HORAVEL_LOG(L"バージョンの確認が%u秒以内に終わらないので、打ち切ります。",
                static_cast<unsigned>(update::kFetchTimeLimitMs / 1000));
  }
  if (fetched.outcome != webfetch::Outcome::kFetched) return std::nullopt;
  return std::move(fetched.body);
}

std::optional<std::int64_t> UpdateCheck_CL::LastFailure() const {
  using namespace update;
  const auto failedAt = static_cast<std::int64_t>(settings_.GetHex64(kSection, kFailedTimeKey, 0));
  if (failedAt != 0) return failedAt;
  return LocalDayStart(settings_.GetInt(kSection, kFailedDateKey, 0));
}

void UpdateCheck_CL::StoreFailure(std::int64_t now) const {
  using namespace update;
  settings_.Write({{kSection, kFailedTimeKey, inistore::FormatHex64(static_cast<std::uint64_t>(now))},
                   {kSection, kFailedDateKey, std::nullopt}});
}

bool UpdateCheck_CL::DelayRuns(const std::wstring& published) const {
  using namespace update;
  const std::wstring seen = settings_.GetString(kSection, kNextVersionKey, kNoVersion);
  if (IsNewerVersion(seen, published)) {
    settings_.WriteString(kSection, kNextVersionKey, published);
    const int days = std::clamp(hooks_.delayDays(), 0, kMaxDelayDays);
    const std::int64_t notifyAt = hooks_.now() + days * kSecondsPerDay;
    settings_.WriteString(kSection, kNextNotifyKey, inistore::FormatHex64(static_cast<std::uint64_t>(notifyAt)));
  }
  const auto notifyAt = static_cast<std::int64_t>(settings_.GetHex64(kSection, kNextNotifyKey, 0));
  return notifyAt > hooks_.now();
}

void UpdateCheck_CL::ShowNotice(const UpdateNotice& notice, const std::wstring& siteAddress, int today) const {
  NoticeShowingScope showing;
  const int choice = hooks_.showNotice(notice);
  if (choice == kNoticeOpenSite) {
    // Opening the site stores nothing: the next start asks again.
    hooks_.openSite(siteAddress);
  } else if (choice == kNoticeLater) {
    settings_.WriteInt(update::kSection, update::kLastDayKey, today);
  }
}

std::wstring UpdateCheck_CL::SiteToOpen(const std::wstring& siteAddress, const std::wstring& serverHost) const {
  using update::SiteAddressVerdict;
  // The address comes from the network: only a plain web address on the
  // maker's hosts goes to the shell.
  const SiteAddressVerdict verdict = update::CheckSiteAddress(siteAddress, {serverHost, update::HostOf(supportSite_)});
  if (verdict == SiteAddressVerdict::kOpenable) return siteAddress;
  if (verdict == SiteAddressVerdict::kForeignHost || verdict == SiteAddressVerdict::kPlainHttp) {
    // Printable and of bounded length, so it may stand in the log.
    HORAVEL_LOG(L"バージョンファイルのサイトアドレス %s を開きません（%s）。サポートサイトを開きます。",
                siteAddress.c_str(), update::SiteAddressVerdictText(verdict));
  } else {
    HORAVEL_LOG(L"バージョンファイルのサイトアドレスを開きません（%s、%u文字）。サポートサイトを開きます。",
                update::SiteAddressVerdictText(verdict), static_cast<unsigned>(siteAddress.size()));
  }
  return supportSite_;
}

int ShowUpdateNotice(const UpdateNotice& notice) {
  if (notice.owner != nullptr) {
    UpdateDialog_CL dialog(notice.caption, notice.running, notice.published, notice.siteHost);
    return static_cast<int>(dialog.DoModal(notice.owner));
  }
  const int answer = MessageBoxW(nullptr, NoticeText(notice.published, notice.running, notice.siteHost).c_str(),
                                 notice.caption.c_str(), MB_YESNOCANCEL);
  if (answer == IDYES) return kNoticeOpenSite;
  if (answer == IDCANCEL) return kNoticeClosed;
  return kNoticeLater;
}
