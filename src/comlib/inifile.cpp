#include "comlib/inifile.h"

#include <cwchar>
#include <utility>
#include <vector>

#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "comlib/wide_format.h"

namespace {
constexpr DWORD kStringRoom = 4096;
constexpr size_t kIntRoom = 256;
constexpr size_t kHexHalfDigits = 8;
constexpr size_t kLowHalfStart = 9;  // after the eight high digits and the separator
// Settings files are a few kilobytes; anything far larger is not ours to copy.
constexpr DWORD kLargestFileBytes = 16 * 1024 * 1024;

const unsigned char kUtf16ByteOrderMark[] = {0xFF, 0xFE};

using Step = Inifile_CL::Step;
using Failure = Inifile_CL::Failure;

Failure FailedAt(Step step, DWORD error = GetLastError()) { return Failure{step, error}; }

// The whole file; false when it cannot be read. A missing file reads as
// empty with `missing` set.
bool ReadWholeFile(const std::wstring& path, std::vector<unsigned char>* bytes, bool* missing) {
  bytes->clear();
  *missing = false;
  comlib::UniqueKernelHandle file = comlib::OwnFile(CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return *missing;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return false;
  if (size.QuadPart > kLargestFileBytes) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return false;
  }
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes->empty() && (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
                          read != bytes->size())) {
    if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_READ_FAULT);
    return false;
  }
  return true;
}

// Writes the bytes as a new file, through to the disk.
bool WriteNewFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_DISK_FULL);
    return false;
  }
  return true;
}

// Pushes what the profile functions wrote out of every cache to the disk.
bool FlushToDisk(const std::wstring& path) {
  // The documented way to make the profile functions let go of a file.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.get());
}

// The copy lies beside the file, so that putting it in place is a rename on
// one volume; the process id keeps two copies of the program apart.
constexpr wchar_t kCopySuffix[] = L".tmp";
std::wstring CopyPathFor(const std::wstring& path) {
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + kCopySuffix;
}
// A write takes milliseconds; a copy this old belongs to nobody.
constexpr ULONGLONG kLeftoverAge100ns = 60ull * 10000000ull;

ULONGLONG AsNumber(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

const wchar_t* StepText(Step step) {
  switch (step) {
    case Step::kRead:
      return L"設定ファイルを読めません";
    case Step::kCopy:
      return L"一時ファイルを書けません";
    case Step::kChange:
      return L"一時ファイルを変更できません";
    case Step::kCheck:
      return L"一時ファイルの内容が欠けています(ディスクの空き不足など)";
    case Step::kReplace:
      return L"設定ファイルを置き換えられません";
    case Step::kNone:
      break;
  }
  return L"";
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

// One "key=value" line in its section, as the profile functions see it.
struct Entry {
  std::wstring section;
  std::wstring key;
  std::wstring value;
};

std::vector<Entry> EntriesOf(const std::wstring& text) {
  std::vector<Entry> entries;
  std::wstring section;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      const size_t close = line.find(L']');
      section = Trimmed(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
      continue;
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) continue;
    entries.push_back(Entry{section, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))});
  }
  return entries;
}

// The first entry of each section and key, as a read would find it.
const Entry* FirstOf(const std::vector<Entry>& entries, const std::wstring& section, const std::wstring& key) {
  for (const Entry& entry : entries) {
    if (SameName(entry.section, section) && SameName(entry.key, key)) return &entry;
  }
  return nullptr;
}

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

bool Inifile_CL::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const {
  return Commit(section, key, text);
}

bool Inifile_CL::WriteInt(const wchar_t* section, const wchar_t* key, int value) const {
  wchar_t text[kIntRoom];
  comlib::FormatWideInto(text, kIntRoom, L"%d", value);
  return Commit(section, key, text);
}

bool Inifile_CL::WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes,
                             UINT byteCount) const {
  return Commit(section, key, inistore::FormatStruct(bytes, byteCount));
}

bool Inifile_CL::SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (IsIconic(window) || IsZoomed(window)) return false;
  const INT32 values[4] = {rect.left, rect.top, rect.right, rect.bottom};
  return WriteStruct(section, key, values, sizeof(values));
}

bool Inifile_CL::Commit(const wchar_t* section, const wchar_t* key, const std::wstring& text) const {
  if (path_.empty()) return false;
  std::vector<unsigned char> before;
  bool missing = false;
  Failure failure = FailedAt(Step::kRead);
  if (ReadWholeFile(path_, &before, &missing)) {
    const std::wstring beforeText = inistore::DecodeFile(before);
    std::wstring stored;
    // Most writes store what the file already holds (a sheet closing, a
    // menu choice): those leave the file alone.
    if (inistore::FindValue(beforeText, section, key, &stored) && stored == Trimmed(text)) return true;
    failure = CommitThroughCopy(std::move(before), beforeText, section, key, text);
  }
  if (failure.step == Step::kNone) {
    lastReported_ = Failure{};
    return true;
  }
  Report(failure);
  return false;
}

