#pragma once
// Where the pieces of the clock and the date stand in their windows, worked
// out from the ink of a few measured samples. Plain arithmetic: the
// measuring with GDI+ lives in text_measure.
//
// The clock's places come from "8" samples, so the digits never jump as they
// change, and its edges from the ink every digit can take, so none reaches
// past them; the colons stand in the middle of equal ink gaps; the glyphs
// keep a margin of a few outline widths from the window's edge; the seconds
// stand a little apart. The window's size and the ink's place in it are known, so the
// placement can put the ink itself at the configured distance from a corner.

#include <windows.h>

// X, Y, width, height in pixels, single precision, as GDI+ measures paths.
struct AreaF {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;

  float Right() const { return x + width; }
  float Bottom() const { return y + height; }
};

// The parts of the time text, in the order the clock layout keeps them.
enum ClockPart : int {
  kHourPart = 0,
  kFirstColonPart,
  kMinutePart,
  kSecondColonPart,
  kSecondPart,
  kClockPartCount
};

namespace layout {

// Layout rectangles and clips that never cut a glyph off.
constexpr float kUnboundedExtent = 65536.0f;

// How far an outline reaches past the fill, on each side.
struct Reach {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

// A text's ink measured at the layout origin (0, 0): the filled glyphs, and
// the filled glyphs with their outline.
struct Ink {
  AreaF fill;
  AreaF outlined;

  Reach OutlineReach() const;
};

// The least area that holds both; an empty area holds nothing.
AreaF Enclosing(const AreaF& a, const AreaF& b);
Ink Enclosing(const Ink& a, const Ink& b);

// Outline (pen) width: em height x scale / 255; 0 when scale <= 0.
float PenWidth(int fontEmHeight, int borderFrameScale);

// The clock's samples, each measured at the origin.
struct ClockSamples {
  Ink digits;  // "00" to "99" together: the ink any two digits can take
  Ink pair;    // "88": the places of two digits
  Ink single;  // "8": with the pair, one digit's advance
  Ink colon;   // ":"
  Ink spaced;  // "8:8": the font's own spacing around a colon
};

struct ClockLayout {
  // Each part's layout rectangle in window coordinates: its text is added
  // to the path at (x, y); width and height never cut a glyph.
  AreaF parts[kClockPartCount];
  // A blank in front of the hour's digit is not drawn; the digit moves right
  // by one digit's advance instead, so " 8" ends where "18" ends.
  float digitAdvance = 0.0f;
  // The rows between which the second colour rises, window coordinates:
  // just below and just above every digit's fill.
  int bandTop = 0;
  int bandBottom = 0;
  // The outlined ink of the samples, window coordinates.
  AreaF ink;
  SIZE window = {};
};

ClockLayout ComputeClockLayout(const ClockSamples& samples, float penWidth, float emSize, bool dispSecond);

// Where the clock draws its mark while it corrects Windows' time: a square
// right of its last digits, level with their tops, in the room the window
// keeps right of the ink (for the date's anchor), outline included; no
// wider than that room, and empty when there is none.
AreaF CorrectionMark(const ClockLayout& clockLayout, float penWidth);

// Top of the clip for the rising second colour at this second (0 ... 59):
// below every digit at 0, above every digit at 59.
float RisingFillTop(int bandTop, int bandBottom, int second);

// The date window's size for the outlined ink of its widest sample.
SIZE DateWindowSize(const AreaF& sampleOutlined, float penWidth, float emSize);
// The largest em height, at most `emHeight`, at which a window that
// DateWindowSize made `windowWidth` wide at `emHeight` is at most `widest`
// wide: the ink, the outline and the margins in ems grow with the em, the
// margin in pixels does not. Never below 1.
int EmHeightToFit(int emHeight, int windowWidth, int widest);

struct OriginF {
  float x = 0.0f;
  float y = 0.0f;
};
// Where a text goes so that its outlined ink (measured at the origin) is
// centred in a window of this size.
OriginF CentredOrigin(const AreaF& outlined, SIZE window);

}  // namespace layout
