#pragma once
// Timers, messages and command ids that several windows and the settings
// share.

#include <windows.h>

// The one tick of every face, on the wall clock's half seconds
// (text/clock_tick.h): the clock's seconds, the date's day, the world
// clocks' minutes and every fade under the mouse follow it.
constexpr UINT_PTR kClockTimerId = 0x3000;

// The notification-area icon's mouse messages reach the clock as this message.
constexpr UINT kTrayCallbackMessage = WM_USER + 0x300;
// Posted to the clock when the settings dialog has closed.
constexpr UINT kSettingsClosedMessage = WM_APP + 1234;
// Sent to the clock when its hot key setting changed: it registers the key
// again and answers 1 when it has the key.
constexpr UINT kHotKeyChangedMessage = WM_APP + 1235;

// Network time. Posted to the clock by the time server client after each
// exchange's outcome; sent by the network time page when its setting
// changed, for a measurement now, and for the status (lParam: the
// sntp::SyncStatus to fill in).
constexpr UINT kTimeSyncReportMessage = WM_APP + 1240;
constexpr UINT kTimeSyncChangedMessage = WM_APP + 1241;
constexpr UINT kTimeSyncMeasureMessage = WM_APP + 1242;
constexpr UINT kTimeSyncStatusMessage = WM_APP + 1243;

// WM_CLOSE with this wParam closes the clock for real instead of hiding it.
constexpr WPARAM kCloseForRealCode = 2;

// Commands that reach the clock as WM_COMMAND.
constexpr UINT kCommandShow = 125;
constexpr UINT kCommandHide = 126;
constexpr UINT kCommandSupportSite = 127;
constexpr UINT kCommandExit = 128;
constexpr UINT kCommandLicence = 129;
constexpr UINT kCommandSettings = 130;
// Turns the clock on every display on or off.
constexpr UINT kCommandEveryDisplay = 131;
// "Show on display n" is kCommandFirstDisplay + n.
constexpr UINT kCommandFirstDisplay = 200;
constexpr UINT kCommandLastDisplay = 231;

// Both windows' layered transparency: white is cut out.
constexpr COLORREF kTransparentKey = RGB(0xFF, 0xFF, 0xFF);
