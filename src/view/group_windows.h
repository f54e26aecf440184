#pragma once
// The windows of the display's groups after the first: a clock, a date and
// world clocks for each further monitor while every monitor shows the
// faces, made and taken down as monitors come and go. Their classes are
// their own: a second start of the program finds the running clock by the
// first group's class, and so do the tools that look for its date.

#include <windows.h>

#include <memory>
#include <vector>

#include "view/display.h"
#include "view/face_window.h"

class GroupWindows_CL : public GroupWindows {
 public:
  explicit GroupWindows_CL(Display_CL& display);
  ~GroupWindows_CL() override;
  GroupWindows_CL(const GroupWindows_CL&) = delete;
  GroupWindows_CL& operator=(const GroupWindows_CL&) = delete;

  bool Make(size_t group) override;
  void TakeDown(size_t group) override;

 private:
  struct Group;

  Display_CL& display_;
  // By group number, the first one (the clock's own) never made here.
  std::vector<std::unique_ptr<Group>> groups_;
  // Taken down but not yet let go of: the display may take a group down
  // while one of that group's windows handles a message.
  std::vector<std::unique_ptr<Group>> retired_;
};
