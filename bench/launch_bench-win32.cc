// What a user pays for the launcher on Windows, measured inside one Windows
// process so that Wine's own start-up is not counted: a trivial child
// started directly, through toolrun.exe, and through `cmd /c`.
//
// Usage: launch_bench PACKAGE_TOP RUNS   (PACKAGE_TOP\gcc\bin holds toolrun.exe and noop.exe)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "launch_bench.h"

static double now_micros() {
  static LARGE_INTEGER frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart * 1e6 / frequency.QuadPart;
}

double time_one_launch(const Way& way, const std::string& directory, unsigned long& status) {
  std::string line;
  for (const std::string& w : way.words) {
    if (!line.empty()) line += ' ';
    line += w.find(' ') == std::string::npos ? w : '"' + w + '"';
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = now_micros();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(),
                      &startup, &process)) {
    fprintf(stderr, "cannot start %s: error %lu\n", line.c_str(), GetLastError());
    exit(1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double micros = now_micros() - start;
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  status = exit_code;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return micros;
}

int main(int argc, char** argv) {
  check_usage(argc, argv);
  const std::string top = argv[1], bin = top + "\\gcc\\bin";
  std::vector<Way> ways = {
      {"noop.exe (direct)", {bin + "\\noop.exe"}, {}},
      {"toolrun.exe noop", {bin + "\\toolrun.exe", "noop"}, {}},
      {"cmd /c noop", {"cmd", "/c", "noop"}, {}},
  };
  run_in_turn(ways, atoi(argv[2]), bin);
  const double direct = median(ways[0].micros), toolrun = median(ways[1].micros),
               cmd = median(ways[2].micros);
  printf("- toolrun/cmd = %.2f (target at most 0.80)\n- toolrun/direct = %.2f (target at most 2.1)\n",
         toolrun / cmd, toolrun / direct);
  printf("- fastest runs: toolrun/cmd = %.2f, toolrun/direct = %.2f\n",
         fastest(ways[1].micros) / fastest(ways[2].micros),
         fastest(ways[1].micros) / fastest(ways[0].micros));
  return 0;
}
