#include "comlib/layered_alpha.h"

void LayeredAlpha::Apply(HWND window, int opacity) {
  const BYTE alpha = static_cast<BYTE>(opacity);
  if (applied_ == alpha) return;
  applied_ = SetLayeredWindowAttributes(window, kTransparentKey, alpha, LWA_COLORKEY | LWA_ALPHA) ? alpha : kNone;
}
