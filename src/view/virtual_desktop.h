#pragma once
// Asking the shell whether the clock is on the virtual desktop the user is
// looking at. When the user moves to another desktop the program restarts,
// so that its windows come along.

#include <windows.h>

class VirtualDesktopQuery {
 public:
  virtual ~VirtualDesktopQuery() = default;
  // False when the shell's desktop manager cannot be reached. Otherwise the
  // call's status and its answer (FALSE unless the call sets it).
  virtual bool Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) = 0;
};

// The shell's own desktop manager; or, when the environment variable
// HORAVEL_DESKTOP_ANSWER_FILE names a file, answers read from that file so
// that tests can play a desktop switch (see ScriptedDesktopQuery).
VirtualDesktopQuery& SystemVirtualDesktopQuery();

// Only a call that succeeded and said "not here" means the user moved to
// another desktop; a failing call must not restart the program every tick.
bool HasMovedToOtherDesktop(bool reached, HRESULT status, BOOL onCurrentDesktop);

// Answers from a file: "elsewhere" is answered once as "not on this desktop"
// (the file then reads "consumed"); "error" makes the call fail and appends
// a dot per call; anything else, or no file, is an unreachable shell.
class ScriptedDesktopQuery : public VirtualDesktopQuery {
 public:
  explicit ScriptedDesktopQuery(const wchar_t* path);
  bool Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) override;

 private:
  wchar_t path_[MAX_PATH];
};
