#include "comlib/hot_key.h"

#include <commctrl.h>

#include <cwchar>
#include <cwctype>
#include <utility>
#include <vector>

#include "comlib/log_file.h"

namespace {

constexpr int kLastFunctionKey = 24;

struct NamedKey {
  const wchar_t* name;
  UINT code;
};

constexpr NamedKey kModifierNames[] = {
    {L"ctrl", MOD_CONTROL}, {L"control", MOD_CONTROL}, {L"alt", MOD_ALT}, {L"shift", MOD_SHIFT}, {L"win", MOD_WIN},
};

constexpr NamedKey kKeyNames[] = {
    {L"space", VK_SPACE},   {L"home", VK_HOME},      {L"end", VK_END},       {L"insert", VK_INSERT},
    {L"delete", VK_DELETE}, {L"pageup", VK_PRIOR},   {L"pagedown", VK_NEXT}, {L"left", VK_LEFT},
    {L"right", VK_RIGHT},   {L"up", VK_UP},          {L"down", VK_DOWN},     {L"pause", VK_PAUSE},
    {L"tab", VK_TAB},       {L"enter", VK_RETURN},   {L"escape", VK_ESCAPE}, {L"esc", VK_ESCAPE},
};

// Combinations every program, or Windows itself, answers.
// clang-format off
constexpr hotkey::KeyCombination kReservedKeys[] = {
    {MOD_CONTROL, 'A'},  {MOD_CONTROL, 'C'},  {MOD_CONTROL, 'V'},  {MOD_CONTROL, 'X'},
    {MOD_CONTROL, 'Z'},  {MOD_CONTROL, 'Y'},  {MOD_CONTROL | MOD_SHIFT, 'Z'},  {MOD_CONTROL, 'S'},
    {MOD_CONTROL, 'P'},  {MOD_CONTROL, 'F'},  {MOD_CONTROL, 'N'},  {MOD_CONTROL, 'O'},
    {MOD_CONTROL, 'W'},  {MOD_CONTROL, VK_F4},  {MOD_CONTROL, VK_INSERT},  {MOD_CONTROL, VK_TAB},
    {MOD_CONTROL | MOD_SHIFT, VK_TAB},  {MOD_CONTROL, VK_ESCAPE},  {MOD_CONTROL | MOD_SHIFT, VK_ESCAPE},
    {MOD_CONTROL | MOD_ALT, VK_DELETE},  {MOD_CONTROL | MOD_ALT, VK_TAB},
    {MOD_ALT, VK_F4},  {MOD_ALT, VK_TAB},  {MOD_ALT | MOD_SHIFT, VK_TAB},  {MOD_ALT, VK_ESCAPE},
    {MOD_ALT | MOD_SHIFT, VK_ESCAPE},  {MOD_ALT, VK_SPACE},
    {MOD_WIN, 'L'},  {MOD_WIN, 'D'},  {MOD_WIN, 'E'},  {MOD_WIN, 'R'},  {MOD_WIN, 'M'},  {MOD_WIN, 'X'},
    {MOD_WIN, 'I'},  {MOD_WIN, 'S'},  {MOD_WIN | MOD_SHIFT, 'S'},  {MOD_WIN, VK_TAB},
    {MOD_WIN, VK_LEFT},  {MOD_WIN, VK_RIGHT},  {MOD_WIN, VK_UP},  {MOD_WIN, VK_DOWN}};
// clang-format on

// The keys a hot-key control shows as extended: without the flag it would
// name the keypad's keys instead (Num 7 for Home).
constexpr UINT kExtendedKeys[] = {VK_HOME, VK_END,  VK_INSERT, VK_DELETE, VK_PRIOR,
                                  VK_NEXT, VK_LEFT, VK_RIGHT,  VK_UP,     VK_DOWN};

// The named keys as the settings spell them.
constexpr const wchar_t* kKeyTitles[] = {L"Space", L"Home",  L"End", L"Insert", L"Delete", L"PageUp", L"PageDown",
                                         L"Left",  L"Right", L"Up",  L"Down",   L"Pause",  L"Tab",    L"Enter",
                                         L"Escape"};

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::vector<std::wstring> SplitAtPlus(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t plus = text.find(L'+', start);
    parts.push_back(Lower(Trimmed(text.substr(start, plus - start))));
    if (plus == std::wstring::npos) break;
    start = plus + 1;
  }
  return parts;
}

UINT ModifierCode(const std::wstring& name) {
  for (const NamedKey& modifier : kModifierNames) {
    if (name == modifier.name) return modifier.code;
  }
  return 0;
}

// The virtual-key code of the last part, or 0.
UINT KeyCode(const std::wstring& name) {
  if (name.size() == 1) {
    const wchar_t c = name[0];
    if (c >= L'a' && c <= L'z') return static_cast<UINT>(L'A' + (c - L'a'));
    if (c >= L'0' && c <= L'9') return static_cast<UINT>(c);
    return 0;
  }
  if (name[0] == L'f' && name.size() <= 3 && std::iswdigit(name[1]) && (name.size() == 2 || std::iswdigit(name[2]))) {
    const int number = static_cast<int>(std::wcstol(name.c_str() + 1, nullptr, 10));
    if (number >= 1 && number <= kLastFunctionKey) return static_cast<UINT>(VK_F1 + number - 1);
    return 0;
  }
  for (const NamedKey& key : kKeyNames) {
    if (name == key.name) return key.code;
  }
  return 0;
}

}  // namespace

