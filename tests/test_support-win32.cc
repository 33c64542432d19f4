#include <windows.h>

#include <stdio.h>

#include "test_support.h"

const char kExeSuffix[] = ".exe";
const char kSeparator = '\\';
const char kListSeparator = ';';
const uint32_t kNoChildStatus = 0xFFFFFFFF;
const char kNewline[] = "\r\n";  // msvcrt's text mode

namespace {

// An inheritable temporary file, gone when closed.
HANDLE temporary_file() {
  char temp_dir[MAX_PATH], temp_file[MAX_PATH];
  GetTempPathA(MAX_PATH, temp_dir);
  GetTempFileNameA(temp_dir, "out", 0, temp_file);
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  return CreateFileA(temp_file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inheritable, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string read_file_and_close(HANDLE file) {
  std::string text;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// What a pipe holds now, without waiting for more.
void drain_pipe(HANDLE pipe, std::string& text) {
  DWORD available = 0;
  char buffer[4096];
  DWORD got;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
         ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    text.append(buffer, got);
  }
}

std::wstring widen(const std::string& text, UINT code_page) {
  std::wstring wide(text.size() + 1, L'\0');
  const int n = MultiByteToWideChar(code_page, 0, text.c_str(), -1, &wide[0],
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return wide;
}

HANDLE as_handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
intptr_t from_handle(HANDLE h) { return reinterpret_cast<intptr_t>(h); }

}  // namespace

StartedProgram::StartedProgram(const std::vector<std::string>& words,
                               const std::string& directory, const StartOptions& options)
    : output_kind_(options.output) {
  const Output output = options.output;
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    line += w.find(' ') == std::string::npos ? w : '"' + w + '"';
  }

  HANDLE output_read = nullptr, output_write = nullptr;
  if (output == Output::kPipe) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    CreatePipe(&output_read, &output_write, &inheritable, 0);
    SetHandleInformation(output_read, HANDLE_FLAG_INHERIT, 0);
  } else {
    output_read = output_write = temporary_file();
  }
  HANDLE errors = temporary_file();
  output_ = from_handle(output_read);
  errors_ = from_handle(errors);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output_write;
  startup.hStdError = errors;
  PROCESS_INFORMATION process = {};
  // A relative program name is found from the parent's directory, not from
  // the one given for the child: stand there while starting it.
  const UINT code_page = options.utf8 ? CP_UTF8 : CP_ACP;
  std::wstring wide_line = widen(line, code_page);
  wchar_t caller_directory[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, caller_directory);
  SetCurrentDirectoryW(widen(directory, code_page).c_str());
  const BOOL started = CreateProcessW(nullptr, &wide_line[0], nullptr, nullptr, TRUE,
                                      options.new_console ? CREATE_NEW_CONSOLE : 0, nullptr,
                                      nullptr, &startup, &process);
  SetCurrentDirectoryW(caller_directory);
  if (output == Output::kPipe) CloseHandle(output_write);  // the child holds the only writer
  if (!started) {
    ended_ = true;
    collect(0xDEADBEEF);
    result_.errors = "could not start: " + line;
    return;
  }
  CloseHandle(process.hThread);
  process_ = from_handle(process.hProcess);
  pid_ = process.dwProcessId;
}

StartedProgram::~StartedProgram() {
  end();
  if (process_ != 0) CloseHandle(as_handle(process_));
}

bool StartedProgram::wait(unsigned milliseconds) {
  if (ended_) return true;
  const DWORD deadline = GetTickCount() + milliseconds;
  for (;;) {
    if (output_kind_ == Output::kPipe) drain_pipe(as_handle(output_), result_.output);
    if (WaitForSingleObject(as_handle(process_), 10) == WAIT_OBJECT_0) break;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
  }
  DWORD status = 0;
  GetExitCodeProcess(as_handle(process_), &status);
  ended_ = true;
  collect(status);
  return true;
}

void StartedProgram::end() {
  if (ended_) return;
  TerminateProcess(as_handle(process_), kTimedOut);
  WaitForSingleObject(as_handle(process_), 5000);
  ended_ = true;
  collect(kTimedOut);
}

void StartedProgram::collect(uint32_t status) {
  result_.status = status;
  if (output_kind_ == Output::kPipe) {
    drain_pipe(as_handle(output_), result_.output);
    CloseHandle(as_handle(output_));
  } else {
    result_.output = read_file_and_close(as_handle(output_));
  }
  result_.errors = read_file_and_close(as_handle(errors_));
}

bool process_running(unsigned long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

void end_process(unsigned long pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return;
  TerminateProcess(process, kTimedOut);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

std::string native_path(const std::string& host_path) {
  std::string path = host_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path.size() > 0 && path[0] == '\\' ? "Z:" + path : path;  // Wine's drive for '/'
}

std::string short_form(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buffer, n) : "(no short form: " + path + ")";
}

std::string current_directory() {
  char buffer[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  return std::string(buffer, n);
}

void set_variable(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

std::string get_variable(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : "";
}

std::string own_command_line(int, char**) { return GetCommandLineA(); }

std::string ignored_signals() { return ""; }

unsigned long start_probe(const std::vector<std::string>& words, bool breakaway) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = std::string("\"") + self + "\"";
  for (const std::string& w : words) line += " " + w;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, &line[0], nullptr, nullptr, FALSE,
                      breakaway ? CREATE_BREAKAWAY_FROM_JOB : 0, nullptr, nullptr, &startup,
                      &process)) {
    return 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return process.dwProcessId;
}

static std::string event_report;

static BOOL WINAPI record_event(DWORD event) {
  FILE* report = fopen(event_report.c_str(), "a");
  fprintf(report, "event=%lu\n", static_cast<unsigned long>(event));
  fclose(report);
  return TRUE;
}

void record_console_events(const std::string& report_path) {
  event_report = report_path;
  SetConsoleCtrlHandler(record_event, TRUE);
}

void sleep_ms(unsigned milliseconds) { Sleep(milliseconds); }

void exit_with_status(uint32_t status) { ExitProcess(status); }

unsigned long process_id() { return GetCurrentProcessId(); }

void wait_for_signal(bool, const std::string&) {
  Sleep(INFINITE);
  ExitProcess(1);
}
