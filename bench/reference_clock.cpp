// The least a clock like ours can cost: a layered, colour-keyed, topmost
// window that repaints one outlined path "88:88:88" twice a second. The
// benchmark runs it beside the real clock and compares what each costs the
// machine: CPU, wake-ups and system calls.
//
//   reference_clock.exe    (ends on WM_CLOSE, or after an hour)

#include <windows.h>

#include "comlib/back_buffer.h"
#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/unique_handle.h"

namespace {

constexpr wchar_t kWindowClass[] = L"HoravelReferenceClock";
constexpr wchar_t kText[] = L"88:88:88";
constexpr UINT_PTR kTickTimerId = 1;
constexpr UINT kTickMs = 500;
constexpr UINT_PTR kEndTimerId = 2;
constexpr UINT kEndAfterMs = 60 * 60 * 1000;
constexpr int kWidth = 420;
constexpr int kHeight = 110;
constexpr float kEmSize = 96.0f;
constexpr float kPenWidth = 3.0f;
constexpr COLORREF kKey = RGB(0xFF, 0xFF, 0xFF);

struct Reference {
  BackBuffer_CL buffer;
  comlib::FontFamilyRef family{L"Comic Sans MS"};
};
Reference* g_reference = nullptr;

void Paint(HWND window) {
  comlib::PaintScope paint(window);
  Reference& reference = *g_reference;
  reference.buffer.Clear(kWidth, kHeight);
  comlib::GpGraphicsOwner graphics = reference.buffer.Graphics();
  comlib::GpPathOwner path;
  gdip::GdipCreatePath(Gdiplus::FillModeAlternate, path.put());
  Gdiplus::GpStringFormat* format = nullptr;
  gdip::GdipStringFormatGetGenericDefault(&format);
  const Gdiplus::RectF box(8.0f, 0.0f, 4096.0f, 4096.0f);
  gdip::GdipAddPathString(path.get(), kText, -1, reference.family.get(), Gdiplus::FontStyleBold, kEmSize, &box,
                          format);
  comlib::GpBrushOwner fill;
  gdip::GdipCreateSolidFill(0xFF2060C0, fill.put());
  comlib::GpPenOwner pen;
  gdip::GdipCreatePen1(0xFF000000, kPenWidth, Gdiplus::UnitWorld, pen.put());
  gdip::GdipFillPath(graphics.get(), fill.get(), path.get());
  gdip::GdipDrawPath(graphics.get(), pen.get(), path.get());
  reference.buffer.CopyTo(paint.dc(), kWidth, kHeight);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_TIMER:
      if (wParam == kEndTimerId) {
        DestroyWindow(window);
      } else {
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  comlib::GdiplusSession gdiplus;
  Reference reference;
  g_reference = &reference;
  reference.buffer.Resize(kWidth, kHeight);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass,
                                L"Horavel reference", WS_POPUP, 600, 400, kWidth, kHeight, nullptr, nullptr,
                                instance, nullptr);
  SetLayeredWindowAttributes(window, kKey, 255, LWA_COLORKEY);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(window, kTickTimerId, kTickMs, nullptr);
  SetTimer(window, kEndTimerId, kEndAfterMs, nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  g_reference = nullptr;
  return 0;
}
