// What the end-to-end tests need from the platform: start a program with an
// exact command line and read its whole exit status, paths in native form,
// and the facts the launcher's results depend on.
#ifndef TESTS_TEST_SUPPORT_H_
#define TESTS_TEST_SUPPORT_H_

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

extern const char kExeSuffix[];          // ".exe" or ""
extern const char kSeparator;            // directory separator
extern const char kListSeparator;        // between search-path entries
extern const uint32_t kNoChildStatus;    // the launcher's "nothing started"
extern const char kNewline[];            // what a program's "\n" becomes in its output

struct RunResult {
  uint32_t status;
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Where a started program's standard output goes: a file, or a pipe (where
// the C runtime buffers output just as it does for a file, but a reader sees
// it in the order it was flushed).
enum class Output { kFile, kPipe };

struct StartOptions {
  Output output = Output::kFile;
  bool new_console = false;  // Windows: a console of the program's own
  // The words and the directory are UTF-8, not ANSI: on Windows they reach
  // the program through the wide interfaces, so that any name can be given.
  bool utf8 = false;
};

// A program started and not yet waited for. If it is still running when the
// object goes (a failed assertion returned early), it is ended, so that a
// failing test reports at once and leaves nothing behind.
class StartedProgram {
 public:
  // Starts `words` (the first is the program, found as the platform's own
  // search finds it) in `directory`. On Windows the words are joined by single
  // spaces into the exact command line, a word with spaces in quotes.
  StartedProgram(const std::vector<std::string>& words, const std::string& directory,
                 const StartOptions& options = {});
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool started() const { return pid_ != 0; }
  unsigned long pid() const { return pid_; }
  // Waits at most `milliseconds` for the program to end; false if it has not.
  // Once it has, result() holds its status and output.
  bool wait(unsigned milliseconds);
  // Ends the program at once, as TerminateProcess or SIGKILL does.
  void end();
  const RunResult& result() const { return result_; }

 private:
  void collect(uint32_t status);  // reads the output once the program has ended

  // The platform's handles (Windows) or descriptors (POSIX).
  intptr_t process_ = 0, output_ = -1, errors_ = -1;
  Output output_kind_;
  unsigned long pid_ = 0;
  bool ended_ = false;
  RunResult result_ = {0, "", ""};
};

// How long a test waits for a program that should end by itself.
const unsigned kPatienceMs = 30000;

// Runs `words` in `directory` and waits for it, at most kPatienceMs: past
// that the program is ended and the status is kTimedOut.
const uint32_t kTimedOut = 0xDEAD7173;
RunResult run_program(const std::vector<std::string>& words, const std::string& directory,
                      const StartOptions& options = {});

// The "key=value" lines a probe (or a helper) wrote to a report, each key's
// values in the order written.
std::multimap<std::string, std::string> read_report(const std::string& path);

// Whether a process with this id is still running, and ending one; for
// processes a test learns of from a report.
bool process_running(unsigned long pid);
void end_process(unsigned long pid);

// A path the build system wrote (a host path) as the tested programs see it.
std::string native_path(const std::string& host_path);

// The platform's short form of an existing path; the path itself natively.
std::string short_form(const std::string& path);

std::string current_directory();
void set_variable(const char* name, const char* value);
std::string get_variable(const char* name);

// `a` and `b` joined by the platform's separator.
inline std::string sep(const std::string& a, const std::string& b) { return a + kSeparator + b; }

// A program's file name on this platform.
inline std::string exe(const std::string& name) { return name + kExeSuffix; }

// A path under the temporary directory that no other test of this process
// (or of another running process) uses; not created, and anything an earlier
// run under the same process id left there is gone.
std::string unused_temp_path(const std::string& prefix);

// The probe's view of itself.
std::string own_command_line(int argc, char** argv);
// The signals among HUP, INT, QUIT and TERM this process ignores, as
// "1,2,3" (natively; empty on Windows).
std::string ignored_signals();
// Starts the probe itself again with `words` as its arguments and does not
// wait; `breakaway` asks to leave the job it is in (Windows). Returns its id.
unsigned long start_probe(const std::vector<std::string>& words, bool breakaway);
// Records each console control event (Windows) as "event=N" in the report;
// the process lives on.
void record_console_events(const std::string& report_path);
void sleep_ms(unsigned milliseconds);
[[noreturn]] void exit_with_status(uint32_t status);
unsigned long process_id();
// Waits for a signal (natively; Windows tests never ask), after "ready=1" in
// the report. With `trap` the forwarded signals are caught: "signal=N" goes
// to the report and the probe exits with 40 + N; without, they take their
// default action.
[[noreturn]] void wait_for_signal(bool trap, const std::string& report_path);

#endif  // TESTS_TEST_SUPPORT_H_
