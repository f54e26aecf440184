#include "view/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include <vector>

#include "comlib/font_family.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "data/placement.h"
#include "support/test_support.h"
#include "text/time_text.h"
#include "text/zone_time.h"
#include "data/save_data.h"
#include "view/display.h"

namespace {

constexpr Argb kWhite = 0xFFFFFFFF;
constexpr Argb kKeyProofWhite = 0xFFFEFEFE;
constexpr Argb kFill = 0xFFFF0000;
constexpr Argb kRise = 0xFF0000FF;
constexpr Argb kOutline = 0xFF00A000;
constexpr wchar_t kUnknownFamily[] = L"Horavel No Such Family";
// Room around a window's size, to see whether anything is drawn past it.
constexpr int kSpare = 64;

// The fonts whose side bearings differ most among those the tests have.
struct FontCase {
  const wchar_t* family;
  int bold;
  int italic;
};
const FontCase kFonts[] = {{L"DejaVu Sans", 0, 0}, {L"IPAGothic", 0, 0}, {L"IPAGothic", 1, 1}};

::testing::Message Describe(const FontCase& font, int emHeight, int scale) {
  return ::testing::Message() << "font " << font.family << (font.bold ? " bold" : "") << (font.italic ? " italic" : "")
                              << " em " << emHeight << " scale " << scale;
}

std::string Ascii(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

SYSTEMTIME At(WORD hour, WORD minute, WORD second) {
  return testing_support::MakeTime(2024, 12, 31, 2, hour, minute, second);
}

// The pixels of a back buffer, read once.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Argb> pixels;

  explicit Image(const BackBuffer_CL& buffer) : width(buffer.Width()), height(buffer.Height()) {
    // Read in one lock: pixel by pixel reads cost a call into Wine each.
    pixels.reserve(static_cast<size_t>(width) * height);
    Gdiplus::GpRect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (gdip::GdipBitmapLockBits(buffer.Bitmap(), &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
      return;
    }
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const Argb*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
      pixels.insert(pixels.end(), row, row + width);
    }
    gdip::GdipBitmapUnlockBits(buffer.Bitmap(), &data);
  }
  Argb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int Count(Argb colour) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour)); }
  int Ink() const { return static_cast<int>(pixels.size()) - Count(kWhite); }

  // The smallest rectangle holding every pixel that is not white: left, top,
  // right and bottom (exclusive); all zero when there is none.
  RECT InkBounds() const {
    RECT bounds{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (At(x, y) == kWhite) continue;
        bounds.left = std::min<LONG>(bounds.left, x);
        bounds.top = std::min<LONG>(bounds.top, y);
        bounds.right = std::max<LONG>(bounds.right, x + 1);
        bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
      }
    }
    return bounds.right == 0 ? RECT{} : bounds;
  }
  bool ColumnHasInk(int x) const {
    for (int y = 0; y < height; ++y) {
      if (At(x, y) != kWhite) return true;
    }
    return false;
  }
};

