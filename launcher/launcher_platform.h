// The few platform operations the launcher's run sequence needs; one file per
// platform implements them (launcher_platform-win32.cc, -posix.cc).
#ifndef LAUNCHER_LAUNCHER_PLATFORM_H_
#define LAUNCHER_LAUNCHER_PLATFORM_H_

#include "toolchain_paths.h"

// The launcher's exit status, in one place:
//  - once the child has ended, the child's own status, unchanged: all 32 bits
//    of it on Windows; natively its exit code, or 128 + N when signal N ended it;
//  - kNoChildStatus when no child was started: the command line is empty, its
//    program is not found, the platform refuses, or a value passes its limit.
//    0xFFFFFFFF on Windows, 255 natively.
extern const int kNoChildStatus;

// How the platform writes composed paths.
extern const PathStyle kPathStyle;

// A ShortFormConversion: the platform's short form of an existing path.
bool convert_to_short_form(void* context, const char* path, ShortForm& out);

// Both results are ignored by design: a missing bin directory leaves the
// child in the caller's directory, still with the new search path.
void change_directory(const char* path);
void set_search_path(const char* value);

// Starts `command_line` as a child on the same console, with inherited
// handles and environment; waits for it, passing interrupts on to it, and
// returns the launcher's exit status (see above).
int run_child(const ChildCommandLine& command_line);

#endif  // LAUNCHER_LAUNCHER_PLATFORM_H_
