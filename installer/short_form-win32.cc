#include <direct.h>
#include <windows.h>

#include "../common/ansi_code_page-win32.h"
#include "installer_platform.h"

namespace {

// The short form of the wide current directory, in the ANSI code page, where
// that holds every character of it; only for a directory whose ANSI name lost
// characters (one the code page holds whole is looked up as it always was).
bool wide_short_form(InstallDirectory& out) {
  wchar_t current[CurrentDirectory::kSize];
  wchar_t short_form[InstallDirectory::kSize];
  CurrentDirectory exact;
  if (_wgetcwd(current, CurrentDirectory::kSize) == nullptr || to_ansi_whole(current, exact)) {
    return false;
  }
  const DWORD n = GetShortPathNameW(current, short_form, InstallDirectory::kSize);
  return n > 0 && n < InstallDirectory::kSize && to_ansi_whole(short_form, out);
}

}  // namespace

ShortForm convert_current_directory(const CurrentDirectory& current, InstallDirectory& out) {
  if (wide_short_form(out)) return ShortForm::kMade;
  // As the ANSI interfaces always did; the last error then says why it failed.
  DWORD result = 0;
  if (out.fill([&](char* buffer, size_t size) {
        return result = GetShortPathNameA(current.c_str(), buffer, static_cast<DWORD>(size));
      })) {
    return ShortForm::kMade;
  }
  return result == 0 ? ShortForm::kFailed : ShortForm::kTooLong;
}
