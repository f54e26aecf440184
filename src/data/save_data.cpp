#include "data/save_data.h"

AppSaveData_CL& ClockData() {
  static AppSaveData_CL record;
  return record;
}

DateSaveData_CL& DateData() {
  static DateSaveData_CL record;
  return record;
}

void AppSaveData_CL::Initialize(HWND) {}
void AppSaveData_CL::InitializeIn(HWND, const std::wstring&) {}
void AppSaveData_CL::LoadClockDisp() {}
void AppSaveData_CL::SaveClockDispFlags(HWND) {}
void AppSaveData_CL::SetClockFontEmHeight(int) {}
void AppSaveData_CL::SetClockFont(const std::wstring&, int, int) {}
void AppSaveData_CL::SaveClockColors() {}
void AppSaveData_CL::SetClockDrawType(int) {}
void AppSaveData_CL::SetDisplayIndex(int) {}
int AppSaveData_CL::GetClockAlpha(HWND) const { return alpha; }
void DateSaveData_CL::LoadDateDisp() {}
void DateSaveData_CL::SaveDateDisp() {}
void DateSaveData_CL::SetDateFontEmHeight(int) {}
void DateSaveData_CL::SetDateFont(const std::wstring&, int, int) {}
void DateSaveData_CL::SaveDateColors() {}
int DateSaveData_CL::GetDateAlpha(HWND) const { return alpha; }
bool DateSaveData_CL::IsClockShown() const { return !ClockData().hidden && !hide_clock; }
void DateSaveData_CL::ApplyDateTimers() {}
void DateSaveData_CL::RaiseClockWindow() {}
namespace settings {
int FadedAlpha(int alpha, POINT, const RECT&) { return alpha; }
int Clamp(int value, int, int) { return value; }
int NormaliseDateFormat(int format) { return format; }
}  // namespace settings
