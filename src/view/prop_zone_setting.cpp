#include "view/prop_zone_setting.h"

#include <algorithm>

#include "text/zone_time.h"
#include "view/display.h"

using namespace dispsetting;

namespace {

// The label field and the zone list, in "W" widths of the page's font.
constexpr int kLabelChars = 12;
constexpr int kZoneListChars = 30;
// Rows of "Ｗ" heights each place takes.
constexpr int kRowsPerPlace = 3;

int ZoneIndex(const std::vector<TimeZoneEntry>& zones, const std::wstring& key) {
  for (size_t index = 0; index < zones.size(); ++index) {
    if (_wcsicmp(zones[index].key.c_str(), key.c_str()) == 0) return static_cast<int>(index);
  }
  return -1;
}

}  // namespace

PropZoneSetting_CL::PropZoneSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : ScrollPage_CL(settings, display, clockWindow, scrolling::ScrollRules{}) {}

PropZoneSetting_CL::~PropZoneSetting_CL() = default;

void PropZoneSetting_CL::BuildControls() {
  const ZoneSaveData_CL& zones = settings_.Zones();
  const int d = area_.charHeight;
  zones_ = timezones::List();
  for (int index = 0; index < kPlaceCount; ++index) AddPlaceRow(index, kRowsPerPlace * d * index + Px(kTop));

  const int barsTop = kRowsPerPlace * d * kPlaceCount + Px(kTop);
  horizontal_ = AddLabelledBar(TextId::kZoneHorizontalOffset, barsTop, -kOffsetLimit, kOffsetLimit, zones.offset_x);
  vertical_ = AddLabelledBar(TextId::kZoneVerticalOffset, barsTop + 3 * d, -kOffsetLimit, kOffsetLimit, zones.offset_y);
  FinishPanel(*rows_[0].show, TextId::kZonePage, {rows_[kPlaceCount - 1].zone, vertical_.bar}, *vertical_.bar);
  // The labels show the values; nothing is written until the user changes one.
  ReadOffsets(TextId::kZoneHorizontalOffset, TextId::kZoneVerticalOffset);
}

void PropZoneSetting_CL::AddPlaceRow(int index, int top) {
  const PlaceSetting place = settings_.Zones().Place(index);
  const int w = area_.charWidth;
  const int d = area_.charHeight;
  PlaceRow& row = rows_[index];
  row.show = AddCheckBox(UiTextWith(TextId::kZoneShow, {std::to_wstring(index + 1)}), Px(kBoxX), top, place.show != 0);
  const int labelX = area_.width - kLabelChars * w - 2 * w;
  const StaticText_CL* caption = AddLabel(UiText(TextId::kZoneLabel), labelX, top + d + Px(4));
  const int fieldX = labelX + static_cast<int>(RectInParent(caption->Window()).right - RectInParent(caption->Window()).left) + w / 2;
  row.label = factory_.Get<EditBox_CL>(factory_.AddEditBox(ControlParent(), place.label, kLabelChars, fieldX, top + d));
  row.label->LimitText(zonetext::kMaxLabelLength);
  row.zone = AddList({}, kZoneListChars, w, top + d);
  for (const TimeZoneEntry& zone : zones_) row.zone->AddItem(zone.display, 0);
  // Long names show whole in the dropped list; the list leaves the label room.
  row.zone->FitWithin(labelX - w - w / 2);
  row.zone->Select(ZoneIndex(zones_, place.zone));
  ShowDefaultLabel(index);
}

void PropZoneSetting_CL::ShowDefaultLabel(int index) {
  const std::wstring key = settings_.Zones().Place(index).zone;
  rows_[index].label->SetCueText(key.empty() ? L"" : zonetext::ShortName(timezones::DisplayName(key)));
}

bool PropZoneSetting_CL::OnControlCommand(int id, int code, HWND control) {
  for (int index = 0; index < kPlaceCount; ++index) {
    const PlaceRow& row = rows_[index];
    PlaceSetting changed = settings_.Zones().Place(index);
    if (id == row.show->ControlId()) {
      changed.show = row.show->IsChecked() ? 1 : 0;
    } else if (id == row.label->ControlId() && code == EN_CHANGE) {
      changed.label = zonetext::CleanLabel(row.label->Text());
    } else if (IsListChoice(row.zone, code, control)) {
      const int selection = row.zone->Selection();
      if (selection < 0 || static_cast<size_t>(selection) >= zones_.size()) return false;
      changed.zone = zones_[static_cast<size_t>(selection)].key;
    } else {
      continue;
    }
    if (changed == settings_.Zones().Place(index)) return false;
    ChangePlace(index, changed);
    return true;
  }
  return false;
}

void PropZoneSetting_CL::ChangePlace(int index, const PlaceSetting& changed) {
  ZoneSaveData_CL& zones = settings_.Zones();
  const bool zoneChanged = changed.zone != zones.Place(index).zone;
  zones.SetPlace(index, changed);
  if (zoneChanged) ShowDefaultLabel(index);
  display_.Apply(display::kZonesPlace | display::kShowing);
}

void PropZoneSetting_CL::UpdateOffsets() {
  ZoneSaveData_CL& zones = settings_.Zones();
  const POINT offset = ReadOffsets(TextId::kZoneHorizontalOffset, TextId::kZoneVerticalOffset);
  if (offset.x == zones.offset_x && offset.y == zones.offset_y) return;
  zones.offset_x = offset.x;
  zones.offset_y = offset.y;
  zones.SaveOffsets();
  display_.Apply(display::kZonesPlace);
}
