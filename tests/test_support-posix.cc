#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

const char kExeSuffix[] = "";
const char kSeparator = '/';
const char kListSeparator = ':';
const uint32_t kNoChildStatus = 255;
const char kNewline[] = "\n";

static std::string read_and_close(FILE* file) {
  std::string text;
  rewind(file);
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  fclose(file);
  return text;
}

RunResult run_program(const std::vector<std::string>& words, const std::string& directory) {
  FILE* output = tmpfile();
  FILE* errors = tmpfile();
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  RunResult result = {0, "", ""};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fileno(output), 1);
    dup2(fileno(errors), 2);
    if (chdir(directory.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(126);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  result.output = read_and_close(output);
  result.errors = read_and_close(errors);
  return result;
}

std::string native_path(const std::string& host_path) { return host_path; }

std::string short_form(const std::string& path) { return path; }

std::string current_directory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

void set_variable(const char* name, const char* value) { setenv(name, value, 1); }

std::string get_variable(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

std::string own_command_line(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i ? " " : "") + std::string(argv[i]);
  return line;
}

void exit_with_status(uint32_t status) { _exit(static_cast<int>(status)); }

unsigned long process_id() { return static_cast<unsigned long>(getpid()); }

static const char* trap_report;

// Records each signal; after the first, lingers a moment so that a second
// copy of it (one delivery too many) is recorded too.
static void record_and_exit(int signal_number) {
  static volatile sig_atomic_t seen;
  FILE* report = fopen(trap_report, "a");
  fprintf(report, "signal=%d\n", signal_number);
  fclose(report);
  if (++seen > 1) return;
  for (int i = 0; i < 20; ++i) usleep(10000);
  _exit(40 + signal_number);
}

void wait_for_signal(bool trap, const std::string& report_path) {
  trap_report = strdup(report_path.c_str());
  if (trap) {
    struct sigaction action = {};
    action.sa_handler = record_and_exit;
    action.sa_flags = SA_NODEFER;
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(s, &action, nullptr);
  }
  FILE* report = fopen(trap_report, "a");
  fprintf(report, "ready=1\n");
  fclose(report);
  for (;;) pause();
}
