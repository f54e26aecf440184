#include "comlib/inifile.h"

#include <shlwapi.h>
#include <stdio.h>

#include <cwchar>
#include <vector>

#include "comlib/log_file.h"
#include "comlib/wide_format.h"

namespace {
constexpr DWORD kStringRoom = 4096;
constexpr size_t kIntRoom = 256;
constexpr size_t kHexHalfDigits = 8;
constexpr size_t kLowHalfStart = 9;  // after the eight high digits and the separator
}  // namespace

Inifile_CL& AppIni() {
  static Inifile_CL ini;
  return ini;
}

std::wstring Inifile_CL::GetString(const wchar_t* section, const wchar_t* key,
                                   const wchar_t* defaultText) const {
  std::vector<wchar_t> buffer(kStringRoom, L'\0');
  GetPrivateProfileStringW(section, key, defaultText, buffer.data(), kStringRoom, path_.c_str());
  return std::wstring(buffer.data());
}

int Inifile_CL::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
  // Negative values are stored as signed decimals and come back as the same bits.
  return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::uint64_t Inifile_CL::GetHex64(const wchar_t* section, const wchar_t* key,
                                   std::uint64_t defaultValue) const {
  return inistore::ParseHex64(GetString(section, key, L""), defaultValue);
}

void Inifile_CL::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const {
  WritePrivateProfileStringW(section, key, text.c_str(), path_.c_str());
}

void Inifile_CL::WriteInt(const wchar_t* section, const wchar_t* key, int value) const {
  wchar_t text[kIntRoom];
  comlib::FormatWideInto(text, kIntRoom, L"%d", value);
  WritePrivateProfileStringW(section, key, text, path_.c_str());
}

void Inifile_CL::WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes,
                             UINT byteCount) const {
  WritePrivateProfileStructW(section, key, const_cast<void*>(bytes), byteCount, path_.c_str());
}

bool Inifile_CL::SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (IsIconic(window) || IsZoomed(window)) return false;
  const INT32 values[4] = {rect.left, rect.top, rect.right, rect.bottom};
  WriteStruct(section, key, values, sizeof(values));
  return true;
}

void Inifile_CL::CreateIfMissing(const std::wstring& path) {
  // An empty file (one made by hand beside the program) would be written in
  // the ANSI code page: it gets the byte-order mark too.
  WIN32_FILE_ATTRIBUTE_DATA existing{};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &existing) &&
      (existing.nFileSizeLow != 0 || existing.nFileSizeHigh != 0 ||
       (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
    return;
  }
  HORAVEL_LOG(L"Inifile新規作成 = %s", path.c_str());
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return;
  static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
  fwrite(kByteOrderMark, 1, sizeof(kByteOrderMark), file);
  fclose(file);
}

namespace inistore {

std::wstring FormatHex64(std::uint64_t value) {
  return comlib::FormatWide(32, L"%08x:%08x", static_cast<unsigned int>(value >> 32),
                            static_cast<unsigned int>(value & 0xFFFFFFFFu));
}

namespace {
std::uint32_t ParseHexHalf(const std::wstring& text, size_t start) {
  const std::wstring digits = text.substr(start, kHexHalfDigits);
  return static_cast<std::uint32_t>(wcstoul(digits.c_str(), nullptr, 16));
}
}  // namespace

std::uint64_t ParseHex64(const std::wstring& text, std::uint64_t defaultValue) {
  if (text.size() <= kLowHalfStart) return defaultValue;
  const std::uint64_t high = ParseHexHalf(text, 0);
  const std::uint64_t low = ParseHexHalf(text, kLowHalfStart);
  return (high << 32) | low;
}

}  // namespace inistore