// Each test draws from settings of its own: the defaults, with colours
// that tell the parts apart.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSaveData_CL& clock = Clock();
    DateSaveData_CL& date = Date();
    clock.faint_on_hover = 0;
    clock.font_color1 = kFill;
    clock.font_color2 = kRise;
    clock.font_color3 = kOutline;
    date.date_format = 0;
    date.font_color1 = kFill;
    date.font_color3 = kOutline;

    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"Horavel renderer test", WS_POPUP, 0, 0,
                              200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
  }

  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

  AppSaveData_CL& Clock() { return settings_.Clock(); }
  DateSaveData_CL& Date() { return settings_.Date(); }

  // The window size the placement gives the clock, for the current settings.
  SIZE ClockWindowSize() { return MeasureClock(Clock(), dpi::kBaseDpi).window; }

  Image RenderClockAt(const SYSTEMTIME& time, bool blinkPhase = false) {
    const SIZE size = ClockWindowSize();
    BackBuffer_CL buffer;
    buffer.Resize(size.cx, size.cy);
    render::RenderClock(buffer, Clock(), size, time, blinkPhase);
    return Image(buffer);
  }

  // Any text in the time text's places, in the window the clock gets.
  Image RenderClockText(const std::wstring& text, int second, bool blinkPhase = false) {
    const SIZE size = ClockWindowSize();
    BackBuffer_CL buffer;
    buffer.Resize(size.cx, size.cy);
    render::RenderClockText(buffer, Clock(), size, text, second, blinkPhase);
    return Image(buffer);
  }

  void UseFont(const FontCase& font, int emHeight, int scale) {
    AppSaveData_CL& clock = Clock();
    clock.font_family = font.family;
    clock.font_bold = font.bold;
    clock.font_italic = font.italic;
    clock.font_em_height = emHeight;
    clock.border_frame_scale = scale;
  }

  // The date's family is installed: the date draws in it.
  void ShowDate() { ASSERT_NE(nullptr, comlib::FontFamilyRef(Date().font_family).get()); }

  SIZE DateWindowSize() { return MeasureDate(Date(), dpi::kBaseDpi); }

  Image RenderDateAt(const SYSTEMTIME& time, int spare = 0) {
    const SIZE size = DateWindowSize();
    BackBuffer_CL buffer;
    buffer.Resize(size.cx + spare, size.cy + spare);
    render::RenderDate(buffer, Date(), SIZE{size.cx + spare, size.cy + spare}, time);
    return Image(buffer);
  }

  data_testing::TestSettings settings_;
  HWND window_ = nullptr;
  Display_CL display_{settings_};
};

using ClockRendering = RendererTest;
using DateRendering = RendererTest;

}  // namespace

TEST(RendererArithmetic, OnlyOpaqueWhiteIsDarkened) {
  EXPECT_EQ(kKeyProofWhite, render::DrawableColour(kWhite));
  EXPECT_EQ(0x00FFFFFFu, render::DrawableColour(0x00FFFFFF));
  EXPECT_EQ(kKeyProofWhite, render::DrawableColour(kKeyProofWhite));
  EXPECT_EQ(kFill, render::DrawableColour(kFill));
}

TEST(RendererArithmetic, DrawTypesBeyondTheThreeDrawTheOutlineOnly) {
  EXPECT_TRUE(render::DrawsFill(0));
  EXPECT_TRUE(render::DrawsOutline(0, 6));
  EXPECT_FALSE(render::DrawsFill(1));
  EXPECT_TRUE(render::DrawsOutline(1, 6));
  EXPECT_TRUE(render::DrawsFill(2));
  EXPECT_FALSE(render::DrawsOutline(2, 6));
  for (int drawType : {3, 7, -1}) {
    EXPECT_FALSE(render::DrawsFill(drawType)) << drawType;
    EXPECT_TRUE(render::DrawsOutline(drawType, 6)) << drawType;
  }
  EXPECT_FALSE(render::DrawsOutline(0, 0));
  EXPECT_FALSE(render::DrawsOutline(1, -2));
}

TEST_F(ClockRendering, DrawTypeChoosesFillAndOutlineWithoutFringe) {
  const SYSTEMTIME time = At(10, 27, 30);
  const Image both = RenderClockAt(time);
  EXPECT_GT(both.Count(kFill), 0);
  EXPECT_GT(both.Count(kRise), 0);
  EXPECT_GT(both.Count(kOutline), 0);
  // No smoothing: every pixel is the background or one of the three colours.
  EXPECT_EQ(both.Ink(), both.Count(kFill) + both.Count(kRise) + both.Count(kOutline));
  EXPECT_EQ(kWhite, both.At(0, 0));

  Clock().draw_type = render::kDrawOutlineOnly;
  const Image outline = RenderClockAt(time);
  EXPECT_GT(outline.Count(kOutline), 0);
  EXPECT_EQ(outline.Ink(), outline.Count(kOutline));

  Clock().draw_type = render::kDrawFillOnly;
  const Image fill = RenderClockAt(time);
  EXPECT_GT(fill.Count(kFill), 0);
  EXPECT_GT(fill.Count(kRise), 0);
  EXPECT_EQ(0, fill.Count(kOutline));

  Clock().draw_type = 7;
  EXPECT_EQ(outline.pixels, RenderClockAt(time).pixels);
}

