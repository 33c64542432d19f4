#include <windows.h>

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

std::string read_and_close(HANDLE file) {
  std::string text;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

}  // namespace

RunResult run_program(const std::vector<std::string>& words, const std::string& directory) {
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    line += w.find(' ') == std::string::npos ? w : '"' + w + '"';
  }

  HANDLE output = temporary_file(), errors = temporary_file();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION process = {};
  RunResult result = {0, "", ""};
  // A relative program name is found from the parent's directory, not from
  // the one given for the child: stand there while starting it.
  const std::string caller_directory = current_directory();
  SetCurrentDirectoryA(directory.c_str());
  const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetCurrentDirectoryA(caller_directory.c_str());
  if (!started) {
    result.status = 0xDEADBEEF;
    result.errors = "could not start: " + line;
    CloseHandle(output);
    CloseHandle(errors);
    return result;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  result.status = status;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  result.output = read_and_close(output);
  result.errors = read_and_close(errors);
  return result;
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

void exit_with_status(uint32_t status) { ExitProcess(status); }

unsigned long process_id() { return GetCurrentProcessId(); }

void wait_for_signal(bool, const std::string&) {
  Sleep(INFINITE);
  ExitProcess(1);
}
