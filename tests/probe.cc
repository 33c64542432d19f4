// The test child, and the installer's stand-in for `shortcut`. It adds what
// it received to the file named by PROBE_REPORT, one "key=value" line each
// (a run starts with "pid="), ends with status PROBE_EXIT when that is set,
// else does what its arguments ask:
//   exit=N   end with status N (any 32-bit value; 0x prefix allowed)
//   read     report one line read from standard input
//   wait / trap   wait for a signal (see wait_for_signal)
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "test_support.h"

int main(int argc, char** argv) {
  const std::string report_path = get_variable("PROBE_REPORT");
  FILE* report = fopen(report_path.c_str(), "a");
  if (report == nullptr) return 99;
  fprintf(report, "pid=%lu\ncwd=%s\npath=%s\nother=%s\ncommand_line=%s\nargc=%d\n",
          process_id(), current_directory().c_str(), get_variable("PATH").c_str(),
          get_variable("PROBE_OTHER").c_str(), own_command_line(argc, argv).c_str(), argc);
  for (int i = 0; i < argc; ++i) fprintf(report, "argv%d=%s\n", i, argv[i]);

  uint32_t status = strtoul(get_variable("PROBE_EXIT").c_str(), nullptr, 0);
  for (int i = 1; i < argc; ++i) {
    if (strncmp(argv[i], "exit=", 5) == 0) status = strtoul(argv[i] + 5, nullptr, 0);
    if (strcmp(argv[i], "read") == 0) {
      char line[256] = "";
      if (fgets(line, sizeof line, stdin) != nullptr) line[strcspn(line, "\r\n")] = '\0';
      fprintf(report, "read=%s\n", line);
    }
    if (strcmp(argv[i], "wait") == 0 || strcmp(argv[i], "trap") == 0) {
      fclose(report);
      wait_for_signal(strcmp(argv[i], "trap") == 0, report_path);
    }
  }
  fclose(report);
  exit_with_status(status);
}