TEST_F(ClockRendering, ZeroBorderScaleDrawsNoOutline) {
  Clock().border_frame_scale = 0;
  const Image fill = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(fill.Count(kFill), 0);
  EXPECT_EQ(0, fill.Count(kOutline));

  Clock().draw_type = render::kDrawOutlineOnly;
  EXPECT_EQ(0, RenderClockAt(At(10, 27, 30)).Ink());
}

TEST_F(ClockRendering, OpaqueWhiteTextStaysVisibleOverTheKeyedBackground) {
  AppSaveData_CL& clock = Clock();
  clock.font_color1 = kWhite;
  clock.font_color2 = kWhite;
  clock.font_color3 = kWhite;
  const Image image = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(image.Count(kKeyProofWhite), 0);
  EXPECT_EQ(image.Ink(), image.Count(kKeyProofWhite));
  EXPECT_EQ(kWhite, image.At(0, 0));
  EXPECT_EQ(kWhite, image.At(image.width - 1, image.height - 1));
}

TEST_F(ClockRendering, BlinkingColonsVanishWhileTheDigitsStay) {
  const SYSTEMTIME time = At(10, 27, 30);
  const Image steady = RenderClockAt(time, false);
  const Image blinking = RenderClockAt(time, true);
  ASSERT_EQ(steady.pixels.size(), blinking.pixels.size());
  // Each colon's ink starts at its part's origin and is narrower than the
  // room up to the next part.
  const layout::ClockLayout measured = MeasureClock(Clock(), dpi::kBaseDpi);
  const AreaF* parts = measured.parts;
  const AreaF firstColon{parts[kFirstColonPart].x, 0.0f, parts[kMinutePart].x - parts[kFirstColonPart].x, 0.0f};
  const AreaF secondColon{parts[kSecondColonPart].x, 0.0f, parts[kSecondPart].x - parts[kSecondColonPart].x, 0.0f};
  int vanished[2] = {};
  for (int y = 0; y < steady.height; ++y) {
    for (int x = 0; x < steady.width; ++x) {
      if (blinking.At(x, y) != kWhite) {
        ASSERT_EQ(steady.At(x, y), blinking.At(x, y)) << x << "," << y;
      } else if (steady.At(x, y) != kWhite) {
        // Gone pixels belong to a colon: near one of the colon cells.
        const bool nearFirst = std::fabs(x - (firstColon.x + firstColon.width / 2)) < firstColon.width * 1.5f;
        const bool nearSecond = std::fabs(x - (secondColon.x + secondColon.width / 2)) < secondColon.width * 1.5f;
        ASSERT_TRUE(nearFirst || nearSecond) << x << "," << y;
        ++vanished[nearFirst ? 0 : 1];
      }
    }
  }
  EXPECT_GT(vanished[0], 0);
  EXPECT_GT(vanished[1], 0);

  Clock().blink = 0;
  EXPECT_EQ(steady.pixels, RenderClockAt(time, true).pixels);
}

TEST_F(ClockRendering, SecondsWidenTheClock) {
  const SYSTEMTIME time = At(10, 27, 30);
  Clock().disp_second = 0;
  const SIZE withoutSeconds = ClockWindowSize();
  const RECT inkWithout = RenderClockAt(time).InkBounds();
  Clock().disp_second = 1;
  const SIZE withSeconds = ClockWindowSize();
  const RECT inkWith = RenderClockAt(time).InkBounds();

  EXPECT_GT(withSeconds.cx, withoutSeconds.cx + Clock().font_em_height / 2);
  EXPECT_EQ(withoutSeconds.cy, withSeconds.cy);
  EXPECT_GT(inkWith.right, inkWithout.right + Clock().font_em_height / 2);
  EXPECT_EQ(inkWithout.left, inkWith.left);
}

