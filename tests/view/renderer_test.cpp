#include "view/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "support/test_support.h"
#include <vector>

#include "comlib/font_family.h"
#include "view/time_text.h"

namespace {

constexpr Argb kWhite = 0xFFFFFFFF;
constexpr Argb kKeyProofWhite = 0xFFFEFEFE;
constexpr Argb kFill = 0xFFFF0000;
constexpr Argb kRise = 0xFF0000FF;
constexpr Argb kOutline = 0xFF00A000;
constexpr wchar_t kUnknownFamily[] = L"Horavel No Such Family";
// Room around a window's size, to see whether anything is drawn past it.
constexpr int kSpare = 64;

SYSTEMTIME At(WORD hour, WORD minute, WORD second) {
  return testing_support::MakeTime(2024, 12, 31, 2, hour, minute, second);
}

// The pixels of a back buffer, read once.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Argb> pixels;

  explicit Image(const BackBuffer_CL& buffer) : width(buffer.Width()), height(buffer.Height()) {
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels.push_back(static_cast<Argb>(buffer.PixelAt(x, y)));
    }
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
};

// The records are process-wide: each test changes what it needs and gets
// the rest back afterwards.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSaveData_CL& clock = ClockData();
    DateSaveData_CL& date = DateData();
    Keep(clock.hwnd, clock.hidden, clock.band_top, clock.band_bottom, clock.alpha, clock.blink, clock.font_family,
         clock.font_bold, clock.font_italic, clock.font_em_height, clock.border_frame_scale, clock.font_color1,
         clock.font_color2, clock.font_color3, clock.draw_type, clock.disp_second, clock.hour12, clock.faint_on_hover);
    for (AreaF& rect : clock.layout_rects) Keep(rect);
    Keep(date.hwnd, date.show_date, date.hide_clock, date.date_format, date.draw_type, date.font_family,
         date.font_bold, date.font_italic, date.font_em_height, date.border_frame_scale, date.font_color1,
         date.font_color3);
    savedDateFont_ = std::move(date.date_font);

    // The defaults, with colours that tell the parts apart.
    clock.hidden = 0;
    clock.blink = 1;
    clock.font_family = L"Comic Sans MS";
    clock.font_bold = 1;
    clock.font_italic = 1;
    clock.font_em_height = 128;
    clock.border_frame_scale = 6;
    clock.draw_type = render::kDrawFillAndOutline;
    clock.disp_second = 1;
    clock.hour12 = 0;
    clock.faint_on_hover = 0;
    clock.font_color1 = kFill;
    clock.font_color2 = kRise;
    clock.font_color3 = kOutline;
    date.show_date = 1;
    date.hide_clock = 0;
    date.date_format = 0;
    date.draw_type = render::kDrawFillAndOutline;
    date.font_family = L"Comic Sans MS";
    date.font_bold = 1;
    date.font_italic = 0;
    date.font_em_height = 56;
    date.border_frame_scale = 10;
    date.font_color1 = kFill;
    date.font_color3 = kOutline;

    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"Horavel renderer test", WS_POPUP, 0, 0,
                              200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
  }

  void TearDown() override {
    if (window_) DestroyWindow(window_);
    DateData().date_font = std::move(savedDateFont_);
    for (auto restore = restores_.rbegin(); restore != restores_.rend(); ++restore) (*restore)();
  }

  // The window size the placement gives the clock, for the current settings.
  static SIZE ClockWindowSize() {
    const AreaF area = render::MeasureClock(nullptr);
    return SIZE{static_cast<LONG>(area.x + area.width + 1.0f), static_cast<LONG>(area.y + area.height + 1.0f)};
  }

  static Image RenderClockAt(const SYSTEMTIME& time, bool blinkPhase = false) {
    const SIZE size = ClockWindowSize();
    BackBuffer_CL buffer;
    buffer.Resize(size.cx, size.cy);
    render::RenderClock(nullptr, buffer, size.cx, size.cy, time, blinkPhase);
    return Image(buffer);
  }

  // The date as the date window shows it: its font made, its window known.
  void ShowDate() {
    DateSaveData_CL& date = DateData();
    date.hwnd = window_;
    comlib::FontFamilyRef family(date.font_family);
    ASSERT_NE(nullptr, family.get());
    date.date_font.reset();
    ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateFont(family.get(), static_cast<float>(date.font_em_height),
                                                Gdiplus::FontStyleBold, Gdiplus::UnitPixel, date.date_font.put()));
  }

  static SIZE DateWindowSize() {
    const AreaF area = render::MeasureDate();
    return SIZE{static_cast<LONG>(area.width + area.x + 2.99f), static_cast<LONG>(area.height + area.y + 2.99f)};
  }

  static Image RenderDateAt(const SYSTEMTIME& time, int spare = 0) {
    const SIZE size = DateWindowSize();
    BackBuffer_CL buffer;
    buffer.Resize(size.cx + spare, size.cy + spare);
    render::RenderDate(buffer, size.cx + spare, size.cy + spare, time);
    return Image(buffer);
  }

  HWND window_ = nullptr;

 private:
  template <typename T>
  void Keep(T& field) {
    restores_.push_back([&field, saved = field] { field = saved; });
  }
  template <typename T, typename... Rest>
  void Keep(T& field, Rest&... rest) {
    Keep(field);
    Keep(rest...);
  }

  std::vector<std::function<void()>> restores_;
  comlib::GpFontOwner savedDateFont_;
};

