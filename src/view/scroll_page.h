#pragma once
// The base of the display pages: their controls stand on a panel as tall as
// the controls need, which the page scrolls with its vertical scroll bar
// (and, where the page allows, the mouse wheel) when the page is shorter.
// The panel hands its controls' notifications on to the page.

#include <windows.h>

#include <initializer_list>
#include <string>

#include "comlib/control_factory.h"
#include "comlib/dialog_base.h"
#include "comlib/ui_text.h"

class Display_CL;
class Settings_CL;

namespace scrolling {

// How one page scrolls.
struct ScrollRules {
  // Pixels per line; 0 takes the height of one "Ｗ".
  int line = 0;
  bool topAndBottom = true;
  bool wheel = true;
};

// The furthest the panel can scroll: how much taller the content is.
int ScrollMax(int contentHeight, int pageHeight);

// The position a scroll-bar request leads to, clamped to 0 ... max. track is
// the thumb's position for the thumb requests; trackKnown false keeps the
// position for them.
int ScrollBarTarget(int request, int position, int line, int pageHeight, int max, bool topAndBottom, int track,
                    bool trackKnown);

// One wheel message moves three lines, up for a positive delta.
int WheelTarget(int delta, int position, int line, int max);

}  // namespace scrolling

namespace dispsetting {

// Where the display pages put their controls, in the panel's coordinates.
constexpr int kTop = 16;
constexpr int kBoxX = 8;
constexpr int kLabelX = 4;
// The offset bars' range, either way.
constexpr int kOffsetLimit = 1024;
constexpr int kOpaque = 255;
constexpr int kDrawTypeCount = 3;

// The bar shows transparency: 0 opaque, 255 invisible. Values outside
// 0 ... 255 count as the nearest end.
int TransparencyFromAlpha(int alpha);
int AlphaFromTransparency(int transparency);
// A stored value outside 0 ... count - 1 (compared unsigned) shows as the first item.
int ListItemOrFirst(int value, int count);
// A bar's label: the text up to its opening bracket, the value, ")".
std::wstring LabelWithValue(const wchar_t* text, int value);
// The label with room for any value a bar shows, to size it by.
std::wstring LabelPlaceholder(TextId label);

}  // namespace dispsetting

// A static label above a trackbar that shows the bar's value.
struct LabelledBar {
  StaticText_CL* label = nullptr;
  TrackBar_CL* bar = nullptr;
};

class ScrollPage_CL : public SubClassDialogBase_CL {
 public:
  ScrollPage_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow, scrolling::ScrollRules rules);
  ~ScrollPage_CL() override;

  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND Panel() const { return panel_; }
  int ScrollPosition() const { return position_; }

 protected:
  // Creates the controls on the panel and sets them from the settings.
  virtual void BuildControls() = 0;
  // Returns whether a setting changed.
  virtual bool OnControlCommand(int id, int code, HWND control) = 0;
  // The bars' labels show their values; the settings follow the bars.
  virtual void UpdateOffsets() = 0;
  virtual void UpdateTransparency() = 0;

  // Where controls go: the panel, or the page itself without one.
  HWND ControlParent() const { return panel_ != nullptr ? panel_ : window_; }
  CheckBox_CL* AddCheckBox(const std::wstring& text, int x, int y, bool checked);
  StaticText_CL* AddLabel(const std::wstring& text, int x, int y);
  ComboBox_CL* AddList(std::initializer_list<const wchar_t*> items, int widthInChars, int x, int y);
  // The label at (4, labelY) sized for any value, the bar below it.
  LabelledBar AddLabelledBar(TextId label, int labelY, int lowest, int highest, int position);
  // Moves the first box to (8, d), frames the given controls from the top of
  // the panel and makes the panel as tall as its content down to `last`.
  void FinishPanel(ControlBase_CL& firstBox, TextId frameTitle, std::initializer_list<const ControlBase_CL*> framed,
                   const ControlBase_CL& last);
  // A list's choice counts once it is confirmed, not while it is browsed.
  static bool IsListChoice(const ComboBox_CL* list, int code, HWND control);
  // The offset bars' positions, shown in their labels after the given
  // texts, and clamped to the offsets' range.
  POINT ReadOffsets(TextId horizontalText, TextId verticalText);
  // The transparency bar's position, shown in its label; returns the alpha.
  int ReadAlpha(TextId labelText);

  ControlFactory_CL factory_;
  // What the page changes, and what shows each change.
  Settings_CL& settings_;
  Display_CL& display_;
  HWND clockWindow_;
  // The page width and the "Ｗ" unit.
  ClientArea area_;
  LabelledBar horizontal_;
  LabelledBar vertical_;
  LabelledBar transparency_;

 private:
  // Returns whether the bar is one of the page's.
  bool OnBarMoved(HWND bar);
  void BuildPage();
  void CreatePanel();
  void UpdateScrollRange();
  void ScrollTo(int position);
  int LineHeight() const;
  int PageHeight() const;

  scrolling::ScrollRules rules_;
  HWND panel_ = nullptr;
  int contentHeight_ = 0;
  int position_ = 0;
};
