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
// ones and the child's runtime reads them (backslashes before a quote come
// in pairs). False for anything else: something the command must never hold.
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
    if (c == quote && quoting == Quoting::kDoubleQuotes) {
      size_t end = i + 1;
      for (;; ++end) {
        if (end == line.size()) return false;
        size_t run = 0;
        while (end + run < line.size() && line[end + run] == '\\') ++run;
        if (end + run < line.size() && line[end + run] == '"') {
          if (run % 2 != 0) return false;  // a quote inside the word
          words.back().append(run / 2, '\\');
          end += run;
          break;
        }
        words.back().append(run, '\\');
        end += run;
        if (end < line.size()) words.back() += line[end];
      }
      i = end;
    } else if (c == quote) {
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
    // shell's quoting writes in four; one separator fewer where the name
    // ends with one, and in double quotes its trailing backslashes twice.
    size_t quotes = 0, trailing = 0;
    for (char c : directory) quotes += style.quoting == Quoting::kPosixShell && c == '\'';
    while (style.quoting == Quoting::kDoubleQuotes && trailing < directory.size() &&
           directory[directory.size() - 1 - trailing] == '\\') {
      ++trailing;
    }
    const bool has_separator = !directory.empty() && directory.back() == style.directory_separator;
    FUZZ_CHECK(ok == (26 + 2 * (directory.size() + 3 * quotes) + trailing - has_separator <=
                      ShortcutCommand::kMaxLength));
    if (!ok) {
      FUZZ_CHECK(command.value.empty());
      continue;
    }
    std::vector<std::string> words;
    FUZZ_CHECK(split(command.value.c_str(), style.quoting, words));
    const std::vector<std::string> expected = {
        "shortcut",
        has_separator ? directory + "mirlo.exe" : directory + style.directory_separator + "mirlo.exe",
        std::to_string(number), directory};
    FUZZ_CHECK(words == expected);
  }
  return 0;
}
