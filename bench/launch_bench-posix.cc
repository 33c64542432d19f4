// What a user pays for the launcher natively: `toolrun true` against
// `env PATH=<the same two entries> true` and against `true` alone, started
// in turn many times from the package's top directory. Prints medians and
// ratios of wall time. (Peak memory is peak_rss's to measure: a process
// started from here inherits this program's high-water mark.)
//
// Usage: launch_bench PACKAGE_TOP RUNS   (PACKAGE_TOP/gcc/bin holds toolrun and true)
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

struct Way {
  const char* name;
  int status;  // the exit status it must end with
  std::vector<std::string> argv;
  std::vector<double> micros;
};

static double now_micros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

template <class T>
static T median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

static void run_once(Way& way) {
  std::vector<char*> argv;
  for (std::string& a : way.argv) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;  // env's complaint about no_such
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  const double start = now_micros();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) {
    perror(argv[0]);
    exit(1);
  }
  int status;
  waitpid(pid, &status, 0);
  way.micros.push_back(now_micros() - start);
  posix_spawn_file_actions_destroy(&quiet);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != way.status) {
    fprintf(stderr, "%s: did not exit %d\n", way.name, way.status);
    exit(1);
  }
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s PACKAGE_TOP RUNS\n", argv[0]);
    return 2;
  }
  const std::string top = argv[1], bin = top + "/gcc/bin";
  const int runs = atoi(argv[2]);
  if (chdir(top.c_str()) != 0) return 2;
  const std::string path = "PATH=" + bin + ":" + top + "/gcc/libexec/gcc/mingw32/3.4.5";

  std::vector<Way> ways = {
      {"true (direct)", 0, {bin + "/true"}, {}},
      {"env PATH=... true", 0, {"/usr/bin/env", path, "true"}, {}},
      {"toolrun true", 0, {bin + "/toolrun", "true"}, {}},
  };
  for (int i = 0; i < runs; ++i) {
    for (Way& way : ways) run_once(way);  // in turn, so drift hits all alike
  }

  printf("%d runs each, alternating\n\n", runs);
  printf("| way | median wall time (us) |\n|---|---:|\n");
  for (Way& way : ways) printf("| %s | %.0f |\n", way.name, median(way.micros));
  const double direct = median(ways[0].micros), env = median(ways[1].micros),
               toolrun = median(ways[2].micros);
  printf("\ntoolrun/env = %.2f (target at most 1.00)\ntoolrun/direct = %.2f\n",
         toolrun / env, toolrun / direct);
  return 0;
}
