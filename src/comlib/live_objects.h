#pragma once
// How many GDI and GDI+ objects the program's owners hold right now. A run of
// weeks must not hold more than the first minutes did: the soak tool asks the
// running clock for these counts through a registered message. The same
// message tells the benchmark how often the settings file was replaced.

#include <windows.h>

#include "comlib/gdiplus_flat.h"

namespace comlib {

// GDI objects (fonts, bitmaps, brushes, memory device contexts) held by
// owners right now; LiveGdiplusObjects() counts the GDI+ ones.
long LiveGdiObjects();

// Of the live GDI+ objects, those the fonts keep on purpose: the paths of
// the texts each font has drawn, up to its bound. They grow as new times are
// drawn, hours after the start; the soak tells them from a leak.
long KeptGdiplusObjects();
void CountKeptGdiplusObjects(long change);

// The message's wParam: which count the answer gives.
constexpr WPARAM kLiveGdiObjects = 0;
constexpr WPARAM kLiveGdiplusObjects = 1;
constexpr WPARAM kSettingsFileReplaces = 2;
constexpr WPARAM kKeptGdiplusObjects = 3;

// The registered message "Horavel.LiveObjects".
UINT LiveObjectsMessage();

// In a window procedure: true, with the asked count in `reply`, when
// `message` is the live-objects message.
bool AnswerLiveObjects(UINT message, WPARAM which, LRESULT* reply);

}  // namespace comlib