namespace hotkey {

ParseResult Parse(const std::wstring& text) {
  ParseResult result;
  if (Trimmed(text).empty()) return result;
  result.status = ParseStatus::kInvalid;
  const std::vector<std::wstring> parts = SplitAtPlus(text);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    const UINT modifier = ModifierCode(parts[i]);
    // Unknown or repeated modifiers are mistakes worth reporting.
    if (modifier == 0 || (result.keys.modifiers & modifier) != 0) return result;
    result.keys.modifiers |= modifier;
  }
  if (!HasHoldingModifier(result.keys.modifiers) || parts.back().empty()) return result;
  result.keys.virtualKey = KeyCode(parts.back());
  if (result.keys.virtualKey == 0) return result;
  result.status = IsReserved(result.keys) ? ParseStatus::kReserved : ParseStatus::kValid;
  return result;
}

bool HasHoldingModifier(UINT modifiers) { return (modifiers & (MOD_CONTROL | MOD_ALT | MOD_WIN)) != 0; }

bool IsReserved(const KeyCombination& keys) {
  for (const KeyCombination& reserved : kReservedKeys) {
    if (reserved.modifiers == keys.modifiers && reserved.virtualKey == keys.virtualKey) return true;
  }
  return false;
}

FieldVerdict CheckFieldKeys(const KeyCombination& keys) {
  if (keys.virtualKey == 0) return FieldVerdict::kIncomplete;
  if (!HasHoldingModifier(keys.modifiers) || Format(keys).empty()) return FieldVerdict::kNeedsModifier;
  return IsReserved(keys) ? FieldVerdict::kReserved : FieldVerdict::kValid;
}

std::wstring Format(const KeyCombination& keys) {
  if (keys.virtualKey == 0) return std::wstring();
  std::wstring text;
  for (const auto& [code, name] : {std::pair<UINT, const wchar_t*>{MOD_CONTROL, L"Ctrl"},
                                   {MOD_ALT, L"Alt"}, {MOD_SHIFT, L"Shift"}, {MOD_WIN, L"Win"}}) {
    if (keys.modifiers & code) text += std::wstring(name) + L"+";
  }
  if ((keys.virtualKey >= L'A' && keys.virtualKey <= L'Z') || (keys.virtualKey >= L'0' && keys.virtualKey <= L'9')) {
    return text + static_cast<wchar_t>(keys.virtualKey);
  }
  if (keys.virtualKey >= VK_F1 && keys.virtualKey < VK_F1 + kLastFunctionKey) {
    return text + L"F" + std::to_wstring(keys.virtualKey - VK_F1 + 1);
  }
  for (const wchar_t* name : kKeyTitles) {
    if (KeyCode(Lower(name)) == keys.virtualKey) return text + name;
  }
  return std::wstring();
}

KeyCombination FromHotKeyControl(WORD value) {
  const UINT flags = HIBYTE(value);
  KeyCombination keys;
  keys.virtualKey = LOBYTE(value);
  if (flags & HOTKEYF_CONTROL) keys.modifiers |= MOD_CONTROL;
  if (flags & HOTKEYF_ALT) keys.modifiers |= MOD_ALT;
  if (flags & HOTKEYF_SHIFT) keys.modifiers |= MOD_SHIFT;
  return keys;
}

WORD ToHotKeyControl(const KeyCombination& keys) {
  UINT flags = 0;
  if (keys.modifiers & MOD_CONTROL) flags |= HOTKEYF_CONTROL;
  if (keys.modifiers & MOD_ALT) flags |= HOTKEYF_ALT;
  if (keys.modifiers & MOD_SHIFT) flags |= HOTKEYF_SHIFT;
  for (UINT extended : kExtendedKeys) {
    if (keys.virtualKey == extended) flags |= HOTKEYF_EXT;
  }
  return MAKEWORD(static_cast<BYTE>(keys.virtualKey), static_cast<BYTE>(flags));
}

}  // namespace hotkey

bool HotKey_CL::Register(HWND window, const std::wstring& text) {
  Unregister();
  const hotkey::ParseResult parsed = hotkey::Parse(text);
  if (parsed.status == hotkey::ParseStatus::kOff) return false;
  const bool firstReport = reported_ != text;
  if (parsed.status == hotkey::ParseStatus::kInvalid) {
    if (firstReport) HORAVEL_LOG(L"ホットキー \"%s\" を解釈できません: ホットキーなしで動作します。", text.c_str());
    reported_ = text;
    return false;
  }
  if (parsed.status == hotkey::ParseStatus::kReserved) {
    if (firstReport) {
      HORAVEL_LOG(L"ホットキー \"%s\" はWindowsや他のアプリの操作に使われるので登録しません: ホットキーなしで動作します。",
                  text.c_str());
    }
    reported_ = text;
    return false;
  }
  // Held down, the key would toggle the clock over and over.
  if (!RegisterHotKey(window, id_, parsed.keys.modifiers | MOD_NOREPEAT, parsed.keys.virtualKey)) {
    if (firstReport) {
      HORAVEL_LOG(L"ホットキー \"%s\" は他のプログラムが使用中です (%d): ホットキーなしで動作します。", text.c_str(),
                  static_cast<int>(GetLastError()));
    }
    reported_ = text;
    return false;
  }
  window_ = window;
  reported_.reset();
  return true;
}

void HotKey_CL::Unregister() {
  if (window_ != nullptr) UnregisterHotKey(window_, id_);
  window_ = nullptr;
}
