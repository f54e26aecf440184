#pragma once
// Puts the program's display state back as a test found it, so that the
// windows one test pointed it at do not reach the next.

#include "view/display.h"

namespace view_testing {

class DisplayGuard {
 public:
  DisplayGuard() : kept_(Display()) {}
  ~DisplayGuard() { Display() = kept_; }
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;

 private:
  DisplayState kept_;
};

}  // namespace view_testing
