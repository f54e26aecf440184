#pragma once
// The child controls that dialogs and property pages are built from. Each is
// a small wrapper over its window; a ControlFactory_CL creates and owns them.

#include <windows.h>

#include <string>

#include "comlib/hot_key.h"
#include "comlib/window_base.h"

class StaticText_CL : public ControlBase_CL {
 public:
  StaticText_CL() : ControlBase_CL(kControlStaticText) {}
};

class Button_CL : public ControlBase_CL {
 public:
  Button_CL() : ControlBase_CL(kControlButton) {}
};

class CheckBox_CL : public ControlBase_CL {
 public:
  CheckBox_CL() : ControlBase_CL(kControlCheckBox) {}

  bool IsChecked() const;
  void SetChecked(bool checked);
};

class TrackBar_CL : public ControlBase_CL {
 public:
  TrackBar_CL() : ControlBase_CL(kControlTrackBar) {}

  // Range, a page of 1 and the position, in the order the bar wants them.
  void Setup(int lowest, int highest, int position);
  int Position() const;
};

// A frame around a group of controls; it records how far the controls it
// encloses reach, measured from its own top-left corner.
class GroupBox_CL : public ControlBase_CL {
 public:
  GroupBox_CL() : ControlBase_CL(kControlGroupBox) {}
  ~GroupBox_CL() override = default;

  // Grows the extent so that it reaches the control's right and bottom edges.
  void Enclose(const ControlBase_CL& control);

  int ExtentWidth() const { return extentWidth_; }
  int ExtentHeight() const { return extentHeight_; }

 private:
  int extentWidth_ = 0;
  int extentHeight_ = 0;
};

// A drop-down list with images ("ComboBoxEx32").
class ComboBox_CL : public ControlBase_CL {
 public:
  // WS_VSCROLL | WS_HSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, used when no style is given.
  static constexpr DWORD kDefaultStyle = 0x300042;
  // WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | CBS_DROPDOWN.
  static constexpr DWORD kBaseStyle = 0x56010002;

  ComboBox_CL() : ControlBase_CL(kControlComboBox) {}

  // Sized in characters ("W" wide) and lines ("M" high) of the control's font.
  virtual HWND Create(HWND parent, int controlId, int widthInChars, int heightInLines, DWORD style, int x, int y);
  // The list grows as wide as its longest item needs, never narrower than
  // it was made: a date format cut in the middle reads as another one.
  void AddItem(const std::wstring& text, int imageIndex);

  // -1 when nothing is selected.
  int Selection() const;
  void Select(int index);
  int Count() const;
  // A list widened for long items no wider than this; the items still show
  // whole in the dropped list.
  void FitWithin(int width);

 private:
  void WidenFor(const std::wstring& text);
};

// A one-line edit field.
class EditBox_CL : public ControlBase_CL {
 public:
  EditBox_CL() : ControlBase_CL(kControlEdit) {}

  std::wstring Text() const;
  // At most this many characters can be typed.
  void LimitText(size_t characters);
  // Shown greyed while the field is empty: what it stands for then.
  void SetCueText(const std::wstring& text);
};

// A standard hot-key control ("msctls_hotkey32"): the keys the user pressed.
// Its parent hears of every change (EN_CHANGE), also where the control empties
// itself without a word.
class HotKeyField_CL : public ControlBase_CL {
 public:
  HotKeyField_CL() : ControlBase_CL(kControlHotKey) {}

  hotkey::KeyCombination Keys() const;
  void SetKeys(const hotkey::KeyCombination& keys);
  // Once the window is made: Wine's control empties itself at Backspace,
  // Delete, Space, Tab, Enter and Escape without telling its parent, which
  // would go on showing what the field no longer holds.
  void ReportSilentClears();
};

// The size of a text drawn in a font, as DrawText measures it on the screen.
SIZE MeasureText(HFONT font, const std::wstring& text);

// A window's rectangle in its parent's client coordinates, and its size.
RECT RectInParent(HWND window);
SIZE WindowSize(HWND window);