Failure Inifile_CL::CommitThroughCopy(std::vector<unsigned char> before, const std::wstring& beforeText,
                                      const wchar_t* section, const wchar_t* key, const std::wstring& text) const {
  // An empty or missing file starts as Unicode, as a new one does.
  if (before.empty()) before.assign(std::begin(kUtf16ByteOrderMark), std::end(kUtf16ByteOrderMark));

  const std::wstring copy = CopyPathFor(path_);
  struct CopyRemover {
    const std::wstring& path;
    bool keep = false;
    ~CopyRemover() {
      if (!keep) DeleteFileW(path.c_str());
    }
  } remover{copy};

  if (!WriteNewFile(copy, before)) return FailedAt(Step::kCopy);
  const ChangeFunction change = change_ != nullptr ? change_ : &WritePrivateProfileStringW;
  if (!change(section, key, text.c_str(), copy.c_str())) return FailedAt(Step::kChange);
  if (!FlushToDisk(copy)) return FailedAt(Step::kChange);
  std::vector<unsigned char> after;
  bool missing = false;
  if (!ReadWholeFile(copy, &after, &missing) || missing) return FailedAt(Step::kCheck);
  if (!inistore::HoldsChange(beforeText, inistore::DecodeFile(after), section, key, text)) {
    return FailedAt(Step::kCheck, ERROR_DISK_FULL);
  }
  if (!MoveFileExW(copy.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return FailedAt(Step::kReplace);
  }
  remover.keep = true;
  return Failure{};
}

void Inifile_CL::Report(const Failure& failure) const {
  if (failure == lastReported_) return;
  lastReported_ = failure;
  HORAVEL_LOG(L"設定を保存できませんでした: %s (エラー %lu)。設定ファイルは前のままです。", StepText(failure.step),
              failure.error);
}

void Inifile_CL::CreateIfMissing(const std::wstring& path) {
  comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  bool created = true;
  if (!file) {
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return;
    // An empty file (one made by hand beside the program) would be written
    // in the ANSI code page: it gets the byte-order mark too. Anything the
    // file holds, or any doubt about it, leaves it alone.
    created = false;
    file = comlib::OwnFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart != 0) return;
  }
  HORAVEL_LOG(L"Inifile新規作成 = %s", path.c_str());
  DWORD written = 0;
  const bool whole = WriteFile(file.get(), kUtf16ByteOrderMark, sizeof(kUtf16ByteOrderMark), &written, nullptr) &&
                     written == sizeof(kUtf16ByteOrderMark);
  file.reset();
  // A file this program made and could not finish is not left behind.
  if (!whole && created) DeleteFileW(path.c_str());
}

void Inifile_CL::RemoveLeftoverCopies(const std::wstring& path) {
  const size_t folderEnd = path.find_last_of(L"\\/");
  const std::wstring folder = folderEnd == std::wstring::npos ? std::wstring() : path.substr(0, folderEnd + 1);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  WIN32_FIND_DATAW found{};
  const HANDLE first = FindFirstFileW((path + L".*" + kCopySuffix).c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return;
  const comlib::UniqueSearch search(first);
  do {
    if (AsNumber(now) - AsNumber(found.ftLastWriteTime) > kLeftoverAge100ns) {
      DeleteFileW((folder + found.cFileName).c_str());
    }
  } while (FindNextFileW(search.get(), &found));
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

std::wstring FormatStruct(const void* bytes, UINT byteCount) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  const auto* each = static_cast<const unsigned char*>(bytes);
  std::wstring text;
  unsigned sum = 0;
  for (UINT i = 0; i < byteCount; ++i) {
    text.push_back(kDigits[each[i] >> 4]);
    text.push_back(kDigits[each[i] & 0x0F]);
    sum += each[i];
  }
  text.push_back(kDigits[(sum >> 4) & 0x0F]);
  text.push_back(kDigits[sum & 0x0F]);
  return text;
}

std::wstring DecodeFile(const std::vector<unsigned char>& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
    }
    return text;
  }
  UINT codePage = CP_ACP;
  size_t start = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    codePage = CP_UTF8;
    start = 3;
  }
  if (bytes.size() <= start) return std::wstring();
  const char* text = reinterpret_cast<const char*>(bytes.data()) + start;
  const int count = static_cast<int>(bytes.size() - start);
  const int length = MultiByteToWideChar(codePage, 0, text, count, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text, count, &wide[0], length);
  return wide;
}

bool FindValue(const std::wstring& text, const std::wstring& section, const std::wstring& key, std::wstring* value) {
  const std::vector<Entry> entries = EntriesOf(text);
  const Entry* found = FirstOf(entries, section, key);
  if (found == nullptr) return false;
  *value = found->value;
  return true;
}

bool HoldsChange(const std::wstring& before, const std::wstring& after, const std::wstring& section,
                 const std::wstring& key, const std::wstring& value) {
  const std::vector<Entry> old = EntriesOf(before);
  const std::vector<Entry> changed = EntriesOf(after);
  const Entry* written = FirstOf(changed, section, key);
  if (written == nullptr || written->value != Trimmed(value)) return false;
  for (const Entry& entry : old) {
    if (SameName(entry.section, section) && SameName(entry.key, key)) continue;
    const Entry* kept = FirstOf(changed, entry.section, entry.key);
    if (kept == nullptr || kept->value != FirstOf(old, entry.section, entry.key)->value) return false;
  }
  return true;
}

}  // namespace inistore