TEST_F(ClockRendering, UnknownFamilyDrawsWithTheGenericFamily) {
  Clock().font_family = kUnknownFamily;
  EXPECT_GT(ClockWindowSize().cx, Clock().font_em_height);
  const Image image = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(image.Count(kFill), 0);
  EXPECT_GT(image.Count(kOutline), 0);
}

TEST_F(ClockRendering, PaintDrawsOnlyWhileTheClockIsShown) {
  display_.Attach(Face::kClock, window_);
  AppSaveData_CL& clock = Clock();
  clock.alpha = 180;
  const SIZE size = ClockWindowSize();
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(window_, &client);
  BackBuffer_CL buffer;
  buffer.Resize(client.right, client.bottom);
  auto markBuffer = [&] {
    comlib::GpGraphicsOwner graphics = buffer.Graphics();
    comlib::GpBrushOwner brush;
    gdip::GdipCreateSolidFill(kRise, brush.put());
    gdip::GdipFillRectangleI(graphics.get(), brush.get(), 0, 0, client.right, client.bottom);
  };

  for (int hidden : {1, 0}) {
    for (int hideClock : {1, 0}) {
      if (!hidden && !hideClock) continue;
      display_.SetHidden(hidden != 0);
      Date().hide_clock = hideClock;
      markBuffer();
      InvalidateRect(window_, nullptr, FALSE);
      display_.Paint(Face::kClock, window_, buffer);
      EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE)) << "the paint is taken as done";
      EXPECT_EQ(client.right * client.bottom, Image(buffer).Count(kRise)) << hidden << hideClock;
    }
  }

  display_.SetHidden(false);
  Date().hide_clock = 0;
  markBuffer();
  InvalidateRect(window_, nullptr, FALSE);
  display_.Paint(Face::kClock, window_, buffer);
  EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
  const Image painted(buffer);
  EXPECT_EQ(kWhite, painted.At(0, 0));
  EXPECT_GT(painted.Count(kFill) + painted.Count(kRise), 0);
  EXPECT_GT(painted.Count(kOutline), 0);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window_, &key, &alpha, &flags));
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), key);
  EXPECT_EQ(180, alpha);
  EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
}

TEST_F(DateRendering, AreaFollowsTheSampleAndTakesInTheOutline) {
  ShowDate();
  DateSaveData_CL& date = Date();
  date.date_format = 7;
  const SIZE shortest = MeasureDate(Date(), dpi::kBaseDpi);
  date.date_format = 0;
  const SIZE longest = MeasureDate(Date(), dpi::kBaseDpi);
  EXPECT_GT(longest.cx, shortest.cx * 2);
  date.date_format = 42;
  const SIZE unknown = MeasureDate(Date(), dpi::kBaseDpi);
  date.date_format = 1;
  EXPECT_EQ(MeasureDate(Date(), dpi::kBaseDpi).cx, unknown.cx);

  date.border_frame_scale = 0;
  const SIZE bare = MeasureDate(Date(), dpi::kBaseDpi);
  date.border_frame_scale = 20;
  const SIZE thick = MeasureDate(Date(), dpi::kBaseDpi);
  const float pen = layout::PenWidth(date.font_em_height, 20);
  EXPECT_GT(thick.cx, bare.cx + pen);
  EXPECT_GT(thick.cy, bare.cy + pen);
}

