#pragma once
// Network time beside the clock: the time server client, started, switched
// to another server or stopped as the setting says, and what it has found
// in the terms the clock needs: the offset its faces add to Windows' time
// and the notification icon's tip. Off, it holds nothing: no thread, no
// socket, no library.

#include <windows.h>

#include <cstdint>
#include <string>

#include "comlib/sntp_client.h"
#include "data/time_sync_data.h"

class NetworkTime_CL {
 public:
  // The clock window's one-shot timer for a start delayed after a change
  // of Windows' clock.
  static constexpr UINT_PTR kRestartTimerId = 0x3300;

  NetworkTime_CL() = default;
  NetworkTime_CL(const NetworkTime_CL&) = delete;
  NetworkTime_CL& operator=(const NetworkTime_CL&) = delete;

  // Starts asking the setting's server, or asks another one, or stops; a
  // setting as it was changes nothing. Each outcome reaches `window` as
  // kTimeSyncReportMessage. Returns at once: the client works on a thread
  // of its own.
  void Apply(const TimeSyncSaveData_CL& setting, HWND window);
  void Stop();
  // Windows' clock was set: what was measured against it is void, and the
  // faces show Windows' time until the samples, taken again, are in. A
  // clock set again and again restarts them no more often than the
  // shortest interval between requests, through the window's timer.
  void WindowsClockSet(HWND window);
  // True for the restart timer, which it handles.
  bool OnTimer(HWND window, UINT_PTR timerId);

  bool IsOn() const { return client_.IsRunning(); }
  // The client's status; nothing measured while a change of Windows' clock
  // has voided it.
  sntp::SyncStatus Status() const;
  // What the faces add to Windows' time: 0 while off or nothing is applied.
  std::int64_t OffsetToApply() const { return Status().OffsetToApply(); }
  void MeasureNow() { client_.MeasureNow(); }

  // The icon's tip, in the user's language: the program's name, and while
  // network time is on, how Windows' clock stands against the server.
  std::wstring Tip() const;

 private:
  void StartAsking(HWND window);

  SntpClient_CL client_;
  // The server asked while on.
  std::wstring server_;
  // When the client last started, GetTickCount64.
  std::uint64_t startedMs_ = 0;
  bool voided_ = false;
};
