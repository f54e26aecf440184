#pragma once
// The world clocks' page: four places, each shown or not, its Windows time
// zone chosen from Windows' own list and the label its line begins with;
// and where the lines stand. Every change shows on the desktop at once.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/time_zones.h"
#include "data/save_data.h"
#include "view/scroll_page.h"

class PropZoneSetting_CL : public ScrollPage_CL {
 public:
  PropZoneSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);
  ~PropZoneSetting_CL() override;

 protected:
  void BuildControls() override;
  bool OnControlCommand(int id, int code, HWND control) override;
  void UpdateOffsets() override;
  void UpdateTransparency() override {}

 private:
  struct PlaceRow {
    CheckBox_CL* show = nullptr;
    EditBox_CL* label = nullptr;
    ComboBox_CL* zone = nullptr;
  };
  void AddPlaceRow(int index, int top);
  // The row's label field shows, greyed while it is empty, the name the
  // line takes then.
  void ShowDefaultLabel(int index);
  // Stores the place's new setting and shows it, unless nothing changed.
  void ChangePlace(int index, const PlaceSetting& changed);

  PlaceRow rows_[kPlaceCount];
  std::vector<TimeZoneEntry> zones_;
};
