#include <direct.h>
#include <windows.h>
#include <string.h>

#include "launcher_platform.h"

// msvcrt expands wildcards in argv only when the program asks for it.
extern "C" {
int _dowildcard = -1;
}

const int kNoChildStatus = static_cast<int>(WAIT_FAILED);  // 0xFFFFFFFF
const PathStyle kPathStyle = {'\\', ';'};

static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68,
              "the 32-bit start-up record is 68 bytes");

bool convert_to_short_form(void* /*context*/, const char* path, ShortForm& out) {
  return out.fill([path](char* buffer, size_t size) {
    return GetShortPathNameA(path, buffer, static_cast<DWORD>(size));
  });
}

void change_directory(const char* path) { _chdir(path); }

void set_search_path(const char* value) { SetEnvironmentVariableA("PATH", value); }

static volatile DWORD child_group;

// The child leads a new process group, and such a group ignores Ctrl+C: pass
// Ctrl+C on to it as Ctrl+Break, which it does see. A console's Ctrl+Break
// already reaches every process on it, the child included. Either way the
// launcher lives on and waits for the child.
static BOOL WINAPI on_console_interrupt(DWORD event) {
  if (event == CTRL_C_EVENT) {
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child_group);
    return TRUE;
  }
  return event == CTRL_BREAK_EVENT;
}

int run_child(const ChildCommandLine& command_line) {
  char writable_line[ChildCommandLine::kSize];  // CreateProcessA may write to it
  memcpy(writable_line, command_line.c_str(), command_line.length() + 1);

  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof process);

  if (!CreateProcessA(nullptr, writable_line, nullptr, nullptr, TRUE,
                      CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &process)) {
    return kNoChildStatus;
  }
  child_group = process.dwProcessId;
  SetConsoleCtrlHandler(on_console_interrupt, TRUE);

  DWORD status = WAIT_FAILED;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &status)) {
    status = WAIT_FAILED;
  }
  return static_cast<int>(status);
}
