// The few platform operations the launcher's run sequence needs; one file per
// platform implements them (launcher_platform-win32.cc, -posix.cc).
#ifndef LAUNCHER_LAUNCHER_PLATFORM_H_
#define LAUNCHER_LAUNCHER_PLATFORM_H_

#include "toolchain_paths.h"

// The launcher's exit status, in one place:
//  - once the child has ended, the child's own status, unchanged. On Windows
//    the launcher waits and exits with all 32 bits of it. Natively the
//    launcher becomes the child (exec), so its caller sees the child's own
//    exit, or its death by a signal, on the launcher's pid;
//  - kNoChildStatus when no child was started: the command line is empty, its
//    program is not found, the platform refuses, a value passes its limit, or
//    a batch file's arguments hold the command interpreter's syntax.
//    0xFFFFFFFF on Windows, 255 natively.
extern const int kNoChildStatus;

// Whether a child that is a batch file gets its line read by the command
// interpreter (Windows). Then a line that would hand such a child the
// interpreter's syntax is refused, as a line that passes its limit is.
extern const bool kBatchFilesReadTheirLineAsACommand;

// How the platform writes composed paths.
extern const PathStyle kPathStyle;

// What the launcher was started with, as the platform reads it: `count`
// words in the ANSI code page (natively, bytes as given), the first the
// launcher's own path; on Windows also the wide words they were made from.
struct LauncherArguments {
  int count;
  const char* const* words;
  const void* platform_words;  // Windows: the wide argv; natively null
};

// The run sequence (toolrun.cc). Each platform's entry point reads the
// arguments and exits with what this returns.
int run_launcher(const LauncherArguments& arguments);

// A ShortFormConversion whose context is the LauncherArguments: the
// platform's short form of an existing path, one of the words. On Windows it
// is made from the wide word and taken only where the ANSI code page holds
// it whole; otherwise from the ANSI word.
bool convert_to_short_form(void* arguments, const char* path, ShortForm& out);

// The short form of `root`, the root derived from the launcher's own path;
// on Windows made from the same cut of the wide path where that gives one.
bool convert_root_to_short_form(const LauncherArguments& arguments, const char* root,
                                ShortForm& out);

// Both results are ignored by design: a missing bin directory leaves the
// child in the caller's directory, still with the new search path.
void change_directory(const char* path);
void set_search_path(const char* value);

// Runs `command_line` with inherited handles and environment and returns the
// launcher's exit status (see above). On Windows the child starts on the
// same console in a new process group, its whole tree bound to the
// launcher's life, and the launcher waits for it, passing Ctrl+C and
// Ctrl+Break on. Natively it returns only when the child could not start.
int run_child(const ChildCommandLine& command_line);

#endif  // LAUNCHER_LAUNCHER_PLATFORM_H_
