// The settings object's steps over the whole file: each walks every record
// in one order, the order in which their sections are written.

#include "data/settings.h"

#include <tuple>
#include <type_traits>
#include <utility>

#include "comlib/inifile.h"
#include "data/setting_table.h"

namespace {

using namespace settingtable;

// Calls visit on each record, in the records' order.
template <typename Records, typename Visit>
void ForEachRecord(Records& records, Visit visit) {
  std::apply([&visit](auto&... record) { (visit(record), ...); }, records);
}

template <typename... Record>
std::vector<settings::KeyRange> RangesIn(const wchar_t* section, const std::tuple<Record...>*) {
  std::vector<settings::KeyRange> ranges;
  auto takeIfNamed = [&](auto* typed) {
    using Named = std::remove_pointer_t<decltype(typed)>;
    if (lstrcmpW(section, Named::Keys().section) == 0) ranges = RulesOf<Named>();
  };
  (takeIfNamed(static_cast<Record*>(nullptr)), ...);
  return ranges;
}

}  // namespace

// One store for each record.
Settings_CL::Settings_CL(Inifile_CL& store) : store_(store), records_(store, store, store, store) {}

void Settings_CL::Load() {
  ForEachRecord(records_, [this](auto& record) { LoadSection(record, store_); });
}

SettingsSnapshot Settings_CL::TakeSnapshot() const {
  SettingsSnapshot snapshot;
  inistore::Changes keys;
  ForEachRecord(records_, [&](const auto& record) {
    snapshot.values.push_back(CaptureSection(record));
    AddKeys<std::decay_t<decltype(record)>>(&keys);
  });
  snapshot.fileRead = store_.Stored(&keys);
  snapshot.stored = std::move(keys);
  return snapshot;
}

void Settings_CL::Restore(const SettingsSnapshot& snapshot) {
  size_t index = 0;
  ForEachRecord(records_, [&](auto& record) {
    if (index < snapshot.values.size()) RestoreSection(record, snapshot.values[index]);
    ++index;
  });
}

bool Settings_CL::PutBackInFile(const SettingsSnapshot& snapshot) const {
  if (snapshot.fileRead) return store_.Write(snapshot.stored);
  inistore::Changes changes;
  size_t index = 0;
  ForEachRecord(records_, [&](const auto& record) {
    if (index < snapshot.values.size()) {
      AddTakenDifferences<std::decay_t<decltype(record)>>(snapshot.values[index], store_, &changes);
    }
    ++index;
  });
  return store_.Write(changes);
}

bool Settings_CL::SaveRecords() const {
  inistore::Changes changes;
  ForEachRecord(records_, [&](const auto& record) { AddDifferences(record, store_, &changes); });
  return store_.Write(changes);
}

std::vector<settings::KeyRange> Settings_CL::LoadRanges(const wchar_t* section) {
  return RangesIn(section, static_cast<const Records*>(nullptr));
}
