#include "data/save_data.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cassert>
#include <cmath>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/log_file.h"
#include "comlib/program_path.h"
#include "comlib/unique_handle.h"
#include "data/portable.h"
#include "product.h"
#include "text/time_text.h"

namespace {

constexpr wchar_t kLogFileName[] = L"log.txt";

// The program's folder inside a base folder (documents, or a fallback).
std::wstring DataFolderIn(std::wstring base) {
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  return base + L"\\" + product::kName;
}

// What a load does with the value it read.
enum class LoadRule { kAsRead, kRange, kDateFormat };

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

constexpr int kOffsetLimit = 1024;
using settings::kFontEmHeightMax;
using settings::kFontEmHeightMin;
using settings::kOutlineScaleMax;

using Clock = AppSaveData_CL;
using Date = DateSaveData_CL;

// CLOCK_DISP, in the order of a load.
const Setting<Clock> kClockSettings[] = {
    Number(L"blink", &Clock::blink, 1),
    Number(L"hour12", &Clock::hour12, 0),
    Number(L"draw_type", &Clock::draw_type, 0),
    // An index that names no monitor is kept: the placement falls back to
    // the primary display until that monitor returns.
    Number(L"display_index", &Clock::display_index, 0),
    Number(L"disp_index", &Clock::disp_index, 0),
    Ranged(L"disp_offset_x", &Clock::disp_offset_x, 32, -kOffsetLimit, kOffsetLimit),
    Ranged(L"disp_offset_y", &Clock::disp_offset_y, 32, -kOffsetLimit, kOffsetLimit),
    Number(L"alpha", &Clock::alpha, 220),
    Text(L"font_family", &Clock::font_family, L"Comic Sans MS"),
    Number(L"font_bold", &Clock::font_bold, 1),
    Number(L"font_italic", &Clock::font_italic, 1),
    Ranged(L"font_em_height", &Clock::font_em_height, 128, kFontEmHeightMin, kFontEmHeightMax),
    Ranged(L"border_frame_scale", &Clock::border_frame_scale, 6, 0, kOutlineScaleMax),
    Colour(L"font_color1", &Clock::font_color1, 0xFF00FA00),
    Colour(L"font_color2", &Clock::font_color2, 0xFF00C800),
    Colour(L"font_color3", &Clock::font_color3, 0xFFFFFFFF),
    Number(L"disp_startup_hidden", &Clock::disp_startup_hidden, 0),
    Number(L"disp_second", &Clock::disp_second, 1),
    Number(L"faint_on_hover", &Clock::faint_on_hover, 1),
    Number(L"hide_on_fullscreen", &Clock::hide_on_fullscreen, 1),
    // Empty switches the hot key off.
    Text(L"hotkey", &Clock::hotkey, L"Ctrl+Alt+H"),
    // "auto" follows the Windows display language; "ja" or "en" choose.
    Text(L"language", &Clock::language, L"auto"),
};

// DATE_DISP, in the order in which SaveDateDisp writes it.
const Setting<Date> kDateSettings[] = {
    Number(L"show_date", &Date::show_date, 1),
    Number(L"hide_clock", &Date::hide_clock, 0),
    Number(L"alpha", &Date::alpha, 203),
    Ranged(L"offset_x", &Date::offset_x, 103, -kOffsetLimit, kOffsetLimit),
    Ranged(L"offset_y", &Date::offset_y, 61, -kOffsetLimit, kOffsetLimit),
    DateFormat(L"date_format", &Date::date_format, 1),
    Number(L"draw_type", &Date::draw_type, 0),
    Number(L"faint_on_hover", &Date::faint_on_hover, 1),
    Number(L"disp_startup_hidden", &Date::disp_startup_hidden, 0),
    Text(L"font_family", &Date::font_family, L"Comic Sans MS"),
    Number(L"font_bold", &Date::font_bold, 1),
    Number(L"font_italic", &Date::font_italic, 0),
    Ranged(L"font_em_height", &Date::font_em_height, 56, kFontEmHeightMin, kFontEmHeightMax),
    Ranged(L"border_frame_scale", &Date::border_frame_scale, 10, 0, kOutlineScaleMax),
    Colour(L"font_color1", &Date::font_color1, 0xFF1F7839),
    Colour(L"font_color3", &Date::font_color3, 0xFFFFFFFF),
};

template <typename Record>
int ApplyLoadRule(const Setting<Record>& setting, int value) {
  switch (setting.rule) {
    case LoadRule::kRange:
      return settings::Clamp(value, setting.lowest, setting.highest);
    case LoadRule::kDateFormat:
      return timetext::KnownDateFormat(value);
    case LoadRule::kAsRead:
      break;
  }
  return value;
}

template <typename Record, size_t N>
void LoadSection(Record& record, const wchar_t* section, const Setting<Record> (&table)[N]) {
  const Inifile_CL& ini = AppIni();
  for (const Setting<Record>& setting : table) {
    if (setting.text != nullptr) {
      record.*setting.text = ini.GetString(section, setting.key, setting.textDefault);
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

template <typename Record, size_t N>
void WriteSection(const Record& record, const wchar_t* section, const Setting<Record> (&table)[N]) {
  inistore::Changes changes;
  for (const Setting<Record>& setting : table) changes.push_back(ChangeOf(record, section, setting));
  AppIni().Gather(changes);
}

template <typename Record, size_t N>
std::vector<SettingsSnapshot::Value> CaptureSection(const Record& record, const Setting<Record> (&table)[N]) {
  std::vector<SettingsSnapshot::Value> values;
  values.reserve(N);
  for (const Setting<Record>& setting : table) {
    SettingsSnapshot::Value value;
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

template <typename Record, size_t N>
void RestoreSection(Record& record, const Setting<Record> (&table)[N],
                    const std::vector<SettingsSnapshot::Value>& values) {
  for (size_t i = 0; i < N && i < values.size(); ++i) {
    const Setting<Record>& setting = table[i];
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
template <typename Record, size_t N>
void AddDifferences(const Record& record, const wchar_t* section, const Setting<Record> (&table)[N],
                    inistore::Changes* changes) {
  Record loaded;
  LoadSection(loaded, section, table);
  for (const Setting<Record>& setting : table) {
    if (!SameValue(record, loaded, setting)) changes->push_back(ChangeOf(record, section, setting));
  }
}

template <typename Record, size_t N>
void AddKeys(const wchar_t* section, const Setting<Record> (&table)[N], inistore::Changes* keys) {
  for (const Setting<Record>& setting : table) keys->push_back({section, setting.key, std::nullopt});
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
template <typename Record, size_t N, typename... Fields>
void WriteFields(const Record& record, const wchar_t* section, const Setting<Record> (&table)[N],
                 Fields... fields) {
  inistore::Changes changes;
  auto addOne = [&](auto field) {
    for (const Setting<Record>& setting : table) {
      if (Names(setting, field)) {
        changes.push_back(ChangeOf(record, section, setting));
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
  AppIni().Gather(changes);
}

template <typename... Fields>
void WriteClockKeys(const Clock& record, Fields... fields) {
  WriteFields(record, kClockSection, kClockSettings, fields...);
}

template <typename... Fields>
void WriteDateKeys(const Date& record, Fields... fields) {
  WriteFields(record, kDateSection, kDateSettings, fields...);
}

// True when the program's data folder in the base folder exists or can be
// made, and a file can be written in it.
bool CanWriteDataFolderIn(const std::wstring& base) {
  const std::wstring folder = DataFolderIn(base);
  if (!PathFileExistsW(folder.c_str()) && !CreateDirectoryW(folder.c_str(), nullptr)) return false;
  const std::wstring probe = folder + L"\\write-check.tmp";
  return static_cast<bool>(comlib::OwnFile(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                                      nullptr)));
}

template <typename Record, size_t N>
std::vector<settings::KeyRange> RulesOf(const Setting<Record> (&table)[N]) {
  std::vector<settings::KeyRange> rules;
  for (const Setting<Record>& setting : table) {
    rules.push_back(settings::KeyRange{setting.key, setting.rule == LoadRule::kRange, setting.lowest,
                                       setting.highest});
  }
  return rules;
}

}  // namespace

AppSaveData_CL& ClockData() {
  static AppSaveData_CL record;
  return record;
}

DateSaveData_CL& DateData() {
  static DateSaveData_CL record;
  return record;
}

void AppSaveData_CL::Initialize() {
  // A settings file beside the program (a copy carried on a USB stick)
  // keeps the settings and the log there.
  const std::wstring portable = settings::PortableDataFolder();
  if (!portable.empty()) {
    InitializeDataFolder(portable, S_OK);
    return;
  }
  wchar_t documents[MAX_PATH] = {};
  HRESULT result = SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  if (result == S_OK && documents[0] == L'\0') result = E_FAIL;
  const std::wstring known = result == S_OK ? std::wstring(documents) : std::wstring();
  wchar_t localAppData[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData) != S_OK) {
    localAppData[0] = L'\0';
  }
  const std::wstring base =
      settings::ChooseDataBase(known, comlib::ProgramFolder(), localAppData, &CanWriteDataFolderIn);
  InitializeFrom(base, result);
}

void AppSaveData_CL::InitializeIn(const std::wstring& documentsFolder) { InitializeFrom(documentsFolder, S_OK); }

void AppSaveData_CL::InitializeFrom(const std::wstring& documentsFolder, HRESULT documentsResult) {
  InitializeDataFolder(DataFolderIn(documentsFolder), documentsResult);
}

void AppSaveData_CL::InitializeDataFolder(const std::wstring& dataFolder, HRESULT documentsResult) {
  dataFolder_ = dataFolder;
  settingsPath_ = dataFolder_ + L"\\" + settings::kSettingsFileName;

  if (!PathFileExistsW(dataFolder_.c_str())) {
    CreateDirectoryW(dataFolder_.c_str(), nullptr);
    Inifile_CL::CreateIfMissing(settingsPath_);
  }
  AppLog().SetPath(dataFolder_ + L"\\" + kLogFileName);
  HORAVEL_LOG(L"\r\n★★★★★ アプリ起動 ★★★★★");
  HORAVEL_LOG(L"DataFolderPath = \"%s\"", dataFolder_.c_str());
  if (documentsResult != S_OK) {
    HORAVEL_LOG(L"SHGetFolderPathW(CSIDL_PERSONAL) failed: 0x%08X", static_cast<unsigned>(documentsResult));
  }
  // Also covers a data folder that exists without its settings file.
  Inifile_CL::CreateIfMissing(settingsPath_);
  Inifile_CL::RemoveLeftoverCopies(settingsPath_);
  AppIni().SetPath(settingsPath_);
  LoadClockDisp();
}

void AppSaveData_CL::LoadClockDisp() { LoadSection(*this, kClockSection, kClockSettings); }

void AppSaveData_CL::SaveClockDisp() const { WriteSection(*this, kClockSection, kClockSettings); }

void AppSaveData_CL::SaveField(int Clock::*field) const { WriteClockKeys(*this, field); }

void AppSaveData_CL::SaveField(std::wstring Clock::*field) const { WriteClockKeys(*this, field); }

void AppSaveData_CL::SaveClockDispFlags() const {
  WriteClockKeys(*this, &Clock::disp_startup_hidden, &Clock::disp_second, &Clock::blink, &Clock::hour12,
                 &Clock::faint_on_hover, &Clock::alpha);
}

void AppSaveData_CL::SetClockFontEmHeight(int size) {
  font_em_height = settings::Clamp(size, kFontEmHeightMin, kFontEmHeightMax);
  WriteClockKeys(*this, &Clock::font_em_height);
}

void AppSaveData_CL::SetClockFont(const std::wstring& family, int bold, int italic) {
  font_family = family;
  font_bold = bold;
  font_italic = italic;
  WriteClockKeys(*this, &Clock::font_family, &Clock::font_bold, &Clock::font_italic);
  SetClockFontEmHeight(font_em_height);
}

void AppSaveData_CL::SaveClockColors() const {
  WriteClockKeys(*this, &Clock::font_color1, &Clock::font_color2, &Clock::font_color3);
}

void AppSaveData_CL::SetClockDrawType(int drawType) {
  draw_type = drawType;
  WriteClockKeys(*this, &Clock::draw_type);
}

void AppSaveData_CL::SetDisplayIndex(int index) {
  display_index = index;
  WriteClockKeys(*this, &Clock::display_index);
}

void DateSaveData_CL::LoadDateDisp() { LoadSection(*this, kDateSection, kDateSettings); }

void DateSaveData_CL::SaveDateDisp() const { WriteSection(*this, kDateSection, kDateSettings); }

void DateSaveData_CL::SaveField(int Date::*field) const { WriteDateKeys(*this, field); }

void DateSaveData_CL::SetDateFontEmHeight(int size) {
  font_em_height = settings::Clamp(size, kFontEmHeightMin, kFontEmHeightMax);
  WriteDateKeys(*this, &Date::font_em_height);
}

void DateSaveData_CL::SetDateFont(const std::wstring& family, int bold, int italic) {
  font_family = family;
  font_bold = bold;
  font_italic = italic;
}

void DateSaveData_CL::SaveDateColors() const { WriteDateKeys(*this, &Date::font_color1, &Date::font_color3); }

SettingsSnapshot SettingsSnapshot::Take() {
  SettingsSnapshot snapshot;
  snapshot.clock_ = CaptureSection(ClockData(), kClockSettings);
  snapshot.date_ = CaptureSection(DateData(), kDateSettings);
  inistore::Changes keys;
  AddKeys(kClockSection, kClockSettings, &keys);
  AddKeys(kDateSection, kDateSettings, &keys);
  snapshot.stored_ = AppIni().Stored(keys);
  return snapshot;
}

void SettingsSnapshot::Restore() const {
  RestoreSection(ClockData(), kClockSettings, clock_);
  RestoreSection(DateData(), kDateSettings, date_);
}

bool SettingsSnapshot::PutBackInFile() const { return AppIni().Write(stored_); }

namespace settings {

int FadedAlpha(int alpha, POINT cursor, const RECT& window) {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  // The ellipse is half as wide again as the window and centred at 30 % of
  // its height.
  const double semiAxisY = height * 0.6 * 0.5;
  const double semiAxisX = (width / 2) * 1.5;
  if (semiAxisX <= 0.0 || semiAxisY <= 0.0) return alpha;
  const int centreX = (window.left + window.right) / 2;
  const int centreY = static_cast<int>(window.top + semiAxisY);
  const double dx = static_cast<double>(cursor.x) - centreX;
  const double dy = static_cast<double>(cursor.y) - centreY;
  const double q = dx * dx / (semiAxisX * semiAxisX) + dy * dy / (semiAxisY * semiAxisY);
  if (q > 1.0) return alpha;
  const float share = static_cast<float>(std::sqrt(q)) * 0.8f + 0.2f;
  return static_cast<int>(share * static_cast<float>(alpha));
}

int Clamp(int value, int lowest, int highest) {
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

std::wstring ChooseDataBase(const std::wstring& documents, const std::wstring& programFolder,
                           const std::wstring& localAppData, bool (*canWrite)(const std::wstring& base)) {
  if (!documents.empty()) return documents;
  if (canWrite(programFolder)) return programFolder;
  if (!localAppData.empty() && canWrite(localAppData)) return localAppData;
  // Nowhere to write: the program runs with the defaults and loses its writes.
  return programFolder;
}

bool SaveRecords() {
  inistore::Changes changes;
  AddDifferences(ClockData(), kClockSection, kClockSettings, &changes);
  AddDifferences(DateData(), kDateSection, kDateSettings, &changes);
  return AppIni().Write(changes);
}

std::vector<KeyRange> LoadRanges(const wchar_t* section) {
  if (lstrcmpW(section, kClockSection) == 0) return RulesOf(kClockSettings);
  if (lstrcmpW(section, kDateSection) == 0) return RulesOf(kDateSettings);
  return {};
}

}  // namespace settings
