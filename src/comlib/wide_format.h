#pragma once
// printf-style formatting of wide text. "%s" takes a wide string, as in every
// format of this program, whatever the C runtime's own printf would do.

#include <cstdarg>
#include <cstddef>
#include <string>

namespace comlib {

// Formats into buffer (room for `count` characters including the terminating
// NUL). Text that does not fit is cut; the buffer always ends with NUL.
// Returns the number of characters written.
size_t FormatWideV(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
size_t FormatWideInto(wchar_t* buffer, size_t count, const wchar_t* format, ...);

// Formats into a string that holds at most limit - 1 characters.
std::wstring FormatWide(size_t limit, const wchar_t* format, ...);

}  // namespace comlib
