#include "comlib/time_zones.h"

#include <algorithm>
#include <cwchar>

#include "comlib/unique_handle.h"

namespace {

constexpr wchar_t kTimeZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
// Key names are at most 127 characters (DYNAMIC_TIME_ZONE_INFORMATION holds 128).
constexpr size_t kKeyNameRoom = 128;
constexpr DWORD kDisplayRoom = 256;

// The zone's base rules as the registry stores them ("TZI").
struct StoredRules {
  LONG bias;
  LONG standardBias;
  LONG daylightBias;
  SYSTEMTIME standardDate;
  SYSTEMTIME daylightDate;
};

comlib::UniqueRegistryKey OpenZone(const std::wstring& key) {
  comlib::UniqueRegistryKey zone;
  const std::wstring path = std::wstring(kTimeZonesKey) + L"\\" + key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, zone.put()) != ERROR_SUCCESS) zone.reset();
  return zone;
}

std::wstring ReadText(HKEY zone, const wchar_t* value) {
  wchar_t text[kDisplayRoom] = {};
  DWORD bytes = sizeof(text);
  if (RegGetValueW(zone, nullptr, value, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) return L"";
  return text;
}

// The display name in the user's language where Windows has it, else as stored.
std::wstring ReadDisplayName(HKEY zone) {
  wchar_t text[kDisplayRoom] = {};
  if (RegLoadMUIStringW(zone, L"MUI_Display", text, sizeof(text), nullptr, 0, nullptr) == ERROR_SUCCESS &&
      text[0] != L'\0') {
    return text;
  }
  return ReadText(zone, L"Display");
}

bool ReadRules(HKEY zone, StoredRules* rules) {
  DWORD bytes = sizeof(*rules);
  return RegGetValueW(zone, nullptr, L"TZI", RRF_RT_REG_BINARY, nullptr, rules, &bytes) == ERROR_SUCCESS &&
         bytes == sizeof(*rules);
}

void CopyName(wchar_t (&target)[32], const std::wstring& name) { wcsncpy_s(target, name.c_str(), _TRUNCATE); }

}  // namespace

namespace timezones {

bool IsPlausibleKey(const std::wstring& key) {
  if (key.empty() || key.size() >= kKeyNameRoom) return false;
  return std::all_of(key.begin(), key.end(), [](wchar_t c) { return c >= L' ' && c != L'\\' && c != L'/'; });
}

std::vector<TimeZoneEntry> List() {
  std::vector<TimeZoneEntry> zones;
  comlib::UniqueRegistryKey root;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTimeZonesKey, 0, KEY_READ, root.put()) != ERROR_SUCCESS) return zones;
  for (DWORD index = 0;; ++index) {
    wchar_t name[kKeyNameRoom] = {};
    DWORD length = static_cast<DWORD>(std::size(name));
    const LONG status = RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    const comlib::UniqueRegistryKey zone = OpenZone(name);
    StoredRules rules{};
    if (!zone || !ReadRules(zone.get(), &rules)) continue;
    const std::wstring display = ReadDisplayName(zone.get());
    zones.push_back(TimeZoneEntry{name, display.empty() ? name : display, rules.bias});
  }
  // Windows lists them from the date line westward: the largest bias first.
  std::sort(zones.begin(), zones.end(), [](const TimeZoneEntry& a, const TimeZoneEntry& b) {
    if (a.bias != b.bias) return a.bias > b.bias;
    return a.display < b.display;
  });
  return zones;
}

std::wstring DisplayName(const std::wstring& key) {
  if (!IsPlausibleKey(key)) return std::wstring();
  const comlib::UniqueRegistryKey zone = OpenZone(key);
  return zone ? ReadDisplayName(zone.get()) : std::wstring();
}

std::optional<DYNAMIC_TIME_ZONE_INFORMATION> Find(const std::wstring& key) {
  if (!IsPlausibleKey(key)) return std::nullopt;
  const comlib::UniqueRegistryKey zone = OpenZone(key);
  StoredRules rules{};
  if (!zone || !ReadRules(zone.get(), &rules)) return std::nullopt;
  DYNAMIC_TIME_ZONE_INFORMATION found{};
  found.Bias = rules.bias;
  found.StandardBias = rules.standardBias;
  found.DaylightBias = rules.daylightBias;
  found.StandardDate = rules.standardDate;
  found.DaylightDate = rules.daylightDate;
  CopyName(found.StandardName, ReadText(zone.get(), L"Std"));
  CopyName(found.DaylightName, ReadText(zone.get(), L"Dlt"));
  wcsncpy_s(found.TimeZoneKeyName, key.c_str(), _TRUNCATE);
  return found;
}

}  // namespace timezones

const TIME_ZONE_INFORMATION* ZoneClock_CL::RulesFor(WORD year) {
  auto kept = rules_.find(year);
  if (kept == rules_.end()) {
    TIME_ZONE_INFORMATION rules{};
    if (!GetTimeZoneInformationForYear(year, &zone_, &rules)) return nullptr;
    kept = rules_.emplace(year, rules).first;
  }
  return &kept->second;
}

bool ZoneClock_CL::LocalAt(const SYSTEMTIME& utc, SYSTEMTIME* local) {
  const TIME_ZONE_INFORMATION* rules = RulesFor(utc.wYear);
  if (rules == nullptr || !SystemTimeToTzSpecificLocalTime(rules, &utc, local)) return false;
  // Near the new year the zone's own year may differ, and its rules with it.
  if (local->wYear == utc.wYear) return true;
  rules = RulesFor(local->wYear);
  return rules != nullptr && SystemTimeToTzSpecificLocalTime(rules, &utc, local);
}
