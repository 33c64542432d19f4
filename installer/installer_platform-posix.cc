#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "installer_platform.h"

const CommandStyle kCommandStyle = {'/', Quoting::kPosixShell};

void change_directory(const char* path) { (void)chdir(path); }

bool read_current_directory(CurrentDirectory& out) {
  return out.fill([](char* buffer, size_t size) {
    return getcwd(buffer, size) != nullptr ? strlen(buffer) : 0;
  });
}

void print_error_line(FILE* out, int code) {
  fprintf(out, "Failed with error %d: %s\n", code, strerror(code));
}

void report_last_error() { print_error_line(stdout, errno); }
