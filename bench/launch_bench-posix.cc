// What a user pays for the launcher natively: `toolrun true` against
// `env PATH=<the same two entries> true` and against `true` alone, started
// from the package's top directory. (Peak memory is peak_rss's to measure: a
// process started from here inherits this program's high-water mark.)
//
// Usage: launch_bench PACKAGE_TOP RUNS   (PACKAGE_TOP/gcc/bin holds toolrun and true)
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "launch_bench.h"

static double now_micros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

double time_one_launch(const Way& way, const std::string& directory, unsigned long& status) {
  std::vector<char*> argv;
  for (const std::string& w : way.words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  if (chdir(directory.c_str()) != 0) exit(2);
  const double start = now_micros();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    perror(argv[0]);
    exit(1);
  }
  int wait_status;
  waitpid(pid, &wait_status, 0);
  const double micros = now_micros() - start;
  status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return micros;
}

int main(int argc, char** argv) {
  check_usage(argc, argv);
  const std::string top = argv[1], bin = top + "/gcc/bin";
  const std::string path = "PATH=" + bin + ":" + top + "/gcc/libexec/gcc/mingw32/3.4.5";
  std::vector<Way> ways = {
      {"true (direct)", {bin + "/true"}, {}},
      {"env PATH=... true", {"/usr/bin/env", path, "true"}, {}},
      {"toolrun true", {bin + "/toolrun", "true"}, {}},
  };
  run_in_turn(ways, atoi(argv[2]), top);
  const double direct = median(ways[0].micros), env = median(ways[1].micros),
               toolrun = median(ways[2].micros);
  printf("- toolrun/env = %.2f (target at most 1.00)\n- toolrun/direct = %.2f\n", toolrun / env,
         toolrun / direct);
  return 0;
}
