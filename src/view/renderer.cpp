#include "view/renderer.h"

#include <algorithm>

#include "app_ids.h"
#include "comlib/font_family.h"
#include "view/layered_window.h"
#include "view/time_text.h"

namespace render {

namespace {

// Layout rectangles that never cut a glyph off.
constexpr float kUnboundedExtent = 65536.0f;
constexpr Argb kOpaqueWhite = 0xFFFFFFFF;
constexpr Argb kKeyProofWhite = 0xFFFEFEFE;
constexpr int kLastSecond = 59;

// The outline is measured with a white pen: only its width matters.
constexpr Argb kMeasuringPenColour = kOpaqueWhite;

const Gdiplus::RectF kSampleOrigin(0.0f, 0.0f, kUnboundedExtent, kUnboundedExtent);

AreaF ToArea(const Gdiplus::RectF& rect) { return AreaF{rect.X, rect.Y, rect.Width, rect.Height}; }
Gdiplus::RectF ToRect(const AreaF& area) { return Gdiplus::RectF(area.x, area.y, area.width, area.height); }

// Family, style and size of one text.
struct TextFont {
  Gdiplus::GpFontFamily* family;
  INT style;
  float emSize;
};

comlib::GpPathOwner NewPath() {
  comlib::GpPathOwner path;
  gdip::GdipCreatePath(Gdiplus::FillModeAlternate, path.put());
  return path;
}

// GDI+ keeps the generic default format for the process; it is not deleted.
Gdiplus::GpStringFormat* DefaultFormat() {
  Gdiplus::GpStringFormat* format = nullptr;
  gdip::GdipStringFormatGetGenericDefault(&format);
  return format;
}

void AddText(Gdiplus::GpPath* path, const std::wstring& text, const TextFont& font, const Gdiplus::RectF& layout) {
  if (text.empty()) return;
  gdip::GdipAddPathString(path, text.c_str(), static_cast<INT>(text.size()), font.family, font.style, font.emSize,
                          &layout, DefaultFormat());
}

AreaF PathBounds(Gdiplus::GpPath* path, Gdiplus::GpPen* pen) {
  Gdiplus::RectF bounds;
  gdip::GdipGetPathWorldBounds(path, &bounds, nullptr, pen);
  return ToArea(bounds);
}

comlib::GpBrushOwner SolidBrush(Argb colour) {
  comlib::GpBrushOwner brush;
  gdip::GdipCreateSolidFill(DrawableColour(colour), brush.put());
  return brush;
}

comlib::GpPenOwner Pen(Argb colour, float width) {
  comlib::GpPenOwner pen;
  gdip::GdipCreatePen1(DrawableColour(colour), width, Gdiplus::UnitWorld, pen.put());
  return pen;
}

// The characters at [first, first + count) that the text holds.
std::wstring Piece(const std::wstring& text, size_t first, size_t count) {
  return first < text.size() ? text.substr(first, count) : std::wstring();
}

}  // namespace

float PenWidth(int fontEmHeight, int borderFrameScale) {
  if (borderFrameScale <= 0) return 0.0f;
  const float emHeight = static_cast<float>(std::max(fontEmHeight, 0));
  return emHeight * static_cast<float>(borderFrameScale) / 255.0f;
}

Argb DrawableColour(Argb colour) { return colour == kOpaqueWhite ? kKeyProofWhite : colour; }

bool DrawsFill(int drawType) { return drawType == kDrawFillAndOutline || drawType == kDrawFillOnly; }

bool DrawsOutline(int drawType, int borderFrameScale) { return drawType != kDrawFillOnly && borderFrameScale > 0; }

ClockLayout ComputeClockLayout(const ClockSampleBounds& bounds, float penWidth, bool dispSecond) {
  const AreaF& whole = bounds.whole;
  const float margin = 3.0f * penWidth;
  const float colonWidth = bounds.digitsColon.width - bounds.digits.width - margin;
  // The seconds' colon and digits stand a third of a colon further right.
  const float secondsShift = dispSecond ? colonWidth / 3.0f : 0.0f;
  const float dx = penWidth - whole.x;
  const float dy = penWidth - whole.y + margin;
  const float rowHeight = whole.y + whole.height + margin;

  ClockLayout layout;
  layout.bandTop = 4 * static_cast<int>(penWidth);
  layout.bandBottom = static_cast<int>(whole.height + 2.0f * penWidth);
  layout.rects[kHourPart] = AreaF{dx + margin, dy, kUnboundedExtent, rowHeight};
  layout.rects[kFirstColonPart] = AreaF{dx + bounds.digits.width + margin, dy, colonWidth, rowHeight};
  layout.rects[kMinutePart] = AreaF{dx + bounds.digitsColon.width + colonWidth / 3.0f, dy, kUnboundedExtent, rowHeight};
  layout.rects[kSecondColonPart] = AreaF{dx + bounds.hourMinute.width + secondsShift, dy, colonWidth, rowHeight};
  layout.rects[kSecondPart] = AreaF{dx + bounds.hourMinuteColon.width + secondsShift, dy, kUnboundedExtent, rowHeight};
  layout.area = AreaF{dx, dy, whole.width + margin + 2.0f * colonWidth, rowHeight + 2.0f * colonWidth};
  return layout;
}

float RisingFillTop(int bandTop, int bandBottom, int second) {
  const int clamped = std::min(std::max(second, 0), kLastSecond);
  const float bandHeight = static_cast<float>(bandBottom - bandTop + 1);
  return static_cast<float>(bandBottom) - bandHeight * static_cast<float>(clamped) / static_cast<float>(kLastSecond);
}

AreaF DateAreaFromBounds(const AreaF& bounds, float penWidth) {
  const float margin = 2.0f * penWidth + 2.0f;
  return AreaF{bounds.x - margin, bounds.y - margin, bounds.width + 2.0f * margin, bounds.height + 2.0f * margin};
}

Gdiplus::PointF DateTextShift(const AreaF& textBounds, float penWidth) {
  // Half the pen for the stroke, as much again for the miter tips at the
  // glyphs' corners, and a pixel for rounding.
  const float room = penWidth + 1.0f;
  return Gdiplus::PointF(std::max(0.0f, room - textBounds.x), std::max(0.0f, room - textBounds.y));
}

// Path bounds need no device, so the window only names whose clock this is.
AreaF MeasureClock(HWND /*clockWindow*/) {
  AppSaveData_CL& clock = ClockData();
  const float penWidth = PenWidth(clock.font_em_height, clock.border_frame_scale);
  const bool dispSecond = clock.disp_second != 0;

  comlib::FontFamilyRef family(clock.font_family);
  comlib::GpPathOwner path = NewPath();

  // Every sample goes into the same path at the same origin, so each bound
  // is that of the longest sample so far.
  ClockSampleBounds bounds;
  if (family.get() && path) {
    const TextFont font{family.get(), comlib::FontStyleFor(clock.font_bold, clock.font_italic),
                        static_cast<float>(clock.font_em_height)};
    auto addSample = [&](const wchar_t* sample) {
      AddText(path.get(), sample, font, kSampleOrigin);
      return PathBounds(path.get(), nullptr);
    };
    bounds.digits = addSample(timetext::kTimeSamples[0]);
    bounds.digitsColon = addSample(timetext::kTimeSamples[1]);
    bounds.hourMinute = addSample(timetext::kTimeSamples[2]);
    if (dispSecond) {
      bounds.hourMinuteColon = addSample(timetext::kTimeSamples[3]);
      addSample(timetext::kTimeSamples[4]);
    }
    bounds.whole = PathBounds(path.get(), nullptr);
  }

  const ClockLayout layout = ComputeClockLayout(bounds, penWidth, dispSecond);
  std::copy(std::begin(layout.rects), std::end(layout.rects), std::begin(clock.layout_rects));
  clock.band_top = layout.bandTop;
  clock.band_bottom = layout.bandBottom;
  return layout.area;
}

AreaF MeasureDate() {
  const DateSaveData_CL& date = DateData();
  if (ClockData().hidden || !date.show_date || date.hwnd == nullptr || !date.date_font) return AreaF{};

  const float penWidth = PenWidth(date.font_em_height, date.border_frame_scale);
  comlib::FontFamilyRef family(date.font_family);
  comlib::GpPathOwner path = NewPath();
  if (!family.get() || !path) return DateAreaFromBounds(AreaF{}, penWidth);

  const TextFont font{family.get(), comlib::FontStyleFor(date.font_bold, date.font_italic),
                      static_cast<float>(date.font_em_height)};
  AddText(path.get(), timetext::DateSampleText(date.date_format), font, kSampleOrigin);
  // Bounds with the pen take in the outline's width.
  comlib::GpPenOwner pen = Pen(kMeasuringPenColour, penWidth);
  return DateAreaFromBounds(PathBounds(path.get(), pen.get()), penWidth);
}

void DrawClock(Gdiplus::GpGraphics* graphics, const AreaF& area, Gdiplus::GpPen* pen, const std::wstring& family,
               const std::wstring& timeText, float emSize, int second, bool blinkPhase) {
  if (graphics == nullptr) return;
  const AppSaveData_CL& clock = ClockData();
  AreaF rects[kClockPartCount];
  std::copy(std::begin(clock.layout_rects), std::end(clock.layout_rects), std::begin(rects));
  rects[kHourPart].width = kUnboundedExtent;
  rects[kHourPart].height = kUnboundedExtent;
  // A colon's cell is narrower than the character with GDI+'s padding, and
  // some GDI+ versions (Wine's) then leave the colon out. Laid out from the
  // same corner without a width limit it stands in the same place.
  rects[kFirstColonPart].width = kUnboundedExtent;
  rects[kSecondColonPart].width = kUnboundedExtent;

  comlib::FontFamilyRef familyRef(family);
  comlib::GpPathOwner path = NewPath();
  if (!familyRef.get() || !path) return;
  const TextFont font{familyRef.get(), comlib::FontStyleFor(clock.font_bold, clock.font_italic), emSize};
  const bool dispSecond = clock.disp_second != 0;

  // The colons blink by leaving the path; the digits keep their places.
  AddText(path.get(), Piece(timeText, 0, 2), font, ToRect(rects[kHourPart]));
  if (!(blinkPhase && clock.blink)) {
    AddText(path.get(), L":", font, ToRect(rects[kFirstColonPart]));
    if (dispSecond) AddText(path.get(), L":", font, ToRect(rects[kSecondColonPart]));
  }
  AddText(path.get(), Piece(timeText, 3, 2), font, ToRect(rects[kMinutePart]));
  if (dispSecond) AddText(path.get(), Piece(timeText, 6, 2), font, ToRect(rects[kSecondPart]));

  if (DrawsFill(clock.draw_type)) {
    comlib::GpBrushOwner fill = SolidBrush(clock.font_color1);
    gdip::GdipFillPath(graphics, fill.get(), path.get());
    // The second colour rises from the band's bottom with the seconds.
    const float fillTop = RisingFillTop(clock.band_top, clock.band_bottom, second);
    gdip::GdipSetClipRect(graphics, rects[kHourPart].x, fillTop, kUnboundedExtent, kUnboundedExtent,
                          Gdiplus::CombineModeReplace);
    comlib::GpBrushOwner risingFill = SolidBrush(clock.font_color2);
    gdip::GdipFillPath(graphics, risingFill.get(), path.get());
    gdip::GdipSetClipRect(graphics, area.x, area.y, area.width, area.height, Gdiplus::CombineModeReplace);
  }
  if (DrawsOutline(clock.draw_type, clock.border_frame_scale) && pen != nullptr) {
    gdip::GdipDrawPath(graphics, pen, path.get());
  }
}

void DrawDate(Gdiplus::GpGraphics* graphics, const AreaF& area, const std::wstring& dateText) {
  if (graphics == nullptr) return;
  const DateSaveData_CL& date = DateData();
  comlib::FontFamilyRef family(date.font_family);
  comlib::GpPathOwner path = NewPath();
  if (!family.get() || !path) return;
  const TextFont font{family.get(), comlib::FontStyleFor(date.font_bold, date.font_italic),
                      static_cast<float>(date.font_em_height)};
  const float penWidth = PenWidth(date.font_em_height, date.border_frame_scale);
  AddText(path.get(), dateText, font, Gdiplus::RectF(area.x, area.y, kUnboundedExtent, kUnboundedExtent));
  const Gdiplus::PointF shift = DateTextShift(PathBounds(path.get(), nullptr), penWidth);
  if (shift.X > 0.0f || shift.Y > 0.0f) {
    path = NewPath();
    if (!path) return;
    AddText(path.get(), dateText, font,
            Gdiplus::RectF(area.x + shift.X, area.y + shift.Y, kUnboundedExtent, kUnboundedExtent));
  }

  comlib::GpPenOwner pen = Pen(date.font_color3, penWidth);
  if (DrawsFill(date.draw_type)) {
    comlib::GpBrushOwner fill = SolidBrush(date.font_color1);
    gdip::GdipFillPath(graphics, fill.get(), path.get());
  }
  if (DrawsOutline(date.draw_type, date.border_frame_scale)) gdip::GdipDrawPath(graphics, pen.get(), path.get());
}

void RenderClock(HWND clockWindow, BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time,
                 bool blinkPhase) {
  const AppSaveData_CL& clock = ClockData();
  buffer.Clear(width, height);
  timetext::ClockTextOptions options;
  options.hour12 = clock.hour12 != 0;
  options.dispSecond = clock.disp_second != 0;
  options.blink = clock.blink != 0;
  const std::wstring timeText = timetext::MakeTimeText(time, blinkPhase, options);
  const AreaF area = MeasureClock(clockWindow);

  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  if (!graphics) return;
  comlib::GpPenOwner pen = Pen(clock.font_color3, PenWidth(clock.font_em_height, clock.border_frame_scale));
  DrawClock(graphics.get(), area, pen.get(), clock.font_family, timeText, static_cast<float>(clock.font_em_height),
            time.wSecond, blinkPhase);
}

void RenderDate(BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time) {
  const std::wstring dateText = timetext::MakeDateText(time, DateData().date_format);
  const AreaF area = MeasureDate();
  buffer.Clear(width, height);
  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  if (!graphics) return;
  DrawDate(graphics.get(), area, dateText);
}

void PaintClock(HWND clockWindow, BackBuffer_CL& buffer, bool blinkPhase) {
  if (!DateData().IsClockShown()) {
    ValidateRect(clockWindow, nullptr);
    return;
  }
  ApplyLayeredAlpha(clockWindow, ClockData().GetClockAlpha(clockWindow));
  comlib::PaintScope paint(clockWindow);
  SetBkColor(paint.dc(), kTransparentKey);
  RECT client{};
  GetClientRect(clockWindow, &client);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  RenderClock(clockWindow, buffer, client.right, client.bottom, now, blinkPhase);
  buffer.CopyTo(paint.dc(), client.right, client.bottom);
}

void PaintDate(HWND dateWindow, BackBuffer_CL& buffer) {
  if (!DateData().show_date) {
    ValidateRect(dateWindow, nullptr);
    return;
  }
  comlib::PaintScope paint(dateWindow);
  RECT client{};
  GetClientRect(dateWindow, &client);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  RenderDate(buffer, client.right, client.bottom, now);
  buffer.CopyTo(paint.dc(), client.right, client.bottom);
}

}  // namespace render
