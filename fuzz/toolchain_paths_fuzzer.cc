// Fuzzes the launcher's string computations. The input is a list of
// NUL-separated words: the first is the launcher's path, the rest are
// arguments. An argument converts when its first byte is odd, to a form
// the input also decides (twice as long, or half as long).
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "toolchain_paths.h"

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// The short form the fake file system gives `path`, or false for none.
bool fake_short_form(const std::string& path, std::string& form) {
  if (path.empty() || (path[0] & 1) == 0) return false;
  form = (path[0] & 2) ? path + path : path.substr(0, path.size() / 2 + 1);
  return form.size() <= ShortForm::kMaxLength;
}

bool convert(void*, const char* path, ShortForm& out) {
  std::string form;
  return fake_short_form(path, form) && out.assign(form.c_str());
}

void check_child_command_line(const std::vector<std::string>& arguments) {
  std::vector<const char*> pointers;
  std::string expected;
  for (const std::string& a : arguments) {
    pointers.push_back(a.c_str());
    std::string form;
    expected += (fake_short_form(a, form) ? form : a) + " ";
  }
  Guarded<ChildCommandLine> line;
  const ShortFormConversion conversion = {convert, nullptr};
  const bool ok = build_child_command_line(static_cast<int>(pointers.size()), pointers.data(),
                                           conversion, line.value);
  line.check();
  FUZZ_CHECK(ok == (expected.size() <= ChildCommandLine::kMaxLength));
  FUZZ_CHECK(line.value.c_str() == (ok ? expected : std::string()));
}

void check_root(const std::string& path) {
  Guarded<LauncherPath> root;
  const bool ok = derive_toolchain_root(path.c_str(), root.value);
  root.check();
  FUZZ_CHECK(ok == (path.size() <= LauncherPath::kMaxLength));
  if (!ok) {
    FUZZ_CHECK(root.value.empty());
    return;
  }
  // The root is a prefix that ends at a separator (or is empty), and the
  // rest holds exactly the one other separator that the first cut removed.
  const size_t n = root.value.length();
  FUZZ_CHECK(path.compare(0, n, root.value.c_str()) == 0);
  size_t separators = 0;
  for (size_t i = n + 1; i < path.size(); ++i) separators += is_separator(path[i]);
  if (n > 0) {
    FUZZ_CHECK(is_separator(path[n]));
    FUZZ_CHECK(separators == 1);
  } else {
    FUZZ_CHECK(separators <= 1);
  }
}

void check_paths(const std::string& root) {
  const PathStyle styles[] = {{'\\', ';'}, {'/', ':'}};
  for (const PathStyle& style : styles) {
    const std::string s(1, style.directory_separator);
    const std::string bin = root + s + "bin";
    const std::string expected = bin + style.list_separator + root + s + "libexec" + s + "gcc" +
                                 s + "mingw32" + s + "3.4.5";
    Guarded<ToolchainPaths> paths;
    const bool ok = compose_toolchain_paths(root.c_str(), style, paths.value);
    for (unsigned char b : paths.guard) FUZZ_CHECK(b == 0xA5);
    FUZZ_CHECK(ok == (expected.size() <= SearchPathValue::kMaxLength));
    FUZZ_CHECK(paths.value.search_path.c_str() == (ok ? expected : std::string()));
    FUZZ_CHECK(paths.value.bin_directory.c_str() == (ok ? bin : std::string()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\0') {
      words.emplace_back();
    } else {
      words.back() += static_cast<char>(data[i]);
    }
  }
  check_root(words[0]);
  check_paths(words[0]);
  LauncherPath root;
  if (derive_toolchain_root(words[0].c_str(), root)) check_paths(root.c_str());
  check_child_command_line(std::vector<std::string>(words.begin() + 1, words.end()));
  return 0;
}
