#pragma once
// Typed access to the settings file through the Windows profile functions.
// Reads go to the file, so a change made in a text editor is seen at the
// next read, except for keys whose change is still held: those read as held.
// Writes go out in groups, each one step (comlib/ini_commit.h): whole or not
// at all. Changes that come in quick succession (a dragged bar, a window
// that moves with it) are held for a moment and go out together, so the
// file costs a few writes a second however fast the changes come.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "comlib/ini_commit.h"
#include "comlib/ini_text.h"

class Inifile_CL {
 public:
  using Change = inistore::Change;
  using Changes = inistore::Changes;
  using Step = inistore::Step;
  using Failure = inistore::Failure;
  using ChangeFunction = inistore::ChangeFunction;
  using ReplaceFunction = inistore::ReplaceFunction;

  // How long a change is held for others to join it: at most four writes a
  // second, and the file holds every change within a quarter of a second
  // and the time one write takes.
  static constexpr UINT kGatherMs = 250;

  Inifile_CL() = default;
  explicit Inifile_CL(const std::wstring& path) : path_(path) {}
  virtual ~Inifile_CL();
  Inifile_CL(const Inifile_CL&) = delete;
  Inifile_CL& operator=(const Inifile_CL&) = delete;

  // Held changes are written to the file they were made for first; what
  // cannot be written there is dropped.
  void SetPath(const std::wstring& path);
  const std::wstring& Path() const { return path_; }

  std::wstring GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText) const;
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
  std::uint64_t GetHex64(const wchar_t* section, const wchar_t* key, std::uint64_t defaultValue) const;
  // What each of the keys given holds now, held changes included: their
  // texts, none for a missing key. One read of the file; false, the keys
  // left as given, when it cannot be read.
  bool Stored(Changes* keys) const;

  // Writes the changes at once, together with every change still held, as
  // one group. True when the file holds them all afterwards. On a failure
  // the file stays exactly as it was, the changes stay held (reads see them,
  // and the next write takes them along), and the log says why, once for
  // each cause until a write succeeds again.
  bool Write(const Changes& changes) const;
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& text) const;
  bool WriteInt(const wchar_t* section, const wchar_t* key, int value) const;
  bool WriteStruct(const wchar_t* section, const wchar_t* key, const void* bytes, UINT byteCount) const;

  // Holds the changes and writes them, with whatever else is held by then,
  // kGatherMs later: a thread timer, run by whichever message loop the
  // thread is in, between messages, so everything one message changes (a
  // key, and the window rectangle it moved) lands in one group.
  void Gather(const Changes& changes) const;
  // Writes what is held now; true when nothing is left held.
  bool Flush() const;

  // Gathers the window's screen rectangle unless it is minimised or
  // maximised; false when it is.
  bool SaveWindowRect(const wchar_t* section, const wchar_t* key, HWND window) const;

  // How many times a write has put a new file in place; the benchmark asks.
  long Replaces() const { return replaces_; }

  // A missing settings file starts as a bare UTF-16LE byte-order mark, so
  // that the profile functions store Unicode text in it from then on. An
  // existing file is never emptied.
  static void CreateIfMissing(const std::wstring& path);
  // Removes copies that a killed program left beside the file.
  static void RemoveLeftoverCopies(const std::wstring& path) { inistore::RemoveLeftoverCopies(path); }

  // Tests make the copy's change fail at will; null puts the profile
  // function back.
  void SetChangeFunctionForTest(ChangeFunction change) { change_ = change; }
  // Tests make the replace stop half-way, as Wine's never does.
  void SetReplaceFunctionForTest(ReplaceFunction replace) { replace_ = replace; }

 private:
  const Change* Held(const wchar_t* section, const wchar_t* key) const;
  void Hold(const Changes& changes) const;
  void StopTimer() const;
  void Report(const Failure& failure) const;

  std::wstring path_;
  ChangeFunction change_ = nullptr;
  ReplaceFunction replace_ = nullptr;
  // What follows is the file's state rather than this accessor's: writes
  // stay const for the callers that hold the store as const (the update
  // check). Changes not yet in the file, each key once, in the order made.
  mutable Changes held_;
  mutable UINT_PTR timer_ = 0;
  mutable long replaces_ = 0;
  // The cause the log told last; cleared by a write that succeeds.
  mutable Failure lastReported_;
};

// The program's one settings file.
Inifile_CL& AppIni();
