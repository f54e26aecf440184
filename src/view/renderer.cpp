#include "view/renderer.h"

#include <algorithm>
#include <iterator>

#include "app_ids.h"
#include "data/face_measure.h"
#include "text/text_measure.h"
#include "text/time_text.h"

namespace render {

namespace {

constexpr Argb kOpaqueWhite = 0xFFFFFFFF;
constexpr Argb kKeyProofWhite = 0xFFFEFEFE;

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

// Adds a part of the time in its layout rectangle. Leading blanks are not
// drawn: the digits after them move right by one digit's advance each, so a
// one-digit hour ends where a two-digit one does whatever the font's space.
void AddPart(Gdiplus::GpPath* path, const std::wstring& piece, const textmeasure::ResolvedFont& font,
             const AreaF& rect, float digitAdvance) {
  const size_t firstDigit = std::min(piece.find_first_not_of(L' '), piece.size());
  const float shift = digitAdvance * static_cast<float>(firstDigit);
  font.AddKeptText(path, piece.substr(firstDigit), rect.x + shift, rect.y);
}

// Fills and outlines a path in the date's colours and drawing style: the
// date and the world clocks look alike.
void DrawInDateLook(Gdiplus::GpGraphics* graphics, const DateSaveData_CL& date, Gdiplus::GpPath* path,
                    float penWidth) {
  if (DrawsFill(date.draw_type)) {
    comlib::GpBrushOwner fill = SolidBrush(date.font_color1);
    gdip::GdipFillPath(graphics, fill.get(), path);
  }
  if (DrawsOutline(date.draw_type, date.border_frame_scale)) {
    comlib::GpPenOwner pen = Pen(date.font_color3, penWidth);
    gdip::GdipDrawPath(graphics, pen.get(), path);
  }
}

}  // namespace

Argb DrawableColour(Argb colour) { return colour == kOpaqueWhite ? kKeyProofWhite : colour; }

bool DrawsFill(int drawType) { return drawType == kDrawFillAndOutline || drawType == kDrawFillOnly; }

bool DrawsOutline(int drawType, int borderFrameScale) { return drawType != kDrawFillOnly && borderFrameScale > 0; }

void DrawClock(Gdiplus::GpGraphics* graphics, const AppSaveData_CL& clock, const layout::ClockLayout& clockLayout,
               Gdiplus::GpPen* pen, const std::wstring& timeText, int second, bool blinkPhase, int dpi) {
  if (graphics == nullptr) return;
  const textmeasure::ResolvedFont& font = ClockFont(clock, dpi);
  comlib::GpPathOwner path = textmeasure::NewPath();
  if (font.get().family == nullptr || !path) return;
  const bool dispSecond = clock.disp_second != 0;
  const AreaF* parts = clockLayout.parts;
  const float advance = clockLayout.digitAdvance;

  // The colons blink by leaving the path; the digits keep their places.
  AddPart(path.get(), Piece(timeText, 0, 2), font, parts[kHourPart], advance);
  if (!(blinkPhase && clock.blink)) {
    AddPart(path.get(), L":", font, parts[kFirstColonPart], advance);
    if (dispSecond) AddPart(path.get(), L":", font, parts[kSecondColonPart], advance);
  }
  AddPart(path.get(), Piece(timeText, 3, 2), font, parts[kMinutePart], advance);
  if (dispSecond) AddPart(path.get(), Piece(timeText, 6, 2), font, parts[kSecondPart], advance);

  if (DrawsFill(clock.draw_type)) {
    comlib::GpBrushOwner fill = SolidBrush(clock.font_color1);
    gdip::GdipFillPath(graphics, fill.get(), path.get());
    // The second colour rises through the digits with the seconds.
    const float fillTop = layout::RisingFillTop(clockLayout.bandTop, clockLayout.bandBottom, second);
    gdip::GdipSetClipRect(graphics, 0.0f, fillTop, layout::kUnboundedExtent, layout::kUnboundedExtent,
                          Gdiplus::CombineModeReplace);
    comlib::GpBrushOwner risingFill = SolidBrush(clock.font_color2);
    gdip::GdipFillPath(graphics, risingFill.get(), path.get());
    gdip::GdipResetClip(graphics);
  }
  if (DrawsOutline(clock.draw_type, clock.border_frame_scale) && pen != nullptr) {
    gdip::GdipDrawPath(graphics, pen, path.get());
  }
}

void DrawDate(Gdiplus::GpGraphics* graphics, const DateSaveData_CL& date, SIZE window, const std::wstring& dateText,
              int dpi) {
  if (graphics == nullptr) return;
  const textmeasure::ResolvedFont& font = DateFont(date, dpi);
  comlib::GpPathOwner path = textmeasure::NewPath();
  if (font.get().family == nullptr || !path) return;
  // The day's own ink is centred, so the date stands at its offset from the
  // clock whatever its digits.
  const layout::Ink ink = MeasureDateInk(date, dateText, dpi);
  const layout::OriginF origin = layout::CentredOrigin(ink.outlined, window);
  font.AddKeptText(path.get(), dateText, origin.x, origin.y);
  DrawInDateLook(graphics, date, path.get(), DatePenWidth(date, dpi));
}

void DrawCorrectionMark(Gdiplus::GpGraphics* graphics, const AppSaveData_CL& clock,
                        const layout::ClockLayout& clockLayout, Gdiplus::GpPen* pen, int dpi) {
  const AreaF mark = layout::CorrectionMark(clockLayout, ClockPenWidth(clock, dpi));
  comlib::GpPathOwner path = textmeasure::NewPath();
  if (graphics == nullptr || !path || mark.width <= 0.0f) return;
  // A diamond: a dot would read as a degree sign or a full stop.
  const float middleX = mark.x + mark.width / 2.0f;
  const float middleY = mark.y + mark.height / 2.0f;
  const Gdiplus::PointF corners[] = {
      {middleX, mark.y}, {mark.Right(), middleY}, {middleX, mark.Bottom()}, {mark.x, middleY}};
  gdip::GdipAddPathPolygon(path.get(), corners, static_cast<INT>(std::size(corners)));
  if (DrawsFill(clock.draw_type)) {
    comlib::GpBrushOwner fill = SolidBrush(clock.font_color2);
    gdip::GdipFillPath(graphics, fill.get(), path.get());
  }
  if (DrawsOutline(clock.draw_type, clock.border_frame_scale) && pen != nullptr) {
    gdip::GdipDrawPath(graphics, pen, path.get());
  }
}

void RenderClockText(BackBuffer_CL& buffer, const AppSaveData_CL& clock, SIZE size, const std::wstring& timeText,
                     int second, bool blinkPhase, int dpi, bool corrected) {
  buffer.Clear(size.cx, size.cy);
  const layout::ClockLayout clockLayout = MeasureClock(clock, dpi);
  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  if (!graphics) return;
  comlib::GpPenOwner pen = Pen(clock.font_color3, ClockPenWidth(clock, dpi));
  DrawClock(graphics.get(), clock, clockLayout, pen.get(), timeText, second, blinkPhase, dpi);
  if (corrected) DrawCorrectionMark(graphics.get(), clock, clockLayout, pen.get(), dpi);
}

void RenderClock(BackBuffer_CL& buffer, const AppSaveData_CL& clock, SIZE size, const SYSTEMTIME& time,
                 bool blinkPhase, int dpi, bool corrected) {
  timetext::ClockTextOptions options;
  options.hour12 = clock.hour12 != 0;
  options.dispSecond = clock.disp_second != 0;
  options.blink = clock.blink != 0;
  RenderClockText(buffer, clock, size, timetext::MakeTimeText(time, blinkPhase, options), time.wSecond, blinkPhase,
                  dpi, corrected);
}

void RenderDate(BackBuffer_CL& buffer, const DateSaveData_CL& date, SIZE size, const SYSTEMTIME& time, int dpi) {
  const std::wstring dateText = timetext::MakeDateText(time, date.date_format);
  buffer.Clear(size.cx, size.cy);
  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  if (!graphics) return;
  DrawDate(graphics.get(), date, size, dateText, dpi);
}

void RenderZones(BackBuffer_CL& buffer, const DateSaveData_CL& date, SIZE size, const std::vector<std::wstring>& lines,
                 const std::vector<std::wstring>& widestLines, int dpi) {
  buffer.Clear(size.cx, size.cy);
  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  const ZonesLayout zones = MeasureZones(date, widestLines, dpi);
  const textmeasure::ResolvedFont& font = ZonesFont(date, zones);
  comlib::GpPathOwner path = textmeasure::NewPath();
  if (!graphics || font.get().family == nullptr || !path) return;
  for (size_t line = 0; line < lines.size(); ++line) {
    font.AddKeptText(path.get(), lines[line], zones.origin.x, zones.origin.y + zones.pitch * static_cast<float>(line));
  }
  DrawInDateLook(graphics.get(), date, path.get(), zones.penWidth);
}

}  // namespace render
