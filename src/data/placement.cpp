#include "data/placement.h"

namespace placement {
RECT ChooseClockArea(const MultiScreen_CL&, int, SIZE) { return RECT{}; }
POINT ClockPosition(const RECT&, int, int, int, float, float) { return POINT{}; }
SIZE ClockSize(const AreaF&) { return SIZE{}; }
POINT DatePosition(POINT, int, int, const AreaF&) { return POINT{}; }
SIZE DateSize(const AreaF&) { return SIZE{}; }
POINT CentreOf(const RECT&) { return POINT{}; }
}  // namespace placement

void PlaceClockWindow() {}
void PlaceDateWindow() {}
void RestoreDisplayLayout() {}
void CheckDisplayChange() {}
