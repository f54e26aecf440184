#pragma once
// The two forms a colour takes on the colour pages: the settings keep GDI+'s
// 0xAARRGGBB, the colour picker and GDI brushes take COLORREF's 0x00BBGGRR.

#include <windows.h>

#include "data/save_data.h"

namespace colour_form {

// A colour the user chose is always stored fully opaque.
constexpr Argb ArgbFromColorref(COLORREF colour) {
  return 0xFF000000u | (static_cast<Argb>(GetRValue(colour)) << 16) | (static_cast<Argb>(GetGValue(colour)) << 8) |
         static_cast<Argb>(GetBValue(colour));
}

// The alpha is dropped: GDI draws opaque.
constexpr COLORREF ColorrefFromArgb(Argb colour) {
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

}  // namespace colour_form
