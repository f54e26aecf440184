#include "comlib/ini_text.h"

#include <cwchar>
#include <cwctype>
#include <unordered_set>

#include "comlib/wide_format.h"

namespace inistore {

namespace {

constexpr size_t kIntRoom = 16;
constexpr size_t kHexHalfDigits = 8;
constexpr size_t kLowHalfStart = 9;  // after the eight high digits and the separator

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

std::uint32_t ParseHexHalf(const std::wstring& text, size_t start) {
  const std::wstring digits = text.substr(start, kHexHalfDigits);
  return static_cast<std::uint32_t>(wcstoul(digits.c_str(), nullptr, 16));
}

}  // namespace

std::wstring IntText(int value) {
  wchar_t text[kIntRoom];
  comlib::FormatWideInto(text, kIntRoom, L"%d", value);
  return text;
}

std::wstring FormatHex64(std::uint64_t value) {
  return comlib::FormatWide(32, L"%08x:%08x", static_cast<unsigned int>(value >> 32),
                            static_cast<unsigned int>(value & 0xFFFFFFFFu));
}

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

std::wstring KeyIndex::NameOf(const std::wstring& section, const std::wstring& key) {
  // A line end can stand in neither name, so it keeps the two apart.
  std::wstring name = Trimmed(section) + L'\n' + Trimmed(key);
  for (wchar_t& each : name) each = static_cast<wchar_t>(std::towlower(each));
  return name;
}

KeyIndex::KeyIndex(const std::wstring& text) {
  std::wstring section;
  std::unordered_set<std::wstring> sections;
  // A read finds only the first section of a name: a repeat's keys are not
  // there for it, and a change found only there is not in the file.
  bool repeat = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      const size_t close = line.find(L']');
      section = line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
      repeat = !sections.insert(NameOf(section, std::wstring())).second;
      continue;
    }
    const size_t equals = line.find(L'=');
    if (repeat || equals == std::wstring::npos) continue;
    // The first of each name is the one a read finds.
    values_.emplace(NameOf(section, line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
}

const std::wstring* KeyIndex::Find(const std::wstring& section, const std::wstring& key) const {
  const auto found = values_.find(NameOf(section, key));
  return found == values_.end() ? nullptr : &found->second;
}

bool KeyIndex::Holds(const Change& change) const {
  const std::wstring* value = Find(change.section, change.key);
  if (!change.text) return value == nullptr;
  return value != nullptr && *value == Trimmed(*change.text);
}

bool HoldsChanges(const std::wstring& before, const std::wstring& after, const Changes& changes) {
  const KeyIndex old(before);
  const KeyIndex changed(after);
  std::unordered_set<std::wstring> names;
  for (const Change& change : changes) {
    if (!changed.Holds(change)) return false;
    names.insert(KeyIndex::NameOf(change.section, change.key));
  }
  for (const auto& [name, value] : old.Values()) {
    if (names.count(name) != 0) continue;
    const auto kept = changed.Values().find(name);
    if (kept == changed.Values().end() || kept->second != value) return false;
  }
  return true;
}

}  // namespace inistore
