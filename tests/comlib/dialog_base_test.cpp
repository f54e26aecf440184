// Controls made by the factory, dialogs from in-memory templates and the
// property sheet, on real windows in this process.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "comlib/control_factory.h"
#include "comlib/dialog_base.h"
#include "comlib/sheet_builder.h"

namespace {

class ParentWindow {
 public:
  explicit ParentWindow(const RECT& rect)
      : window_(CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~ParentWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

TEST(ControlFactory, NumbersEveryKindInOrderAndSizesFromTheText) {
  ParentWindow parent(RECT{0, 0, 400, 300});
  ControlFactory_CL factory;
  const std::wstring text = L"表示設定 Display";
  const int label = factory.AddStaticText(parent.get(), text, 4, 4);
  const int button = factory.AddButton(parent.get(), text, 4, 30);
  const int box = factory.AddCheckBox(parent.get(), text, 4, 60);
  const int list = factory.AddComboBox(parent.get(), 20, 8, 4, 90);
  const int group = factory.AddGroupBox(parent.get(), text, 300, 40, 120);
  const int bar = factory.AddTrackBar(parent.get(), 200, 24, 4, 170);

  const wchar_t* classes[] = {WC_STATICW, WC_BUTTONW, WC_BUTTONW, WC_COMBOBOXEXW, WC_BUTTONW, TRACKBAR_CLASSW};
  for (int index = label; index <= bar; ++index) {
    ControlBase_CL* control = factory.At(index);
    ASSERT_NE(nullptr, control->Window()) << index;
    EXPECT_EQ(kFirstControlId + index, GetDlgCtrlID(control->Window()));
    EXPECT_EQ(kFirstControlId + index, control->ControlId());
    EXPECT_EQ(0, _wcsicmp(classes[index], ClassOf(control->Window()).c_str())) << index;
  }
  for (int index : {label, button, box, group}) {
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)),
              SendMessageW(factory.At(index)->Window(), WM_GETFONT, 0, 0));
  }
  EXPECT_EQ(kFirstControlId + 6, factory.NextControlId());
  EXPECT_FALSE(factory.Get<CheckBox_CL>(box)->IsChecked());

  // One text, three kinds: the button pads it on both axes, the box adds its tick beside it.
  const SIZE labelSize = WindowSize(factory.At(label)->Window());
  const SIZE buttonSize = WindowSize(factory.At(button)->Window());
  const SIZE boxSize = WindowSize(factory.At(box)->Window());
  EXPECT_GT(labelSize.cx, 0);
  EXPECT_EQ(labelSize.cx + 8, buttonSize.cx);
  EXPECT_EQ(labelSize.cy + 8, buttonSize.cy);
  EXPECT_EQ(labelSize.cx + 32, boxSize.cx);
  EXPECT_EQ(labelSize.cy, boxSize.cy);
  EXPECT_EQ(0, RectInParent(factory.At(group)->Window()).left);

  // A list keeps its width for short items and widens for a long one.
  auto* combo = factory.Get<ComboBox_CL>(list);
  const int made = WindowSize(combo->Window()).cx;
  combo->AddItem(L"MM/DD", 0);
  EXPECT_EQ(made, WindowSize(combo->Window()).cx);
  const std::wstring longItem = L"YYYY年MM月DD日(曜) YYYY年MM月DD日(曜)";
  combo->AddItem(longItem, 0);
  EXPECT_GE(WindowSize(combo->Window()).cx,
            MeasureText(combo->Font(), longItem).cx + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(300, WindowSize(factory.At(group)->Window()).cx);
  EXPECT_EQ(200, WindowSize(factory.At(bar)->Window()).cx);
  EXPECT_GT(WindowSize(factory.At(list)->Window()).cx, 20 * 4);
}

TEST(ControlFactory, StacksAColumnPlacesAButtonPairAndEnclosesWhatItFrames) {
  ParentWindow parent(RECT{0, 0, 400, 300});
  ControlFactory_CL factory;
  const int first = factory.AddCheckBox(parent.get(), L"first", 50, 50);
  const int spacer = factory.AddStaticText(parent.get(), kColumnSpacerText, 50, 50);
  const int last = factory.AddCheckBox(parent.get(), L"last", 50, 50);
  factory.StackControls({first, spacer, last}, 10);
  const RECT firstRect = RectInParent(factory.At(first)->Window());
  const RECT spacerRect = RectInParent(factory.At(spacer)->Window());
  const RECT lastRect = RectInParent(factory.At(last)->Window());
  EXPECT_EQ(8, firstRect.left);
  EXPECT_EQ(10, firstRect.top);
  EXPECT_EQ(firstRect.bottom + 4, spacerRect.top);
  EXPECT_EQ(spacerRect.top + (spacerRect.bottom - spacerRect.top + 4) / 2, lastRect.top);
  EXPECT_FALSE(IsWindowVisible(factory.At(spacer)->Window()));

  const int ok = factory.AddButton(parent.get(), L"OK", 0, 0);
  factory.AddButton(parent.get(), L"キャンセル", 0, 0);
  factory.PlaceButtonPair(parent.get(), ok);
  const RECT okRect = RectInParent(factory.At(ok)->Window());
  const RECT cancelRect = RectInParent(factory.At(ok + 1)->Window());
  EXPECT_EQ(400 - 4, cancelRect.right);
  EXPECT_EQ(300 - 4, cancelRect.bottom);
  EXPECT_EQ(cancelRect.left - 4, okRect.right);
  EXPECT_EQ(cancelRect.top, okRect.top);

  auto* group = factory.Get<GroupBox_CL>(factory.AddGroupBox(parent.get(), L"frame", 100, 20, 5));
  group->Enclose(*factory.At(last));
  EXPECT_EQ(lastRect.right, group->ExtentWidth());
  EXPECT_EQ(lastRect.bottom - 5, group->ExtentHeight());
  group->Enclose(*factory.At(first));
  EXPECT_EQ(lastRect.bottom - 5, group->ExtentHeight());
}

// A dialog that records what it saw when it started and closes itself.
class SelfClosingDialog : public SubClassDialogBase_CL {
 public:
  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG) {
      boundAtStart = Window() == window;
      wchar_t title[16] = {L'x'};
      GetWindowTextW(window, title, 16);
      titleAtStart = title;
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
  }
  bool boundAtStart = false;
  std::wstring titleAtStart = L"unset";
};

