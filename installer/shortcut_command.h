// The command line that has the outside `shortcut` program make one of the
// editor's shortcuts. No platform calls: built and tested everywhere.
#ifndef INSTALLER_SHORTCUT_COMMAND_H_
#define INSTALLER_SHORTCUT_COMMAND_H_

#include "../common/fixed_string.h"

// The installer's limits, as buffer sizes (the longest content is one less).
typedef FixedString<256> CurrentDirectory;
typedef FixedString<256> InstallDirectory;
typedef FixedString<800> ShortcutCommand;

// How the command interpreter takes one argument whole.
enum class Quoting {
  kDoubleQuotes,  // cmd.exe: Windows names cannot hold a double quote
  kPosixShell,    // /bin/sh: single quotes, each ' written as '\''
};

struct CommandStyle {
  char directory_separator;
  Quoting quoting;
};

// shortcut "DIR\mirlo.exe" NUMBER "DIR", quoted in the given style. Returns
// false, with `out` empty, when the command would pass its limit.
bool format_shortcut_command(const char* install_directory, int number,
                             const CommandStyle& style, ShortcutCommand& out);

#endif  // INSTALLER_SHORTCUT_COMMAND_H_
