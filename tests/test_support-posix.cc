#include <errno.h>
#include <fcntl.h>
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

// Everything left to read from a descriptor, which is then closed.
static std::string read_and_close(int fd, bool from_start) {
  std::string text;
  if (from_start) lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  close(fd);
  return text;
}

static int temporary_file() { return fileno(tmpfile()); }

static uint32_t status_of(int wait_status) {
  return WIFSIGNALED(wait_status) ? 128 + WTERMSIG(wait_status) : WEXITSTATUS(wait_status);
}

StartedProgram::StartedProgram(const std::vector<std::string>& words,
                               const std::string& directory, const StartOptions& options)
    : output_kind_(options.output) {
  const Output output = options.output;
  int output_pipe[2] = {-1, -1};
  if (output == Output::kPipe) {
    if (pipe(output_pipe) != 0) abort();
  } else {
    output_pipe[0] = output_pipe[1] = temporary_file();
  }
  output_ = output_pipe[0];
  errors_ = temporary_file();
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(output_pipe[1], 1);
    dup2(static_cast<int>(errors_), 2);
    if (output == Output::kPipe) close(output_pipe[0]);
    if (chdir(directory.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(126);
  }
  if (output == Output::kPipe) {
    close(output_pipe[1]);  // the child holds the only writer
    fcntl(output_pipe[0], F_SETFL, O_NONBLOCK);
  }
  pid_ = static_cast<unsigned long>(pid);
}

StartedProgram::~StartedProgram() { end(); }

bool StartedProgram::wait(unsigned milliseconds) {
  if (ended_) return true;
  int status = 0;
  for (unsigned waited = 0;; waited += 10) {
    if (output_kind_ == Output::kPipe) {
      char buffer[4096];
      ssize_t got;
      while ((got = read(static_cast<int>(output_), buffer, sizeof buffer)) > 0) {
        result_.output.append(buffer, static_cast<size_t>(got));
      }
    }
    const pid_t done = waitpid(static_cast<pid_t>(pid_), &status, WNOHANG);
    if (done == static_cast<pid_t>(pid_)) break;
    if (done < 0 && errno != EINTR) break;
    if (waited >= milliseconds) return false;
    usleep(10000);
  }
  ended_ = true;
  collect(status_of(status));
  return true;
}

void StartedProgram::end() {
  if (ended_) return;
  kill(static_cast<pid_t>(pid_), SIGKILL);
  int status;
  while (waitpid(static_cast<pid_t>(pid_), &status, 0) < 0 && errno == EINTR) {
  }
  ended_ = true;
  collect(kTimedOut);
}

void StartedProgram::collect(uint32_t status) {
  result_.status = status;
  if (output_kind_ == Output::kPipe) fcntl(static_cast<int>(output_), F_SETFL, 0);
  result_.output += read_and_close(static_cast<int>(output_), output_kind_ == Output::kFile);
  result_.errors = read_and_close(static_cast<int>(errors_), true);
}

bool process_running(unsigned long pid) {
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

void end_process(unsigned long pid) { kill(static_cast<pid_t>(pid), SIGKILL); }

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

std::string ignored_signals() {
  std::string list;
  for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
    struct sigaction action;
    sigaction(s, nullptr, &action);
    if (action.sa_handler == SIG_IGN) list += (list.empty() ? "" : ",") + std::to_string(s);
  }
  return list;
}

unsigned long start_probe(const std::vector<std::string>& words, bool /*breakaway*/) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv = {const_cast<char*>("/proc/self/exe")};
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(126);
  }
  return static_cast<unsigned long>(pid);
}

void record_console_events(const std::string&) {}

void sleep_ms(unsigned milliseconds) { usleep(milliseconds * 1000); }

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
