#include "base/com_apartment_win.h"

#include <objbase.h>

UiThreadApartment::UiThreadApartment()
    : joined_(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

// S_FALSE (already joined) counts too: every success is paired.
UiThreadApartment::~UiThreadApartment() {
  if (joined_) CoUninitialize();
}
