// The colour pages' two colour forms.

#include "view/prop_color_forms.h"

#include <gtest/gtest.h>

TEST(ColourForms, PickerColoursBecomeOpaqueArgbAndStoredColoursLoseTheirAlpha) {
  const struct {
    COLORREF picked;
    Argb stored;
  } pairs[] = {
      {RGB(0xFF, 0, 0), 0xFFFF0000},       {RGB(0, 0xFF, 0), 0xFF00FF00}, {RGB(0, 0, 0xFF), 0xFF0000FF},
      {RGB(0x12, 0x34, 0x56), 0xFF123456}, {RGB(0, 0, 0), 0xFF000000},    {RGB(0xFF, 0xFF, 0xFF), 0xFFFFFFFF},
  };
  for (const auto& pair : pairs) {
    EXPECT_EQ(pair.stored, colour_form::ArgbFromColorref(pair.picked)) << std::hex << pair.picked;
    EXPECT_EQ(pair.picked, colour_form::ColorrefFromArgb(pair.stored)) << std::hex << pair.stored;
  }
  // Pure red as the settings file stores it.
  EXPECT_EQ(-65536, static_cast<int>(colour_form::ArgbFromColorref(0x000000FF)));
  // A hand-edited alpha is shown without it and replaced once chosen again.
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), colour_form::ColorrefFromArgb(0x40123456));
  EXPECT_EQ(0xFF123456, colour_form::ArgbFromColorref(colour_form::ColorrefFromArgb(0x40123456)));
}
