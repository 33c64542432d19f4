// The platform operations the installer needs; installer_platform-win32.cc
// and -posix.cc implement them.
#ifndef INSTALLER_INSTALLER_PLATFORM_H_
#define INSTALLER_INSTALLER_PLATFORM_H_

#include <stdio.h>

#include "shortcut_command.h"

extern const CommandStyle kCommandStyle;

// The result is ignored by design: the install directory is wherever the
// installer ends up.
void change_directory(const char* path);

// False when the directory cannot be read, for one because it is longer
// than the buffer.
bool read_current_directory(CurrentDirectory& out);

enum class ShortForm {
  kMade,
  kFailed,   // the platform's last error says why
  kTooLong,  // it does not fit; the last error says nothing of it
};
// The short form of the current directory, `current` as read above. On
// Windows it is made from the directory read again in wide characters and
// taken only where the ANSI code page holds it whole (a name outside the code
// page reads as '?' in ANSI, which names nothing); otherwise from `current`.
ShortForm convert_current_directory(const CurrentDirectory& current, InstallDirectory& out);

// "Failed with error %d: %s" for the platform's last error code, in the
// system's own words, on standard output.
void report_last_error();
// The same line for `code`, on `out`.
void print_error_line(FILE* out, int code);

#endif  // INSTALLER_INSTALLER_PLATFORM_H_
