#include <sys/stat.h>

#include "installer_platform.h"

// A directory has no other short form than itself.
ShortForm convert_current_directory(const CurrentDirectory& current, InstallDirectory& out) {
  struct stat info;
  if (stat(current.c_str(), &info) != 0) return ShortForm::kFailed;
  return out.assign(current.c_str()) ? ShortForm::kMade : ShortForm::kTooLong;
}
