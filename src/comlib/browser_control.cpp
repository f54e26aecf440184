#include "comlib/browser_control.h"

#include <oleauto.h>

#include <memory>
#include <utility>

#include "comlib/dll_function.h"

namespace browserhost {

const AtlHostLibrary kAtlHostLibraries[7] = {
    {L"atl120.dll", L"AtlAxWin120"}, {L"atl110.dll", L"AtlAxWin110"}, {L"atl100.dll", L"AtlAxWin100"},
    {L"atl90.dll", L"AtlAxWin90"},   {L"atl80.dll", L"AtlAxWin80"},   {L"atl71.dll", L"AtlAxWin71"},
    {L"atl.dll", L"AtlAxWin"},
};

}  // namespace browserhost

namespace {

// The ProgID that the host window creates from its window text.
constexpr wchar_t kBrowserProgId[] = L"Shell.Explorer.2";
// The HTML engine's document, which every page the browser shows needs.
constexpr wchar_t kHtmlDocumentProgId[] = L"htmlfile";
constexpr int kDefaultX = 200;
constexpr int kDefaultY = 200;
constexpr int kDefaultWidth = 440;
constexpr int kDefaultHeight = 280;

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// The first ATL library that loads, with its two functions. It stays loaded
// for the life of the process: the host window class it registers points
// into it, and a class left behind by a library since unloaded would crash
// the next host.
struct AtlHost {
  std::unique_ptr<DllFunction_CL> library;
  const wchar_t* windowClass = nullptr;
  AtlAxWinInitFn init = nullptr;
  AtlAxGetControlFn getControl = nullptr;
};

AtlHost LoadAtlHost() {
  AtlHost host;
  for (const browserhost::AtlHostLibrary& candidate : browserhost::kAtlHostLibraries) {
    auto library = std::make_unique<DllFunction_CL>(candidate.library);
    if (!library->IsLoaded()) continue;
    host.windowClass = candidate.windowClass;
    host.init = library->GetFunctionAs<AtlAxWinInitFn>("AtlAxWinInit");
    host.getControl = library->GetFunctionAs<AtlAxGetControlFn>("AtlAxGetControl");
    host.library = std::move(library);
    break;
  }
  return host;
}

const AtlHost& FindAtlHost() {
  static const AtlHost host = LoadAtlHost();
  return host;
}

// A browser shows nothing without its HTML engine (Wine without its browser
// engine is such a case), though the control itself may be created.
bool HtmlEngineAvailable() {
  CLSID htmlDocument{};
  if (FAILED(CLSIDFromProgID(kHtmlDocumentProgId, &htmlDocument))) return false;
  comlib::ComPtr<IUnknown> document;
  return SUCCEEDED(
      CoCreateInstance(htmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, document.put_void()));
}

}  // namespace

HWND BrowserControl_CL::Create(HWND parent) {
  parent_ = parent;
  const AtlHost& host = FindAtlHost();
  if (host.windowClass == nullptr || host.init == nullptr || host.getControl == nullptr) return nullptr;
  // The browser lives in this thread's apartment.
  if (!comInitialised_) comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  host.init();
  const DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE | WS_TABSTOP : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  window_ = CreateWindowExW(0, host.windowClass, kBrowserProgId, style, kDefaultX, kDefaultY, kDefaultWidth,
                            kDefaultHeight, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return nullptr;
  comlib::ComPtr<IUnknown> control;
  if (FAILED(host.getControl(window_, reinterpret_cast<IUnknown**>(control.put_void()))) || !control) return Fail();
  if (FAILED(control->QueryInterface(IID_IWebBrowser2, browser_.put_void())) || !browser_) return Fail();
  if (!HtmlEngineAvailable()) return Fail();
  // No script error or other dialog may come from the page.
  browser_->put_Silent(VARIANT_TRUE);
  return window_;
}

BrowserControl_CL::~BrowserControl_CL() {
  browser_.reset();
  if (comInitialised_) CoUninitialize();
}

HWND BrowserControl_CL::Fail() {
  browser_.reset();
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  return nullptr;
}

bool BrowserControl_CL::Navigate(const std::wstring& address) {
  if (!browser_) return false;
  comlib::UniqueVariant target;
  target.get()->bstrVal = SysAllocString(address.c_str());
  if (target.get()->bstrVal == nullptr) return false;
  target.get()->vt = VT_BSTR;
  comlib::UniqueVariant empty;
  return SUCCEEDED(browser_->Navigate2(target.get(), empty.get(), empty.get(), empty.get(), empty.get()));
}
