#include "shortcut_command.h"

namespace {

// Appends `first` then `second` as one quoted argument.
bool append_quoted(ShortcutCommand& out, const char* first, const char* second,
                   Quoting quoting) {
  if (quoting == Quoting::kDoubleQuotes) {
    return out.append('"') && out.append(first) && out.append(second) && out.append('"');
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
  out.clear();
  const bool fits = out.append("shortcut ") &&
                    append_quoted(out, install_directory, editor, style.quoting) &&
                    out.append(' ') && append_decimal(out, number) && out.append(' ') &&
                    append_quoted(out, install_directory, "", style.quoting);
  if (!fits) out.clear();
  return fits;
}
