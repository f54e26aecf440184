#include "support/settings_sheet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app_ids.h"
#include "support/program_process.h"
#include "support/test_support.h"

namespace testing_support {

namespace {

constexpr int kFirstControlId = 0x1100;
constexpr int kTitleRoom = 64;
// The colour picker's red, green and blue fields.
constexpr int kPickerFields[] = {706, 707, 708};

// The program's visible dialog other than the sheet: the colour picker.
HWND FindPicker(DWORD processId, HWND sheet) {
  for (HWND dialog = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); dialog != nullptr;
       dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(dialog, &owner);
    if (owner == processId && dialog != sheet && IsWindowVisible(dialog)) return dialog;
  }
  return nullptr;
}

// Memory in another process, for messages whose answer comes through a pointer.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD processId, size_t size)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
        address_(process_ ? VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr) {}
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  char* get() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* bytes, size_t size) const {
    return WriteProcessMemory(process_, get() + offset, bytes, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* bytes, size_t size) const {
    return ReadProcessMemory(process_, get() + offset, bytes, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

std::vector<HWND> FindSettingsSheets(DWORD processId) {
  std::vector<HWND> shown;
  for (HWND sheet : FindTopLevelWindows(UiText(TextId::kSheetCaption), processId, L"#32770")) {
    if (IsWindowVisible(sheet)) shown.push_back(sheet);
  }
  return shown;
}

HWND WaitForSettingsSheet(DWORD processId, DWORD timeoutMs) {
  if (!WaitUntil([&] { return FindSettingsSheets(processId).size() == 1; }, timeoutMs)) return nullptr;
  return FindSettingsSheets(processId).front();
}

HWND OpenSettingsSheet(HWND clock, DWORD processId) {
  PostMessageW(clock, WM_COMMAND, kCommandSettings, 0);
  return WaitForSettingsSheet(processId, kSheetTimeoutMs);
}

bool CloseSheet(HWND sheet, HWND clock, UINT message, WPARAM wParam) {
  PostMessageW(sheet, message, wParam, 0);
  const bool closed = WaitUntil([&] { return !IsWindow(sheet); }, kSheetTimeoutMs);
  RoundTrip(clock);
  return closed;
}

bool PressSheetButton(HWND sheet, HWND clock, int button) {
  return CloseSheet(sheet, clock, PSM_PRESSBUTTON, static_cast<WPARAM>(button));
}

std::vector<std::wstring> TabTitles(DWORD processId, HWND sheet) {
  std::vector<std::wstring> titles;
  HWND tab = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  RemoteBuffer remote(processId, sizeof(TCITEMW) + kTitleRoom * sizeof(wchar_t));
  if (tab == nullptr || remote.get() == nullptr) return titles;
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote.get() + sizeof(TCITEMW));
    item.cchTextMax = kTitleRoom;
    wchar_t text[kTitleRoom] = {};
    remote.Write(0, &item, sizeof(item));
    remote.Write(sizeof(TCITEMW), text, sizeof(text));
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.get()));
    remote.Read(sizeof(TCITEMW), text, sizeof(text));
    text[kTitleRoom - 1] = L'\0';
    titles.push_back(text);
  }
  return titles;
}

HWND ShowPage(DWORD processId, HWND sheet, const std::wstring& title) {
  const std::vector<std::wstring> titles = TabTitles(processId, sheet);
  for (size_t index = 0; index < titles.size(); ++index) {
    if (titles[index] != title) continue;
    SendMessageW(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  return nullptr;
}

HWND PageControl(HWND page, int creationIndex) {
  if (HWND onPage = GetDlgItem(page, kFirstControlId + creationIndex)) return onPage;
  // The display pages' controls stand on their panel, the page's one child.
  HWND panel = GetWindow(page, GW_CHILD);
  return GetDlgItem(panel, kFirstControlId + creationIndex);
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::wstring ControlText(HWND control) {
  const auto length = static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

void ClickBox(HWND box) {
  const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  SendMessageW(box, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED), reinterpret_cast<LPARAM>(box));
}

void PressKeys(HWND field, const std::vector<UINT>& keys) {
  for (UINT key : keys) SendMessageW(field, WM_KEYDOWN, key, 1);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) SendMessageW(field, WM_KEYUP, *key, 0xC0000001);
}

void ChooseItem(HWND list, int index) {
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELENDOK),
               reinterpret_cast<LPARAM>(list));
}

void MoveBar(HWND bar, int position) {
  SendMessageW(bar, TBM_SETPOS, TRUE, position);
  SendMessageW(GetParent(bar), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
}

void PickColour(DWORD processId, HWND sheet, HWND button, COLORREF current, COLORREF chosen) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  HWND picker = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (picker = FindPicker(processId, sheet)) != nullptr; }, kChangeTimeoutMs));
  const BYTE currentParts[] = {GetRValue(current), GetGValue(current), GetBValue(current)};
  const BYTE chosenParts[] = {GetRValue(chosen), GetGValue(chosen), GetBValue(chosen)};
  for (int part = 0; part < 3; ++part) {
    HWND field = GetDlgItem(picker, kPickerFields[part]);
    EXPECT_EQ(std::to_wstring(currentParts[part]), ControlText(field));
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(chosenParts[part]).c_str()));
  }
  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, kChangeTimeoutMs));
  // The page stores and writes the colour after the picker has gone.
  RoundTrip(GetParent(button));
}

}  // namespace testing_support
