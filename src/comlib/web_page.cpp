#include "comlib/web_page.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {
constexpr wchar_t kHomeMarkerPath[] = L"c:\\MyHome.txt";
}

bool HomeMarkerExists() { return PathFileExistsW(kHomeMarkerPath) != FALSE; }

void OpenWebPage(const std::wstring& address) {
  if (HomeMarkerExists()) return;
  ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
