#pragma once
// Windows' own time zones, as the system keeps them under its "Time Zones"
// registry key: the list the user knows, and the time in any of them for
// any moment, by the rules of that year (dynamic daylight saving).

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

struct TimeZoneEntry {
  // The zone's key name, as the settings store it: "Tokyo Standard Time".
  std::wstring key;
  // The name the user knows: "(UTC+09:00) Osaka, Sapporo, Tokyo".
  std::wstring display;
  // Minutes to add to local standard time for UTC, as Windows counts it.
  LONG bias = 0;
};

namespace timezones {

// Every zone Windows knows, in the order its own list shows them: west to
// east, then by name.
std::vector<TimeZoneEntry> List();

// The zone with this key name, or nothing when Windows does not know it (a
// zone since removed, a misspelt or hostile name).
std::optional<DYNAMIC_TIME_ZONE_INFORMATION> Find(const std::wstring& key);

// The zone's display name in the user's language; empty for an unknown zone.
std::wstring DisplayName(const std::wstring& key);

// True when the text can name a zone at all: a key name of the registry,
// without separators or control characters, of reasonable length.
bool IsPlausibleKey(const std::wstring& key);

}  // namespace timezones

// One zone's clock: the local time there for a moment in UTC, by the rules
// of the zone's own year. The rules are read once a year of use, not on every
// conversion; Forget reads them again (the system's zone data changed).
class ZoneClock_CL {
 public:
  explicit ZoneClock_CL(const DYNAMIC_TIME_ZONE_INFORMATION& zone) : zone_(zone) {}

  // False when the system has no rules for the zone.
  bool LocalAt(const SYSTEMTIME& utc, SYSTEMTIME* local);
  void Forget() { rules_.clear(); }

 private:
  const TIME_ZONE_INFORMATION* RulesFor(WORD year);

  DYNAMIC_TIME_ZONE_INFORMATION zone_;
  std::map<WORD, TIME_ZONE_INFORMATION> rules_;
};
