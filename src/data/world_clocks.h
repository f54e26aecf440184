#pragma once
// The world clocks at run time: the places that show, each with its zone
// looked up in Windows' own zone data, and their lines at a moment.

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "comlib/time_zones.h"
#include "data/save_data.h"

class WorldClocks_CL {
 public:
  // Looks up the zone of every place that shows. A zone Windows does not
  // know (removed, misspelt, hostile) skips that line and is logged once.
  void Resolve(const ZoneSaveData_CL& zones);
  // The zones' rules are read again: the system's zone data changed.
  void ForgetRules();

  bool Any() const { return !places_.empty(); }
  size_t Count() const { return places_.size(); }

  // Each place's line at this moment in UTC, against the local date.
  std::vector<std::wstring> Lines(const SYSTEMTIME& utc, const SYSTEMTIME& local, bool hour12);
  // Lines as wide as any each place can show, to size the window by.
  std::vector<std::wstring> WidestLines(wchar_t widestDigit, bool hour12) const;

 private:
  struct Place {
    std::wstring label;
    ZoneClock_CL clock;
  };
  std::vector<Place> places_;
  // Zone names already logged as unknown.
  std::set<std::wstring> reported_;
};
