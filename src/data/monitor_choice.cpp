#include "data/monitor_choice.h"

#include <climits>

namespace {

using Identity = monitor_choice::MonitorIdentity;

constexpr wchar_t kSeparator = L',';
constexpr wchar_t kEscape = L'%';
constexpr int kEscapeDigits = 4;
// Printable ASCII other than the blank stands for itself in a stored name.
constexpr wchar_t kFirstPlain = L'!';
constexpr wchar_t kLastPlain = L'~';
constexpr int kRectNumbers = 4;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

int HexValue(wchar_t digit) {
  if (digit >= L'0' && digit <= L'9') return digit - L'0';
  if (digit >= L'a' && digit <= L'f') return digit - L'a' + 10;
  if (digit >= L'A' && digit <= L'F') return digit - L'A' + 10;
  return -1;
}

std::wstring EscapeName(const std::wstring& name) {
  std::wstring escaped;
  for (const wchar_t c : name) {
    if (c >= kFirstPlain && c <= kLastPlain && c != kEscape) {
      escaped += c;
      continue;
    }
    escaped += kEscape;
    for (int shift = 4 * (kEscapeDigits - 1); shift >= 0; shift -= 4) escaped += kHexDigits[(c >> shift) & 0xF];
  }
  return escaped;
}

std::optional<std::wstring> UnescapeName(const std::wstring& text) {
  std::wstring name;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != kEscape) {
      name += text[at];
      continue;
    }
    if (text.size() - at <= kEscapeDigits) return std::nullopt;
    unsigned code = 0;
    for (int digit = 1; digit <= kEscapeDigits; ++digit) {
      const int value = HexValue(text[at + digit]);
      if (value < 0) return std::nullopt;
      code = code * 16 + static_cast<unsigned>(value);
    }
    name += static_cast<wchar_t>(code);
    at += kEscapeDigits;
  }
  return name;
}

// A signed decimal from `at` up to the next separator, which it steps over.
std::optional<LONG> ReadNumber(const std::wstring& text, size_t& at) {
  const size_t end = text.find(kSeparator, at);
  if (end == std::wstring::npos) return std::nullopt;
  const bool negative = at < end && text[at] == L'-';
  size_t digit = negative ? at + 1 : at;
  constexpr size_t kMaxDigits = 10;
  if (digit == end || end - digit > kMaxDigits) return std::nullopt;
  long long value = 0;
  for (; digit < end; ++digit) {
    if (text[digit] < L'0' || text[digit] > L'9') return std::nullopt;
    value = value * 10 + (text[digit] - L'0');
  }
  value = negative ? -value : value;
  if (value < LONG_MIN || value > LONG_MAX) return std::nullopt;
  at = end + 1;
  return static_cast<LONG>(value);
}

bool SameName(const Identity& a, const Identity& b) {
  // Interface names are the system's object names, which ignore case.
  return !b.name.empty() && CompareStringOrdinal(a.name.c_str(), static_cast<int>(a.name.size()), b.name.c_str(),
                                                 static_cast<int>(b.name.size()), TRUE) == CSTR_EQUAL;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// In 64 bits: a hand-edited rectangle may span more than a LONG holds.
bool SameSize(const RECT& a, const RECT& b) {
  return 0LL + a.right - a.left == 0LL + b.right - b.left && 0LL + a.bottom - a.top == 0LL + b.bottom - b.top;
}

bool SharesCorner(const RECT& a, const RECT& b) {
  const bool sameX = a.left == b.left || a.right == b.right;
  const bool sameY = a.top == b.top || a.bottom == b.bottom;
  return sameX && sameY;
}

struct Rule {
  bool (*matches)(const Identity& monitor, const Identity& stored);
  // A size alone names a monitor only when no other has it.
  bool onlyOne;
};

constexpr Rule kRules[] = {
    {[](const Identity& m, const Identity& s) { return SameName(m, s) && SameRect(m.rect, s.rect); }, false},
    {[](const Identity& m, const Identity& s) { return SameName(m, s) && SameSize(m.rect, s.rect); }, false},
    {[](const Identity& m, const Identity& s) { return SameRect(m.rect, s.rect); }, false},
    {[](const Identity& m, const Identity& s) { return SameSize(m.rect, s.rect); }, true},
    {[](const Identity& m, const Identity& s) { return SameName(m, s) && SharesCorner(m.rect, s.rect); }, false},
};

}  // namespace

namespace monitor_choice {

MonitorIdentity IdentityOf(const MonitorRecord& monitor) {
  return MonitorIdentity{monitor.info.rcMonitor, monitor.interfaceName};
}

std::vector<MonitorIdentity> IdentitiesOf(const MultiScreen_CL& screens) {
  std::vector<MonitorIdentity> identities;
  for (const MonitorRecord& monitor : screens.monitors) identities.push_back(IdentityOf(monitor));
  return identities;
}

std::wstring IdentityText(const MonitorIdentity& identity) {
  std::wstring text;
  for (const LONG number : {identity.rect.left, identity.rect.top, identity.rect.right, identity.rect.bottom}) {
    text += std::to_wstring(number) + kSeparator;
  }
  return text + EscapeName(identity.name);
}

std::optional<MonitorIdentity> ParseIdentity(const std::wstring& text) {
  LONG numbers[kRectNumbers]{};
  size_t at = 0;
  for (LONG& number : numbers) {
    const std::optional<LONG> read = ReadNumber(text, at);
    if (!read) return std::nullopt;
    number = *read;
  }
  const RECT rect{numbers[0], numbers[1], numbers[2], numbers[3]};
  const std::optional<std::wstring> name = UnescapeName(text.substr(at));
  if (!name || rect.right <= rect.left || rect.bottom <= rect.top) return std::nullopt;
  return MonitorIdentity{rect, *name};
}

std::wstring IdentityTextFor(const MultiScreen_CL& screens, int displayIndex) {
  if (static_cast<unsigned>(displayIndex) >= screens.monitors.size()) return std::wstring();
  return IdentityText(IdentityOf(screens.monitors[static_cast<size_t>(displayIndex)]));
}

std::optional<int> ChooseMonitor(const std::vector<MonitorIdentity>& monitors,
                                 const std::optional<MonitorIdentity>& stored, int displayIndex) {
  const int count = static_cast<int>(monitors.size());
  if (!stored) return displayIndex >= 0 && displayIndex < count ? std::optional<int>(displayIndex) : std::nullopt;
  for (const Rule& rule : kRules) {
    std::optional<int> found;
    int matches = 0;
    for (int index = 0; index < count; ++index) {
      if (!rule.matches(monitors[static_cast<size_t>(index)], *stored)) continue;
      if (!found) found = index;
      ++matches;
    }
    if (found && (!rule.onlyOne || matches == 1)) return found;
  }
  return std::nullopt;
}

}  // namespace monitor_choice
