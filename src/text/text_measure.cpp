#include "text/text_measure.h"

#include <algorithm>

#include "comlib/live_objects.h"
#include "text/time_text.h"

namespace textmeasure {

namespace {

// The outline is measured with a white pen: only its width matters.
constexpr Gdiplus::ARGB kMeasuringPenColour = 0xFFFFFFFF;
constexpr int kDaysOfWeek = 7;
// Where a family does not say: a common spacing for text fonts.
constexpr float kFallbackLineSpacingEm = 1.2f;

// GDI+ keeps the generic default format for the process; it is not deleted.
Gdiplus::GpStringFormat* DefaultFormat() {
  Gdiplus::GpStringFormat* format = nullptr;
  gdip::GdipStringFormatGetGenericDefault(&format);
  return format;
}

AreaF PathBounds(Gdiplus::GpPath* path) {
  Gdiplus::RectF bounds;
  if (gdip::GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr) != Gdiplus::Ok) return AreaF{};
  return AreaF{bounds.X, bounds.Y, bounds.Width, bounds.Height};
}

// Of the candidates, the one whose ink is widest.
template <typename Candidate, typename TextOf>
Candidate Widest(const TextFont& font, const Candidate* first, const Candidate* last, TextOf textOf) {
  Candidate widest = *first;
  float widestWidth = -1.0f;
  for (const Candidate* candidate = first; candidate != last; ++candidate) {
    const float width = MeasureInk(font, textOf(*candidate), 0.0f).fill.width;
    if (width > widestWidth) {
      widestWidth = width;
      widest = *candidate;
    }
  }
  return widest;
}

}  // namespace

ResolvedFont::ResolvedFont(const std::wstring& family, int bold, int italic, int emHeight)
    : family_(family),
      font_{family_.get(), comlib::FontStyleFor(bold, italic), static_cast<float>(emHeight)} {}

ResolvedFont::~ResolvedFont() { ForgetKeptTexts(); }

void ResolvedFont::ForgetKeptTexts() const {
  comlib::CountKeptGdiplusObjects(-static_cast<long>(kept_.size()));
  kept_.clear();
}

void ResolvedFont::AddKeptText(Gdiplus::GpPath* path, const std::wstring& text, float x, float y) const {
  if (path == nullptr || font_.family == nullptr || text.empty()) return;
  // Hours, minutes, seconds and colons in their places: a few hundred paths.
  constexpr size_t kMostKeptTexts = 256;
  auto kept = kept_.find(TextPlace(text, x, y));
  if (kept == kept_.end()) {
    if (kept_.size() >= kMostKeptTexts) ForgetKeptTexts();
    comlib::GpPathOwner own = NewPath();
    if (!own) return;
    AddText(own.get(), text, font_, x, y);
    kept = kept_.emplace(TextPlace(text, x, y), std::move(own)).first;
    comlib::CountKeptGdiplusObjects(1);
  }
  gdip::GdipAddPathPath(path, kept->second.get(), FALSE);
}

comlib::GpPathOwner NewPath() {
  comlib::GpPathOwner path;
  gdip::GdipCreatePath(Gdiplus::FillModeAlternate, path.put());
  return path;
}

// Sizes up to 128 pixels flatten at GDI+'s default quarter pixel.
constexpr float kEmPerFlatnessStep = 512.0f;

void AddText(Gdiplus::GpPath* path, const std::wstring& text, const TextFont& font, float x, float y) {
  if (path == nullptr || font.family == nullptr || text.empty()) return;
  const Gdiplus::RectF box(x, y, layout::kUnboundedExtent, layout::kUnboundedExtent);
  gdip::GdipAddPathString(path, text.c_str(), static_cast<INT>(text.size()), font.family, font.style, font.emSize,
                          &box, DefaultFormat());
}

layout::Ink MeasureInk(const TextFont& font, const std::wstring& text, float penWidth) {
  layout::Ink ink;
  comlib::GpPathOwner path = NewPath();
  if (!path || font.family == nullptr || text.empty()) return ink;
  AddText(path.get(), text, font, 0.0f, 0.0f);
  // The bounds of curves take in their control points, which stand well
  // outside slanted glyphs; the flattened path's are the ink's own. The
  // flatness grows with the size: at a fixed quarter pixel, Wine's GDI+
  // recurses without end on large glyphs (a date at 868 pixels).
  const float flatness = std::max(Gdiplus::FlatnessDefault, font.emSize / kEmPerFlatnessStep);
  gdip::GdipFlattenPath(path.get(), nullptr, flatness);
  ink.fill = PathBounds(path.get());
  ink.outlined = ink.fill;
  if (penWidth <= 0.0f) return ink;

  // The widened path is the outline's own shape, miter tips included; the
  // bounds GDI+ gives for a path with a pen are only a loose guess.
  comlib::GpPenOwner pen;
  if (gdip::GdipCreatePen1(kMeasuringPenColour, penWidth, Gdiplus::UnitWorld, pen.put()) != Gdiplus::Ok) return ink;
  if (gdip::GdipWidenPath(path.get(), pen.get(), nullptr, Gdiplus::FlatnessDefault) != Gdiplus::Ok) return ink;
  const AreaF widened = PathBounds(path.get());
  // The outline is drawn over the fill, so together they cover both.
  const float left = std::min(widened.x, ink.fill.x);
  const float top = std::min(widened.y, ink.fill.y);
  const float right = std::max(widened.Right(), ink.fill.Right());
  const float bottom = std::max(widened.Bottom(), ink.fill.Bottom());
  ink.outlined = AreaF{left, top, right - left, bottom - top};
  return ink;
}

layout::ClockSamples MeasureClockSamples(const TextFont& font, float penWidth) {
  layout::ClockSamples samples;
  // Digits differ in ink even where they share an advance: a "2" or a "7"
  // can reach past an "8".
  for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
    samples.digits = layout::Enclosing(samples.digits, MeasureInk(font, std::wstring(2, digit), penWidth));
  }
  samples.pair = MeasureInk(font, L"88", penWidth);
  samples.colon = MeasureInk(font, L":", penWidth);
  // Only their fills take part in the spacing: no outline to widen.
  samples.single = MeasureInk(font, L"8", 0.0f);
  samples.spaced = MeasureInk(font, L"8:8", 0.0f);
  return samples;
}

wchar_t WidestDigit(const TextFont& font) {
  static const wchar_t kDigits[] = L"0123456789";
  return Widest(font, kDigits, kDigits + 10, [](wchar_t d) { return std::wstring(1, d); });
}

float LineSpacing(const TextFont& font) {
  UINT16 emHeight = 0;
  UINT16 spacing = 0;
  if (font.family == nullptr || gdip::GdipGetEmHeight(font.family, font.style, &emHeight) != Gdiplus::Ok ||
      gdip::GdipGetLineSpacing(font.family, font.style, &spacing) != Gdiplus::Ok || emHeight == 0) {
    return font.emSize * kFallbackLineSpacingEm;
  }
  return font.emSize * static_cast<float>(spacing) / static_cast<float>(emHeight);
}

layout::Ink MeasureWidestDate(const TextFont& font, int dateFormat, float penWidth) {
  static const int kWeekdays[kDaysOfWeek] = {0, 1, 2, 3, 4, 5, 6};
  const wchar_t digit = WidestDigit(font);
  const int weekday = Widest(font, kWeekdays, kWeekdays + kDaysOfWeek, timetext::WeekdayName);
  return MeasureInk(font, timetext::DateSampleText(dateFormat, digit, weekday), penWidth);
}

}  // namespace textmeasure
