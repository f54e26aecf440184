#include "comlib/task_tray_icon.h"

namespace {
class StubShell : public TrayShell {
 public:
  BOOL NotifyIcon(DWORD, NOTIFYICONDATAW*) override { return FALSE; }
  void Sleep(DWORD) override {}
  int AskRetry(HWND, const std::wstring&, const std::wstring&) override { return IDCANCEL; }
};
}  // namespace

TrayShell& SystemTrayShell() {
  static StubShell shell;
  return shell;
}
TaskTrayIcon_CL::TaskTrayIcon_CL(const std::wstring& caption, TrayShell& shell) : caption_(caption), shell_(shell) {}
TaskTrayIcon_CL::~TaskTrayIcon_CL() = default;
bool TaskTrayIcon_CL::Add(HWND) { return false; }
void TaskTrayIcon_CL::Remove() {}
bool TaskTrayIcon_CL::IsTaskbarCreated(UINT) { return false; }
void TaskTrayIcon_CL::SetIcon(HICON) {}
