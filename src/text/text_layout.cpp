#include "text/text_layout.h"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

constexpr int kLastSecond = 59;

// Room between the outlined ink and the window's edge: the outline's miter
// tips at sharp corners stay inside.
constexpr float kClockMarginEm = 0.06f;
constexpr float kDateMarginEm = 0.04f;
constexpr float kMarginPx = 2.0f;

// The mark of a corrected time: small beside the digits, about a colon's dot.
constexpr float kMarkShareOfDigits = 0.2f;

// The date stands at its offset from the clock window's centre. Room for a
// colon and a half right of and below the ink keeps that centre where the
// offsets people have set expect it: below and right of the digits' middle.
constexpr float kDateAnchorRoomColons = 1.5f;

// The least ink gap beside a colon, outline included: italic fonts set the
// colon's box into the digits' boxes.
constexpr float kMinColonGapEm = 0.04f;
constexpr float kMinColonGapPx = 2.0f;
// The seconds stand apart by a third of a colon's room, split evenly on both
// sides of their colon so that it stays centred.
constexpr float kSecondsApartShare = 1.0f / 6.0f;

int Floor(float value) { return static_cast<int>(std::floor(value)); }
int Ceil(float value) { return static_cast<int>(std::ceil(value)); }

}  // namespace

AreaF Enclosing(const AreaF& a, const AreaF& b) {
  if (a.width <= 0.0f && a.height <= 0.0f) return b;
  if (b.width <= 0.0f && b.height <= 0.0f) return a;
  const float left = std::min(a.x, b.x);
  const float top = std::min(a.y, b.y);
  return AreaF{left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top};
}

Ink Enclosing(const Ink& a, const Ink& b) { return Ink{Enclosing(a.fill, b.fill), Enclosing(a.outlined, b.outlined)}; }

Reach Ink::OutlineReach() const {
  return Reach{std::max(0.0f, fill.x - outlined.x), std::max(0.0f, fill.y - outlined.y),
               std::max(0.0f, outlined.Right() - fill.Right()), std::max(0.0f, outlined.Bottom() - fill.Bottom())};
}

float PenWidth(int fontEmHeight, int borderFrameScale) {
  if (borderFrameScale <= 0) return 0.0f;
  const float emHeight = static_cast<float>(std::max(fontEmHeight, 0));
  return emHeight * static_cast<float>(borderFrameScale) / 255.0f;
}

