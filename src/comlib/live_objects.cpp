#include "comlib/live_objects.h"

#include "comlib/gdiplus_flat.h"
#include "comlib/inifile.h"
#include "comlib/unique_handle.h"

namespace comlib {

namespace {
constexpr wchar_t kLiveObjectsMessageName[] = L"Horavel.LiveObjects";

long& KeptCount() {
  static long kept = 0;
  return kept;
}
}  // namespace

long KeptGdiplusObjects() { return KeptCount(); }

void CountKeptGdiplusObjects(long change) { KeptCount() += change; }

long LiveGdiObjects() {
  return UniqueFont::Live() + UniqueBitmap::Live() + UniqueBrush::Live() + UniqueMemoryDC::Live();
}

UINT LiveObjectsMessage() {
  static const UINT message = RegisterWindowMessageW(kLiveObjectsMessageName);
  return message;
}

bool AnswerLiveObjects(UINT message, WPARAM which, LRESULT* reply) {
  if (message == 0 || message != LiveObjectsMessage()) return false;
  switch (which) {
    case kLiveGdiplusObjects:
      *reply = LiveGdiplusObjects();
      break;
    case kSettingsFileReplaces:
      *reply = AppIni().Replaces();
      break;
    case kKeptGdiplusObjects:
      *reply = KeptGdiplusObjects();
      break;
    default:
      *reply = LiveGdiObjects();
      break;
  }
  return true;
}

}  // namespace comlib
