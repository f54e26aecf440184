#include "view/prop_app_license.h"

#include <stdio.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "comlib/program_path.h"
#include "comlib/sheet_builder.h"
#include "comlib/ui_text.h"
#include "comlib/unique_handle.h"

namespace {

// The terms in the language of the other texts.
constexpr wchar_t kJapaneseDocumentName[] = L"\\license.html";
constexpr wchar_t kEnglishDocumentName[] = L"\\license_en.html";
constexpr int kFrameInset = 8;
// Unwrapped, so that the document's own lines stay whole.
constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                             ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
// Posted to the page when it starts; handled once the sheet is on the screen.
constexpr UINT kSheetShownMessage = WM_APP + 1;

// Elements whose content is not part of the text.
const wchar_t* const kHiddenElements[] = {L"head", L"style", L"script"};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// The tag's name in lower case, "/p" for a closing tag, "!" for a comment.
std::wstring TagName(const std::wstring& tag) {
  if (tag.compare(0, 3, L"!--") == 0) return L"!";
  size_t end = tag.find_first_of(L" \t\r\n/>", tag[0] == L'/' ? 1 : 0);
  if (end == std::wstring::npos) end = tag.size();
  return Lower(tag.substr(0, end));
}

std::wstring DecodeEntities(const std::wstring& text) {
  static const struct {
    const wchar_t* entity;
    wchar_t character;
  } kEntities[] = {{L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&#39;", L'\''}, {L"&nbsp;", L' '},
                   {L"&amp;", L'&'}};
  std::wstring result;
  for (size_t at = 0; at < text.size();) {
    bool decoded = false;
    for (const auto& entry : kEntities) {
      const size_t length = wcslen(entry.entity);
      if (text.compare(at, length, entry.entity) == 0) {
        result += entry.character;
        at += length;
        decoded = true;
        break;
      }
    }
    if (!decoded) result += text[at++];
  }
  return result;
}

// Trailing blanks go, line breaks become CR LF, and no more than one blank
// line stands anywhere; none at the start or the end.
std::wstring TidyLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (wchar_t c : text + L"\n") {
    if (c == L'\r') continue;
    if (c != L'\n') {
      line += c;
      continue;
    }
    line.erase(line.find_last_not_of(L" \t") + 1);
    lines.push_back(line);
    line.clear();
  }
  std::wstring result;
  bool blankPending = false;
  for (const std::wstring& each : lines) {
    if (each.empty()) {
      blankPending = !result.empty();
      continue;
    }
    if (!result.empty()) result += blankPending ? L"\r\n\r\n" : L"\r\n";
    blankPending = false;
    result += each;
  }
  return result;
}

std::wstring ReadUtf8File(const std::wstring& path, bool* found) {
  const comlib::UniqueStdioFile raw(_wfopen(path.c_str(), L"rb"));
  *found = static_cast<bool>(raw);
  if (!raw) return std::wstring();
  std::string bytes;
  char buffer[4096];
  for (size_t read; (read = fread(buffer, 1, sizeof(buffer), raw.get())) > 0;) bytes.append(buffer, read);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  if (bytes.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
  return text;
}

}  // namespace

namespace licence {

std::wstring DocumentPath() {
  return comlib::ProgramFolder() +
         (CurrentUiLanguage() == UiLanguage::kEnglish ? kEnglishDocumentName : kJapaneseDocumentName);
}

POINT PlaceInside(const RECT& window, const RECT& area) {
  const auto place = [](LONG start, LONG end, LONG low, LONG high) {
    // Too big to fit: the top-left corner stays reachable.
    return std::max(low, std::min(start, high - (end - start)));
  };
  return POINT{place(window.left, window.right, area.left, area.right),
               place(window.top, window.bottom, area.top, area.bottom)};
}

std::wstring TextFromHtml(const std::wstring& html) {
  std::wstring text;
  size_t at = 0;
  while (at < html.size()) {
    const size_t open = html.find(L'<', at);
    const bool isTag = open != std::wstring::npos && open + 1 < html.size() &&
                       (std::iswalpha(html[open + 1]) || html[open + 1] == L'/' || html[open + 1] == L'!');
    const size_t close = isTag ? html.find(L'>', open) : std::wstring::npos;
    if (close == std::wstring::npos) {
      // No tag follows: the rest is text, a stray "<" included.
      text += html.substr(at);
      break;
    }
    text += html.substr(at, open - at);
    const std::wstring name = TagName(html.substr(open + 1, close - open - 1));
    at = close + 1;
    if (name == L"!") {
      const size_t end = html.find(L"-->", open + 4);
      at = end == std::wstring::npos ? html.size() : end + 3;
    } else if (name == L"br") {
      text += L'\n';
    }
    for (const wchar_t* hidden : kHiddenElements) {
      if (name != hidden) continue;
      const size_t end = Lower(html).find(L"</" + name, at);
      const size_t endClose = end == std::wstring::npos ? std::wstring::npos : html.find(L'>', end);
      at = endClose == std::wstring::npos ? html.size() : endClose + 1;
    }
  }
  return TidyLines(DecodeEntities(text));
}

}  // namespace licence

PropAppLicense_CL::PropAppLicense_CL() = default;

PropAppLicense_CL::~PropAppLicense_CL() = default;

INT_PTR PropAppLicense_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildPage();
      PostMessageW(window, kSheetShownMessage, 0, 0);
      break;
    case kSheetShownMessage:
      OnSheetShown();
      return 0;
    default:
      break;
  }
  // The base shows the page when it starts and ends it on WM_CLOSE.
  return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
}

