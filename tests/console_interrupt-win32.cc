// Run on a console of its own (CREATE_NEW_CONSOLE): starts the command given
// on that console, waits until the probe in it reports "watching=1", sends
// Ctrl+C to every process of the console, and exits with the command's
// status. It survives the Ctrl+C itself and reports it as "helper_event=0"
// to PROBE_REPORT, so a test can tell that the event went out.
//
// Usage: console_interrupt PROGRAM ARGS...
#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

std::string report_path() {
  char buffer[MAX_PATH] = "";
  GetEnvironmentVariableA("PROBE_REPORT", buffer, MAX_PATH);
  return buffer;
}

void report(const std::string& line) {
  FILE* file = fopen(report_path().c_str(), "a");
  if (file == nullptr) return;
  fprintf(file, "%s\n", line.c_str());
  fclose(file);
}

bool report_holds(const char* text) {
  FILE* file = fopen(report_path().c_str(), "r");
  if (file == nullptr) return false;
  std::string all;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) all.append(buffer, got);
  fclose(file);
  return all.find(text) != std::string::npos;
}

BOOL WINAPI survive(DWORD event) {
  report("helper_event=" + std::to_string(event));
  return TRUE;
}

}  // namespace

int main() {
  // The command is what follows this program's own name on its line.
  const char* line = GetCommandLineA();
  const bool quoted = *line == '"';
  for (++line; *line != '\0' && (quoted ? *line != '"' : *line != ' '); ++line) {
  }
  if (quoted && *line == '"') ++line;
  while (*line == ' ') ++line;
  std::string command = line;

  SetConsoleCtrlHandler(survive, TRUE);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 101;
  }
  for (int i = 0; i < 3000 && !report_holds("watching=1"); ++i) Sleep(10);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
    report("helper_error=" + std::to_string(GetLastError()));
  }
  DWORD status = 102;
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 103);
  } else {
    GetExitCodeProcess(process.hProcess, &status);
  }
  return static_cast<int>(status);
}
