// The colour pages' two colour forms.

#include "view/prop_color_forms.h"

#include <gtest/gtest.h>

#include <utility>

TEST(ColourForms, PickerColoursBecomeOpaqueArgbAndStoredColoursLoseTheirAlpha) {
  const std::pair<COLORREF, Argb> pairs[] = {{RGB(0xFF, 0, 0), 0xFFFF0000},
                                             {RGB(0, 0xFF, 0), 0xFF00FF00},
                                             {RGB(0x12, 0x34, 0x56), 0xFF123456},
                                             {RGB(0, 0, 0), 0xFF000000}};
  for (const auto& [picked, stored] : pairs) {
    EXPECT_EQ(stored, colour_form::ArgbFromColorref(picked)) << std::hex << picked;
    EXPECT_EQ(picked, colour_form::ColorrefFromArgb(stored)) << std::hex << stored;
  }
  // Pure red as the settings file stores it; a hand-edited alpha is dropped.
  EXPECT_EQ(-65536, static_cast<int>(colour_form::ArgbFromColorref(0x000000FF)));
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), colour_form::ColorrefFromArgb(0x40123456));
}