using ClockRendering = RendererTest;
using DateRendering = RendererTest;

}  // namespace

TEST(RendererArithmetic, PenWidthFollowsSizeAndScale) {
  EXPECT_FLOAT_EQ(128.0f * 6.0f / 255.0f, render::PenWidth(128, 6));
  EXPECT_FLOAT_EQ(20.0f, render::PenWidth(255, 20));
  EXPECT_EQ(0.0f, render::PenWidth(128, 0));
  EXPECT_EQ(0.0f, render::PenWidth(128, -3));
  EXPECT_EQ(0.0f, render::PenWidth(-40, 6));
}

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

TEST(RendererArithmetic, ClockLayoutFromTheSampleBounds) {
  render::ClockSampleBounds bounds;
  bounds.digits = AreaF{2.0f, 10.0f, 100.0f, 90.0f};
  bounds.digitsColon = AreaF{2.0f, 10.0f, 140.0f, 90.0f};
  bounds.hourMinute = AreaF{2.0f, 10.0f, 240.0f, 90.0f};
  bounds.hourMinuteColon = AreaF{2.0f, 10.0f, 280.0f, 90.0f};
  bounds.whole = AreaF{2.0f, 10.0f, 380.0f, 92.0f};
  // Pen 3: margin 9, colon width 140 - 100 - 9 = 31, dx = 1, dy = 2.
  const render::ClockLayout layout = render::ComputeClockLayout(bounds, 3.0f, true);
  EXPECT_EQ(12, layout.bandTop);
  EXPECT_EQ(98, layout.bandBottom);
  for (const AreaF& rect : layout.rects) {
    EXPECT_FLOAT_EQ(2.0f, rect.y);
    EXPECT_FLOAT_EQ(111.0f, rect.height);
  }
  EXPECT_FLOAT_EQ(10.0f, layout.rects[kHourPart].x);
  EXPECT_FLOAT_EQ(110.0f, layout.rects[kFirstColonPart].x);
  EXPECT_FLOAT_EQ(31.0f, layout.rects[kFirstColonPart].width);
  EXPECT_FLOAT_EQ(141.0f + 31.0f / 3.0f, layout.rects[kMinutePart].x);
  EXPECT_FLOAT_EQ(241.0f + 31.0f / 3.0f, layout.rects[kSecondColonPart].x);
  EXPECT_FLOAT_EQ(31.0f, layout.rects[kSecondColonPart].width);
  EXPECT_FLOAT_EQ(281.0f + 31.0f / 3.0f, layout.rects[kSecondPart].x);
  EXPECT_FLOAT_EQ(1.0f, layout.area.x);
  EXPECT_FLOAT_EQ(2.0f, layout.area.y);
  EXPECT_FLOAT_EQ(380.0f + 9.0f + 62.0f, layout.area.width);
  EXPECT_FLOAT_EQ(111.0f + 62.0f, layout.area.height);

  // Without seconds the second colon is not shifted; with no pen, no margins.
  bounds.hourMinuteColon = AreaF{};
  const render::ClockLayout bare = render::ComputeClockLayout(bounds, 0.0f, false);
  EXPECT_EQ(0, bare.bandTop);
  EXPECT_EQ(92, bare.bandBottom);
  EXPECT_FLOAT_EQ(-2.0f, bare.rects[kHourPart].x);
  EXPECT_FLOAT_EQ(238.0f, bare.rects[kSecondColonPart].x);
  EXPECT_FLOAT_EQ(40.0f, bare.rects[kFirstColonPart].width);
  EXPECT_FLOAT_EQ(-10.0f, bare.area.y);
  EXPECT_FLOAT_EQ(380.0f + 80.0f, bare.area.width);
}

