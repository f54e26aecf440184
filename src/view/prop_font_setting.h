#pragma once
// The two font pages of the settings sheet: the typeface, bold and italic,
// size and outline width of the clock and of the date. Every change goes to
// the settings record at once, so the desktop shows it while the sheet is
// open.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/control_factory.h"
#include "comlib/controls.h"
#include "comlib/dialog_base.h"

class Display_CL;
class Settings_CL;

// The record fields one font page serves.
struct FontFields {
  std::wstring* family;
  int* bold;
  int* italic;
  int* emHeight;
  int* outline;
};

// What tells the clock's font page from the date's, besides the record.
struct FontPageKind {
  int sizeLowest;
  int sizeHighest;
};

class PropFontSetting_CL : public SubClassDialogBase_CL {
 public:
  ~PropFontSetting_CL() override;
  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  PropFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow, const FontPageKind& kind);

  virtual FontFields Fields() const = 0;
  // The window whose device context lists the installed families.
  virtual HWND EnumerationWindow() const = 0;
  virtual void SetFont(const std::wstring& family, int bold, int italic) = 0;
  virtual void SetSize(int size) = 0;
  // Writes the stored outline width, re-places and repaints the window.
  virtual void ApplyOutline() = 0;

  Settings_CL& settings_;
  Display_CL& display_;
  HWND clockWindow_;

 private:
  void BuildPage();
  void FillFamilyList();
  // True when the command came from one of the page's controls.
  bool OnCommand(WPARAM wParam, LPARAM lParam);
  void OnTrackBar(HWND bar);
  void UpdateSize();
  void UpdateOutline();
  void ShowOutlineLabel(int width);

  const FontPageKind& kind_;
  ControlFactory_CL factory_;
  ComboBox_CL* familyList_ = nullptr;
  CheckBox_CL* boldBox_ = nullptr;
  CheckBox_CL* italicBox_ = nullptr;
  StaticText_CL* sizeLabel_ = nullptr;
  TrackBar_CL* sizeBar_ = nullptr;
  StaticText_CL* outlineLabel_ = nullptr;
  TrackBar_CL* outlineBar_ = nullptr;
  std::vector<std::wstring> families_;
};

// The clock's font: size in 64 ... 512, all three keys written at once.
class PropAppFontSetting_CL : public PropFontSetting_CL {
 public:
  PropAppFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);

 protected:
  FontFields Fields() const override;
  HWND EnumerationWindow() const override;
  void SetFont(const std::wstring& family, int bold, int italic) override;
  void SetSize(int size) override;
  void ApplyOutline() override;
};

// The date's font: size in 32 ... 256; family and styles reach the file with
// the next save of the whole date section.
class PropDateFontSetting_CL : public PropFontSetting_CL {
 public:
  PropDateFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);

 protected:
  FontFields Fields() const override;
  HWND EnumerationWindow() const override;
  void SetFont(const std::wstring& family, int bold, int italic) override;
  void SetSize(int size) override;
  void ApplyOutline() override;
};
