#pragma once
// The program's settings: one record for each section of the settings file,
// the store they are read from and written to, and the data folder the file
// lives in. The running program makes one and loads it before any window,
// then hands it down: read-only to the display, to be changed by the
// clock's menu and the settings sheet. Each step over the whole file (load,
// snapshot, put back, save what is in effect) walks one list of records,
// so a new section is a record with its key table, added to that list.

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "comlib/ini_text.h"
#include "data/save_data.h"
#include "data/time_sync_data.h"

class Inifile_CL;

// Every persisted value of the records, and what the settings file held for
// each of their keys, as they stood when taken.
struct SettingsSnapshot {
  // One list for each record, in the records' order, in its table's order.
  std::vector<std::vector<StoredValue>> values;
  inistore::Changes stored;
  // False when the file could not be read as the snapshot was taken.
  bool fileRead = true;
};

class Settings_CL {
 public:
  // Every record at its defaults, over the store (the program's AppIni();
  // a test's own file).
  explicit Settings_CL(Inifile_CL& store);
  Settings_CL(const Settings_CL&) = delete;
  Settings_CL& operator=(const Settings_CL&) = delete;

  // Start-up: the data folder in the user's documents (or beside the
  // program, or wherever it can write), the log and the settings file in
  // it, and every section loaded from it.
  void Initialize();
  // The same with the documents folder given (tests use a folder of their own).
  void InitializeIn(const std::wstring& documentsFolder);
  // Every section, read from the file as it is now.
  void Load();

  AppSaveData_CL& Clock() { return std::get<AppSaveData_CL>(records_); }
  const AppSaveData_CL& Clock() const { return std::get<AppSaveData_CL>(records_); }
  DateSaveData_CL& Date() { return std::get<DateSaveData_CL>(records_); }
  const DateSaveData_CL& Date() const { return std::get<DateSaveData_CL>(records_); }
  ZoneSaveData_CL& Zones() { return std::get<ZoneSaveData_CL>(records_); }
  const ZoneSaveData_CL& Zones() const { return std::get<ZoneSaveData_CL>(records_); }
  TimeSyncSaveData_CL& TimeSync() { return std::get<TimeSyncSaveData_CL>(records_); }
  const TimeSyncSaveData_CL& TimeSync() const { return std::get<TimeSyncSaveData_CL>(records_); }

  Inifile_CL& Store() { return store_; }
  const Inifile_CL& Store() const { return store_; }
  const std::wstring& DataFolder() const { return dataFolder_; }
  const std::wstring& SettingsPath() const { return settingsPath_; }

  SettingsSnapshot TakeSnapshot() const;
  // Puts every value back into the records; writes nothing.
  void Restore(const SettingsSnapshot& snapshot);
  // Puts back in one write what the file held for each key: a key that was
  // missing is removed again. When the file could not be read as the
  // snapshot was taken (another program held it), nothing is removed: each
  // key whose value a load would not give is written with the value in
  // effect then. True when the file holds it all.
  bool PutBackInFile(const SettingsSnapshot& snapshot) const;
  // Writes in one step each key whose value a load of the file would not
  // give the records, so that the file says what the faces show. True when
  // the file holds it all.
  bool SaveRecords() const;

  // The keys of a section as a load treats them; none for a section no
  // record has.
  static std::vector<settings::KeyRange> LoadRanges(const wchar_t* section);

 private:
  // One record for each section, in the order their keys are written. A new
  // section is a record made over the store (const Inifile_CL&) whose
  // static Keys() gives its key table (data/setting_table.h): listed here,
  // given the store in the constructor and an accessor above, it is loaded,
  // snapshotted, put back and saved with the others.
  using Records = std::tuple<AppSaveData_CL, DateSaveData_CL, ZoneSaveData_CL, TimeSyncSaveData_CL>;

  // documentsResult tells whether the documents folder was found; when it was
  // not, documentsFolder is the program's own folder and the log says so.
  void InitializeFrom(const std::wstring& documentsFolder, HRESULT documentsResult);
  // The same with the data folder itself given.
  void InitializeDataFolder(const std::wstring& dataFolder, HRESULT documentsResult);

  Inifile_CL& store_;
  Records records_;
  std::wstring dataFolder_;
  std::wstring settingsPath_;
};

namespace settings {

// The base folder of the data folder: the documents folder when it is known
// (not empty); otherwise the program's own folder if canWrite says its data
// folder can be written, else the local application data folder under the
// same test, else the program's folder all the same (writes are then lost).
std::wstring ChooseDataBase(const std::wstring& documents, const std::wstring& programFolder,
                           const std::wstring& localAppData, bool (*canWrite)(const std::wstring& base));

}  // namespace settings
