#pragma once
// Layered windows keyed on white: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include "app_ids.h"

// The opacity one layered window was given last. Setting the attributes
// costs about half a paint under Wine, and even asking for them is a round
// trip to its server; fades come twice a second. So each window keeps the
// opacity it was given beside its handle, and it is set only when it changes:
// every opacity of that window is set through here.
class LayeredAlpha {
 public:
  // `opacity` is 0 ... 255.
  void Apply(HWND window, int opacity);
  // The window is going away: its handle may come back for another window.
  void Forget() { applied_ = kNone; }

 private:
  static constexpr int kNone = -1;
  int applied_ = kNone;
};
