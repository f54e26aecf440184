#include "comlib/ini_commit.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <utility>
#include <vector>

#include "comlib/ini_replace.h"
#include "comlib/unique_handle.h"

namespace inistore {

namespace {

// Another program that keeps changing the file wins after this many tries.
constexpr int kAttempts = 3;
// A write takes milliseconds; a copy this old belongs to nobody.
constexpr LONGLONG kLeftoverAge100ns = 60LL * 10000000LL;
constexpr wchar_t kCopySuffix[] = L".tmp";
// A copy made, checked and flushed: the file's next content, whole.
constexpr wchar_t kWholeSuffix[] = L".whole.tmp";
// The attributes a user gives the file, which its replacement takes on.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

const unsigned char kUtf16ByteOrderMark[] = {0xFF, 0xFE};

// The copy lies beside the file, so that putting it in place is a rename on
// one volume; the process id keeps two running copies of the program apart
// and tells the clean-up at start whose copy it is.
std::wstring CopyPathFor(const std::wstring& path, const wchar_t* suffix) {
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + suffix;
}

// The copy with the changes made, flushed, read back, checked and then
// named whole; its bytes in `after`.
Failure MakeCheckedCopy(const std::wstring& copy, const std::wstring& whole, const FileState& before,
                        const Changes& needed, ChangeFunction change, std::vector<unsigned char>* after) {
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
  if (!MoveFileExW(copy.c_str(), whole.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return FailedAt(Step::kCopy);
  }
  *after = std::move(written.bytes);
  return Failure{};
}

// Puts the whole copy in the file's place unless another program changed
// the file since `before` was read: the copy would undo its change.
Failure PutUnlessChanged(const std::wstring& target, const std::wstring& whole, const FileState& before,
                         const std::vector<unsigned char>& after, ReplaceFunction replace) {
  FileState now;
  if (!ReadState(target, &now)) return FailedAt(Step::kRead);
  if (!now.SameContent(before)) return Failure{Step::kConflict, ERROR_FILE_INVALID};
  return PutInPlace(target, whole, before, after, replace);
}

ULONGLONG AsNumber(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
  const size_t length = wcslen(suffix);
  return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, suffix) == 0;
}

// The process id in a copy's name, "<file name>.<digits>.tmp" or
// "<file name>.<digits>.whole.tmp"; false for any other name.
bool CopyOwner(const std::wstring& fileName, const std::wstring& found, DWORD* processId, bool* whole) {
  *whole = EndsWith(found, kWholeSuffix);
  const size_t suffix = wcslen(*whole ? kWholeSuffix : kCopySuffix);
  const size_t first = fileName.size() + 1;
  if (found.size() <= first + suffix || _wcsnicmp(found.c_str(), fileName.c_str(), fileName.size()) != 0 ||
      found[fileName.size()] != L'.' || !EndsWith(found, kCopySuffix)) {
    return false;
  }
  const std::wstring digits = found.substr(first, found.size() - suffix - first);
  if (digits.size() > 10 ||
      !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
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

Commit CommitChanges(const std::wstring& path, const Changes& changes, ChangeFunction change, ReplaceFunction replace) {
  const std::wstring target = LinkTarget(path);
  const std::wstring copy = CopyPathFor(target, kCopySuffix);
  const std::wstring whole = CopyPathFor(target, kWholeSuffix);
  Commit commit;
  // Without it the file would be made anew from the changes alone.
  if (!TakeBack(target, whole, replace)) {
    commit.failure = FailedAt(Step::kReplace);
    return commit;
  }
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
    commit.failure = MakeCheckedCopy(copy, whole, before, needed, change, &after);
    if (commit.failure.step == Step::kNone) commit.failure = PutUnlessChanged(target, whole, before, after, replace);
    DeleteFileW(copy.c_str());
    // A replace that stopped half-way may have left the file without its
    // text, and an in-place write part-done: the whole copy stays for them.
    if (commit.failure.step == Step::kReplace) {
      TakeBack(target, whole, replace);
    } else {
      DeleteFileW(whole.c_str());
    }
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
    bool whole = false;
    if (!CopyOwner(fileName, found.cFileName, &owner, &whole)) continue;
    // Signed: a time stamp in the future is not old.
    const auto age = static_cast<LONGLONG>(AsNumber(now) - AsNumber(found.ftLastWriteTime));
    if (age <= kLeftoverAge100ns && IsRunning(owner)) continue;
    if (whole) {
      TakeBack(target, folder + found.cFileName, &ReplaceFileW);
    } else {
      DeleteFileW((folder + found.cFileName).c_str());
    }
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
