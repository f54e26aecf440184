#pragma once
// The settings file as one read finds it, and the ways a checked copy takes
// its place, for the group writes of comlib/ini_commit.h and the clean-up at
// start.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/ini_commit.h"

namespace inistore {

inline Failure FailedAt(Step step, DWORD error = GetLastError()) { return Failure{step, error}; }

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
bool ReadState(const std::wstring& path, FileState* state);

// Writes the bytes as a new file.
bool WriteNewFile(const std::wstring& path, const std::vector<unsigned char>& bytes);

// Pushes what the profile functions wrote out of every cache to the disk.
bool FlushToDisk(const std::wstring& path);

// The file a symbolic link leads to, so that the link stays and its target
// is written; the path itself when it is no link or there is no file.
std::wstring LinkTarget(const std::wstring& path);

// Puts the checked copy, whose bytes are `after`, in the file's place.
Failure PutInPlace(const std::wstring& target, const std::wstring& copy, const FileState& before,
                   const std::vector<unsigned char>& after, ReplaceFunction replace);

// A whole copy left beside the file takes its place when the file has lost
// its text (a replace that stopped half-way) or, hard-linked, differs from
// it (an in-place write that may have died part-way); then the copy goes.
// False when the copy stays: the file cannot be read now, or it needed the
// copy and could not take it.
bool TakeBack(const std::wstring& target, const std::wstring& whole, ReplaceFunction replace);

}  // namespace inistore