TEST_F(DateRendering, DrawTypeAndWhiteAsForTheClock) {
  ShowDate();
  DateSaveData_CL& date = Date();
  const SYSTEMTIME day = At(0, 0, 0);
  const Image both = RenderDateAt(day);
  EXPECT_GT(both.Count(kFill), 0);
  EXPECT_GT(both.Count(kOutline), 0);
  EXPECT_EQ(both.Ink(), both.Count(kFill) + both.Count(kOutline));

  date.draw_type = render::kDrawFillOnly;
  const Image fill = RenderDateAt(day);
  EXPECT_GT(fill.Count(kFill), 0);
  EXPECT_EQ(fill.Ink(), fill.Count(kFill));

  date.draw_type = 5;
  const Image outline = RenderDateAt(day);
  EXPECT_GT(outline.Count(kOutline), 0);
  EXPECT_EQ(outline.Ink(), outline.Count(kOutline));

  date.border_frame_scale = 0;
  EXPECT_EQ(0, RenderDateAt(day).Ink());

  date.draw_type = render::kDrawFillAndOutline;
  date.border_frame_scale = 10;
  date.font_color1 = kWhite;
  date.font_color3 = kWhite;
  const Image white = RenderDateAt(day);
  EXPECT_GT(white.Count(kKeyProofWhite), 0);
  EXPECT_EQ(white.Ink(), white.Count(kKeyProofWhite));
  EXPECT_EQ(kWhite, white.At(0, 0));
}

TEST_F(DateRendering, UnknownFamilyDrawsWithTheGenericFamily) {
  ShowDate();
  Date().font_family = kUnknownFamily;
  const Image image = RenderDateAt(At(0, 0, 0));
  EXPECT_GT(image.Count(kFill), 0);
  EXPECT_GT(image.Count(kOutline), 0);
}

TEST_F(DateRendering, PaintDrawsOnlyWhileTheDateIsShown) {
  ShowDate();
  display_.Attach(Face::kDate, window_);
  const SIZE size = DateWindowSize();
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(window_, &client);
  BackBuffer_CL buffer;
  buffer.Resize(client.right, client.bottom);
  {
    comlib::GpGraphicsOwner graphics = buffer.Graphics();
    comlib::GpBrushOwner brush;
    gdip::GdipCreateSolidFill(kRise, brush.put());
    gdip::GdipFillRectangleI(graphics.get(), brush.get(), 0, 0, client.right, client.bottom);
  }

  Date().show_date = 0;
  InvalidateRect(window_, nullptr, FALSE);
  display_.Paint(Face::kDate, window_, buffer);
  EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
  EXPECT_EQ(client.right * client.bottom, Image(buffer).Count(kRise));

  Date().show_date = 1;
  InvalidateRect(window_, nullptr, FALSE);
  display_.Paint(Face::kDate, window_, buffer);
  EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
  const Image painted(buffer);
  EXPECT_EQ(0, painted.Count(kRise));
  EXPECT_GT(painted.Count(kFill), 0);
  EXPECT_GT(painted.Count(kOutline), 0);
}

namespace {

// Runs of ink columns in [from, to), as (first, last) column pairs.
std::vector<std::pair<int, int>> InkRuns(const Image& image, int from, int to) {
  std::vector<std::pair<int, int>> runs;
  for (int x = from; x < to; ++x) {
    if (!image.ColumnHasInk(x)) continue;
    if (!runs.empty() && runs.back().second == x - 1) {
      runs.back().second = x;
    } else {
      runs.emplace_back(x, x);
    }
  }
  return runs;
}

}  // namespace