TEST(DialogBase, ModalDialogFromTheMemoryTemplateStartsBoundAndUntitled) {
  ParentWindow owner(RECT{0, 0, 200, 100});
  SelfClosingDialog dialog;
  HWND reported = nullptr;
  dialog.SetSheetWindowOut(&reported);
  EXPECT_EQ(0, dialog.DoModal(owner.get()));
  EXPECT_TRUE(dialog.boundAtStart);
  EXPECT_EQ(L"", dialog.titleAtStart);
  EXPECT_EQ(dialog.Window(), reported);
  EXPECT_EQ(owner.get(), dialog.Owner());
}

// A page that, once shown, notes the sheet and the page area and then
// presses the button it was told to.
class ProbePage : public SubClassDialogBase_CL {
 public:
  explicit ProbePage(HWND* sheet, bool change) : sheet_(sheet), change_(change) {}
  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG) {
      started = true;
      sheetAtStart = *sheet_;
      parentAtStart = GetParent(window);
      area = GetPageArea(window);
      SetTimer(window, 1, 10, nullptr);
    } else if (message == WM_TIMER) {
      KillTimer(window, 1);
      GetWindowRect(*sheet_, &sheetRect);
      if (change_) NotifyChanged();
      PostMessageW(*sheet_, PSM_PRESSBUTTON, change_ ? PSBTN_OK : PSBTN_CANCEL, 0);
    }
    return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
  }
  bool started = false;
  HWND sheetAtStart = nullptr;
  HWND parentAtStart = nullptr;
  ClientArea area;
  RECT sheetRect{};

 private:
  HWND* sheet_;
  bool change_;
};

TEST(SheetBuilder, RunsCentredOverItsParentAndStartsOnlyTheFirstPage) {
  const RECT parentRect{100, 80, 1100, 780};
  for (bool change : {false, true}) {
    ParentWindow parent(parentRect);
    HWND sheet = nullptr;
    SheetBuilder builder(&sheet);
    ProbePage first(&sheet, change);
    ProbePage second(&sheet, change);
    builder.AddPage(first, L"一");
    builder.AddPage(second, L"二");
    const INT_PTR result = builder.Run(parent.get(), L"アプリ設定");

    EXPECT_EQ(change ? 1 : 0, result) << change;
    ASSERT_TRUE(first.started);
    EXPECT_FALSE(second.started);
    EXPECT_NE(nullptr, first.sheetAtStart);
    EXPECT_EQ(first.parentAtStart, first.sheetAtStart);
    EXPECT_GT(first.area.width, 100);
    EXPECT_GT(first.area.height, 100);
    EXPECT_GT(first.area.charHeight, 0);
    const RECT& s = first.sheetRect;
    EXPECT_NEAR((parentRect.left + parentRect.right) / 2, (s.left + s.right) / 2, 1);
    EXPECT_NEAR((parentRect.top + parentRect.bottom) / 2, (s.top + s.bottom) / 2, 1);
  }
}

TEST(DialogBase, CentreOverUsesTheReferenceOrTheScreenWhenItIsMinimised) {
  ParentWindow reference(RECT{200, 100, 600, 500});
  ParentWindow window(RECT{0, 0, 100, 60});
  CentreOver(reference.get(), window.get());
  RECT rect{};
  GetWindowRect(window.get(), &rect);
  EXPECT_EQ(200 + 150, rect.left);
  EXPECT_EQ(100 + 170, rect.top);

  SetWindowLongPtrW(reference.get(), GWL_STYLE, GetWindowLongPtrW(reference.get(), GWL_STYLE) | WS_MINIMIZE);
  CentreOver(reference.get(), window.get());
  GetWindowRect(window.get(), &rect);
  EXPECT_EQ((GetSystemMetrics(SM_CXFULLSCREEN) - 100) / 2, rect.left);
  EXPECT_EQ((GetSystemMetrics(SM_CYFULLSCREEN) - 60) / 2, rect.top);
}

}  // namespace
