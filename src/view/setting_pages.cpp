#include "view/setting_pages.h"

#include <utility>

#include "comlib/ui_text.h"
#include "view/prop_app_disp_setting.h"
#include "view/prop_app_version.h"
#include "view/prop_color_setting.h"
#include "view/prop_date_disp_setting.h"
#include "view/prop_font_setting.h"
#include "view/prop_time_sync.h"
#include "view/prop_zone_setting.h"

namespace {

template <typename Page, typename... Arguments>
void AddPage(std::vector<SettingPage>& pages, TextId title, Arguments&&... arguments) {
  pages.push_back(SettingPage{std::make_unique<Page>(std::forward<Arguments>(arguments)...), UiText(title)});
}

}  // namespace

// One block per tab, in tab order; each block adds its page or, until the
// page exists, stays empty.
std::vector<SettingPage> MakeSettingPages(Settings_CL& settings, Display_CL& display, HWND clockWindow) {
  std::vector<SettingPage> pages;

  // The clock's display.
  AddPage<PropAppDispSetting_CL>(pages, TextId::kClockPage, settings, display, clockWindow);

  // The clock's font.
  AddPage<PropAppFontSetting_CL>(pages, TextId::kClockFontPage, settings, display, clockWindow);

  // The clock's colours.
  AddPage<PropAppColorSetting_CL>(pages, TextId::kClockColourPage, settings, display, clockWindow);

  // The date's display.
  AddPage<PropDateDispSetting_CL>(pages, TextId::kDatePage, settings, display, clockWindow);

  // The date's font.
  AddPage<PropDateFontSetting_CL>(pages, TextId::kDateFontPage, settings, display, clockWindow);

  // The date's colours.
  AddPage<PropDateColorSetting_CL>(pages, TextId::kDateColourPage, settings, display, clockWindow);

  // The world clocks.
  AddPage<PropZoneSetting_CL>(pages, TextId::kZonePage, settings, display, clockWindow);

  // Network time.
  AddPage<PropTimeSync_CL>(pages, TextId::kTimeSyncPage, settings, display, clockWindow);

  // The version.
  AddPage<PropAppVersion_CL>(pages, TextId::kVersionPage);

  return pages;
}
