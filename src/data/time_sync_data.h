#pragma once
// The network time setting: whether the faces show the time of a time
// server rather than Windows' own, and which server. A record like the
// others (data/save_data.h), in its own section of the settings file.

#include <string>

class Inifile_CL;
namespace settingtable {
template <typename Record>
struct KeyTable;
}

constexpr wchar_t kTimeSyncSection[] = L"TIME_SYNC";

class TimeSyncSaveData_CL {
 public:
  explicit TimeSyncSaveData_CL(const Inifile_CL& store);
  TimeSyncSaveData_CL(const TimeSyncSaveData_CL&) = delete;
  TimeSyncSaveData_CL& operator=(const TimeSyncSaveData_CL&) = delete;

  static const settingtable::KeyTable<TimeSyncSaveData_CL>& Keys();

  // Each stores the value and has its key written.
  void SetUse(bool on);
  void SetServer(const std::wstring& server);

  // Persisted in TIME_SYNC, named after their keys.
  int use;
  // A name or an address, with an optional port: "name:port", "[IPv6]:port".
  std::wstring server;

 private:
  const Inifile_CL& store_;
};
