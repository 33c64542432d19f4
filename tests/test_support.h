// What the end-to-end tests need from the platform: start a program with an
// exact command line and read its whole exit status, paths in native form,
// and the facts the launcher's results depend on.
#ifndef TESTS_TEST_SUPPORT_H_
#define TESTS_TEST_SUPPORT_H_

#include <stdint.h>

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

// Runs `words` (the first is the program, found as the platform's own search
// finds it) in `directory`, and waits. On Windows the words are joined by
// single spaces into the exact command line, a word with spaces in quotes.
RunResult run_program(const std::vector<std::string>& words, const std::string& directory);

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
// (or of another process) uses; not created.
std::string unused_temp_path(const std::string& prefix);

// The probe's view of itself.
std::string own_command_line(int argc, char** argv);
[[noreturn]] void exit_with_status(uint32_t status);
unsigned long process_id();
// Waits for a signal (natively; Windows tests never ask), after "ready=1" in
// the report. With `trap` the forwarded signals are caught: "signal=N" goes
// to the report and the probe exits with 40 + N; without, they take their
// default action.
[[noreturn]] void wait_for_signal(bool trap, const std::string& report_path);

#endif  // TESTS_TEST_SUPPORT_H_
