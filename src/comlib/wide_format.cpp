#include "comlib/wide_format.h"

#include <cwchar>
#include <vector>

#include <stdio.h>

namespace comlib {

size_t FormatWideV(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  if (buffer == nullptr || count == 0) return 0;
  // The C runtime's own function: its "%s" is wide in a wide format, and
  // _TRUNCATE cuts overlong text instead of failing.
  const int written = _vsnwprintf_s(buffer, count, _TRUNCATE, format, args);
  if (written < 0) return wcslen(buffer);
  return static_cast<size_t>(written);
}

size_t FormatWideInto(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const size_t written = FormatWideV(buffer, count, format, args);
  va_end(args);
  return written;
}

std::wstring FormatWide(size_t limit, const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(limit == 0 ? 1 : limit, L'\0');
  va_list args;
  va_start(args, format);
  const size_t written = FormatWideV(buffer.data(), buffer.size(), format, args);
  va_end(args);
  return std::wstring(buffer.data(), written);
}

}  // namespace comlib
