#pragma once
// Helpers for the settings tests: settings of a test's own.

#include <windows.h>

#include <string>

#include "comlib/inifile.h"
#include "comlib/update_check.h"
#include "data/settings.h"
#include "support/test_support.h"

namespace data_testing {

// The file and the store under a test's settings; a base of TestSettings,
// so that both exist before the settings are made over them.
class TestSettingsFile {
 protected:
  testing_support::TempFolder folder_;
  Inifile_CL testStore_{folder_.File(L"Horavel.ini")};
};

// Settings of a test's own: every record at its defaults, over a store of
// a file in a temporary folder, shared with no other test and not with the
// program's own settings. The file holds only the switch that keeps a clock
// made over these settings from asking a server for updates.
class TestSettings : private TestSettingsFile, public Settings_CL {
 public:
  TestSettings() : Settings_CL(testStore_) {
    testing_support::WriteUtf16(testStore_.Path(), std::wstring(L"[") + update::kSection + L"]\r\n" +
                                                       update::kNotifyKey + L"=1\r\n");
  }

  // The temporary folder, for a data folder or other files of the test.
  const testing_support::TempFolder& Folder() const { return folder_; }
};

// True when the load holds both font sizes to a range. Until it does, a
// hostile size reaches GDI+ as it is, and Wine's GDI+ dies outlining text
// at huge or negative sizes: nothing can be painted from such a file.
inline bool FontSizesAreRanged() {
  for (const wchar_t* section : {kClockSection, kDateSection}) {
    bool ranged = false;
    for (const settings::KeyRange& rule : Settings_CL::LoadRanges(section)) {
      if (std::wstring(rule.key) == L"font_em_height") ranged = rule.ranged;
    }
    if (!ranged) return false;
  }
  return true;
}

}  // namespace data_testing
