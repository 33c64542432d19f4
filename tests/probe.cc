// The test child, and the installer's stand-in for `shortcut`. It adds what
// it received to the file named by PROBE_REPORT, one "key=value" line each
// (a run starts with "pid="), ends with status PROBE_EXIT when that is set,
// prints PROBE_SAY and its arguments on standard output when that is set,
// else does what its arguments ask, in order:
//   exit=N        end with status N (any 32-bit value; 0x prefix allowed)
//   read          report one line read from standard input
//   wait / trap   wait for a signal (see wait_for_signal)
//   sleep=MS      sleep that long
//   mark=PATH     write the file PATH
//   spawn=A,B,..  start the probe again with the arguments A B ..., not
//                 waiting for it; it reports to PROBE_REPORT-grandchild
//   breakaway=..  the same, leaving the launcher's job (Windows)
//   events        report each console control event (Windows)
//   heads         open each later argument as a file and report its first
//                 line as "head=..."
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

std::vector<std::string> split_at_commas(const char* list) {
  std::vector<std::string> words;
  std::string word;
  for (const char* c = list;; ++c) {
    if (*c == ',' || *c == '\0') {
      words.push_back(word);
      word.clear();
      if (*c == '\0') return words;
    } else {
      word += *c;
    }
  }
}

void report_line(const std::string& report_path, const std::string& line) {
  FILE* report = fopen(report_path.c_str(), "a");
  fprintf(report, "%s\n", line.c_str());
  fclose(report);
}

bool starts_with(const char* text, const char* prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string report_path = get_variable("PROBE_REPORT");
  FILE* report = fopen(report_path.c_str(), "a");
  if (report == nullptr) return 99;
  fprintf(report, "pid=%lu\ncwd=%s\npath=%s\nother=%s\nignored=%s\ncommand_line=%s\nargc=%d\n",
          process_id(), current_directory().c_str(), get_variable("PATH").c_str(),
          get_variable("PROBE_OTHER").c_str(), ignored_signals().c_str(),
          own_command_line(argc, argv).c_str(), argc);
  for (int i = 0; i < argc; ++i) fprintf(report, "argv%d=%s\n", i, argv[i]);
  fclose(report);

  const std::string say = get_variable("PROBE_SAY");
  if (!say.empty()) {
    printf("%s", say.c_str());
    for (int i = 1; i < argc; ++i) printf(" %s", argv[i]);
    printf("\n");
    fflush(stdout);  // the probe ends without the C library's clean-up
  }

  uint32_t status = strtoul(get_variable("PROBE_EXIT").c_str(), nullptr, 0);
  bool heads = false;
  for (int i = 1; i < argc; ++i) {
    const char* verb = argv[i];
    if (heads) {
      char line[256] = "(cannot open it)";
      FILE* file = fopen(verb, "r");
      if (file != nullptr && fgets(line, sizeof line, file) != nullptr) line[strcspn(line, "\r\n")] = '\0';
      if (file != nullptr) fclose(file);
      report_line(report_path, std::string("head=") + line);
      continue;
    }
    heads = strcmp(verb, "heads") == 0;
    const char* value = strchr(verb, '=') != nullptr ? strchr(verb, '=') + 1 : "";
    if (starts_with(verb, "exit=")) status = strtoul(value, nullptr, 0);
    if (strcmp(verb, "read") == 0) {
      char line[256] = "";
      if (fgets(line, sizeof line, stdin) != nullptr) line[strcspn(line, "\r\n")] = '\0';
      report_line(report_path, std::string("read=") + line);
    }
    if (strcmp(verb, "wait") == 0 || strcmp(verb, "trap") == 0) {
      wait_for_signal(strcmp(verb, "trap") == 0, report_path);
    }
    if (starts_with(verb, "sleep=")) sleep_ms(static_cast<unsigned>(atoi(value)));
    if (starts_with(verb, "mark=")) fclose(fopen(value, "w"));
    if (starts_with(verb, "spawn=") || starts_with(verb, "breakaway=")) {
      set_variable("PROBE_REPORT", (report_path + "-grandchild").c_str());
      const unsigned long pid = start_probe(split_at_commas(value), verb[0] == 'b');
      set_variable("PROBE_REPORT", report_path.c_str());
      report_line(report_path, "spawned=" + std::to_string(pid));
    }
    if (strcmp(verb, "events") == 0) {
      record_console_events(report_path);
      report_line(report_path, "watching=1");
    }
  }
  exit_with_status(status);
}
