#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "launcher_platform.h"

const int kNoChildStatus = 255;
const PathStyle kPathStyle = {'/', ':'};

// A path has no other short form than itself.
bool convert_to_short_form(void* /*context*/, const char* path, ShortForm& out) {
  struct stat info;
  return stat(path, &info) == 0 && out.assign(path);
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

const int kForwardedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
volatile sig_atomic_t child_pid;

// The child stays in the launcher's process group, so what the terminal sends
// (Ctrl+C, Ctrl+\, hang-up) already reaches it, and it keeps the terminal
// for reading. A signal that another process sent to the launcher alone is
// passed on; either way the launcher lives on and waits for the child.
void forward_signal(int signal_number, siginfo_t* info, void* /*context*/) {
  if (info->si_code != SI_KERNEL) kill(child_pid, signal_number);
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

  // Signals wait until the child's pid is known; the child starts with the
  // launcher's original mask and default handlers.
  sigset_t forwarded, original;
  sigemptyset(&forwarded);
  for (int s : kForwardedSignals) sigaddset(&forwarded, s);
  sigprocmask(SIG_BLOCK, &forwarded, &original);
  struct sigaction action = {};
  action.sa_sigaction = forward_signal;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  for (int s : kForwardedSignals) sigaction(s, &action, nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setsigmask(&attributes, &original);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid;
  const int error = posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return kNoChildStatus;
  child_pid = pid;
  sigprocmask(SIG_SETMASK, &original, nullptr);

  int status;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kNoChildStatus;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
