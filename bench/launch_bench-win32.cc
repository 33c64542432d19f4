// What a user pays for the launcher on Windows, measured inside one Windows
// process so that Wine's own start-up is not counted: a trivial child
// started directly, through toolrun.exe, and through `cmd /c`, in turn many
// times. Prints medians and ratios of wall time.
//
// Usage: launch_bench PACKAGE_TOP RUNS   (PACKAGE_TOP\gcc\bin holds toolrun.exe and noop.exe)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

struct Way {
  const char* name;
  std::string command_line;
  std::vector<double> micros;
};

static double now_micros() {
  static LARGE_INTEGER frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart * 1e6 / frequency.QuadPart;
}

static void run_once(Way& way, const std::string& directory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = way.command_line;
  const double start = now_micros();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(),
                      &startup, &process)) {
    fprintf(stderr, "cannot start %s\n", way.command_line.c_str());
    exit(1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  way.micros.push_back(now_micros() - start);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  if (status != 0) {
    fprintf(stderr, "%s: exit status %lu\n", way.name, status);
    exit(1);
  }
}

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s PACKAGE_TOP RUNS\n", argv[0]);
    return 2;
  }
  const std::string top = argv[1], bin = top + "\\gcc\\bin";
  const int runs = atoi(argv[2]);
  std::vector<Way> ways = {
      {"noop.exe (direct)", "\"" + bin + "\\noop.exe\"", {}},
      {"toolrun.exe noop", "\"" + bin + "\\toolrun.exe\" noop", {}},
      {"cmd /c noop", "cmd /c noop", {}},
  };
  for (int i = 0; i < runs; ++i) {
    for (Way& way : ways) run_once(way, bin);  // in turn, so drift hits all alike
  }

  printf("%d runs each, alternating\n\n", runs);
  printf("| way | median wall time (us) |\n|---|---:|\n");
  for (Way& way : ways) printf("| %s | %.0f |\n", way.name, median(way.micros));
  const double direct = median(ways[0].micros), toolrun = median(ways[1].micros),
               cmd = median(ways[2].micros);
  printf("\ntoolrun/cmd = %.2f (target at most 0.80)\ntoolrun/direct = %.2f (target at most 2.1)\n",
         toolrun / cmd, toolrun / direct);
  return 0;
}
