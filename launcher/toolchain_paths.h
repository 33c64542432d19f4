// The launcher's string computations: the child command line, the toolchain
// root and the paths composed from it. No platform calls; the short-form
// conversion is handed in, so all of this builds and runs anywhere.
#ifndef LAUNCHER_TOOLCHAIN_PATHS_H_
#define LAUNCHER_TOOLCHAIN_PATHS_H_

#include "../common/fixed_string.h"

// The launcher's limits, as buffer sizes (the longest content is one less).
typedef FixedString<256> ChildCommandLine;
typedef FixedString<1000> ShortForm;
typedef FixedString<1000> LauncherPath;
typedef FixedString<2000> SearchPathValue;

// Yields the short form of `path` in `out`, or returns false when there is
// none (the path names nothing, or the form does not fit).
struct ShortFormConversion {
  bool (*convert)(void* context, const char* path, ShortForm& out);
  void* context;
};

// How composed paths are written: the directory separator and the separator
// between search-path entries.
struct PathStyle {
  char directory_separator;
  char list_separator;
};

struct ToolchainPaths {
  SearchPathValue bin_directory;  // the first entry of search_path
  SearchPathValue search_path;
};

// Each argument, or its short form where it has one, followed by one space;
// empty for no arguments. Returns false, with `out` empty, when the line
// would pass its limit: a line cut short would run something else. Where
// `program_length` is given it receives the length of the first argument's
// form in the line (0 when there is none or it returns false).
bool build_child_command_line(int count, const char* const* arguments,
                              const ShortFormConversion& conversion,
                              ChildCommandLine& out, size_t* program_length = nullptr);

// Windows runs a program named *.bat or *.cmd through cmd.exe, which reads
// the whole line as a command. True when the line's program (its first
// `program_length` characters, or any part of them that ends at a space, as
// the system tries each in turn) names such a file, ignoring the trailing
// dots and spaces the system drops, and the arguments after it hold a
// character that cmd.exe reads as syntax there.
bool is_unsafe_batch_line(const ChildCommandLine& line, size_t program_length);

// The launcher's path less its last two components, as written. Both '\' and
// '/' separate; index 0 never counts as a separator. Returns false, with `out`
// empty, when the path passes its limit.
bool derive_toolchain_root(const char* launcher_path, LauncherPath& out);

// The length of that root within a launcher path of `length` characters of
// any width: each of two scans steps back from the string's end (the end
// that the scan before left) to the nearest separator, and ends it there.
template <class Char>
size_t toolchain_root_length(const Char* launcher_path, size_t length) {
  size_t p = length;
  for (int cut = 0; cut < 2; ++cut) {
    if (p == 0) break;
    --p;  // what stands at p is the end, never a separator
    while (p > 0 && launcher_path[p] != '\\' && launcher_path[p] != '/') --p;
  }
  return p;
}

// root\bin, and root\bin;root\libexec\gcc\mingw32\3.4.5 in the given style.
// Returns false, with both empty, when the search path passes its limit.
bool compose_toolchain_paths(const char* root, const PathStyle& style,
                             ToolchainPaths& out);

#endif  // LAUNCHER_TOOLCHAIN_PATHS_H_
