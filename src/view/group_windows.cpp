#include "view/group_windows.h"

#include <utility>

namespace {

constexpr wchar_t kGroupClockClassName[] = L"HoravelGroupClockClass";
constexpr wchar_t kGroupDateClassName[] = L"HoravelGroupDateClass";
constexpr wchar_t kGroupZoneClassName[] = L"HoravelGroupZoneClass";

}  // namespace

struct GroupWindows_CL::Group {
  Group(Display_CL& display, size_t group)
      : clock(display, Face::kClock, kGroupClockClassName, kClockInitialSize, group),
        date(display, Face::kDate, kGroupDateClassName, kDateInitialSize, group),
        zones(display, Face::kZones, kGroupZoneClassName, kZonesInitialSize, group) {}
  ~Group() {
    // Highest first, as the first group's go; each lets go of its picture.
    for (FaceWindow_CL* face : {&clock, &date, &zones}) {
      if (IsWindow(face->Window())) DestroyWindow(face->Window());
    }
  }
  Group(const Group&) = delete;
  Group& operator=(const Group&) = delete;

  FaceWindow_CL clock;
  FaceWindow_CL date;
  FaceWindow_CL zones;
};

GroupWindows_CL::GroupWindows_CL(Display_CL& display) : display_(display) {}

GroupWindows_CL::~GroupWindows_CL() = default;

bool GroupWindows_CL::Make(size_t group) {
  retired_.clear();
  if (groups_.size() <= group) groups_.resize(group + 1);
  groups_[group] = std::make_unique<Group>(display_, group);
  Group& made = *groups_[group];
  return made.clock.Create() != nullptr && made.date.Create() != nullptr && made.zones.Create() != nullptr;
}

void GroupWindows_CL::TakeDown(size_t group) {
  retired_.clear();
  if (group >= groups_.size() || !groups_[group]) return;
  std::unique_ptr<Group> gone = std::move(groups_[group]);
  for (FaceWindow_CL* face : {&gone->clock, &gone->date, &gone->zones}) {
    if (IsWindow(face->Window())) DestroyWindow(face->Window());
  }
  retired_.push_back(std::move(gone));
}
