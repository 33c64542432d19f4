// Prints the peak resident memory (KiB) of one run of a command, and its
// exit status. Small and static on purpose: a child inherits its parent's
// high-water mark, so the parent must weigh next to nothing.
//
// Usage: peak_rss PROGRAM ARGS...
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) < 0) return 2;
  printf("%ld %d\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
