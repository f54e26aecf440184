#pragma once
// The settings records described as tables: each key of a section with its
// field in the record, its default and what a load does with the value
// read. One table drives a record's defaults, its section's load, its
// writes, its snapshot and the check of what the file would load, so a key
// and its default are named once. A record names its table as Keys().

#include <windows.h>

#include <cassert>
#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "data/save_data.h"
#include "text/time_text.h"
#include "text/zone_time.h"

namespace settingtable {

// What a load does with the value it read.
// A label is a text held to what a place keeps (text/zone_time.h).
enum class LoadRule { kAsRead, kRange, kDateFormat, kLabel };

// One key of a section: its field in the record, its default and its load
// rule. Exactly one of the three field pointers is set.
template <typename Record>
struct Setting {
  const wchar_t* key;
  int Record::*number;
  Argb Record::*colour;
  std::wstring Record::*text;
  int numberDefault;
  Argb colourDefault;
  const wchar_t* textDefault;
  LoadRule rule;
  int lowest;
  int highest;
};

template <typename Record>
constexpr Setting<Record> Number(const wchar_t* key, int Record::*field, int defaultValue) {
  return {key, field, nullptr, nullptr, defaultValue, 0, nullptr, LoadRule::kAsRead, 0, 0};
}

template <typename Record>
constexpr Setting<Record> Ranged(const wchar_t* key, int Record::*field, int defaultValue, int lowest,
                                 int highest) {
  return {key, field, nullptr, nullptr, defaultValue, 0, nullptr, LoadRule::kRange, lowest, highest};
}

template <typename Record>
constexpr Setting<Record> DateFormat(const wchar_t* key, int Record::*field, int defaultValue) {
  return {key, field, nullptr, nullptr, defaultValue, 0, nullptr, LoadRule::kDateFormat, 0, 0};
}

template <typename Record>
constexpr Setting<Record> Colour(const wchar_t* key, Argb Record::*field, Argb defaultValue) {
  return {key, nullptr, field, nullptr, 0, defaultValue, nullptr, LoadRule::kAsRead, 0, 0};
}

template <typename Record>
constexpr Setting<Record> Text(const wchar_t* key, std::wstring Record::*field, const wchar_t* defaultValue) {
  return {key, nullptr, nullptr, field, 0, 0, defaultValue, LoadRule::kAsRead, 0, 0};
}

template <typename Record>
constexpr Setting<Record> Label(const wchar_t* key, std::wstring Record::*field) {
  return {key, nullptr, nullptr, field, 0, 0, L"", LoadRule::kLabel, 0, 0};
}

// A section's name and its keys, in the order of a load.
template <typename Record>
struct KeyTable {
  const wchar_t* section;
  std::vector<Setting<Record>> keys;
};

// Every field of the record at its default.
template <typename Record>
void SetDefaults(Record& record) {
  for (const Setting<Record>& setting : Record::Keys().keys) {
    if (setting.text != nullptr) {
      record.*setting.text = setting.textDefault;
    } else if (setting.colour != nullptr) {
      record.*setting.colour = setting.colourDefault;
    } else {
      record.*setting.number = setting.numberDefault;
    }
  }
}

template <typename Record>
int ApplyLoadRule(const Setting<Record>& setting, int value) {
  switch (setting.rule) {
    case LoadRule::kRange:
      return settings::Clamp(value, setting.lowest, setting.highest);
    case LoadRule::kDateFormat:
      return timetext::KnownDateFormat(value);
    case LoadRule::kAsRead:
    case LoadRule::kLabel:
      break;
  }
  return value;
}

template <typename Record>
void LoadSection(Record& record, const Inifile_CL& ini) {
  const wchar_t* section = Record::Keys().section;
  for (const Setting<Record>& setting : Record::Keys().keys) {
    if (setting.text != nullptr) {
      const std::wstring text = ini.GetString(section, setting.key, setting.textDefault);
      record.*setting.text = setting.rule == LoadRule::kLabel ? zonetext::CleanLabel(text) : text;
    } else if (setting.colour != nullptr) {
      // Colours are stored as signed decimals of the same bits.
      record.*setting.colour =
          static_cast<Argb>(ini.GetInt(section, setting.key, static_cast<int>(setting.colourDefault)));
    } else {
      record.*setting.number = ApplyLoadRule(setting, ini.GetInt(section, setting.key, setting.numberDefault));
    }
  }
}

// The key's stored form, from the record.
template <typename Record>
inistore::Change ChangeOf(const Record& record, const wchar_t* section, const Setting<Record>& setting) {
  if (setting.text != nullptr) return {section, setting.key, record.*setting.text};
  // Colours are stored as signed decimals of the same bits.
  const int number = setting.colour != nullptr ? static_cast<int>(record.*setting.colour) : record.*setting.number;
  return {section, setting.key, inistore::IntText(number)};
}

template <typename Record>
void WriteSection(const Record& record, const Inifile_CL& ini) {
  inistore::Changes changes;
  for (const Setting<Record>& setting : Record::Keys().keys) {
    changes.push_back(ChangeOf(record, Record::Keys().section, setting));
  }
  ini.Gather(changes);
}

template <typename Record>
std::vector<StoredValue> CaptureSection(const Record& record) {
  std::vector<StoredValue> values;
  values.reserve(Record::Keys().keys.size());
  for (const Setting<Record>& setting : Record::Keys().keys) {
    StoredValue value;
    if (setting.text != nullptr) {
      value.text = record.*setting.text;
    } else if (setting.colour != nullptr) {
      value.colour = record.*setting.colour;
    } else {
      value.number = record.*setting.number;
    }
    values.push_back(std::move(value));
  }
  return values;
}

template <typename Record>
void RestoreSection(Record& record, const std::vector<StoredValue>& values) {
  const std::vector<Setting<Record>>& keys = Record::Keys().keys;
  for (size_t i = 0; i < keys.size() && i < values.size(); ++i) {
    const Setting<Record>& setting = keys[i];
    if (setting.text != nullptr) {
      record.*setting.text = values[i].text;
    } else if (setting.colour != nullptr) {
      record.*setting.colour = values[i].colour;
    } else {
      record.*setting.number = values[i].number;
    }
  }
}

template <typename Record>
bool SameValue(const Record& a, const Record& b, const Setting<Record>& setting) {
  if (setting.text != nullptr) return a.*setting.text == b.*setting.text;
  if (setting.colour != nullptr) return a.*setting.colour == b.*setting.colour;
  return a.*setting.number == b.*setting.number;
}

// The keys whose value a load of the file would not give the record: a key
// that is missing and holds its default, or a stored value that a load
// clamps to the record's, is left as it is.
template <typename Record>
void AddDifferences(const Record& record, const Inifile_CL& ini, inistore::Changes* changes) {
  Record loaded(ini);
  LoadSection(loaded, ini);
  for (const Setting<Record>& setting : Record::Keys().keys) {
    if (!SameValue(record, loaded, setting)) changes->push_back(ChangeOf(record, Record::Keys().section, setting));
  }
}

// The keys whose value a load would not give the record as the snapshot
// took it.
template <typename Record>
void AddTakenDifferences(const std::vector<StoredValue>& taken, const Inifile_CL& ini, inistore::Changes* changes) {
  Record record(ini);
  RestoreSection(record, taken);
  AddDifferences(record, ini, changes);
}

template <typename Record>
void AddKeys(inistore::Changes* keys) {
  for (const Setting<Record>& setting : Record::Keys().keys) {
    keys->push_back({Record::Keys().section, setting.key, std::nullopt});
  }
}

template <typename Record>
bool Names(const Setting<Record>& setting, int Record::*field) {
  return setting.number == field;
}
template <typename Record>
bool Names(const Setting<Record>& setting, Argb Record::*field) {
  return setting.colour == field;
}
template <typename Record>
bool Names(const Setting<Record>& setting, std::wstring Record::*field) {
  return setting.text == field;
}

// Writes the keys of the given fields, in the order given, under the names
// the section's table gives them, as one group.
template <typename Record, typename... Fields>
void WriteFields(const Record& record, const Inifile_CL& ini, Fields... fields) {
  inistore::Changes changes;
  auto addOne = [&](auto field) {
    for (const Setting<Record>& setting : Record::Keys().keys) {
      if (Names(setting, field)) {
        changes.push_back(ChangeOf(record, Record::Keys().section, setting));
        return true;
      }
    }
    return false;
  };
  // A comma fold keeps the keys in the order given.
  int unknown = 0;
  ((unknown += addOne(fields) ? 0 : 1), ...);
  assert(unknown == 0);
  (void)unknown;
  ini.Gather(changes);
}

template <typename Record>
std::vector<settings::KeyRange> RulesOf() {
  std::vector<settings::KeyRange> rules;
  for (const Setting<Record>& setting : Record::Keys().keys) {
    rules.push_back(settings::KeyRange{setting.key, setting.rule == LoadRule::kRange, setting.lowest,
                                       setting.highest});
  }
  return rules;
}

}  // namespace settingtable
