#include "comlib/ini_commit.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <utility>
#include <vector>

#include "comlib/unique_handle.h"

namespace inistore {

namespace {

// Settings files are a few kilobytes; anything far larger is not ours to copy.
constexpr DWORD kLargestFileBytes = 16 * 1024 * 1024;
// Another program that keeps changing the file wins after this many tries.
constexpr int kAttempts = 3;
// A write takes milliseconds; a copy this old belongs to nobody.
constexpr LONGLONG kLeftoverAge100ns = 60LL * 10000000LL;
constexpr wchar_t kCopySuffix[] = L".tmp";
// The attributes a user gives the file, which its replacement takes on.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

const unsigned char kUtf16ByteOrderMark[] = {0xFF, 0xFE};

Failure FailedAt(Step step, DWORD error = GetLastError()) { return Failure{step, error}; }

// The file as one read found it.
struct FileState {
  bool missing = false;
  DWORD attributes = 0;
  DWORD links = 1;
  std::vector<unsigned char> bytes;

  bool SameContent(const FileState& other) const { return missing == other.missing && bytes == other.bytes; }
};

// False when the file cannot be read; a missing file reads as empty with
// `missing` set.
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

// Writes the bytes as a new file.
bool WriteNewFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAt(file.get(), bytes, 0, bytes.size());
}

// Pushes what the profile functions wrote out of every cache to the disk.
bool FlushToDisk(const std::wstring& path) {
  // The documented way to make the profile functions let go of a file.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.get());
}

// A hard-linked file cannot be replaced without leaving its other names on
// the old content: it is rewritten where it lies. What lies beyond the old
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

// The file a symbolic link leads to, so that the link stays and its target
// is written; the path itself when it is no link or there is no file.
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

// The copy lies beside the file, so that putting it in place is a rename on
// one volume; the process id keeps two running copies of the program apart
// and tells the clean-up at start whose copy it is.
std::wstring CopyPathFor(const std::wstring& path) {
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + kCopySuffix;
}

// The copy with the changes made, flushed, read back and checked; its bytes
// in `after`.
Failure MakeCheckedCopy(const std::wstring& copy, const FileState& before, const Changes& needed,
                        ChangeFunction change, std::vector<unsigned char>* after) {
  // An empty or missing file starts as Unicode, as a new one does.
  const std::vector<unsigned char> start =
      before.bytes.empty() ? std::vector<unsigned char>(std::begin(kUtf16ByteOrderMark), std::end(kUtf16ByteOrderMark))
                           : before.bytes;
  if (!WriteNewFile(copy, start)) return FailedAt(Step::kCopy);
  for (const Change& each : needed) {
    if (!change(each.section.c_str(), each.key.c_str(), each.text ? each.text->c_str() : nullptr, copy.c_str())) {
      return FailedAt(Step::kChange);
    }
  }
  if (!FlushToDisk(copy)) return FailedAt(Step::kChange);
  FileState written;
  if (!ReadState(copy, &written) || written.missing) return FailedAt(Step::kCheck);
  if (!HoldsChanges(DecodeFile(before.bytes), DecodeFile(written.bytes), needed)) {
    return FailedAt(Step::kCheck, ERROR_DISK_FULL);
  }
  // Windows' replace keeps the file's attributes by itself; Wine's does
  // not, and a hidden file must stay hidden.
  if ((before.attributes & kKeptAttributes) != 0) SetFileAttributesW(copy.c_str(), before.attributes & kKeptAttributes);
  *after = std::move(written.bytes);
  return Failure{};
}

// Puts the checked copy in the file's place.
Failure PutInPlace(const std::wstring& target, const std::wstring& copy, const FileState& before,
                   const std::vector<unsigned char>& after) {
  if (before.missing) {
    if (MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return Failure{};
    // Another program made the file meanwhile.
    const DWORD error = GetLastError();
    return FailedAt(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Step::kConflict : Step::kReplace,
                    error);
  }
  if (before.links > 1) return WriteInPlace(target, after, before.bytes.size()) ? Failure{} : FailedAt(Step::kReplace);
  if (ReplaceFileW(target.c_str(), copy.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return Failure{};
  }
  // The old file has gone and the copy, which has taken on its attributes,
  // is still under its own name: it moves in.
  if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
      MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failure{};
  }
  return FailedAt(Step::kReplace);
}

ULONGLONG AsNumber(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The process id in a copy's name, "<file name>.<digits>.tmp"; false for
// any other name.
bool CopyOwner(const std::wstring& fileName, const std::wstring& found, DWORD* processId) {
  const size_t suffix = std::size(kCopySuffix) - 1;
  const size_t first = fileName.size() + 1;
  if (found.size() <= first + suffix || _wcsnicmp(found.c_str(), fileName.c_str(), fileName.size()) != 0 ||
      found[fileName.size()] != L'.' || _wcsicmp(found.c_str() + found.size() - suffix, kCopySuffix) != 0) {
    return false;
  }
  const std::wstring digits = found.substr(first, found.size() - suffix - first);
  if (digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
    return false;
  }
  const unsigned long long id = wcstoull(digits.c_str(), nullptr, 10);
  *processId = static_cast<DWORD>(id);
  return id <= MAXDWORD;
}

bool IsRunning(DWORD processId) {
  const comlib::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  // Refused rather than unknown: it runs, as someone else.
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  return !GetExitCodeProcess(process.get(), &code) || code == STILL_ACTIVE;
}

}  // namespace

Commit CommitChanges(const std::wstring& path, const Changes& changes, ChangeFunction change) {
  const std::wstring target = LinkTarget(path);
  const std::wstring copy = CopyPathFor(target);
  Commit commit;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    FileState before;
    if (!ReadState(target, &before)) {
      commit.failure = FailedAt(Step::kRead);
      return commit;
    }
    const KeyIndex held(DecodeFile(before.bytes));
    Changes needed;
    for (const Change& each : changes) {
      if (!held.Holds(each)) needed.push_back(each);
    }
    // Most writes store what the file already holds (a sheet closing, a
    // menu choice): those leave the file alone.
    if (needed.empty()) {
      commit.failure = Failure{};
      return commit;
    }
    // The user's wish, whatever the file system would let this program do.
    if ((before.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      commit.failure = Failure{Step::kReadOnly, ERROR_ACCESS_DENIED};
      return commit;
    }
    std::vector<unsigned char> after;
    commit.failure = MakeCheckedCopy(copy, before, needed, change, &after);
    if (commit.failure.step == Step::kNone) {
      // A change another program made since the read would be undone by
      // the copy: the group is made again on top of it.
      FileState now;
      if (!ReadState(target, &now)) {
        commit.failure = FailedAt(Step::kRead);
      } else if (!now.SameContent(before)) {
        commit.failure = Failure{Step::kConflict, ERROR_FILE_INVALID};
      } else {
        commit.failure = PutInPlace(target, copy, before, after);
      }
    }
    // Gone already when it took the file's place; otherwise it goes now.
    DeleteFileW(copy.c_str());
    commit.replaced = commit.failure.step == Step::kNone;
    if (commit.failure.step != Step::kConflict) return commit;
  }
  return commit;
}

bool ReadFileText(const std::wstring& path, std::wstring* text) {
  FileState state;
  if (!ReadState(path, &state)) return false;
  *text = DecodeFile(state.bytes);
  return true;
}

void RemoveLeftoverCopies(const std::wstring& path) {
  const std::wstring target = LinkTarget(path);
  const size_t folderEnd = target.find_last_of(L"\\/");
  const std::wstring folder = folderEnd == std::wstring::npos ? std::wstring() : target.substr(0, folderEnd + 1);
  const std::wstring fileName = target.substr(folder.size());
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  WIN32_FIND_DATAW found{};
  const HANDLE first = FindFirstFileW((target + L".*" + kCopySuffix).c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return;
  const comlib::UniqueSearch search(first);
  do {
    DWORD owner = 0;
    if (!CopyOwner(fileName, found.cFileName, &owner)) continue;
    // Signed: a time stamp in the future is not old.
    const auto age = static_cast<LONGLONG>(AsNumber(now) - AsNumber(found.ftLastWriteTime));
    if (age > kLeftoverAge100ns || !IsRunning(owner)) DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search.get(), &found));
}

const wchar_t* StepText(Step step) {
  switch (step) {
    case Step::kRead:
      return L"設定ファイルを読めません";
    case Step::kReadOnly:
      return L"設定ファイルが読み取り専用です";
    case Step::kCopy:
      return L"一時ファイルを書けません";
    case Step::kChange:
      return L"一時ファイルを変更できません";
    case Step::kCheck:
      return L"一時ファイルの内容が欠けています(ディスクの空き不足など)";
    case Step::kReplace:
      return L"設定ファイルを置き換えられません";
    case Step::kConflict:
      return L"書き込み中に他のプログラムが設定ファイルを変更し続けました";
    case Step::kNone:
      break;
  }
  return L"";
}

}  // namespace inistore
