#include <direct.h>
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "../common/ansi_code_page-win32.h"
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

namespace {

bool wide_short_form(const wchar_t* path, ShortForm& out) {
  wchar_t buffer[ShortForm::kSize];
  const DWORD n = GetShortPathNameW(path, buffer, ShortForm::kSize);
  return n > 0 && n < ShortForm::kSize && to_ansi_whole(buffer, out);
}

bool ansi_short_form(const char* path, ShortForm& out) {
  return out.fill([path](char* buffer, size_t size) {
    return GetShortPathNameA(path, buffer, static_cast<DWORD>(size));
  });
}

const wchar_t* const* wide_words(const LauncherArguments& arguments) {
  return static_cast<const wchar_t* const*>(arguments.platform_words);
}

// A name that the ANSI code page holds whole is looked up as the ANSI
// interfaces always did: its ANSI form is exact. Only a name that lost
// characters in its ANSI form is looked up by its wide form, and taken where
// its short form comes through whole.
bool short_form_of(const wchar_t* wide, const char* ansi, ShortForm& out) {
  ShortForm exact;
  if (!to_ansi_whole(wide, exact) && wide_short_form(wide, out)) return true;
  return ansi_short_form(ansi, out);
}

}  // namespace

// The C runtime splits the wide command line (expanding wildcards, as
// _dowildcard asks); each word's ANSI form is what the ANSI interfaces would
// have given, characters the code page lacks replaced as they would be.
extern "C" int wmain(int argc, wchar_t** argv) {
  // One block: the word pointers, then each word's text.
  const size_t pointers = (static_cast<size_t>(argc) + 1) * sizeof(char*);
  size_t size = pointers;
  for (int i = 0; i < argc; ++i) {
    const int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    size += n > 0 ? static_cast<size_t>(n) : 1;
  }
  char* block = static_cast<char*>(malloc(size));
  if (block == nullptr) return kNoChildStatus;
  char** words = reinterpret_cast<char**>(block);
  char* text = block + pointers;
  for (int i = 0; i < argc; ++i) {
    words[i] = text;
    int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, text,
                                static_cast<int>(block + size - text), nullptr, nullptr);
    if (n == 0) {
      *text = '\0';
      n = 1;
    }
    text += n;
  }
  words[argc] = nullptr;
  const LauncherArguments arguments = {argc, words, argv};
  const int status = run_launcher(arguments);
  free(block);
  return status;
}

// A name outside the ANSI code page reaches the launcher with '?' in its
// ANSI word, which names nothing; its wide word still has a short form,
// which is plain ASCII wherever the system makes one.
bool convert_to_short_form(void* arguments, const char* path, ShortForm& out) {
  const LauncherArguments& launcher = *static_cast<const LauncherArguments*>(arguments);
  for (int i = 0; i < launcher.count; ++i) {
    if (launcher.words[i] == path) return short_form_of(wide_words(launcher)[i], path, out);
  }
  return ansi_short_form(path, out);
}

bool convert_root_to_short_form(const LauncherArguments& arguments, const char* root,
                                ShortForm& out) {
  const wchar_t* path = wide_words(arguments)[0];
  const size_t length = wcslen(path);
  wchar_t wide_root[LauncherPath::kSize];
  if (length >= LauncherPath::kSize) return ansi_short_form(root, out);
  const size_t cut = toolchain_root_length(path, length);
  memcpy(wide_root, path, cut * sizeof(wchar_t));
  wide_root[cut] = L'\0';
  return short_form_of(wide_root, root, out);
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
