#include "comlib/ini_replace.h"

#include <algorithm>

#include "comlib/unique_handle.h"

namespace inistore {

namespace {

// Settings files are a few kilobytes; anything far larger is not ours to copy.
constexpr DWORD kLargestFileBytes = 16 * 1024 * 1024;

// Writes bytes to the open file from `offset` on.
bool WriteAt(HANDLE file, const std::vector<unsigned char>& bytes, size_t offset, size_t count) {
  if (count == 0) return true;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD written = 0;
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
      !WriteFile(file, bytes.data() + offset, static_cast<DWORD>(count), &written, nullptr) || written != count) {
    if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_DISK_FULL);
    return false;
  }
  return true;
}

// A hard-linked file cannot be replaced without leaving its other names on
// the old content: it is rewritten where it lies, while the whole copy
// stays beside it in case the write dies part-way. What lies beyond the old
// end goes first, so that a full disk refuses before a byte of the old
// content has changed.
bool WriteInPlace(const std::wstring& path, const std::vector<unsigned char>& bytes, size_t oldSize) {
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const size_t head = std::min(oldSize, bytes.size());
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(bytes.size());
  return file && WriteAt(file.get(), bytes, head, bytes.size() - head) && WriteAt(file.get(), bytes, 0, head) &&
         SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()) &&
         FlushFileBuffers(file.get());
}

// "\\?\C:\x" and "\\?\UNC\server\x" as the profile functions take them.
std::wstring PlainPath(const std::wstring& path) {
  const std::wstring longPrefix = L"\\\\?\\";
  const std::wstring uncPrefix = longPrefix + L"UNC\\";
  if (path.compare(0, uncPrefix.size(), uncPrefix) == 0) return L"\\\\" + path.substr(uncPrefix.size());
  if (path.compare(0, longPrefix.size(), longPrefix) == 0) return path.substr(longPrefix.size());
  return path;
}

// Nothing but blanks, line ends and perhaps a byte-order mark.
bool HoldsNoText(const std::vector<unsigned char>& bytes) {
  return DecodeFile(bytes).find_first_not_of(L" \t\r\n\uFEFF") == std::wstring::npos;
}

}  // namespace

bool ReadState(const std::wstring& path, FileState* state) {
  *state = FileState{};
  comlib::UniqueKernelHandle file = comlib::OwnFile(CreateFileW(path.c_str(), GENERIC_READ,
                                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    state->missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return state->missing;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return false;
  state->attributes = info.dwFileAttributes;
  state->links = info.nNumberOfLinks;
  if (info.nFileSizeHigh != 0 || info.nFileSizeLow > kLargestFileBytes) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return false;
  }
  state->bytes.resize(info.nFileSizeLow);
  DWORD read = 0;
  if (!state->bytes.empty() &&
      (!ReadFile(file.get(), state->bytes.data(), static_cast<DWORD>(state->bytes.size()), &read, nullptr) ||
       read != state->bytes.size())) {
    if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_READ_FAULT);
    return false;
  }
  return true;
}

bool WriteNewFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAt(file.get(), bytes, 0, bytes.size());
}

bool FlushToDisk(const std::wstring& path) {
  // The documented way to make the profile functions let go of a file.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.get());
}

std::wstring LinkTarget(const std::wstring& path) {
  comlib::UniqueKernelHandle file =
      comlib::OwnFile(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return path;
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD room = GetFinalPathNameByHandleW(file.get(), nullptr, 0, kFlags);
  if (room == 0) return path;
  std::wstring target(room, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file.get(), &target[0], room, kFlags);
  if (length == 0 || length >= room) return path;
  target.resize(length);
  return PlainPath(target);
}

Failure PutInPlace(const std::wstring& target, const std::wstring& copy, const FileState& before,
                   const std::vector<unsigned char>& after, ReplaceFunction replace) {
  if (before.missing) {
    if (MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return Failure{};
    // Another program made the file meanwhile.
    const DWORD error = GetLastError();
    return FailedAt(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Step::kConflict : Step::kReplace,
                    error);
  }
  if (before.links > 1) return WriteInPlace(target, after, before.bytes.size()) ? Failure{} : FailedAt(Step::kReplace);
  if (replace(target.c_str(), copy.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return Failure{};
  }
  // Stopped half-way: the old file has gone (1176) or stands under another
  // name (1177), and the copy is still under its own: it moves in.
  const DWORD error = GetLastError();
  if ((error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) &&
      MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failure{};
  }
  return FailedAt(Step::kReplace);
}

bool TakeBack(const std::wstring& target, const std::wstring& whole, ReplaceFunction replace) {
  FileState copy;
  if (!ReadState(whole, &copy) || copy.missing) return true;
  FileState file;
  if (!ReadState(target, &file)) return false;
  const bool needed = file.missing || HoldsNoText(file.bytes) || (file.links > 1 && file.bytes != copy.bytes);
  if (needed && PutInPlace(target, whole, file, copy.bytes, replace).step != Step::kNone) return false;
  // Gone already when it moved in.
  DeleteFileW(whole.c_str());
  return true;
}

}  // namespace inistore
