#pragma once
// The settings file's text as the profile functions read and write it: the
// stored forms of values, the file's encodings, and what each key holds.
// Plain functions over plain values.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace inistore {

// One key of a group of changes: set to a text, or removed when it has none.
struct Change {
  std::wstring section;
  std::wstring key;
  std::optional<std::wstring> text;
};
using Changes = std::vector<Change>;

// Stored form of an integer: a signed decimal, "%d".
std::wstring IntText(int value);

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

// What each key of a file's text holds, as the profile functions find it:
// the first section of that name, the first key of that name in it, names
// compared without case, blanks around names and values ignored. Built in
// one pass; each look-up takes constant time.
class KeyIndex {
 public:
  explicit KeyIndex(const std::wstring& text);

  // The key's value, or null when the text has none.
  const std::wstring* Find(const std::wstring& section, const std::wstring& key) const;
  // True when the key holds the change's text, or is missing for a removal.
  bool Holds(const Change& change) const;
  // Each key once, with the value a read finds.
  const std::unordered_map<std::wstring, std::wstring>& Values() const { return values_; }

  // The name under which Values() lists a key.
  static std::wstring NameOf(const std::wstring& section, const std::wstring& key);

 private:
  std::unordered_map<std::wstring, std::wstring> values_;
};

// True when `after` is `before` with exactly these changes: each changed key
// holds its new text (or is gone), and every other key that `before` holds
// still holds its value. A file cut short by a full disk fails this.
bool HoldsChanges(const std::wstring& before, const std::wstring& after, const Changes& changes);

}  // namespace inistore
