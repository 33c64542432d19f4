// mkshortcuts: run from the package's top directory, it goes down into
// gcc\bin, says where it installs, and has the outside `shortcut` program
// make the editor's three shortcuts there. Arguments are ignored.
#include <stdio.h>
#include <stdlib.h>

#include "installer_platform.h"

// Runs the shortcut command for `number` through the command interpreter,
// whose result nothing uses. Returns false when the command would not fit
// its buffer, having said so: nothing was run.
static bool run_shortcut_tool(const char* install_directory, int number) {
  ShortcutCommand command;
  if (!format_shortcut_command(install_directory, number, kCommandStyle, command)) {
    printf("The install directory's name is too long for the shortcut command: "
           "nothing was installed.\n");
    return false;
  }
  // What the installer printed comes before what the run prints, into a
  // pipe or a file as on a console.
  fflush(stdout);
  system(command.c_str());  // NOLINT(cert-env33-c): the interpreter finds and runs `shortcut`
  return true;
}

int main() {
  change_directory("gcc");
  change_directory("bin");

  CurrentDirectory current;
  if (!read_current_directory(current)) {
    printf("Cannot read the current directory (it may be longer than %u characters): "
           "nothing was installed.\n",
           static_cast<unsigned>(CurrentDirectory::kMaxLength));
    return 1;
  }

  InstallDirectory short_form;
  const char* install_directory = current.c_str();
  switch (convert_current_directory(current, short_form)) {
    case ShortForm::kMade:
      install_directory = short_form.c_str();
      break;
    case ShortForm::kFailed:
      report_last_error();
      break;
    case ShortForm::kTooLong:  // the last error code would name something unrelated
      break;
  }

  printf("Installing to %s\n", install_directory);
  for (int number = 1; number <= 3; ++number) {
    if (!run_shortcut_tool(install_directory, number)) return 1;
  }
  return 0;
}
