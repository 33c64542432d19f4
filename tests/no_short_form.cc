// Stands in for the installer's short-form conversion in one test: it fails
// as the platform's does for a path that names nothing, with the platform's
// last error code set the same way.
#include "installer_platform.h"

ShortForm convert_current_directory(const CurrentDirectory& /*current*/, InstallDirectory& /*out*/) {
  change_directory("no such directory");  // leaves "not found" as the last error
  return ShortForm::kFailed;
}
