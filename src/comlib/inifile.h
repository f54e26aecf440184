#pragma once
// Typed access to the settings file through the Windows profile functions.
// Every read and every write goes straight to the file: no cache.

#include <windows.h>

#include <cstdint>
#include <string>

class Inifile_CL {
 public:
  Inifile_CL() = default;
  explicit Inifile_CL(const std::wstring& path) : path_(path) {}
  virtual ~Inifile_CL() = default;
  Inifile_CL(const Inifile_CL&) = delete;
  Inifile_CL& operator=(const Inifile_CL&) = delete;

  void SetPath(const std::wstring& path) { path_ = path; }
  const std::wstring& Path() const { return path_; }

  std::wstring GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText) const;
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
  std::uint64_t GetHex64(const wchar_t* section, const wchar_t* key, std::uint64_t defaultValue) const;

  void WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const;
  void WriteInt(const wchar_t* section, const wchar_t* key, int value) const;
  void WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes, UINT byteCount) const;

  // Writes the window's screen rectangle unless it is minimised or maximised.
  bool SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const;

  // A missing settings file starts as a bare UTF-16LE byte-order mark, so
  // that the profile functions store Unicode text in it from then on.
  static void CreateIfMissing(const std::wstring& path);

 private:
  std::wstring path_;
};

// The program's one settings file.
Inifile_CL& AppIni();

namespace inistore {

// Stored form of a 64-bit value: "%08x:%08x", high half first.
std::wstring FormatHex64(std::uint64_t value);

// Reads the stored form back. Empty text, or text without a low half after
// the separator, gives the default.
std::uint64_t ParseHex64(const std::wstring& text, std::uint64_t defaultValue);

}  // namespace inistore
