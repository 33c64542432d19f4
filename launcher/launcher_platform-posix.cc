#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "launcher_platform.h"

const int kNoChildStatus = 255;
const bool kBatchFilesReadTheirLineAsACommand = false;
const PathStyle kPathStyle = {'/', ':'};

int main(int argc, char** argv) {
  const LauncherArguments arguments = {argc, argv, nullptr};
  return run_launcher(arguments);
}

// A path has no other short form than itself.
bool convert_to_short_form(void* /*arguments*/, const char* path, ShortForm& out) {
  struct stat info;
  return stat(path, &info) == 0 && out.assign(path);
}

bool convert_root_to_short_form(const LauncherArguments& /*arguments*/, const char* root,
                                ShortForm& out) {
  return convert_to_short_form(nullptr, root, out);
}

void change_directory(const char* path) { (void)chdir(path); }

void set_search_path(const char* value) { setenv("PATH", value, 1); }

namespace {

// Room for any search-path entry, a separator and any word of the line.
typedef FixedString<SearchPathValue::kSize + ChildCommandLine::kSize> ProgramPath;

bool is_program(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, X_OK) == 0;
}

// A name with a '/' is taken as written. A bare name is looked for in the
// current directory first and then along PATH, as CreateProcessA searches.
bool find_program(const char* name, ProgramPath& out) {
  if (!out.assign(name)) return false;
  if (is_program(name)) return true;
  if (strchr(name, '/') != nullptr) return false;
  const char* entry = getenv("PATH");
  while (entry != nullptr && *entry != '\0') {
    const char* end = entry;
    while (*end != '\0' && *end != ':') ++end;
    out.clear();
    if (out.append(entry, static_cast<size_t>(end - entry)) && out.append('/') &&
        out.append(name) && is_program(out.c_str())) {
      return true;
    }
    entry = *end == ':' ? end + 1 : end;
  }
  return false;
}

}  // namespace

int run_child(const ChildCommandLine& command_line) {
  // Split at spaces and tabs only, as a Windows child splits unquoted words.
  char words[ChildCommandLine::kSize];
  char* argv[ChildCommandLine::kSize / 2 + 1];
  size_t count = 0;
  for (size_t i = 0, start = 0; i <= command_line.length(); ++i) {
    const char c = command_line[i];
    words[i] = (c == ' ' || c == '\t') ? '\0' : c;
    if (words[i] == '\0') {
      if (i > start) argv[count++] = words + start;
      start = i + 1;
    }
  }
  argv[count] = nullptr;

  ProgramPath program;
  if (count == 0 || !find_program(argv[0], program)) return kNoChildStatus;
  // The launcher becomes the child, as env and nohup do: there is no second
  // process to leave behind, and signals, the terminal, ignored signals and
  // the signal mask reach it untouched.
  execv(program.c_str(), argv);
  return kNoChildStatus;
}
