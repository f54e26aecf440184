#include "comlib/layered_alpha.h"

#include <map>

namespace {

std::map<HWND, BYTE>& AppliedAlphas() {
  static std::map<HWND, BYTE> applied;
  return applied;
}

}  // namespace

void ApplyLayeredAlpha(HWND window, int opacity) {
  const BYTE alpha = static_cast<BYTE>(opacity);
  std::map<HWND, BYTE>& applied = AppliedAlphas();
  const auto known = applied.find(window);
  if (known != applied.end() && known->second == alpha) return;
  if (SetLayeredWindowAttributes(window, kTransparentKey, alpha, LWA_COLORKEY | LWA_ALPHA)) {
    applied[window] = alpha;
  } else {
    applied.erase(window);
  }
}

void ForgetLayeredAlpha(HWND window) { AppliedAlphas().erase(window); }
