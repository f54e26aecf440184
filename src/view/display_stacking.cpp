// Which faces of the display show and which lies on top: shown and hidden
// with the program and its settings, made way for on a monitor where
// another program fills the screen, and kept at the top of the topmost band.

#include "comlib/full_screen.h"
#include "comlib/log_file.h"
#include "view/display.h"

namespace {

// From the lowest to the highest: the clock lies above the date where both
// overlap, the date above the world clocks.
constexpr Face kBottomToTop[kFaceCount] = {Face::kZones, Face::kDate, Face::kClock};
constexpr UINT kRaiseFlags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
// Between leaving and re-entering the topmost band, so the faces land on its top.
constexpr DWORD kTopmostSettleMs = 100;

}  // namespace

// Shown without taking the focus: no face ever wants the keyboard.
void Display_CL::ShowOrHide(Face face, size_t group) {
  const HWND window = Window(face, group);
  if (window == nullptr) return;
  if (!Shown(face, group)) {
    ShowWindow(window, SW_HIDE);
    return;
  }
  // A face minimised by some tool comes back to its size.
  ShowWindow(window, IsIconic(window) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  // Drawn now, not when the queue next runs dry: an empty window would show.
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void Display_CL::Repaint(Face face, size_t group) {
  const HWND window = Window(face, group);
  if (window != nullptr && Shown(face, group)) InvalidateRect(window, nullptr, FALSE);
}

void Display_CL::RaiseAll(UINT extraFlags) {
  for (size_t group = 0; group < groups_.size(); ++group) {
    for (const Face face : kBottomToTop) {
      const HWND window = Window(face, group);
      if (window != nullptr && Shown(face, group)) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kRaiseFlags | extraFlags);
      }
    }
  }
}

void Display_CL::BringToTop() {
  bool any = false;
  for (size_t group = 0; group < groups_.size(); ++group) {
    for (const Face face : kBottomToTop) {
      const HWND window = Window(face, group);
      if (window == nullptr || !Shown(face, group)) continue;
      SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kRaiseFlags | SWP_SHOWWINDOW);
      any = true;
    }
  }
  if (!any) return;
  Sleep(kTopmostSettleMs);
  RaiseAll();
}

bool Display_CL::ShouldMakeWay(size_t group) const {
  if (clock_.hide_on_fullscreen == 0) return false;
  const RECT& area = groups_[group].area;
  return fullscreen::IsFullScreenProgramOn(IsRectEmpty(&area) ? ClockMonitorArea() : area);
}

void Display_CL::CheckFullScreen(size_t group) {
  const bool makeWay = ShouldMakeWay(group);
  if (makeWay == groups_[group].makingWay) return;
  groups_[group].makingWay = makeWay;
  HORAVEL_LOG(makeWay ? L"全画面表示のアプリを検出: 時計を隠します。" : L"全画面表示が終了: 時計を表示します。");
  Apply(display::kShowing);
}

void Display_CL::KeepOnTop() {
  // The highest shown face, the last one raised: a window that comes to
  // the top of the band comes above it first.
  HWND highest = nullptr;
  bool allVisible = true;
  for (size_t group = 0; group < groups_.size(); ++group) {
    for (const Face face : kBottomToTop) {
      const HWND window = Window(face, group);
      if (window == nullptr || !Shown(face, group)) continue;
      highest = window;
      // Read from this process's own copy of the style, no round trip to
      // Wine's server: another program may have hidden the face.
      if (!IsWindowVisible(window)) allVisible = false;
    }
  }
  if (highest == nullptr) return;
  if (!allVisible || OtherWindowAbove(highest)) RaiseAll(SWP_SHOWWINDOW);
}

bool Display_CL::OtherWindowAbove(HWND highest) const {
  // Only worth a raise when a window of another lies above: under Wine a
  // raise is a few dozen requests to the server, and most ticks nothing is.
  for (HWND above = GetWindow(highest, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
    if (!IsFaceWindow(above) && IsWindowVisible(above)) return true;
  }
  return false;
}

bool Display_CL::IsFaceWindow(HWND window) const {
  for (const FaceGroup& group : groups_) {
    for (const FaceState& face : group.faces) {
      if (face.handle == window) return true;
    }
  }
  return false;
}
