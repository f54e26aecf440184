#pragma once
// The two colour pages of the settings sheet: one row per colour of the
// clock or the date, with a caption, a swatch and a button that opens the
// system colour picker on the row's colour. A chosen colour is stored and
// written at once.

#include <windows.h>

#include <vector>

#include "comlib/control_factory.h"
#include "comlib/controls.h"
#include "comlib/dialog_base.h"

#include "comlib/unique_handle.h"
#include "data/save_data.h"

class Display_CL;
class Settings_CL;

// One colour a page offers: its caption and the record field it sets.
struct ColourEntry {
  const wchar_t* caption;
  Argb* colour;
};

class PropColorSetting_CL : public SubClassDialogBase_CL {
 public:
  ~PropColorSetting_CL() override;
  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  PropColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow,
                      const std::vector<ColourEntry>& rows);

  // Writes the page's colours and shows them.
  virtual void SaveColours() = 0;

  Settings_CL& settings_;
  Display_CL& display_;
  HWND clockWindow_;

 private:
  struct Row {
    ColourEntry entry;
    StaticText_CL* swatch = nullptr;
    Button_CL* button = nullptr;
    // The brush the swatch was last painted with.
    comlib::UniqueBrush brush;
  };

  void BuildPage();
  // True when the command came from one of the rows' buttons.
  bool OnCommand(int controlId);
  void ChooseColour(Row& row);
  HBRUSH SwatchBrush(HWND control);

  ControlFactory_CL factory_;
  std::vector<Row> rows_;
  // The picker's custom colours, kept while the sheet is open.
  COLORREF customColours_[16];
};

// The clock's fill, rising second fill and outline colours.
class PropAppColorSetting_CL : public PropColorSetting_CL {
 public:
  PropAppColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);

 protected:
  void SaveColours() override;
};

// The date's fill and outline colours.
class PropDateColorSetting_CL : public PropColorSetting_CL {
 public:
  PropDateColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);

 protected:
  void SaveColours() override;
};
