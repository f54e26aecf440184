#pragma once
// Putting a group of changes into the settings file in one step. The group
// is made on a copy beside the file, checked, flushed and then put in the
// file's place, so a full disk, a crash or a kill leaves either the old file
// or the new one, never part of one. The file stays the user's: it is
// replaced in a way that keeps its security, attributes and streams, a
// symbolic link is written through to its target, and a hard-linked file is
// written in place so that every name keeps seeing it, the whole copy kept
// beside it until that write is on the disk.

#include <windows.h>

#include <string>

#include "comlib/ini_text.h"

namespace inistore {

// Where a write failed, for the log and for tests.
enum class Step { kNone, kRead, kReadOnly, kCopy, kChange, kCheck, kReplace, kConflict };
struct Failure {
  Step step = Step::kNone;
  DWORD error = 0;
  bool operator==(const Failure& other) const { return step == other.step && error == other.error; }
};

// The profile function that makes each change on the copy.
using ChangeFunction = BOOL(WINAPI*)(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR path);
// The function that puts the copy in the file's place, as ReplaceFileW.
using ReplaceFunction = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                                      LPVOID exclude, LPVOID reserved);

// What a commit did.
struct Commit {
  Failure failure;
  // A new file stands in the file's place (or the file was rewritten in place).
  bool replaced = false;
};

// Writes the changes into the file at `path` (made when missing) in one step.
// Changes the file already holds cost nothing; when it holds them all, the
// file is left alone. When another program changes the file while the copy
// is made, the group is made again on what it wrote, a few times at most,
// so that its change is kept. A whole copy that an earlier write could not
// put in place is taken back first.
Commit CommitChanges(const std::wstring& path, const Changes& changes, ChangeFunction change, ReplaceFunction replace);

// The file's whole text as it lies on the disk; false when it exists and
// cannot be read. A missing file reads as empty.
bool ReadFileText(const std::wstring& path, std::wstring* text);

// Clears the copies a killed program left beside the settings file: names
// of the file followed by a process id and ".tmp" (".whole.tmp" once
// checked), from a process that no longer runs or older than a minute. A
// whole copy takes the file's place when the file lost its text, or is
// hard-linked and differs from it; the others are removed. A user's own
// files of similar names, and copies a running program may still be
// writing, stay.
void RemoveLeftoverCopies(const std::wstring& path);

// The log's words for a failed step.
const wchar_t* StepText(Step step);

}  // namespace inistore
