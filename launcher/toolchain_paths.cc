#include "toolchain_paths.h"

bool build_child_command_line(int count, const char* const* arguments,
                              const ShortFormConversion& conversion,
                              ChildCommandLine& out) {
  out.clear();
  for (int i = 0; i < count; ++i) {
    ShortForm short_form;
    const char* word = conversion.convert(conversion.context, arguments[i], short_form)
                           ? short_form.c_str()
                           : arguments[i];
    if (!out.append(word) || !out.append(' ')) {
      out.clear();
      return false;
    }
  }
  return true;
}

static bool is_separator(char c) { return c == '\\' || c == '/'; }

bool derive_toolchain_root(const char* launcher_path, LauncherPath& out) {
  if (!out.assign(launcher_path)) return false;
  size_t p = out.length();
  for (int cut = 0; cut < 2; ++cut) {
    while (p > 0 && !is_separator(out[p])) --p;
    out.truncate(p);
  }
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
