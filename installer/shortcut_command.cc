#include "shortcut_command.h"

#include <string.h>

namespace {

// Appends `first` then `second` as one quoted argument.
bool append_quoted(ShortcutCommand& out, const char* first, const char* second,
                   Quoting quoting) {
  if (quoting == Quoting::kDoubleQuotes) {
    if (!out.append('"') || !out.append(first) || !out.append(second)) return false;
    // The child's runtime reads \" as a quote character and \\" as one
    // backslash before the closing quote: a directory such as C:\ needs its
    // trailing backslashes doubled to arrive as written.
    size_t trailing = 0;
    while (out[out.length() - 1 - trailing] == '\\') ++trailing;
    for (; trailing > 0; --trailing) {
      if (!out.append('\\')) return false;
    }
    return out.append('"');
  }
  if (!out.append('\'')) return false;
  const char* const parts[] = {first, second};
  for (const char* part : parts) {
    for (const char* c = part; *c != '\0'; ++c) {
      if (!(*c == '\'' ? out.append("'\\''") : out.append(*c))) return false;
    }
  }
  return out.append('\'');
}

bool append_decimal(ShortcutCommand& out, int number) {
  char digits[12];
  char* p = digits + sizeof digits;
  unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : number;
  *--p = '\0';
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (number < 0) *--p = '-';
  return out.append(p);
}

}  // namespace

bool format_shortcut_command(const char* install_directory, int number,
                             const CommandStyle& style, ShortcutCommand& out) {
  char editor[] = "\\mirlo.exe";
  editor[0] = style.directory_separator;
  // A root such as C:\ or / already ends with its separator.
  const size_t length = strlen(install_directory);
  const char* editor_path_tail =
      length > 0 && install_directory[length - 1] == style.directory_separator ? editor + 1
                                                                                : editor;
  out.clear();
  const bool fits = out.append("shortcut ") &&
                    append_quoted(out, install_directory, editor_path_tail, style.quoting) &&
                    out.append(' ') && append_decimal(out, number) && out.append(' ') &&
                    append_quoted(out, install_directory, "", style.quoting);
  if (!fits) out.clear();
  return fits;
}
