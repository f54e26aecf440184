#pragma once
// The world clocks' settings: up to four places, each a Windows time zone,
// a label and whether it shows, and where the lines stand, in the section
// ZONE_DISP of the settings file. Nothing is written unless the user
// changes it, so a file without the section stays as it is.

#include <windows.h>

#include <string>

constexpr wchar_t kZoneSection[] = L"ZONE_DISP";
constexpr int kPlaceCount = 4;

struct PlaceSetting {
  // The zone's Windows key name ("Tokyo Standard Time"); empty: none.
  std::wstring zone;
  // What the line shows before the time; empty: the zone's short name.
  std::wstring label;
  int show = 0;

  bool operator==(const PlaceSetting& other) const {
    return zone == other.zone && label == other.label && show == other.show;
  }
};

class ZoneSaveData_CL {
 public:
  ZoneSaveData_CL() = default;
  virtual ~ZoneSaveData_CL() = default;
  ZoneSaveData_CL(const ZoneSaveData_CL&) = delete;
  ZoneSaveData_CL& operator=(const ZoneSaveData_CL&) = delete;

  void LoadZoneDisp();
  // Writes one place's keys (zoneN, labelN, showN, N counted from 1).
  void SavePlace(int index) const;
  void SaveOffsets() const;

  // Every value as it stood when taken.
  struct Values {
    PlaceSetting places[kPlaceCount];
    int offset_x = 0;
    int offset_y = 0;
  };
  Values Take() const;
  // Puts the values back and writes the keys of what differed.
  void PutBack(const Values& values);

  PlaceSetting places[kPlaceCount];
  // The lines' centre from the centre of the date (of the clock when the
  // date is off), and their top from its bottom edge, in pixels at 96 DPI.
  int offset_x = 0;
  int offset_y = 0;
};

// The program's world clocks record.
ZoneSaveData_CL& ZoneData();

namespace zonesettings {

// "zone1" ... for place 0 ...
std::wstring PlaceKey(const wchar_t* name, int index);

}  // namespace zonesettings
