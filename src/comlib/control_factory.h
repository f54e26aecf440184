#pragma once
// Creates the child controls of a dialog or page: numbers them, sizes them
// from their text in the dialog font, owns their wrappers and lays them out.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "comlib/controls.h"

// The first control id of every dialog and page.
constexpr int kFirstControlId = 0x1100;

// A static text of exactly this text is a hidden half-height spacer in a
// stacked column.
constexpr wchar_t kColumnSpacerText[] = L"\x3000";

class ControlFactory_CL {
 public:
  explicit ControlFactory_CL(int firstControlId = kFirstControlId) : nextControlId_(firstControlId) {}
  virtual ~ControlFactory_CL() = default;
  ControlFactory_CL(const ControlFactory_CL&) = delete;
  ControlFactory_CL& operator=(const ControlFactory_CL&) = delete;

  // Each returns the new wrapper's index; the wrapper is kept even when its
  // window could not be created.
  int AddStaticText(HWND parent, const std::wstring& text, int x, int y);
  int AddButton(HWND parent, const std::wstring& text, int x, int y);
  int AddCheckBox(HWND parent, const std::wstring& text, int x, int y);
  int AddComboBox(HWND parent, int widthInChars, int heightInLines, int x, int y);
  int AddGroupBox(HWND parent, const std::wstring& text, int width, int height, int y);
  int AddTrackBar(HWND parent, int width, int height, int x, int y);
  // One line of text, `widthInChars` "W" wide.
  int AddEditBox(HWND parent, const std::wstring& text, int widthInChars, int x, int y);
  // Wide enough for the longest key names the control shows, one line high.
  int AddHotKeyField(HWND parent, int x, int y);

  // Moves the controls to x 8 in a column from startY, in the order given.
  void StackControls(const std::vector<int>& indexes, int startY);
  // Puts the controls at index and index + 1 in the bottom-right corner of
  // the parent's client area, side by side.
  void PlaceButtonPair(HWND parent, int index);

  ControlBase_CL* At(int index) const;
  // The wrapper at index as the kind the caller created there.
  template <typename Control>
  Control* Get(int index) const {
    return static_cast<Control*>(At(index));
  }
  int Count() const { return static_cast<int>(controls_.size()); }
  int NextControlId() const { return nextControlId_; }

 private:
  int AddControl(std::unique_ptr<ControlBase_CL> control, HWND parent, const wchar_t* windowClass,
                 const std::wstring& text, DWORD style, int x, int y, int width, int height);

  std::vector<std::unique_ptr<ControlBase_CL>> controls_;
  int nextControlId_;
};
