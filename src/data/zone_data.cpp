#include "data/zone_data.h"

#include <algorithm>
#include <iterator>

#include "comlib/inifile.h"
#include "data/save_data.h"
#include "text/zone_time.h"

namespace {

constexpr wchar_t kZoneKey[] = L"zone";
constexpr wchar_t kLabelKey[] = L"label";
constexpr wchar_t kShowKey[] = L"show";
constexpr wchar_t kOffsetXKey[] = L"offset_x";
constexpr wchar_t kOffsetYKey[] = L"offset_y";
constexpr int kOffsetLimit = 1024;

}  // namespace

namespace zonesettings {

std::wstring PlaceKey(const wchar_t* name, int index) { return name + std::to_wstring(index + 1); }

}  // namespace zonesettings

ZoneSaveData_CL& ZoneData() {
  static ZoneSaveData_CL record;
  return record;
}

void ZoneSaveData_CL::LoadZoneDisp() {
  const Inifile_CL& ini = AppIni();
  using zonesettings::PlaceKey;
  for (int index = 0; index < kPlaceCount; ++index) {
    PlaceSetting& place = places[index];
    place.zone = ini.GetString(kZoneSection, PlaceKey(kZoneKey, index).c_str(), L"");
    place.label = zonetext::CleanLabel(ini.GetString(kZoneSection, PlaceKey(kLabelKey, index).c_str(), L""));
    place.show = ini.GetInt(kZoneSection, PlaceKey(kShowKey, index).c_str(), 0) != 0 ? 1 : 0;
  }
  offset_x = settings::Clamp(ini.GetInt(kZoneSection, kOffsetXKey, 0), -kOffsetLimit, kOffsetLimit);
  offset_y = settings::Clamp(ini.GetInt(kZoneSection, kOffsetYKey, 0), -kOffsetLimit, kOffsetLimit);
}

void ZoneSaveData_CL::SavePlace(int index) const {
  if (index < 0 || index >= kPlaceCount) return;
  const Inifile_CL& ini = AppIni();
  using zonesettings::PlaceKey;
  const PlaceSetting& place = places[index];
  ini.WriteString(kZoneSection, PlaceKey(kZoneKey, index).c_str(), place.zone);
  ini.WriteString(kZoneSection, PlaceKey(kLabelKey, index).c_str(), place.label);
  ini.WriteInt(kZoneSection, PlaceKey(kShowKey, index).c_str(), place.show);
}

ZoneSaveData_CL::Values ZoneSaveData_CL::Take() const {
  Values values;
  std::copy(std::begin(places), std::end(places), std::begin(values.places));
  values.offset_x = offset_x;
  values.offset_y = offset_y;
  return values;
}

void ZoneSaveData_CL::PutBack(const Values& values) {
  for (int index = 0; index < kPlaceCount; ++index) {
    if (places[index] == values.places[index]) continue;
    places[index] = values.places[index];
    SavePlace(index);
  }
  if (offset_x == values.offset_x && offset_y == values.offset_y) return;
  offset_x = values.offset_x;
  offset_y = values.offset_y;
  SaveOffsets();
}

void ZoneSaveData_CL::SaveOffsets() const {
  const Inifile_CL& ini = AppIni();
  ini.WriteInt(kZoneSection, kOffsetXKey, offset_x);
  ini.WriteInt(kZoneSection, kOffsetYKey, offset_y);
}
