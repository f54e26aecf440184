#pragma once
// A window that shows one face of one group of the display: borderless,
// click-through, layered with white cut out, off the taskbar. It hands its
// paints, sizes and moves between monitors to the display, which decides
// everything else; a plain close only hides the program.

#include <windows.h>

#include "comlib/back_buffer.h"
#include "comlib/window_base.h"
#include "view/display.h"

class FaceWindow_CL : public MainWindowBase_CL {
 public:
  // The windows of the first group end the program when they go; those of
  // the others go with their monitors.
  FaceWindow_CL(Display_CL& display, Face face, const wchar_t* className, SIZE initialSize, size_t group = 0);
  ~FaceWindow_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // The window is gone: the display lets go of it, and its picture goes
  // before the GDI+ session can.
  void OnDestroy() override;

 protected:
  // What a face adds to its creation, after the window has its styles and
  // its place in the display.
  virtual void OnFaceCreated() {}

  Display_CL& display_;
  const Face face_;
  const size_t group_;
  // The window's picture, made when it is first drawn in: a face that
  // shows the picture of another group's face keeps none.
  BackBuffer_CL backBuffer_;
  bool created_ = false;

 private:
  LRESULT OnCreateFace();
};

// Each face's window starts this large, until it is first placed.
constexpr SIZE kClockInitialSize = {480, 470};
constexpr SIZE kDateInitialSize = {320, 64};
constexpr SIZE kZonesInitialSize = {320, 64};

// The date, centred on the clock's centre plus an offset.
class DateDialog_CL : public FaceWindow_CL {
 public:
  explicit DateDialog_CL(Display_CL& display);
};

// The world clocks, one line a place, below the date (or the clock).
class ZoneDialog_CL : public FaceWindow_CL {
 public:
  explicit ZoneDialog_CL(Display_CL& display);
};
