#include <direct.h>
#include <windows.h>

#include "installer_platform.h"

const CommandStyle kCommandStyle = {'\\', Quoting::kDoubleQuotes};

void change_directory(const char* path) { _chdir(path); }

bool read_current_directory(CurrentDirectory& out) {
  return out.fill([](char* buffer, size_t size) {
    return _getcwd(buffer, static_cast<int>(size)) != nullptr ? strlen(buffer) : 0;
  });
}

void print_error_line(FILE* out, int code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                      nullptr, static_cast<DWORD>(code),
                                      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<char*>(&text), 0, nullptr);
  // The system's texts end with their own line end; this one needs it added.
  fprintf(out, "Failed with error %d: %s", code,
          length != 0 && text != nullptr ? text : "(the system has no text for this error)\n");
  LocalFree(text);
}

void report_last_error() { print_error_line(stdout, static_cast<int>(GetLastError())); }