TEST_F(ClockRendering, ColonsStandInTheMiddleOfTheirGapsAndHoursEndInOnePlace) {
  AppSaveData_CL& clock = Clock();
  for (const FontCase& font : kFonts) {
    for (int emHeight : {64, 128, 512}) {
      for (int scale : {0, 6, 20}) {
        for (int seconds : {1, 0}) {
          // Eights beside the colons: the places are those of the "8"s. The
          // hour's ink ends in the same column for one digit as for two.
          int hourEnd[2] = {};
          for (const wchar_t* text : {L" 8:88:88", L"18:88:88"}) {
            UseFont(font, emHeight, scale);
            clock.disp_second = seconds;
            // The colons are what blinking takes away.
            const Image steady = RenderClockText(text, 30, false);
            const Image digits = RenderClockText(text, 30, true);
            const std::vector<std::pair<int, int>> digitRuns = InkRuns(digits, 0, digits.width);
            std::vector<std::pair<int, int>> colonRuns;
            for (const auto& run : InkRuns(steady, 0, steady.width)) {
              if (!digits.ColumnHasInk(run.first) && !digits.ColumnHasInk(run.second)) colonRuns.push_back(run);
            }
            ASSERT_EQ(static_cast<size_t>(seconds ? 2 : 1), colonRuns.size())
                << Describe(font, emHeight, scale) << " text " << Ascii(text);
            for (const auto& colon : colonRuns) {
              int before = -1;
              int after = digits.width;
              for (const auto& run : digitRuns) {
                if (run.second < colon.first) before = std::max(before, run.second);
                if (run.first > colon.second) after = std::min(after, run.first);
              }
              if (&colon == &colonRuns.front()) hourEnd[text[0] == L'1'] = before;
              const int leftGap = colon.first - before - 1;
              const int rightGap = after - colon.second - 1;
              EXPECT_GE(leftGap, 1) << Describe(font, emHeight, scale) << " seconds " << seconds;
              EXPECT_GE(rightGap, 1) << Describe(font, emHeight, scale) << " seconds " << seconds;
              EXPECT_LE(std::abs(leftGap - rightGap), 2)
                  << Describe(font, emHeight, scale) << " seconds " << seconds << " gaps " << leftGap << " / "
                  << rightGap << " text " << Ascii(text);
            }
          }
          EXPECT_LE(std::abs(hourEnd[0] - hourEnd[1]), 1) << Describe(font, emHeight, scale);
        }
      }
    }
  }
}

TEST_F(ClockRendering, InkStandsWhereThePlacementCountsItAndClearOfTheEdges) {
  AppSaveData_CL& clock = Clock();
  for (const FontCase& font : kFonts) {
    for (int emHeight : {64, 128, 512}) {
      for (int scale : {0, 6, 20}) {
        for (int seconds : {1, 0}) {
          UseFont(font, emHeight, scale);
          clock.disp_second = seconds;
          const layout::ClockLayout measured = MeasureClock(Clock(), dpi::kBaseDpi);
          // The placement counts the ink any digit can take: together, the
          // ten digits fill it to its edges, and none reaches the window's.
          RECT ink{};
          for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
            const wchar_t text[] = {digit, digit, L':', digit, digit, L':', digit, digit, L'\0'};
            const RECT real = RenderClockText(text, 30).InkBounds();
            if (digit == L'0') ink = real;
            UnionRect(&ink, &ink, &real);
          }
          EXPECT_NEAR(measured.ink.x, ink.left, 2.0f) << Describe(font, emHeight, scale);
          EXPECT_NEAR(measured.ink.y, ink.top, 2.0f) << Describe(font, emHeight, scale);
          EXPECT_NEAR(measured.ink.Right(), ink.right, 2.0f) << Describe(font, emHeight, scale);
          EXPECT_NEAR(measured.ink.Bottom(), ink.bottom, 2.0f) << Describe(font, emHeight, scale);
          EXPECT_GE(ink.left, 1) << Describe(font, emHeight, scale);
          EXPECT_GE(ink.top, 1) << Describe(font, emHeight, scale);
          EXPECT_LE(ink.right, measured.window.cx - 1) << Describe(font, emHeight, scale);
          EXPECT_LE(ink.bottom, measured.window.cy - 1) << Describe(font, emHeight, scale);
        }
      }
    }
  }
}

