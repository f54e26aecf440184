#pragma once
// Typed access to the settings file through the Windows profile functions.
// Every read goes straight to the file: no cache, so a change made in a text
// editor is seen at the next read. Every write is made on a copy beside the
// file, checked, and then put in the file's place in one step: a full disk,
// a crash or a kill leaves either the old file or the new one, never part
// of one.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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

  // Each returns true when the file holds the value afterwards. On a failure
  // the file stays exactly as it was and the log says why, once for each
  // cause until a write succeeds again.
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const;
  bool WriteInt(const wchar_t* section, const wchar_t* key, int value) const;
  bool WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes, UINT byteCount) const;

  // Writes the window's screen rectangle unless it is minimised or maximised.
  bool SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const;

  // A missing settings file starts as a bare UTF-16LE byte-order mark, so
  // that the profile functions store Unicode text in it from then on. An
  // existing file is never emptied.
  static void CreateIfMissing(const std::wstring& path);
  // Removes copies that a killed program left beside the file; copies a
  // running program may still be writing are younger and stay.
  static void RemoveLeftoverCopies(const std::wstring& path);

  // Where a write failed, for the log and for tests.
  enum class Step { kNone, kRead, kCopy, kChange, kCheck, kReplace };
  struct Failure {
    Step step = Step::kNone;
    DWORD error = 0;
    bool operator==(const Failure& other) const { return step == other.step && error == other.error; }
  };
  // Tests make the copy's change fail at will; null puts the profile
  // function back.
  using ChangeFunction = BOOL(WINAPI*)(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR path);
  void SetChangeFunctionForTest(ChangeFunction change) { change_ = change; }

 private:
  bool Commit(const wchar_t* section, const wchar_t* key, const std::wstring& text) const;
  // The change made on a copy of the file's bytes, checked, and put in the
  // file's place.
  Failure CommitThroughCopy(std::vector<unsigned char> before, const std::wstring& beforeText,
                            const wchar_t* section, const wchar_t* key, const std::wstring& text) const;
  void Report(const Failure& failure) const;

  std::wstring path_;
  ChangeFunction change_ = nullptr;
  // The cause the log told last; cleared by a write that succeeds.
  mutable Failure lastReported_;
};

// The program's one settings file.
Inifile_CL& AppIni();

namespace inistore {

// Stored form of a 64-bit value: "%08x:%08x", high half first.
std::wstring FormatHex64(std::uint64_t value);

// Reads the stored form back. Empty text, or text without a low half after
// the separator, gives the default.
std::uint64_t ParseHex64(const std::wstring& text, std::uint64_t defaultValue);

// Stored form of a structure, as WritePrivateProfileStructW writes it: two
// upper-case hexadecimal digits a byte, then the bytes' sum as a checksum byte.
std::wstring FormatStruct(const void* bytes, UINT byteCount);

// A settings file's bytes as text: UTF-16LE or UTF-8 after their byte-order
// marks, otherwise the ANSI code page, as the profile functions read them.
std::wstring DecodeFile(const std::vector<unsigned char>& bytes);

// The value of a key as the profile functions find it: the first section of
// that name, the first key of that name in it, names compared without case,
// blanks around names and values ignored. False when there is none.
bool FindValue(const std::wstring& text, const std::wstring& section, const std::wstring& key, std::wstring* value);

// True when `after` is `before` with exactly this key set to this value:
// every other key that `before` holds still holds its value. A file cut
// short by a full disk fails this.
bool HoldsChange(const std::wstring& before, const std::wstring& after, const std::wstring& section,
                 const std::wstring& key, const std::wstring& value);

}  // namespace inistore
