#include <direct.h>
#include <windows.h>
#include <string.h>

#include "launcher_platform.h"

// msvcrt expands wildcards in argv only when the program asks for it.
extern "C" {
int _dowildcard = -1;
}

const int kNoChildStatus = static_cast<int>(WAIT_FAILED);  // 0xFFFFFFFF
const bool kBatchFilesReadTheirLineAsACommand = true;
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

namespace {

// Who gets the console's interrupts: 0 before the child exists, kPending
// once one came before it did, then the child's process id (a multiple of 4,
// never kPending). The handler runs on a thread of its own.
const LONG kPending = -1;
volatile LONG child_group;

void pass_break_to(LONG group) {
  GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(group));
}

// The child leads a new process group, and such a group ignores Ctrl+C: pass
// Ctrl+C on to it as Ctrl+Break, which it does see. A Ctrl+Break sent to the
// launcher's group alone would never reach the child, so it is passed on too
// (one from the keyboard then reaches the child twice). Either way the
// launcher lives on and waits for the child.
BOOL WINAPI on_console_interrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  const LONG group = InterlockedCompareExchange(&child_group, kPending, 0);
  if (group != 0 && group != kPending) pass_break_to(group);
  return TRUE;
}

// A job that ends the child's whole tree when its last handle closes, which
// the system does when the launcher ends in any way. A descendant may leave
// it only by asking (CREATE_BREAKAWAY_FROM_JOB). Null when the system has none
// to give; the handle is not inherited, so only the launcher holds it.
HANDLE make_child_job() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  memset(&limits, 0, sizeof limits);
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (job != nullptr &&
      !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    job = nullptr;
  }
  return job;
}

// Once the child has ended by itself, what it chose to leave running (a
// program it started with `start`) outlives the launcher, as it would
// outlive the child.
void release_child_job(HANDLE job) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  memset(&limits, 0, sizeof limits);
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

}  // namespace

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

  // From here on an interrupt never ends the launcher and leaves the child
  // behind.
  SetConsoleCtrlHandler(on_console_interrupt, TRUE);
  HANDLE job = make_child_job();
  // Suspended, so that the child is in the job before it runs a single
  // instruction and so before it can start anything of its own.
  if (!CreateProcessA(nullptr, writable_line, nullptr, nullptr, TRUE,
                      CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED,
                      nullptr, nullptr, &startup, &process)) {
    return kNoChildStatus;
  }
  // Without a job (the system refuses, or cannot nest jobs) the child runs
  // all the same, only without its tree bound to the launcher.
  if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
    CloseHandle(job);
    job = nullptr;
  }
  ResumeThread(process.hThread);
  const LONG group = static_cast<LONG>(process.dwProcessId);
  if (InterlockedExchange(&child_group, group) == kPending) pass_break_to(group);

  DWORD status = WAIT_FAILED;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &status)) {
    status = WAIT_FAILED;
  }
  if (job != nullptr) release_child_job(job);
  return static_cast<int>(status);
}