TEST(RendererArithmetic, RisingFillClimbsTheBandWithTheSeconds) {
  EXPECT_FLOAT_EQ(98.0f, render::RisingFillTop(12, 98, 0));
  EXPECT_FLOAT_EQ(98.0f - 87.0f * 30.0f / 59.0f, render::RisingFillTop(12, 98, 30));
  EXPECT_FLOAT_EQ(11.0f, render::RisingFillTop(12, 98, 59));
  EXPECT_FLOAT_EQ(11.0f, render::RisingFillTop(12, 98, 60));
}

TEST(RendererArithmetic, DateAreaAndOpacity) {
  const AreaF area = render::DateAreaFromBounds(AreaF{10.0f, 20.0f, 100.0f, 50.0f}, 2.0f);
  EXPECT_FLOAT_EQ(4.0f, area.x);
  EXPECT_FLOAT_EQ(14.0f, area.y);
  EXPECT_FLOAT_EQ(112.0f, area.width);
  EXPECT_FLOAT_EQ(62.0f, area.height);

  // Text that leaves room for its outline stays; text that does not moves in.
  const Gdiplus::PointF inside = render::DateTextShift(AreaF{5.0f, 8.0f, 100.0f, 50.0f}, 4.0f);
  EXPECT_FLOAT_EQ(0.0f, inside.X);
  EXPECT_FLOAT_EQ(0.0f, inside.Y);
  const Gdiplus::PointF cut = render::DateTextShift(AreaF{-9.0f, 1.0f, 100.0f, 50.0f}, 4.0f);
  EXPECT_FLOAT_EQ(14.0f, cut.X);
  EXPECT_FLOAT_EQ(4.0f, cut.Y);
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

  ClockData().draw_type = render::kDrawOutlineOnly;
  const Image outline = RenderClockAt(time);
  EXPECT_GT(outline.Count(kOutline), 0);
  EXPECT_EQ(outline.Ink(), outline.Count(kOutline));

  ClockData().draw_type = render::kDrawFillOnly;
  const Image fill = RenderClockAt(time);
  EXPECT_GT(fill.Count(kFill), 0);
  EXPECT_GT(fill.Count(kRise), 0);
  EXPECT_EQ(0, fill.Count(kOutline));

  ClockData().draw_type = 7;
  EXPECT_EQ(outline.pixels, RenderClockAt(time).pixels);
}

TEST_F(ClockRendering, ZeroBorderScaleDrawsNoOutline) {
  ClockData().border_frame_scale = 0;
  const Image fill = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(fill.Count(kFill), 0);
  EXPECT_EQ(0, fill.Count(kOutline));

  ClockData().draw_type = render::kDrawOutlineOnly;
  EXPECT_EQ(0, RenderClockAt(At(10, 27, 30)).Ink());
}

TEST_F(ClockRendering, OpaqueWhiteTextStaysVisibleOverTheKeyedBackground) {
  AppSaveData_CL& clock = ClockData();
  clock.font_color1 = kWhite;
  clock.font_color2 = kWhite;
  clock.font_color3 = kWhite;
  const Image image = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(image.Count(kKeyProofWhite), 0);
  EXPECT_EQ(image.Ink(), image.Count(kKeyProofWhite));
  EXPECT_EQ(kWhite, image.At(0, 0));
  EXPECT_EQ(kWhite, image.At(image.width - 1, image.height - 1));
}

