#pragma once
// The daily check for a newer published version: the schedule kept in the
// VERSION section of the settings file, the version file read from the
// maker's server, and the notice that offers the download site.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/update_dialog.h"
#include "comlib/web_address.h"

namespace update {

constexpr wchar_t kSection[] = L"VERSION";
// Set by hand: non-zero checks again on the same day; exactly 1 shows the
// notice even when nothing newer is published.
constexpr wchar_t kForceKey[] = L"force";
// Non-zero: no check at all.
constexpr wchar_t kNotifyKey[] = L"notify";
// Day of the month on which the last check ended without needing the user.
constexpr wchar_t kLastDayKey[] = L"last_day";
// The moment (seconds since 1970) a check last failed or timed out: no start
// in the hours after it waits for the server again.
constexpr wchar_t kFailedTimeKey[] = L"failed_time";
// What older versions kept instead: the local date (YYYYMMDD) of the failure.
// Read as a failure at the start of that day, and removed at the next failure.
constexpr wchar_t kFailedDateKey[] = L"failed_date";
constexpr wchar_t kNextVersionKey[] = L"next_version";
// Seconds since 1970 from which the notice for next_version may show.
constexpr wchar_t kNextNotifyKey[] = L"next_notify";
// Where the version file lies: "https://host[:port]/path"; plain "http://"
// only on this machine (a test server).
constexpr wchar_t kUpdateUrlKey[] = L"update_url";

constexpr wchar_t kNoVersion[] = L"0.0.0.0";
// A newly seen version is announced after 0 to this many days.
constexpr int kMaxDelayDays = 5;
constexpr std::int64_t kSecondsPerDay = 86400;
// A failed check is tried again at the first start this long after it: a
// start at sign-in before the network is up does not cost the whole day.
constexpr std::int64_t kRetryAfterFailureSeconds = 3 * 3600;
// Longer site addresses are not handed to the shell.
constexpr std::size_t kMaxSiteAddressLength = 2048;
// The clock waits for the check: it gives up this long after it starts
// fetching, whatever the network does. Four seconds rather than five, so
// that with the program's own start the clock still shows within six.
constexpr DWORD kFetchTimeLimitMs = 4000;
// A longer first line is cut to this many characters.
constexpr std::size_t kMaxVersionLength = 32;

// What the version file says: the version on its first line ("1.1.10.0"),
// the download address on its second, each line ended by CR LF.
struct VersionFile {
  std::wstring version;
  std::wstring siteAddress;
};
VersionFile ParseVersionFile(const std::string& body);

// True when the candidate is a dotted number above the current version,
// the parts compared as numbers from the left, missing parts counting as 0.
// A candidate that is not a dotted number is never newer; a current text
// that is not one counts as 0.
bool IsNewerVersion(const std::wstring& current, const std::wstring& candidate);

// Why a site address from the network may or may not go to the shell: only
// a plain https:// address on one of the trusted hosts (the update server's,
// the support site's; compared whole, in any case) may. Over http:// anyone
// on the way could swap the download.
enum class SiteAddressVerdict { kOpenable, kEmpty, kNotHttp, kTooLong, kUnprintable, kForeignHost, kPlainHttp };
SiteAddressVerdict CheckSiteAddress(const std::wstring& address, const std::vector<std::wstring>& trustedHosts);
const wchar_t* SiteAddressVerdictText(SiteAddressVerdict verdict);

// The host of a web address; empty for anything else.
std::wstring HostOf(const std::wstring& url);

// The day of the month, in local time, of a moment in seconds since 1970.
int LocalDayOfMonth(std::int64_t seconds);
// The local date of the moment as YYYYMMDD.
int LocalDate(std::int64_t seconds);
// The moment a local date (YYYYMMDD) begins; nothing for a text that is no date.
std::optional<std::int64_t> LocalDayStart(int date);

// True while a check that failed at `failedAt` keeps others from asking the
// server: for kRetryAfterFailureSeconds after it. A failure that lies ahead
// (the clock was set back since) holds nothing back.
bool FailureHoldsBack(std::int64_t failedAt, std::int64_t now);

}  // namespace update


struct UpdateNotice {
  HWND owner;
  std::wstring caption;
  std::wstring running;
  std::wstring published;
  // Where "open the site" leads, named in the notice.
  std::wstring siteHost;
};

// The notice: the dialog over its owner, or a message box when there is none.
int ShowUpdateNotice(const UpdateNotice& notice);

class UpdateCheck_CL {
 public:
  // What the check takes from the world besides the settings and the
  // network; tests replace the clock, the dice, the notice and the shell.
  struct Hooks {
    std::function<std::int64_t()> now;
    std::function<int()> delayDays;
    std::function<int(const UpdateNotice&)> showNotice;
    std::function<void(const std::wstring&)> openSite;
  };
  static Hooks SystemHooks();

  // The version file lies at update_url, else at defaultUrl; an address from
  // the version file that may not go to the shell (one off the update
  // server's and the support site's hosts, among others) is replaced by
  // supportSite.
  UpdateCheck_CL(const Inifile_CL& settings, std::wstring defaultUrl, std::wstring supportSite,
                 Hooks hooks = SystemHooks());
  virtual ~UpdateCheck_CL() = default;
  UpdateCheck_CL(const UpdateCheck_CL&) = delete;
  UpdateCheck_CL& operator=(const UpdateCheck_CL&) = delete;

  // Runs the whole check, the notice included; returns 0.
  int Run(const std::wstring& caption, const std::wstring& runningVersion, HWND owner);

  // True while a notice is on the screen.
  static bool NoticeShowing();

 private:
  // The version file's bytes, or nothing when the fetch failed.
  std::optional<std::string> Fetch(const WebAddress& server, HWND owner) const;
  // Stores a version seen for the first time with its random delay; true
  // while that delay still runs.
  bool DelayRuns(const std::wstring& published) const;
  void ShowNotice(const UpdateNotice& notice, const std::wstring& siteAddress, int today) const;
  std::wstring SiteToOpen(const std::wstring& siteAddress, const std::wstring& serverHost) const;
  // When the last check failed, as this or an older version stored it.
  std::optional<std::int64_t> LastFailure() const;
  void StoreFailure(std::int64_t now) const;

  const Inifile_CL& settings_;
  std::wstring defaultUrl_;
  std::wstring supportSite_;
  Hooks hooks_;
};
