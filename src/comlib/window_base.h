#pragma once
// Every window of the program is an object bound to its handle. The class
// procedure finds the object in the window's user data and hands each
// message to the object's virtual WindowProc.

#include <windows.h>

#include <string>

#include "comlib/unique_handle.h"

enum ControlType : int {
  kControlStaticText = 1,
  kControlButton = 2,
  kControlCheckBox = 3,
  kControlComboBox = 5,
  kControlMainWindow = 7,
  kControlEdit = 8,
  kControlTrackBar = 11,
  kControlHotKey = 12,
  kControlGroupBox = 18,
};

// A window's client rectangle and the size of one full-width "Ｗ", the unit
// that layouts are scaled by.
struct ClientArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width = 0;
  int height = 0;
  int charWidth = 0;
  int charHeight = 0;
};

// The width and height of one full-width "Ｗ" on the screen, in the screen's
// own font: the unit of ClientArea.
SIZE MeasureLayoutUnit();

class ControlBase_CL {
 public:
  explicit ControlBase_CL(ControlType type, int controlId = 0);
  virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual ~ControlBase_CL();
  // Keeps the top-left corner and changes the size.
  virtual void Resize(int width, int height, BOOL repaint);

  ControlBase_CL(const ControlBase_CL&) = delete;
  ControlBase_CL& operator=(const ControlBase_CL&) = delete;

  void Move(int x, int y);
  void SetText(const std::wstring& text);
  ClientArea GetClientArea() const;

  HWND Window() const { return window_; }
  ControlType Type() const { return type_; }
  int ControlId() const { return controlId_; }
  HFONT Font() const { return font_; }

 protected:
  // The factory gives the controls it makes their id and window.
  friend class ControlFactory_CL;

  ControlType type_;
  int controlId_;
  WNDPROC handler_ = nullptr;
  HWND window_ = nullptr;
  HFONT font_;
};

class MainWindowBase_CL : public ControlBase_CL {
 public:
  // WS_OVERLAPPEDWINDOW with WS_CLIPSIBLINGS and WS_CLIPCHILDREN, not visible.
  static constexpr DWORD kDefaultStyle = 0x06CF0000;
  static constexpr UINT kDefaultClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  static constexpr int kDefaultWidth = 640;
  static constexpr int kDefaultHeight = 480;
  // The hidden owner that keeps a window off the taskbar carries this suffix.
  static constexpr wchar_t kHiddenOwnerSuffix[] = L"_SHARDOW";

  MainWindowBase_CL();
  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  ~MainWindowBase_CL() override;

  virtual void OnDestroy() {}
  // Returning 0 keeps the window open.
  virtual int OnClose() { return 1; }
  virtual void OnCreate(CREATESTRUCTW* /*create*/) {}
  virtual void OnSize() {}
  virtual void OnPaint() {}
  // Registers the class (once) and creates the window; null on failure.
  virtual HWND Create();
  virtual void SetClassName(const std::wstring& name) { className_ = name; }
  virtual void SetWindowName(const std::wstring& name) { windowName_ = name; }
  virtual void SetIcon(HICON icon) { icon_ = icon; }

  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  const std::wstring& ClassName() const { return className_; }
  const std::wstring& WindowName() const { return windowName_; }

 protected:
  HWND CreateHiddenOwner();

  bool hideFromTaskbar_ = false;
  HICON icon_ = nullptr;
  std::wstring className_ = L"MainWindowClass";
  std::wstring windowName_ = L"WindowName";
  DWORD style_ = kDefaultStyle;
  UINT classStyle_ = kDefaultClassStyle;
  HMENU menu_ = nullptr;
  HBRUSH background_ = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  int width_ = kDefaultWidth;
  int height_ = kDefaultHeight;
  HWND parent_ = nullptr;

 private:
  // Goes with the object, after its window: windows made and destroyed for
  // monitors that come and go leave no owner behind.
  comlib::UniqueWindow hiddenOwner_;
};

// Adds and removes window style bits.
void ChangeWindowStyle(HWND window, int index, LONG_PTR add, LONG_PTR remove);