TEST_F(ClockRendering, SecondColourRisesThroughTheBandWithTheSeconds) {
  ClockData().draw_type = render::kDrawFillOnly;
  double risenShare[3] = {};
  const int seconds[3] = {0, 30, 59};
  for (int i = 0; i < 3; ++i) {
    const Image image = RenderClockAt(At(10, 27, static_cast<WORD>(seconds[i])));
    const float top = render::RisingFillTop(ClockData().band_top, ClockData().band_bottom, seconds[i]);
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const Argb colour = image.At(x, y);
        if (colour == kRise) {
          ASSERT_GE(y + 1.0f, top) << "second " << seconds[i] << " at " << x << "," << y;
        } else if (colour == kFill) {
          ASSERT_LT(y - 1.0f, top) << "second " << seconds[i] << " at " << x << "," << y;
        }
      }
    }
    risenShare[i] = static_cast<double>(image.Count(kRise)) / (image.Count(kRise) + image.Count(kFill));
  }
  EXPECT_LT(risenShare[0], 0.15);
  EXPECT_GT(risenShare[1], 0.3);
  EXPECT_LT(risenShare[1], 0.7);
  EXPECT_EQ(1.0, risenShare[2]);
}

TEST_F(ClockRendering, BlinkingColonsVanishWhileTheDigitsStay) {
  const SYSTEMTIME time = At(10, 27, 30);
  const Image steady = RenderClockAt(time, false);
  const Image blinking = RenderClockAt(time, true);
  ASSERT_EQ(steady.pixels.size(), blinking.pixels.size());
  const AreaF firstColon = ClockData().layout_rects[kFirstColonPart];
  const AreaF secondColon = ClockData().layout_rects[kSecondColonPart];
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

  ClockData().blink = 0;
  EXPECT_EQ(steady.pixels, RenderClockAt(time, true).pixels);
}

TEST_F(ClockRendering, SecondsWidenTheClock) {
  const SYSTEMTIME time = At(10, 27, 30);
  ClockData().disp_second = 0;
  const AreaF withoutSeconds = render::MeasureClock(nullptr);
  const RECT inkWithout = RenderClockAt(time).InkBounds();
  ClockData().disp_second = 1;
  const AreaF withSeconds = render::MeasureClock(nullptr);
  const RECT inkWith = RenderClockAt(time).InkBounds();

  EXPECT_GT(withSeconds.width, withoutSeconds.width + ClockData().font_em_height / 2);
  EXPECT_FLOAT_EQ(withoutSeconds.height, withSeconds.height);
  EXPECT_GT(inkWith.right, inkWithout.right + ClockData().font_em_height / 2);
  EXPECT_EQ(inkWithout.left, inkWith.left);
}

TEST_F(ClockRendering, TextFitsTheWindowItIsMeasuredFor) {
  AppSaveData_CL& clock = ClockData();
  for (int scale : {0, 6, 20}) {
    for (int seconds : {0, 1}) {
      clock.border_frame_scale = scale;
      clock.disp_second = seconds;
      const SIZE size = ClockWindowSize();
      BackBuffer_CL buffer;
      buffer.Resize(size.cx + kSpare, size.cy + kSpare);
      render::RenderClock(nullptr, buffer, size.cx + kSpare, size.cy + kSpare, At(20, 48, 58), false);
      const RECT ink = Image(buffer).InkBounds();
      // Without an outline the glyphs start right at the edge; with one they
      // are moved in by a few pen widths, more than the outline takes.
      const LONG edge = scale > 0 ? 1 : 0;
      EXPECT_GE(ink.left, edge) << "scale " << scale;
      EXPECT_GE(ink.top, edge) << "scale " << scale;
      EXPECT_LE(ink.right, size.cx) << "scale " << scale;
      EXPECT_LE(ink.bottom, size.cy) << "scale " << scale;
    }
  }
}

TEST_F(ClockRendering, UnknownFamilyDrawsWithTheGenericFamily) {
  ClockData().font_family = kUnknownFamily;
  const AreaF area = render::MeasureClock(nullptr);
  EXPECT_GT(area.width, 0.0f);
  const Image image = RenderClockAt(At(10, 27, 30));
  EXPECT_GT(image.Count(kFill), 0);
  EXPECT_GT(image.Count(kOutline), 0);
}

TEST_F(ClockRendering, PaintDrawsOnlyWhileTheClockIsShown) {
  AppSaveData_CL& clock = ClockData();
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
      clock.hidden = hidden;
      DateData().hide_clock = hideClock;
      markBuffer();
      InvalidateRect(window_, nullptr, FALSE);
      render::PaintClock(window_, buffer, false);
      EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE)) << "the paint is taken as done";
      EXPECT_EQ(client.right * client.bottom, Image(buffer).Count(kRise)) << hidden << hideClock;
    }
  }

  clock.hidden = 0;
  DateData().hide_clock = 0;
  markBuffer();
  InvalidateRect(window_, nullptr, FALSE);
  render::PaintClock(window_, buffer, false);
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