void PropAppLicense_CL::OnSheetShown() const {
  // Centred over the small clock in a corner, the sheet may reach past the
  // screen's edge, out of reach of the mouse: it is pulled back inside.
  HWND sheet = GetParent(window_);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT placed{};
  if (GetWindowRect(sheet, &placed) &&
      GetMonitorInfoW(MonitorFromWindow(sheet, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const POINT inside = licence::PlaceInside(placed, monitor.rcWork);
    SetWindowPos(sheet, nullptr, inside.x, inside.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The focus selects the whole text; a reader wants no selection.
  SendDlgItemMessageW(window_, kLicenceTextId, EM_SETSEL, 0, 0);
}

void PropAppLicense_CL::BuildPage() {
  const ClientArea area = GetPageArea(window_);
  const int line = area.charHeight;
  const RECT frame{kFrameInset, line, area.width - kFrameInset, area.height - line};
  if (browser_.Create(window_) != nullptr) {
    MoveWindow(browser_.Window(), frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
  }
  // The frame around the whole page, the browser inside it.
  auto* group = controls_.Get<GroupBox_CL>(controls_.AddGroupBox(window_, L"", area.width, area.height - 3 * line, 0));
  group->Resize(area.width, area.height, TRUE);

  const std::wstring path = licence::DocumentPath();
  if (!browser_.Navigate(path)) ShowTextInstead(path, frame);
}

void PropAppLicense_CL::ShowTextInstead(const std::wstring& path, const RECT& frame) {
  bool found = false;
  const std::wstring html = ReadUtf8File(path, &found);
  const std::wstring text = found ? licence::TextFromHtml(html) : UiTextWith(TextId::kLicenceMissing, {path});
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(), kTextStyle, frame.left, frame.top,
                              frame.right - frame.left, frame.bottom - frame.top, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLicenceTextId)),
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  // Above the frame, which covers the whole page.
  SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ShowLicenceSheet(HWND clockWindow) {
  HWND sheetWindow = clockWindow;
  SheetBuilder builder(&sheetWindow);
  PropAppLicense_CL page;
  builder.AddPage(page, UiText(TextId::kLicenceTitle));
  builder.Run(clockWindow, UiText(TextId::kLicenceTitle));
}
