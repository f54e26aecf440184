#pragma once
// Monitors that come and go for real. The multi-monitor tests run on an
// Xvnc display (tests/e2e/multi_monitor_test.sh starts it), whose
// screens a VNC client may lay out at will; Wine reports each screen as a
// monitor where the layout puts it. ScreenLayout is that client.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/unique_handle.h"

namespace testing_support {

// A Winsock SOCKET, named by its underlying type so that this header need
// not come before windows.h everywhere.
void CloseSocket(UINT_PTR socket);
using UniqueSocket = comlib::UniqueHandle<UINT_PTR, &CloseSocket>;

class ScreenLayout {
 public:
  // The display's VNC port, read from HORAVEL_VNC_PORT; 0 where the test
  // program does not run on such a display.
  static unsigned short Port();

  ScreenLayout();
  ~ScreenLayout();
  ScreenLayout(const ScreenLayout&) = delete;
  ScreenLayout& operator=(const ScreenLayout&) = delete;

  // Lays the screens out as these rectangles and returns once the server
  // has taken the layout: false when it refused it or did not answer in
  // time. The rectangles lie at non-negative coordinates and one at 0,0:
  // Wine makes that one the primary and, as Windows does, puts the primary
  // at the origin, so a layout without it is reported shifted.
  bool Set(const std::vector<RECT>& monitors);
  // Why the last Set failed.
  const std::string& Error() const { return error_; }

 private:
  bool Connect();
  bool Send(const std::string& bytes);
  bool Receive(void* buffer, size_t length);
  bool Skip(size_t length);
  bool Fail(const std::string& why);
  // Reads the server's messages until it answers the layout request.
  bool AwaitLayoutAnswer();
  bool ReadUpdate(bool* answered);

  UniqueSocket connection_;
  size_t bytesPerPixel_ = 4;
  ULONGLONG deadline_ = 0;
  std::string error_;
};

// The monitors Wine reports now, each as its rectangle, in its order.
std::vector<RECT> MonitorRects();

// Pumps messages until Wine reports exactly these monitor rectangles, in
// any order; false when the deadline passed first. Wine 8 sends running
// programs no WM_DISPLAYCHANGE for a layout changed this way: they see it
// only when they next look at the monitors.
bool WaitForMonitors(const std::vector<RECT>& monitors, DWORD timeoutMs);

}  // namespace testing_support
