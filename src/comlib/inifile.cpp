#include "comlib/inifile.h"

#include <cwchar>
#include <map>
#include <vector>

#include "comlib/log_file.h"
#include "comlib/unique_handle.h"

namespace {
constexpr DWORD kStringRoom = 4096;

const unsigned char kUtf16ByteOrderMark[] = {0xFF, 0xFE};

using Change = inistore::Change;
using Changes = inistore::Changes;

// The store each running thread timer writes for.
std::map<UINT_PTR, const Inifile_CL*>& GatherTimers() {
  static std::map<UINT_PTR, const Inifile_CL*> timers;
  return timers;
}

void CALLBACK WriteGathered(HWND, UINT, UINT_PTR timer, DWORD) {
  const auto found = GatherTimers().find(timer);
  if (found == GatherTimers().end()) {
    KillTimer(nullptr, timer);
    return;
  }
  found->second->Flush();
}

// The change of this key in the list, or null.
Change* FindChange(Changes& changes, const wchar_t* section, const wchar_t* key) {
  for (Change& change : changes) {
    if (_wcsicmp(change.section.c_str(), section) == 0 && _wcsicmp(change.key.c_str(), key) == 0) return &change;
  }
  return nullptr;
}

}  // namespace

Inifile_CL& AppIni() {
  static Inifile_CL ini;
  return ini;
}

Inifile_CL::~Inifile_CL() { StopTimer(); }

void Inifile_CL::SetPath(const std::wstring& path) {
  Flush();
  held_.clear();
  path_ = path;
}

const Change* Inifile_CL::Held(const wchar_t* section, const wchar_t* key) const {
  return FindChange(held_, section, key);
}

std::wstring Inifile_CL::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText) const {
  if (const Change* held = Held(section, key)) {
    return held->text ? held->text->substr(0, kStringRoom - 1) : std::wstring(defaultText);
  }
  std::vector<wchar_t> buffer(kStringRoom, L'\0');
  GetPrivateProfileStringW(section, key, defaultText, buffer.data(), kStringRoom, path_.c_str());
  return std::wstring(buffer.data());
}

int Inifile_CL::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
  // Held texts are this program's own signed decimals.
  if (const Change* held = Held(section, key)) {
    return held->text && !held->text->empty() ? static_cast<int>(wcstol(held->text->c_str(), nullptr, 10))
                                               : defaultValue;
  }
  // Negative values are stored as signed decimals and come back as the same bits.
  return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::uint64_t Inifile_CL::GetHex64(const wchar_t* section, const wchar_t* key, std::uint64_t defaultValue) const {
  return inistore::ParseHex64(GetString(section, key, L""), defaultValue);
}

bool Inifile_CL::Stored(Changes* keys) const {
  std::wstring text;
  if (!inistore::ReadFileText(path_, &text)) return false;
  const inistore::KeyIndex index(text);
  for (Change& each : *keys) {
    const Change* held = Held(each.section.c_str(), each.key.c_str());
    const std::wstring* value = index.Find(each.section, each.key);
    each.text = held != nullptr ? held->text : value != nullptr ? std::optional<std::wstring>(*value) : std::nullopt;
  }
  return true;
}

bool Inifile_CL::Write(const Changes& changes) const {
  if (path_.empty()) return false;
  Hold(changes);
  return Flush();
}

bool Inifile_CL::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const {
  return Write({{section, key, text}});
}

bool Inifile_CL::WriteInt(const wchar_t* section, const wchar_t* key, int value) const {
  return Write({{section, key, inistore::IntText(value)}});
}

bool Inifile_CL::WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes, UINT byteCount) const {
  return Write({{section, key, inistore::FormatStruct(bytes, byteCount)}});
}

void Inifile_CL::Gather(const Changes& changes) const {
  // Nowhere to write before the settings file is known.
  if (path_.empty()) return;
  Hold(changes);
  if (timer_ != 0) return;
  timer_ = SetTimer(nullptr, 0, kGatherMs, &WriteGathered);
  if (timer_ == 0) {
    Flush();
    return;
  }
  GatherTimers()[timer_] = this;
}

void Inifile_CL::Hold(const Changes& changes) const {
  for (const Change& change : changes) {
    Change* held = FindChange(held_, change.section.c_str(), change.key.c_str());
    if (held != nullptr) {
      held->text = change.text;
    } else {
      held_.push_back(change);
    }
  }
}

void Inifile_CL::StopTimer() const {
  if (timer_ == 0) return;
  KillTimer(nullptr, timer_);
  GatherTimers().erase(timer_);
  timer_ = 0;
}

bool Inifile_CL::Flush() const {
  StopTimer();
  if (held_.empty()) return true;
  const inistore::Commit commit =
      inistore::CommitChanges(path_, held_, change_ != nullptr ? change_ : &WritePrivateProfileStringW,
                              replace_ != nullptr ? replace_ : &ReplaceFileW);
  if (commit.replaced) ++replaces_;
  if (commit.failure.step != Step::kNone) {
    Report(commit.failure);
    return false;
  }
  held_.clear();
  lastReported_ = Failure{};
  return true;
}

bool Inifile_CL::SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (IsIconic(window) || IsZoomed(window)) return false;
  const INT32 values[4] = {rect.left, rect.top, rect.right, rect.bottom};
  Gather({{section, key, inistore::FormatStruct(values, sizeof(values))}});
  return true;
}

void Inifile_CL::Report(const Failure& failure) const {
  if (failure == lastReported_) return;
  lastReported_ = failure;
  HORAVEL_LOG(L"設定を保存できませんでした: %s (エラー %lu)。設定ファイルは前のままです。",
              inistore::StepText(failure.step), failure.error);
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
