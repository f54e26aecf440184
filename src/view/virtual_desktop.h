#pragma once
// Asking the shell whether the clock is on the virtual desktop the user is
// looking at. When the user moves to another desktop the program restarts,
// so that its windows come along.

#include <windows.h>
#include <shobjidl.h>

#include <functional>

#include "comlib/com_ptr.h"

class VirtualDesktopQuery {
 public:
  virtual ~VirtualDesktopQuery() = default;
  // False when the shell's desktop manager cannot be reached. Otherwise the
  // call's status and its answer (FALSE unless the call sets it).
  virtual bool Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) = 0;
  // Lets go of what is kept from the shell; COM must still be running.
  virtual void Disconnect() {}
};

// The shell's own desktop manager, kept between ticks.
VirtualDesktopQuery& SystemVirtualDesktopQuery();

// Only a call that succeeded and said "not here" means the user moved to
// another desktop; a failing call must not restart the program every tick.
bool HasMovedToOtherDesktop(bool reached, HRESULT status, BOOL onCurrentDesktop);

// True for the statuses of a call whose shell has gone away (Explorer
// restarted): the manager is useless from then on and must be made again.
bool IsShellGone(HRESULT status);

// Where the desktop manager comes from: the immersive shell, or a test.
class DesktopManagerSource {
 public:
  virtual ~DesktopManagerSource() = default;
  // True with a manager in `manager`; false when the shell cannot give one.
  virtual bool Connect(comlib::ComPtr<IVirtualDesktopManager>& manager) = 0;
};

// After the shell could not give its manager `failuresInARow` times, the next
// try waits a minute, twice as long after each further failure, at most an
// hour: under Wine every try fails and leaves two registry keys open.
ULONGLONG DesktopReconnectDelayMs(int failuresInARow);

// Keeps the desktop manager from the first tick that reaches it. Making it is
// an out-of-process call on Windows, and under Wine it fails and leaves
// registry keys open each time, so it is not made on every tick: after a
// failure it is tried again no sooner than a minute later (see
// DesktopReconnectDelayMs), and a manager whose shell has gone is dropped and
// made again the same way. The answers are those of the manager, unchanged.
class KeptDesktopManager : public VirtualDesktopQuery {
 public:
  using MillisecondClock = std::function<ULONGLONG()>;
  explicit KeptDesktopManager(DesktopManagerSource& source, MillisecondClock now = &GetTickCount64);

  bool Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) override;
  void Disconnect() override { manager_.reset(); }

 private:
  bool Reconnect();
  void RememberFailure(ULONGLONG nowMs);

  DesktopManagerSource& source_;
  MillisecondClock now_;
  comlib::ComPtr<IVirtualDesktopManager> manager_;
  int failuresInARow_ = 0;
  ULONGLONG failedAtMs_ = 0;
};

// The program restarts when the user moves to another virtual desktop, so
// that its windows come along. The restart runs once: once begun, further
// desktop changes are ignored; after one that could not start the new
// copy, the desktop is no longer watched, as each further try would fail
// the same way.
class DesktopWatch_CL {
 public:
  // Starts a fresh copy of the program and closes this one; false when the
  // copy could not be started.
  using RestartFunction = bool (*)(HWND clockWindow);

  DesktopWatch_CL(VirtualDesktopQuery& desktop, RestartFunction restart) : desktop_(desktop), restart_(restart) {}

  // True when the shell says the clock has left the current desktop.
  bool MovedAway(HWND clock);
  // A restart waits for the settings sheet to close.
  void Defer() { deferred_ = true; }
  bool Restart(HWND clock);
  // Lets go of the shell's objects while COM still runs.
  void Disconnect() { desktop_.Disconnect(); }

 private:
  VirtualDesktopQuery& desktop_;
  RestartFunction restart_;
  bool deferred_ = false;
  bool restarting_ = false;
  bool failed_ = false;
};
