#pragma once
// Small owners for system handles: each handle is closed exactly once, by the
// function named in its type, on every path out of a scope.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <utility>

namespace comlib {

// Move-only owner of a handle that is "empty" when null. The close function
// runs in the destructor without disturbing GetLastError for the code after.
// Each kind of owner counts how many of its kind hold a handle, so that a
// long run can show it keeps no more objects than it started with.
template <typename T, auto CloseFn>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) { Hold(handle); }
  ~UniqueHandle() { reset(); }

  // Owners of this kind that hold a handle now (or were handed out by put()
  // and not emptied since), in this process.
  static long Live() { return live_; }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept { Hold(other.release()); }
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T{}; }

  T release() {
    T handle = handle_;
    Forget();
    return handle;
  }

  void reset(T handle = T{}) {
    if (handle_ != T{}) {
      const DWORD lastError = GetLastError();
      CloseFn(handle_);
      SetLastError(lastError);
    }
    Forget();
    Hold(handle);
  }

  // For functions that hand back a new handle through a pointer. The owner
  // counts as live from here, since it cannot see the handle arrive.
  T* put() {
    reset();
    counted_ = true;
    ++live_;
    return &handle_;
  }

 private:
  void Hold(T handle) {
    handle_ = handle;
    if (handle_ != T{}) {
      counted_ = true;
      ++live_;
    }
  }
  void Forget() {
    handle_ = T{};
    if (counted_) --live_;
    counted_ = false;
  }

  T handle_ = T{};
  bool counted_ = false;
  // Counted atomically: the update check's worker thread owns handles too.
  static inline std::atomic<long> live_{0};
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void FreeLocalMemory(void* memory) { LocalFree(memory); }
inline void CloseStdioFile(FILE* file) { fclose(file); }
inline void UnregisterPowerNotification(HPOWERNOTIFY notification) {
  UnregisterPowerSettingNotification(notification);
}
inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }

using UniqueFont = UniqueHandle<HFONT, &DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, &DeleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIcon>;
using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
using UniqueMemoryDC = UniqueHandle<HDC, &DeleteDC>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;
using UniqueModule = UniqueHandle<HMODULE, &FreeLibrary>;
using UniqueStdioFile = UniqueHandle<FILE*, &CloseStdioFile>;
using UniqueSearch = UniqueHandle<HANDLE, &FindClose>;
using UniquePowerNotification = UniqueHandle<HPOWERNOTIFY, &UnregisterPowerNotification>;
using UniqueRegistryKey = UniqueHandle<HKEY, &CloseRegistryKey>;
// A window of this thread that nothing else destroys.
using UniqueWindow = UniqueHandle<HWND, &DestroyWindow>;
// Memory the system hands out with LocalAlloc (CommandLineToArgvW, FormatMessageW).
template <typename Pointer>
using UniqueLocal = UniqueHandle<Pointer, &FreeLocalMemory>;

// A file handle owned: CreateFileW's failure value becomes the empty owner.
inline UniqueKernelHandle OwnFile(HANDLE file) {
  return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// A socket, closed through the closesocket of the Winsock it came from:
// Winsock is loaded at run time (comlib/winsock_library.h), so the close
// function travels with the socket. Its empty value is INVALID_SOCKET.
class UniqueSocket {
 public:
  using Socket = UINT_PTR;
  using CloseFunction = int(WINAPI*)(Socket);
  static constexpr Socket kNone = ~Socket{0};

  UniqueSocket() = default;
  UniqueSocket(Socket socket, CloseFunction close) : socket_(socket), close_(close) {}
  ~UniqueSocket() { reset(); }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;
  UniqueSocket(UniqueSocket&& other) noexcept : socket_(other.socket_), close_(other.close_) { other.socket_ = kNone; }
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) {
      reset();
      std::swap(socket_, other.socket_);
      close_ = other.close_;
    }
    return *this;
  }

  Socket get() const { return socket_; }
  explicit operator bool() const { return socket_ != kNone; }

  void reset() {
    if (socket_ == kNone) return;
    const DWORD lastError = GetLastError();
    close_(socket_);
    SetLastError(lastError);
    socket_ = kNone;
  }

 private:
  Socket socket_ = kNone;
  CloseFunction close_ = nullptr;
};

// GetDC / ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), paint_{}, dc_(BeginPaint(window, &paint_)) {}
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// SelectObject and the restore of what was selected before.
class SelectionScope {
 public:
  SelectionScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectionScope() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectionScope(const SelectionScope&) = delete;
  SelectionScope& operator=(const SelectionScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace comlib
