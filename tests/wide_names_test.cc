// Windows: names outside the ANSI code page reach the launcher's child and
// the installer's runs as their short forms, which that code page holds,
// when the caller's directory and the package lie below folders named in
// other scripts. Names are written here in UTF-8 and given to the programs
// through the wide interfaces, as Explorer or a shell would.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::wstring widen(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
  return wide;
}

// What the ANSI interfaces make of a name: '?' for what the code page lacks.
std::string ansi(const std::string& utf8) {
  char buffer[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, widen(utf8).c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

// The short form of an existing path, in the ANSI code page.
std::string short_of(const std::string& utf8) {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetShortPathNameW(widen(utf8).c_str(), buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "(no short form: " + utf8 + ")";
  char narrow[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, buffer, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

bool plain_ascii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '?' || c == ' ') return false;
  }
  return true;
}

struct NameCase {
  const char* name;
  const char* folder;  // UTF-8
};

class WideNamesTest : public testing::TestWithParam<NameCase> {
 protected:
  void SetUp() override {
    base_ = unused_temp_path("wide-names");
    top_ = sep(base_, GetParam().folder);               // UTF-8 from here on
    root_ = sep(sep(top_, "Tool Package"), "gcc");
    bin_ = sep(root_, "bin");
    work_ = sep(top_, std::string(GetParam().folder) + " work");
    fs::create_directories(fs::u8path(bin_));
    fs::create_directories(fs::u8path(work_));
    toolrun_ = sep(sep(root_, "bin"), exe("toolrun"));
    fs::copy_file(native_path(TOOLRUN_PATH), fs::u8path(toolrun_));
    fs::copy_file(native_path(PROBE_PATH), fs::u8path(sep(sep(root_, "bin"), exe("probe"))));
    report_path_ = sep(base_, "report.txt");
    set_variable("PROBE_REPORT", report_path_.c_str());
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  std::vector<std::string> all(const std::string& key) {
    std::vector<std::string> values;
    const std::multimap<std::string, std::string> seen = read_report(report_path_);
    const auto range = seen.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) values.push_back(it->second);
    return values;
  }

  std::string one(const std::string& key) {
    const std::vector<std::string> values = all(key);
    return values.empty() ? "(none)" : values.front();
  }

  // A file whose first line is "first line".
  static void write_source(const std::string& path) {
    std::ofstream(fs::u8path(path)) << "first line\nsecond line\n";
  }

  std::string base_, top_, root_, bin_, work_, toolrun_, report_path_;
};

// An existing file, given relatively and absolutely, arrives as a short form
// the child can open; the child runs in the short form of root\bin with the
// two short entries as PATH. A word that names nothing arrives as the ANSI
// interfaces make it. The caller stands in bin, so that the relative name
// still names its file where the child runs.
TEST_P(WideNamesTest, ExistingNamesArriveAsShortFormsTheChildOpens) {
  std::string name = GetParam().folder;
  for (char& c : name) c = c == ' ' ? '_' : c;  // one word, whatever the launcher does
  const std::string relative = name + " here.c";
  const std::string absolute = sep(work_, name + " there.c");
  write_source(sep(bin_, relative));
  write_source(absolute);
  const std::string missing = name + "-missing.c";
  RunResult r = run_program({toolrun_, "probe", "heads", relative, absolute, missing}, bin_,
                            {Output::kFile, false, /*utf8=*/true});
  ASSERT_EQ(0u, r.status) << r.output << r.errors;

  const std::string root = short_of(root_);
  EXPECT_TRUE(plain_ascii(root)) << root;
  EXPECT_EQ(root + "\\bin", one("cwd"));
  EXPECT_EQ(root + "\\bin;" + root + "\\libexec\\gcc\\mingw32\\3.4.5", one("path"));
  EXPECT_EQ(short_of(sep(bin_, relative)).substr(short_of(bin_).size() + 1), one("argv2"));
  EXPECT_EQ(short_of(absolute), one("argv3"));
  EXPECT_TRUE(plain_ascii(one("argv2")) && plain_ascii(one("argv3")));
  EXPECT_EQ((std::vector<std::string>{"first line", "first line", "(cannot open it)"}), all("head"));
  EXPECT_EQ(ansi(missing), one("argv4"));
}

// The installer, started from such a top directory, installs to the short
// form of its gcc\bin.
TEST_P(WideNamesTest, InstallerUsesTheShortForm) {
  const std::string installer = sep(top_, exe("mkshortcuts"));
  fs::copy_file(native_path(MKSHORTCUTS_PATH), fs::u8path(installer));
  const std::string tools = sep(base_, "tools");
  fs::create_directories(tools);
  fs::copy_file(native_path(PROBE_PATH), sep(tools, exe("shortcut")));
  fs::create_directories(fs::u8path(sep(top_, "gcc\\bin")));
  const std::string caller_path = get_variable("PATH");
  set_variable("PATH", (tools + ";" + caller_path).c_str());
  RunResult r = run_program({installer}, top_, {Output::kFile, false, /*utf8=*/true});
  set_variable("PATH", caller_path.c_str());

  const std::string dir = short_of(sep(top_, "gcc\\bin"));
  EXPECT_TRUE(plain_ascii(dir)) << dir;
  EXPECT_EQ(0u, r.status) << r.errors;
  EXPECT_EQ("Installing to " + dir + "\r\n", r.output);
  EXPECT_EQ((std::vector<std::string>{dir + "\\mirlo.exe", dir + "\\mirlo.exe", dir + "\\mirlo.exe"}),
            all("argv1"));
  EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), all("argv2"));
  EXPECT_EQ((std::vector<std::string>{dir, dir, dir}), all("argv3"));
}

INSTANTIATE_TEST_SUITE_P(Scripts, WideNamesTest,
                         testing::Values(NameCase{"Cyrillic", u8"Папка Ивана"},
                                         NameCase{"Cjk", u8"資料 夾"},
                                         NameCase{"InTheCodePage", u8"Café Menu"}),
                         [](const testing::TestParamInfo<NameCase>& info) { return info.param.name; });

// For a name the ANSI code page holds, the bytes are what the ANSI
// interfaces always gave.
TEST(WideNamesAnsiTest, NameInTheCodePageGivesTheBytesItAlwaysDid) {
  const std::string utf8 = sep(unused_temp_path("wide-names"), u8"Café Menu.c");
  fs::create_directories(fs::u8path(utf8).parent_path());
  std::ofstream(fs::u8path(utf8)) << "x";
  EXPECT_EQ(short_form(ansi(utf8)), short_of(utf8));
  std::error_code ignored;
  fs::remove_all(fs::u8path(utf8).parent_path(), ignored);
}

}  // namespace
