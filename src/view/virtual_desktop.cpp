#include "view/virtual_desktop.h"

#include <servprov.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "comlib/com_ptr.h"

namespace {

constexpr wchar_t kAnswerFileVariable[] = L"HORAVEL_DESKTOP_ANSWER_FILE";

// The immersive shell, and the service under which it offers the desktop manager.
const CLSID kImmersiveShell = {0xC2F03A33, 0x21F5, 0x47FA, {0xB4, 0xBB, 0x15, 0x63, 0x62, 0xA2, 0xF2, 0x39}};
const GUID kVirtualDesktopManagerService = {0xA5CD92FF, 0x29BE, 0x454C, {0x8D, 0x04, 0xD8, 0x28, 0x79, 0xFB, 0x3F, 0x1B}};

class ShellDesktopQuery : public VirtualDesktopQuery {
 public:
  bool Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) override {
    comlib::ComPtr<IServiceProvider> shell;
    if (FAILED(CoCreateInstance(kImmersiveShell, nullptr, CLSCTX_LOCAL_SERVER, IID_IServiceProvider,
                                shell.put_void())) ||
        !shell) {
      return false;
    }
    comlib::ComPtr<IVirtualDesktopManager> manager;
    if (FAILED(shell->QueryService(kVirtualDesktopManagerService, IID_IVirtualDesktopManager, manager.put_void())) ||
        !manager) {
      return false;
    }
    *onCurrentDesktop = FALSE;
    *status = manager->IsWindowOnCurrentVirtualDesktop(window, onCurrentDesktop);
    return true;
  }
};

std::string ReadSmallFile(const wchar_t* path) {
  std::string text;
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) return text;
  char buffer[256];
  const size_t read = fread(buffer, 1, sizeof(buffer), file);
  fclose(file);
  return std::string(buffer, read);
}

void WriteSmallFile(const wchar_t* path, const char* text, const wchar_t* mode) {
  FILE* file = _wfopen(path, mode);
  if (file == nullptr) return;
  fputs(text, file);
  fclose(file);
}

}  // namespace

bool HasMovedToOtherDesktop(bool reached, HRESULT status, BOOL onCurrentDesktop) {
  return reached && SUCCEEDED(status) && !onCurrentDesktop;
}

ScriptedDesktopQuery::ScriptedDesktopQuery(const wchar_t* path) { wcsncpy_s(path_, path, _TRUNCATE); }

bool ScriptedDesktopQuery::Ask(HWND, HRESULT* status, BOOL* onCurrentDesktop) {
  const std::string script = ReadSmallFile(path_);
  *onCurrentDesktop = FALSE;
  if (script.rfind("elsewhere", 0) == 0) {
    WriteSmallFile(path_, "consumed", L"wb");
    *status = S_OK;
    return true;
  }
  if (script.rfind("error", 0) == 0) {
    WriteSmallFile(path_, ".", L"ab");
    *status = E_FAIL;
    return true;
  }
  return false;
}

VirtualDesktopQuery& SystemVirtualDesktopQuery() {
  static const std::unique_ptr<VirtualDesktopQuery> query = []() -> std::unique_ptr<VirtualDesktopQuery> {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kAnswerFileVariable, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::make_unique<ScriptedDesktopQuery>(path);
    return std::make_unique<ShellDesktopQuery>();
  }();
  return *query;
}
