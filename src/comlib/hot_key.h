#pragma once
// A system-wide key combination written as text ("Ctrl+Alt+H"), and its
// registration for a window.

#include <windows.h>

#include <optional>
#include <string>

namespace hotkey {

// Modifiers as RegisterHotKey takes them (MOD_CONTROL, MOD_ALT, MOD_SHIFT,
// MOD_WIN) and a virtual-key code.
struct KeyCombination {
  UINT modifiers = 0;
  UINT virtualKey = 0;
};

enum class ParseStatus { kOff, kValid, kInvalid, kReserved };

struct ParseResult {
  ParseStatus status = ParseStatus::kOff;
  KeyCombination keys;
};

// Names joined with '+', in any case and with spaces around them: Ctrl
// (Control), Alt, Shift, Win, then one key: a letter, a digit, F1 ... F24 or
// a named key (Space, Home, End, Insert, Delete, PageUp, PageDown, Left,
// Right, Up, Down, Pause, Tab, Enter, Escape). Empty text switches the key
// off. Ctrl, Alt or Win is needed: a bare or shifted key would be taken from
// every program's typing. A reserved combination (IsReserved) is read, but
// marked so.
ParseResult Parse(const std::wstring& text);

// True when the modifiers hold Ctrl, Alt or Win.
bool HasHoldingModifier(UINT modifiers);

// The editing and system combinations that Windows users rely on in every
// program (copy, paste, undo, save, Alt+F4, Alt+Tab, Win+L and their like):
// a hot key would take them from all of them.
bool IsReserved(const KeyCombination& keys);

// What keys pressed in the hot-key field come to. The control holds no key
// from the first key-down of a chord until its key comes, and none after
// Backspace: an empty field is a chord not yet pressed, never "no hot key".
enum class FieldVerdict {
  kIncomplete,     // no key yet, whatever modifiers are down
  kValid,          // these keys become the hot key
  kNeedsModifier,  // a key without Ctrl, Alt or Win, or one Format cannot name
  kReserved,       // IsReserved
};
FieldVerdict CheckFieldKeys(const KeyCombination& keys);

// The text Parse reads back as the same keys ("Ctrl+Alt+H"); empty for no
// key or one that has no name here.
std::wstring Format(const KeyCombination& keys);

// The keys as a hot-key control holds them (HKM_GETHOTKEY), and back. The
// control's "extended key" flag only tells Home from the keypad's 7 and the
// like; it cannot hold Win, which is kept only in the settings' text.
KeyCombination FromHotKeyControl(WORD value);
WORD ToHotKeyControl(const KeyCombination& keys);

}  // namespace hotkey

// One hot key registered for a window; unregistered when the object goes or
// a new key replaces it. A key that cannot be had is logged once per text.
class HotKey_CL {
 public:
  explicit HotKey_CL(int id) : id_(id) {}
  virtual ~HotKey_CL() { Unregister(); }
  HotKey_CL(const HotKey_CL&) = delete;
  HotKey_CL& operator=(const HotKey_CL&) = delete;

  // Registers the key the text names for the window (nothing for empty
  // text); returns whether a key is now registered.
  bool Register(HWND window, const std::wstring& text);
  void Unregister();
  bool IsRegistered() const { return window_ != nullptr; }
  int Id() const { return id_; }

 private:
  int id_;
  HWND window_ = nullptr;
  // The last text that failed, so that a retry with it logs nothing.
  std::optional<std::wstring> reported_;
};
