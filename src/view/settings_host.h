#pragma once
// The settings sheet's life beside the clock: at most one sheet at a time.
// The sheet runs inside Open; its object outlives it until the closed
// message, and is never deleted while the sheet runs. An end or a restart
// asked for while it runs closes it first and happens once it has closed,
// after its settings were put back.

#include <windows.h>

#include <memory>

class Display_CL;
class SettingDialog_CL;
class Settings_CL;

class SettingsHost_CL {
 public:
  // What the clock is to do once a sheet has closed.
  struct After {
    bool exit = false;
    bool restart = false;
  };

  SettingsHost_CL(Settings_CL& settings, Display_CL& display);
  ~SettingsHost_CL();
  SettingsHost_CL(const SettingsHost_CL&) = delete;
  SettingsHost_CL& operator=(const SettingsHost_CL&) = delete;

  // Runs a sheet and returns once it has closed, with what was asked for
  // meanwhile. While the last sheet is still closing, the next opens once
  // it has gone; a second choice while a sheet is open does nothing.
  After Open(HWND clockWindow);
  // The sheet's closed message: its object goes, and a sheet asked for
  // while it closed opens.
  After OnClosed();
  bool Running() const { return running_; }
  // Closes the running sheet as its close box would, and remembers what to
  // do once it has closed; false when no sheet runs.
  bool CloseThenExit();
  bool CloseThenRestart();
  // The Windows session ends, and the process with it, before the sheet's
  // own loop could close it: its settings go back now, and it closes.
  void End();
  // The clock's window is going: so is any sheet object, a running one once
  // its loop has returned (it is ended first).
  void Discard();

 private:
  Settings_CL& settings_;
  Display_CL& display_;
  HWND clockWindow_ = nullptr;
  std::unique_ptr<SettingDialog_CL> dialog_;
  bool running_ = false;
  // A settings command came while the last sheet was closing.
  bool wanted_ = false;
  // The clock went while the sheet ran.
  bool discarded_ = false;
  After after_;
};