TEST_F(ClockRendering, SecondColourCoversNothingAtZeroAndEveryDigitAtFiftyNine) {
  AppSaveData_CL& clock = Clock();
  for (const FontCase& font : kFonts) {
    for (int scale : {0, 6, 20}) {
      for (int drawType : {render::kDrawFillAndOutline, render::kDrawFillOnly}) {
        UseFont(font, 128, scale);
        clock.draw_type = drawType;
        const Image start = RenderClockText(L"20:48:00", 0);
        EXPECT_GT(start.Count(kFill), 0) << Describe(font, 128, scale);
        EXPECT_EQ(0, start.Count(kRise)) << Describe(font, 128, scale);
        const Image end = RenderClockText(L"20:48:59", 59);
        EXPECT_GT(end.Count(kRise), 0) << Describe(font, 128, scale);
        EXPECT_EQ(0, end.Count(kFill)) << Describe(font, 128, scale);
      }
    }
  }
}

TEST_F(DateRendering, EveryDateAndTheLongestWorldClocksAreWholeInTheirWindows) {
  ShowDate();
  DateSaveData_CL& date = Date();
  // Days ending in 0, 1 and 8, and the widest months and days.
  const SYSTEMTIME days[] = {testing_support::MakeTime(2030, 10, 20, 0, 0, 0, 0),
                             testing_support::MakeTime(2011, 11, 11, 5, 0, 0, 0),
                             testing_support::MakeTime(2088, 12, 28, 3, 0, 0, 0),
                             testing_support::MakeTime(2000, 10, 30, 1, 0, 0, 0),
                             testing_support::MakeTime(2099, 9, 9, 3, 0, 0, 0)};
  for (const FontCase& font : kFonts) {
    for (int scale : {0, 6, 20}) {
      for (int format = 0; format < 8; ++format) {
        date.font_family = font.family;
        date.font_bold = font.bold;
        date.font_italic = font.italic;
        date.border_frame_scale = scale;
        date.date_format = format;
        const SIZE size = DateWindowSize();
        for (const SYSTEMTIME& day : days) {
          BackBuffer_CL buffer;
          buffer.Resize(size.cx, size.cy);
          render::RenderDate(buffer, Date(), size, day);
          const RECT ink = Image(buffer).InkBounds();
          const ::testing::Message where = Describe(font, date.font_em_height, scale) << " format " << format
                                                                                      << " year " << day.wYear;
          EXPECT_GE(ink.left, 1) << where;
          EXPECT_GE(ink.top, 1) << where;
          EXPECT_LE(ink.right, size.cx - 1) << where;
          EXPECT_LE(ink.bottom, size.cy - 1) << where;
          EXPECT_NEAR((ink.left + ink.right) / 2.0, size.cx / 2.0, 1.0) << where;
          EXPECT_NEAR((ink.top + ink.bottom) / 2.0, size.cy / 2.0, 1.0) << where;
        }
      }
    }
  }

  // Every place's line with a label as long as a place keeps, at the largest
  // date size: a smaller font fits them whole into a window no wider than the
  // cap, using nearly all of it.
  date.font_em_height = settings::kFontEmHeightMax;
  const std::vector<std::wstring> lines(
      kPlaceCount, zonetext::WidestLine(std::wstring(zonetext::kMaxLabelLength, L'W'), L'8', true));
  const SIZE size = MeasureZones(date, lines, dpi::kBaseDpi).window;
  EXPECT_LE(size.cx, kZonesWidestPx);
  EXPECT_GE(size.cx, kZonesWidestPx * 9 / 10);
  BackBuffer_CL buffer;
  buffer.Resize(size.cx, size.cy);
  render::RenderZones(buffer, date, size, lines, lines);
  const RECT ink = Image(buffer).InkBounds();
  EXPECT_TRUE(ink.left >= 1 && ink.top >= 1 && ink.right < size.cx && ink.bottom < size.cy && ink.right > ink.left)
      << "ink " << ink.left << ", " << ink.top << ", " << ink.right << ", " << ink.bottom;
}
