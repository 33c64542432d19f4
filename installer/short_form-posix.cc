#include <sys/stat.h>

#include "installer_platform.h"

// A directory has no other short form than itself.
ShortForm convert_to_short_form(const char* path, InstallDirectory& out) {
  struct stat info;
  if (stat(path, &info) != 0) return ShortForm::kFailed;
  return out.assign(path) ? ShortForm::kMade : ShortForm::kTooLong;
}
