// Paint benchmark: what one clock tick and one date repaint cost, against
// the floor of one path text filled and stroked. Prints one figure a line.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "comlib/back_buffer.h"
#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/inifile.h"
#include "data/face_measure.h"
#include "data/settings.h"
#include "view/renderer.h"
#include "text/time_text.h"

namespace {

constexpr int kWarmUpRounds = 20;
constexpr int kMeasuredRounds = 500;
constexpr wchar_t kWindowClass[] = L"HoravelPaintBench";
constexpr wchar_t kReferenceText[] = L"88:88:88";

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

// Median microseconds of one call.
double MedianMicroseconds(const std::function<void()>& paint) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int round = 0; round < kWarmUpRounds; ++round) paint();
  std::vector<double> samples;
  samples.reserve(kMeasuredRounds);
  for (int round = 0; round < kMeasuredRounds; ++round) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    paint();
    QueryPerformanceCounter(&end);
    samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart));
  }
  return Median(samples);
}

// A window like the clock's: layered, keyed on white, topmost, click-through.
HWND CreateLayeredWindow(int width, int height) {
  HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass,
                                L"Horavel bench", WS_POPUP, 32, 32, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  SetLayeredWindowAttributes(window, RGB(0xFF, 0xFF, 0xFF), 220, LWA_COLORKEY | LWA_ALPHA);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  return window;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

void CopyToWindow(HWND window, const BackBuffer_CL& buffer, SIZE size) {
  comlib::WindowDC dc(window);
  buffer.CopyTo(dc.get(), size.cx, size.cy);
}

// The clock paint as the calls were first listed: a brush fill of the whole
// bitmap and a GDI bitmap made from it on every paint.
void NaiveClockPaint(const AppSaveData_CL& clock, HWND window, Gdiplus::GpBitmap* bitmap, SIZE size) {
  comlib::GpGraphicsOwner graphics;
  gdip::GdipGetImageGraphicsContext(bitmap, graphics.put());
  comlib::GpBrushOwner white;
  gdip::GdipCreateSolidFill(0xFFFFFFFF, white.put());
  gdip::GdipFillRectangleI(graphics.get(), white.get(), 0, 0, size.cx, size.cy);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  timetext::ClockTextOptions options;
  const std::wstring text = timetext::MakeTimeText(now, false, options);
  const layout::ClockLayout clockLayout = MeasureClock(clock, dpi::kBaseDpi);
  comlib::GpPenOwner pen;
  gdip::GdipCreatePen1(render::DrawableColour(clock.font_color3),
                       layout::PenWidth(clock.font_em_height, clock.border_frame_scale), Gdiplus::UnitWorld,
                       pen.put());
  render::DrawClock(graphics.get(), clock, clockLayout, pen.get(), text, now.wSecond, false, dpi::kBaseDpi);
  graphics.reset();

  comlib::WindowDC dc(window);
  comlib::UniqueBitmap converted;
  gdip::GdipCreateHBITMAPFromBitmap(bitmap, converted.put(), 0xFF000000);
  comlib::UniqueMemoryDC memory(CreateCompatibleDC(dc.get()));
  comlib::SelectionScope selection(memory.get(), converted.get());
  BitBlt(dc.get(), 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace

int main() {
  comlib::GdiplusSession gdiplus;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  // The defaults are all the bench needs: its store has no file to read or write.
  Inifile_CL store;
  Settings_CL settings(store);

  // The clock at its defaults, seconds on, sized as the placement sizes it.
  AppSaveData_CL& clock = settings.Clock();
  clock.disp_second = 1;
  const SIZE clockWindowSize = MeasureClock(clock, dpi::kBaseDpi).window;
  HWND clockWindow = CreateLayeredWindow(clockWindowSize.cx, clockWindowSize.cy);
  const SIZE clockSize = ClientSize(clockWindow);
  BackBuffer_CL clockBuffer;
  clockBuffer.Resize(clockSize.cx, clockSize.cy);

  const double clockUs = MedianMicroseconds([&] {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    render::RenderClock(clockBuffer, clock, clockSize, now, false);
    CopyToWindow(clockWindow, clockBuffer, clockSize);
  });

  // The date at its defaults.
  HWND dateWindow = CreateLayeredWindow(320, 64);
  const SIZE dateWindowSize = MeasureDate(settings.Date(), dpi::kBaseDpi);
  SetWindowPos(dateWindow, nullptr, 0, 0, dateWindowSize.cx, dateWindowSize.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE dateSize = ClientSize(dateWindow);
  BackBuffer_CL dateBuffer;
  dateBuffer.Resize(dateSize.cx, dateSize.cy);

  const double dateUs = MedianMicroseconds([&] {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    render::RenderDate(dateBuffer, settings.Date(), dateSize, now);
    CopyToWindow(dateWindow, dateBuffer, dateSize);
  });

  // The floor: one path holding the whole time, filled and stroked.
  double referenceUs = 0.0;
  {
    comlib::GpBitmapOwner bitmap;
    gdip::GdipCreateBitmapFromScan0(clockSize.cx, clockSize.cy, 0, PixelFormat32bppRGB, nullptr, bitmap.put());
    comlib::GpGraphicsOwner graphics;
    gdip::GdipGetImageGraphicsContext(bitmap.get(), graphics.put());
    comlib::FontFamilyRef family(clock.font_family);
    comlib::GpBrushOwner fill;
    gdip::GdipCreateSolidFill(clock.font_color1, fill.put());
    comlib::GpPenOwner pen;
    gdip::GdipCreatePen1(render::DrawableColour(clock.font_color3),
                         layout::PenWidth(clock.font_em_height, clock.border_frame_scale), Gdiplus::UnitWorld,
                         pen.put());
    Gdiplus::GpStringFormat* format = nullptr;
    gdip::GdipStringFormatGetGenericDefault(&format);
    const Gdiplus::RectF layout(0.0f, 0.0f, 65536.0f, 65536.0f);
    const INT style = (clock.font_bold ? Gdiplus::FontStyleBold : 0) | (clock.font_italic ? Gdiplus::FontStyleItalic : 0);
    referenceUs = MedianMicroseconds([&] {
      comlib::GpPathOwner path;
      gdip::GdipCreatePath(Gdiplus::FillModeAlternate, path.put());
      gdip::GdipAddPathString(path.get(), kReferenceText, -1, family.get(), style,
                              static_cast<float>(clock.font_em_height), &layout, format);
      gdip::GdipFillPath(graphics.get(), fill.get(), path.get());
      gdip::GdipDrawPath(graphics.get(), pen.get(), path.get());
    });
  }

  double naiveUs = 0.0;
  {
    comlib::GpBitmapOwner bitmap;
    gdip::GdipCreateBitmapFromScan0(clockSize.cx, clockSize.cy, 0, PixelFormat32bppRGB, nullptr, bitmap.put());
    naiveUs = MedianMicroseconds([&] { NaiveClockPaint(clock, clockWindow, bitmap.get(), clockSize); });
  }

  std::printf("clock_paint_us=%.0f\n", clockUs);
  std::printf("date_paint_us=%.0f\n", dateUs);
  std::printf("reference_paint_us=%.0f\n", referenceUs);
  std::printf("ratio=%.2f\n", referenceUs > 0.0 ? clockUs / referenceUs : 0.0);
  std::printf("naive_clock_paint_us=%.0f\n", naiveUs);
  std::printf("naive_ratio=%.2f\n", referenceUs > 0.0 ? naiveUs / referenceUs : 0.0);
  std::fflush(stdout);

  ReleaseKeptFonts();
  DestroyWindow(dateWindow);
  DestroyWindow(clockWindow);
  return 0;
}
