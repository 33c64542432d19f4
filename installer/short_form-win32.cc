#include <windows.h>

#include "installer_platform.h"

ShortForm convert_to_short_form(const char* path, InstallDirectory& out) {
  DWORD result = 0;
  if (out.fill([&](char* buffer, size_t size) {
        return result = GetShortPathNameA(path, buffer, static_cast<DWORD>(size));
      })) {
    return ShortForm::kMade;
  }
  return result == 0 ? ShortForm::kFailed : ShortForm::kTooLong;
}
