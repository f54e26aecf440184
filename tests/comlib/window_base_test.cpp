#include "comlib/window_base.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace {

class RecordingWindow : public MainWindowBase_CL {
 public:
  explicit RecordingWindow(const wchar_t* className) { SetClassName(className); }

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (messages.empty()) handleAtFirstMessage = Window();
    messages.push_back(message);
    return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
  }
  int OnClose() override { return allowClose ? 1 : 0; }
  void OnDestroy() override { destroyed = true; }

  void HideFromTaskbar() { hideFromTaskbar_ = true; }

  std::vector<UINT> messages;
  HWND handleAtFirstMessage = nullptr;
  bool allowClose = true;
  bool destroyed = false;
};

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TitleOf(HWND window) {
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  return title;
}

// Removes the WM_QUIT that destroying a base window posts, so later tests
// start with an empty queue.
void DrainQuit() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace

TEST(WindowBase, FirstMessageIsCreateWithTheHandleAlreadyBound) {
  RecordingWindow window(L"HoravelTestFirstMessage");
  HWND handle = window.Create();
  ASSERT_NE(nullptr, handle);
  ASSERT_FALSE(window.messages.empty());
  EXPECT_EQ(static_cast<UINT>(WM_CREATE), window.messages.front());
  EXPECT_EQ(handle, window.handleAtFirstMessage);
  EXPECT_EQ(handle, window.Window());
  EXPECT_EQ(kControlMainWindow, window.Type());
  DestroyWindow(handle);
  DrainQuit();
}

TEST(WindowBase, SecondWindowReusesTheRegisteredClass) {
  RecordingWindow first(L"HoravelTestShared");
  RecordingWindow second(L"HoravelTestShared");
  ASSERT_NE(nullptr, first.Create());
  ASSERT_NE(nullptr, second.Create());
  EXPECT_NE(first.Window(), second.Window());
  EXPECT_EQ(L"HoravelTestShared", ClassNameOf(second.Window()));
  DestroyWindow(first.Window());
  DestroyWindow(second.Window());
  DrainQuit();
}

TEST(WindowBase, HiddenFromTaskbarMeansAnInvisibleShardowOwner) {
  RecordingWindow window(L"HoravelTestOwned");
  window.SetWindowName(L"Owned");
  window.HideFromTaskbar();
  ASSERT_NE(nullptr, window.Create());
  HWND owner = GetWindow(window.Window(), GW_OWNER);
  ASSERT_NE(nullptr, owner);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(L"HoravelTestOwned_SHARDOW", ClassNameOf(owner));
  EXPECT_EQ(L"Owned_SHARDOW", TitleOf(owner));

  RecordingWindow plain(L"HoravelTestUnowned");
  ASSERT_NE(nullptr, plain.Create());
  EXPECT_EQ(nullptr, GetWindow(plain.Window(), GW_OWNER));
  DestroyWindow(window.Window());
  DestroyWindow(plain.Window());
  DrainQuit();
}

TEST(WindowBase, CloseIsRefusedWhenOnCloseSaysSo) {
  RecordingWindow window(L"HoravelTestClose");
  ASSERT_NE(nullptr, window.Create());
  window.allowClose = false;
  EXPECT_EQ(0, SendMessageW(window.Window(), WM_CLOSE, 0, 0));
  EXPECT_TRUE(IsWindow(window.Window()));
  EXPECT_FALSE(window.destroyed);

  window.allowClose = true;
  SendMessageW(window.Window(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window.Window()));
  EXPECT_TRUE(window.destroyed);
  // Destroying a window of the program ends the message loop.
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(0, static_cast<int>(quit.wParam));
}

TEST(WindowBase, ClientAreaReportsSizeAndLayoutUnit) {
  RecordingWindow window(L"HoravelTestClientArea");
  ASSERT_NE(nullptr, window.Create());
  RECT client{};
  GetClientRect(window.Window(), &client);
  const ClientArea area = window.GetClientArea();
  EXPECT_EQ(client.right, area.width);
  EXPECT_EQ(client.bottom, area.height);
  EXPECT_GT(area.charWidth, 0);
  EXPECT_GT(area.charHeight, 0);
  DestroyWindow(window.Window());
  DrainQuit();
}