TEST_F(DateRendering, AreaIsEmptyWhileTheDateIsNotShown) {
  ShowDate();
  const AreaF shown = render::MeasureDate();
  EXPECT_GT(shown.width, 0.0f);
  EXPECT_GT(shown.height, 0.0f);

  auto isEmpty = [](const AreaF& area) {
    return area.x == 0.0f && area.y == 0.0f && area.width == 0.0f && area.height == 0.0f;
  };
  ClockData().hidden = 1;
  EXPECT_TRUE(isEmpty(render::MeasureDate()));
  ClockData().hidden = 0;
  DateData().show_date = 0;
  EXPECT_TRUE(isEmpty(render::MeasureDate()));
  DateData().show_date = 1;
  DateData().hwnd = nullptr;
  EXPECT_TRUE(isEmpty(render::MeasureDate()));
  DateData().hwnd = window_;
  DateData().date_font.reset();
  EXPECT_TRUE(isEmpty(render::MeasureDate()));
}

TEST_F(DateRendering, AreaFollowsTheSampleAndTakesInTheOutline) {
  ShowDate();
  DateSaveData_CL& date = DateData();
  date.date_format = 7;
  const AreaF shortest = render::MeasureDate();
  date.date_format = 0;
  const AreaF longest = render::MeasureDate();
  EXPECT_GT(longest.width, shortest.width * 2);
  // The area holds the sample whatever the day: it does not change with it.
  date.date_format = 42;
  const AreaF unknown = render::MeasureDate();
  date.date_format = 1;
  EXPECT_FLOAT_EQ(render::MeasureDate().width, unknown.width);

  date.border_frame_scale = 0;
  const AreaF bare = render::MeasureDate();
  date.border_frame_scale = 20;
  const AreaF thick = render::MeasureDate();
  EXPECT_GT(thick.width, bare.width + 2 * render::PenWidth(date.font_em_height, 20));
  EXPECT_GT(thick.height, bare.height + 2 * render::PenWidth(date.font_em_height, 20));
}

TEST_F(DateRendering, DrawTypeAndWhiteAsForTheClock) {
  ShowDate();
  DateSaveData_CL& date = DateData();
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

TEST_F(DateRendering, TextFitsTheWindowItIsPlacedIn) {
  ShowDate();
  DateSaveData_CL& date = DateData();
  for (int scale : {0, 10, 20}) {
    for (int format = 0; format < 8; ++format) {
      date.border_frame_scale = scale;
      date.date_format = format;
      const SIZE size = DateWindowSize();
      const RECT ink = RenderDateAt(At(0, 0, 0), kSpare).InkBounds();
      EXPECT_GT(ink.left, 0) << "scale " << scale << " format " << format;
      EXPECT_GT(ink.top, 0) << "scale " << scale << " format " << format;
      EXPECT_LE(ink.right, size.cx) << "scale " << scale << " format " << format;
      EXPECT_LE(ink.bottom, size.cy) << "scale " << scale << " format " << format;
    }
  }
}

TEST_F(DateRendering, UnknownFamilyDrawsWithTheGenericFamily) {
  ShowDate();
  DateData().font_family = kUnknownFamily;
  const Image image = RenderDateAt(At(0, 0, 0));
  EXPECT_GT(image.Count(kFill), 0);
  EXPECT_GT(image.Count(kOutline), 0);
}

TEST_F(DateRendering, PaintDrawsOnlyWhileTheDateIsShown) {
  ShowDate();
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

  DateData().show_date = 0;
  InvalidateRect(window_, nullptr, FALSE);
  render::PaintDate(window_, buffer);
  EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
  EXPECT_EQ(client.right * client.bottom, Image(buffer).Count(kRise));

  DateData().show_date = 1;
  InvalidateRect(window_, nullptr, FALSE);
  render::PaintDate(window_, buffer);
  EXPECT_FALSE(GetUpdateRect(window_, nullptr, FALSE));
  const Image painted(buffer);
  EXPECT_EQ(0, painted.Count(kRise));
  EXPECT_GT(painted.Count(kFill), 0);
  EXPECT_GT(painted.Count(kOutline), 0);
}
