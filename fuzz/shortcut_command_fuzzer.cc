// Fuzzes the shortcut command: whatever the install directory's name, the
// command is refused or splits back, as its interpreter reads it, into
// exactly: shortcut, DIR<sep>mirlo.exe, the number, DIR. The input's first
// byte is the number; the rest is the directory.
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "shortcut_command.h"

namespace {

// Words as /bin/sh reads a line of plain words and single-quoted strings
// (all that the POSIX style writes), or as cmd.exe hands on double-quoted
// ones. False for anything else: something the command must never hold.
bool split(const std::string& line, Quoting quoting, std::vector<std::string>& words) {
  const char quote = quoting == Quoting::kPosixShell ? '\'' : '"';
  const std::string special = quoting == Quoting::kPosixShell ? "\\\"`$;&|<>()\n*?[#~=%" : "";
  bool in_word = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ') {
      in_word = false;
      continue;
    }
    if (!in_word) words.emplace_back();
    in_word = true;
    if (c == quote) {
      const size_t end = line.find(quote, i + 1);
      if (end == std::string::npos) return false;
      words.back() += line.substr(i + 1, end - i - 1);
      i = end;
    } else if (quoting == Quoting::kPosixShell && c == '\\' && i + 1 < line.size() &&
               line[i + 1] == '\'') {
      words.back() += '\'';
      ++i;
    } else if (special.find(c) != std::string::npos) {
      return false;
    } else {
      words.back() += c;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int number = data[0] % 10;
  const std::string directory(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (directory.find('\0') != std::string::npos) return 0;

  const CommandStyle styles[] = {{'/', Quoting::kPosixShell}, {'\\', Quoting::kDoubleQuotes}};
  for (const CommandStyle& style : styles) {
    // Windows names cannot hold a double quote; nothing to quote around then.
    if (style.quoting == Quoting::kDoubleQuotes && directory.find('"') != std::string::npos) continue;
    Guarded<ShortcutCommand> command;
    const bool ok = format_shortcut_command(directory.c_str(), number, style, command.value);
    command.check();
    // 26 characters around two copies of the name, each ' of which the
    // shell's quoting writes in four.
    size_t quotes = 0;
    for (char c : directory) quotes += style.quoting == Quoting::kPosixShell && c == '\'';
    FUZZ_CHECK(ok == (26 + 2 * (directory.size() + 3 * quotes) <= ShortcutCommand::kMaxLength));
    if (!ok) {
      FUZZ_CHECK(command.value.empty());
      continue;
    }
    std::vector<std::string> words;
    FUZZ_CHECK(split(command.value.c_str(), style.quoting, words));
    const std::vector<std::string> expected = {
        "shortcut", directory + style.directory_separator + "mirlo.exe",
        std::to_string(number), directory};
    FUZZ_CHECK(words == expected);
  }
  return 0;
}
