#include "data/time_sync_data.h"

#include <iterator>

#include "data/setting_table.h"

namespace {

using namespace settingtable;
using TimeSync = TimeSyncSaveData_CL;

// TIME_SYNC, in the order of a load. Off unless the user asks: a clock
// that asks the network must be one the user chose.
const Setting<TimeSync> kTimeSyncSettings[] = {
    Ranged(L"use", &TimeSync::use, 0, 0, 1),
    Text(L"server", &TimeSync::server, L"time.windows.com"),
};

}  // namespace

TimeSyncSaveData_CL::TimeSyncSaveData_CL(const Inifile_CL& store) : store_(store) { SetDefaults(*this); }

const KeyTable<TimeSync>& TimeSyncSaveData_CL::Keys() {
  static const KeyTable<TimeSync> table{kTimeSyncSection,
                                        {std::begin(kTimeSyncSettings), std::end(kTimeSyncSettings)}};
  return table;
}

void TimeSyncSaveData_CL::SetUse(bool on) {
  use = on ? 1 : 0;
  WriteFields(*this, store_, &TimeSync::use);
}

void TimeSyncSaveData_CL::SetServer(const std::wstring& serverName) {
  server = serverName;
  WriteFields(*this, store_, &TimeSync::server);
}
