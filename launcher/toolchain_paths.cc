#include "toolchain_paths.h"

#include <string.h>

bool build_child_command_line(int count, const char* const* arguments,
                              const ShortFormConversion& conversion,
                              ChildCommandLine& out, size_t* program_length) {
  out.clear();
  if (program_length != nullptr) *program_length = 0;
  for (int i = 0; i < count; ++i) {
    ShortForm short_form;
    const char* word = conversion.convert(conversion.context, arguments[i], short_form)
                           ? short_form.c_str()
                           : arguments[i];
    const bool fits = out.append(word);
    if (fits && i == 0 && program_length != nullptr) *program_length = out.length();
    if (!fits || !out.append(' ')) {
      out.clear();
      if (program_length != nullptr) *program_length = 0;
      return false;
    }
  }
  return true;
}

static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text[0, end) names a batch file: it ends in .bat or .cmd, in any
// case, once the trailing dots and spaces that the system drops are gone.
static bool names_batch_file(const char* text, size_t end) {
  while (end > 0 && (text[end - 1] == '.' || text[end - 1] == ' ')) --end;
  if (end < 4 || text[end - 4] != '.') return false;
  char extension[4] = {lower(text[end - 3]), lower(text[end - 2]), lower(text[end - 1]), '\0'};
  return strcmp(extension, "bat") == 0 || strcmp(extension, "cmd") == 0;
}

bool is_unsafe_batch_line(const ChildCommandLine& line, size_t program_length) {
  const char* text = line.c_str();
  if (program_length > line.length()) return false;
  bool batch = false;
  for (size_t end = 1; end <= program_length && !batch; ++end) {
    const bool word_ends = end == program_length || text[end] == ' ' || text[end] == '\t';
    batch = word_ends && names_batch_file(text, end);
  }
  // Operators, the escape, variable expansion (% always, ! where delayed
  // expansion is on), quotes, which switch all of these off and on, the
  // parentheses of a block the batch file may put its arguments in (a ')'
  // ends it early, and "x) else (y" runs y), and line ends, which end the
  // command.
  return batch && strpbrk(text + program_length, "&|<>^%!\"()\r\n") != nullptr;
}

bool derive_toolchain_root(const char* launcher_path, LauncherPath& out) {
  if (!out.assign(launcher_path)) return false;
  out.truncate(toolchain_root_length(out.c_str(), out.length()));
  return true;
}

// Appends `tail`, written with '\', in the style's separator.
static bool append_in_style(SearchPathValue& path, const char* tail, char separator) {
  for (; *tail != '\0'; ++tail) {
    if (!path.append(*tail == '\\' ? separator : *tail)) return false;
  }
  return true;
}

bool compose_toolchain_paths(const char* root, const PathStyle& style,
                             ToolchainPaths& out) {
  const char sep = style.directory_separator;
  SearchPathValue& path = out.search_path;
  path.clear();
  const bool fits = path.append(root) && append_in_style(path, "\\bin", sep) &&
                    out.bin_directory.assign(path.c_str()) &&
                    path.append(style.list_separator) && path.append(root) &&
                    append_in_style(path, "\\libexec\\gcc\\mingw32\\3.4.5", sep);
  if (!fits) {
    out.bin_directory.clear();
    path.clear();
  }
  return fits;
}