ClockLayout ComputeClockLayout(const ClockSamples& samples, float penWidth, float emSize, bool dispSecond) {
  // The "8"s set the places: the colons stand in the middle between them.
  // The ink any digit can take sets the edges: no digit reaches past them.
  const AreaF& pair = samples.pair.fill;
  const AreaF& colon = samples.colon.fill;
  const AreaF& reached = samples.digits.outlined;
  const Reach reach = samples.pair.OutlineReach();
  const Reach colonReach = samples.colon.OutlineReach();
  const float margin = penWidth + emSize * kClockMarginEm + kMarginPx;

  // The font's own gap beside a colon, on average, kept between the outlines:
  // the colon's outline and the digit's each reach into it.
  const float naturalGap = (samples.spaced.fill.width - 2.0f * samples.single.fill.width - colon.width) / 2.0f;
  const float leastGap = std::max(kMinColonGapPx, emSize * kMinColonGapEm);
  const float inkGap = std::max(naturalGap, leastGap);
  const float gapBefore = inkGap + reach.right + colonReach.left;
  const float gapAfter = inkGap + colonReach.right + reach.left;
  const float secondsApart = dispSecond ? (colon.width + gapBefore + gapAfter) * kSecondsApartShare : 0.0f;

  // Fill ink left edge of each part's "8"s or colon, from the window's left.
  float inkLeft[kClockPartCount] = {};
  inkLeft[kHourPart] = margin + std::max(0.0f, pair.x - reached.x);
  inkLeft[kFirstColonPart] = inkLeft[kHourPart] + pair.width + gapBefore;
  inkLeft[kMinutePart] = inkLeft[kFirstColonPart] + colon.width + gapAfter;
  inkLeft[kSecondColonPart] = inkLeft[kMinutePart] + pair.width + gapBefore + secondsApart;
  inkLeft[kSecondPart] = inkLeft[kSecondColonPart] + colon.width + gapAfter + secondsApart;
  const ClockPart last = dispSecond ? kSecondPart : kMinutePart;

  // Every part shares one baseline: the same origin row.
  const float inkTop = std::min(reached.y, samples.colon.outlined.y);
  const float inkBottom = std::max(reached.Bottom(), samples.colon.outlined.Bottom());
  const float originY = margin - inkTop;

  ClockLayout laidOut;
  for (int part = 0; part < kClockPartCount; ++part) {
    const bool isColon = part == kFirstColonPart || part == kSecondColonPart;
    const float inkOffset = isColon ? colon.x : pair.x;
    laidOut.parts[part] = AreaF{inkLeft[part] - inkOffset, originY, kUnboundedExtent, kUnboundedExtent};
  }
  laidOut.digitAdvance = pair.Right() - samples.single.fill.Right();
  laidOut.bandTop = Floor(originY + samples.digits.fill.y) - 1;
  laidOut.bandBottom = Ceil(originY + samples.digits.fill.Bottom()) + 1;
  const float inkRight = laidOut.parts[last].x + reached.Right();
  laidOut.ink = AreaF{margin, margin, inkRight - margin, inkBottom - inkTop};
  const float anchorRoom = (colon.width + gapBefore + gapAfter) * kDateAnchorRoomColons;
  laidOut.window =
      SIZE{Ceil(laidOut.ink.Right() + margin + anchorRoom), Ceil(laidOut.ink.Bottom() + margin + anchorRoom)};
  return laidOut;
}

AreaF CorrectionMark(const ClockLayout& clockLayout, float penWidth) {
  const float outline = penWidth / 2.0f;
  const float gap = std::max(kMarginPx, penWidth) + outline;
  const float left = clockLayout.ink.Right() + gap;
  const float room = static_cast<float>(clockLayout.window.cx) - kMarginPx - outline - left;
  const float band = static_cast<float>(clockLayout.bandBottom - clockLayout.bandTop);
  const float size = std::min(band * kMarkShareOfDigits, room);
  if (size <= 0.0f) return AreaF{};
  return AreaF{left, static_cast<float>(clockLayout.bandTop) + outline, size, size};
}

float RisingFillTop(int bandTop, int bandBottom, int second) {
  const int clamped = std::min(std::max(second, 0), kLastSecond);
  const float bandHeight = static_cast<float>(bandBottom - bandTop);
  return static_cast<float>(bandBottom) - bandHeight * static_cast<float>(clamped) / static_cast<float>(kLastSecond);
}

SIZE DateWindowSize(const AreaF& sampleOutlined, float penWidth, float emSize) {
  const float margin = kMarginPx + emSize * kDateMarginEm + penWidth / 2.0f;
  return SIZE{Ceil(sampleOutlined.width + 2.0f * margin), Ceil(sampleOutlined.height + 2.0f * margin)};
}

int EmHeightToFit(int emHeight, int windowWidth, int widest) {
  if (windowWidth <= widest) return emHeight;
  const float fixed = 2.0f * kMarginPx;
  const float share = (static_cast<float>(widest) - fixed) / (static_cast<float>(windowWidth) - fixed);
  return std::max(1, std::min(Floor(static_cast<float>(emHeight) * share), emHeight));
}

OriginF CentredOrigin(const AreaF& outlined, SIZE window) {
  return OriginF{static_cast<float>(window.cx) / 2.0f - (outlined.x + outlined.width / 2.0f),
                 static_cast<float>(window.cy) / 2.0f - (outlined.y + outlined.height / 2.0f)};
}

}  // namespace layout
