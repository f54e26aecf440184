#pragma once
// Measuring text ink with GDI+: the one place that turns a text into a path
// to see how large it is. The layout arithmetic works on what this returns.

#include <map>
#include <string>
#include <tuple>

#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "text/text_layout.h"

namespace textmeasure {

// Family, style and size of one text.
struct TextFont {
  Gdiplus::GpFontFamily* family = nullptr;
  INT style = 0;
  float emSize = 0.0f;
};

// A font as the settings describe it, its family resolved (or a fallback
// family standing in); the family lives as long as this object.
class ResolvedFont {
 public:
  ResolvedFont(const std::wstring& family, int bold, int italic, int emHeight);
  ~ResolvedFont();
  ResolvedFont(const ResolvedFont&) = delete;
  ResolvedFont& operator=(const ResolvedFont&) = delete;

  const TextFont& get() const { return font_; }

  // Adds the text to the path with its layout origin at (x, y), as AddText
  // does. The text's own path is kept for the next time: turning text into
  // a path makes GDI+ create device contexts, round trips to the display
  // under Wine, and the clock's pieces come back again and again.
  void AddKeptText(Gdiplus::GpPath* path, const std::wstring& text, float x, float y) const;

 private:
  void ForgetKeptTexts() const;

  comlib::FontFamilyRef family_;
  TextFont font_;
  using TextPlace = std::tuple<std::wstring, float, float>;
  mutable std::map<TextPlace, comlib::GpPathOwner> kept_;
};

comlib::GpPathOwner NewPath();
// Adds the text to the path with its layout origin at (x, y), as every text
// of the clock and the date is laid out.
void AddText(Gdiplus::GpPath* path, const std::wstring& text, const TextFont& font, float x, float y);

// The text's ink laid out at the origin, with an outline of penWidth (none
// when 0). All zero for an empty text or a missing family.
layout::Ink MeasureInk(const TextFont& font, const std::wstring& text, float penWidth);

layout::ClockSamples MeasureClockSamples(const TextFont& font, float penWidth);

// The digit whose ink is widest in the font.
wchar_t WidestDigit(const TextFont& font);

// How far apart lines of text stand in the font: its own line spacing.
float LineSpacing(const TextFont& font);

// The ink of the widest date the format can show: every digit the widest
// one, two-digit months and days, the widest weekday.
layout::Ink MeasureWidestDate(const TextFont& font, int dateFormat, float penWidth);

}  // namespace textmeasure
