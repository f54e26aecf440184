// The shell's desktop manager is made once and kept; after a failure it is
// asked for again no sooner than a minute later, and later still after each
// further failure.

#include "view/virtual_desktop.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A desktop manager whose answer the test sets; counts its calls and references.
class FakeManager : public IVirtualDesktopManager {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IVirtualDesktopManager) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND, BOOL* onCurrentDesktop) override {
    ++calls;
    *onCurrentDesktop = answer;
    return status;
  }
  HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND, GUID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND, REFGUID) override { return E_NOTIMPL; }

  ULONG references = 0;
  int calls = 0;
  HRESULT status = S_OK;
  BOOL answer = TRUE;
};

class FakeShell : public DesktopManagerSource {
 public:
  bool Connect(comlib::ComPtr<IVirtualDesktopManager>& manager) override {
    ++connects;
    if (!reachable) return false;
    return SUCCEEDED(fake.QueryInterface(IID_IVirtualDesktopManager, manager.put_void()));
  }
  FakeManager fake;
  bool reachable = false;
  int connects = 0;
};

// One tick: at a time, with the shell reachable or not and the manager's
// call answering a status; what the tick should see.
struct Tick {
  ULONGLONG atMs;
  bool reachable;
  HRESULT callStatus;
  int connectsSoFar;
  bool reached;
};

}  // namespace

TEST(KeptDesktopManager, MadeOnceRetriedNoSoonerThanAMinuteAfterAFailure) {
  constexpr HRESULT kShellGone = RPC_E_DISCONNECTED;
  const std::vector<Tick> ticks = {
      {0, false, S_OK, 1, false},            // no shell yet
      {500, false, S_OK, 1, false},          // not asked again at once
      {59999, true, S_OK, 1, false},         // nor just before the minute is up
      {60000, false, S_OK, 2, false},        // a minute on: asked, fails again
      {170000, true, S_OK, 2, false},        // reachable now, but a second failure waits two minutes
      {180000, true, S_OK, 3, true},         // made
      {180500, false, S_OK, 3, true},        // and kept: the shell is not asked again
      {500000, true, E_FAIL, 3, true},       // a failing call keeps the manager
      {500500, true, kShellGone, 3, true},   // the shell has gone: dropped
      {501000, true, S_OK, 3, false},        // and not made again before a minute
      {560500, true, S_OK, 4, true},         // made again
  };
  FakeShell shell;
  ULONGLONG nowMs = 0;
  KeptDesktopManager kept(shell, [&] { return nowMs; });
  for (const Tick& tick : ticks) {
    nowMs = tick.atMs;
    shell.reachable = tick.reachable;
    shell.fake.status = tick.callStatus;
    HRESULT status = E_UNEXPECTED;
    BOOL onCurrentDesktop = TRUE;
    const bool reached = kept.Ask(nullptr, &status, &onCurrentDesktop);
    EXPECT_EQ(tick.connectsSoFar, shell.connects) << "at " << tick.atMs;
    EXPECT_EQ(tick.reached, reached) << "at " << tick.atMs;
    if (reached) {
      EXPECT_EQ(tick.callStatus, status) << "at " << tick.atMs;
    }
  }
  EXPECT_EQ(1u, shell.fake.references) << "one manager is kept, nothing more";
  kept.Disconnect();
  EXPECT_EQ(0u, shell.fake.references);
}

TEST(KeptDesktopManager, AnswersPassThroughUnchanged) {
  FakeShell shell;
  shell.reachable = true;
  KeptDesktopManager kept(shell, [] { return ULONGLONG{0}; });
  for (const BOOL here : {TRUE, FALSE, TRUE}) {
    shell.fake.answer = here;
    HRESULT status = E_UNEXPECTED;
    BOOL onCurrentDesktop = !here;
    ASSERT_TRUE(kept.Ask(nullptr, &status, &onCurrentDesktop));
    EXPECT_EQ(here == FALSE, HasMovedToOtherDesktop(true, status, onCurrentDesktop));
  }
  EXPECT_EQ(1, shell.connects);
  EXPECT_EQ(3, shell.fake.calls);
}

TEST(KeptDesktopManager, WaitsDoubleAfterEachFailureUpToAnHour) {
  const std::vector<std::pair<int, ULONGLONG>> delays = {
      {1, 60000}, {2, 120000}, {3, 240000}, {6, 1920000}, {7, 3600000}, {1000, 3600000}};
  for (const auto& [failures, delayMs] : delays) {
    EXPECT_EQ(delayMs, DesktopReconnectDelayMs(failures)) << failures << " failures";
  }
}
