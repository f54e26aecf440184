#include "data/world_clocks.h"

#include "comlib/log_file.h"
#include "text/zone_time.h"

void WorldClocks_CL::Resolve(const ZoneSaveData_CL& zones) {
  places_.clear();
  for (int index = 0; index < kPlaceCount; ++index) {
    const PlaceSetting setting = zones.Place(index);
    if (setting.show == 0 || setting.zone.empty()) continue;
    const auto zone = timezones::Find(setting.zone);
    if (!zone) {
      if (reported_.insert(setting.zone).second) {
        HORAVEL_LOG(L"タイムゾーン \"%s\" が見つからないので、その行は表示しません。",
                    zonetext::CleanLabel(setting.zone).c_str());
      }
      continue;
    }
    const std::wstring label =
        setting.label.empty() ? zonetext::ShortName(timezones::DisplayName(setting.zone)) : setting.label;
    places_.push_back(Place{label, ZoneClock_CL(*zone)});
  }
}

void WorldClocks_CL::ForgetRules() {
  for (Place& place : places_) place.clock.Forget();
}

std::vector<std::wstring> WorldClocks_CL::Lines(const SYSTEMTIME& utc, const SYSTEMTIME& local, bool hour12) {
  std::vector<std::wstring> lines;
  for (Place& place : places_) {
    SYSTEMTIME there{};
    if (!place.clock.LocalAt(utc, &there)) continue;
    lines.push_back(zonetext::PlaceLine(place.label, there, local, hour12));
  }
  return lines;
}

std::vector<std::wstring> WorldClocks_CL::WidestLines(wchar_t widestDigit, bool hour12) const {
  std::vector<std::wstring> lines;
  for (const Place& place : places_) lines.push_back(zonetext::WidestLine(place.label, widestDigit, hour12));
  return lines;
}
