// The installer at work, started in a top directory whose names hold spaces,
// with the probe standing in for `shortcut` on PATH: it records each run's
// arguments and directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "installer_platform.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

struct ShortcutRun {
  std::string directory;
  std::vector<std::string> arguments;
  std::string command_line;  // as the program received it, before splitting
};

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override {
    base_ = unused_temp_path("mkshortcuts-test");
    top_ = sep(base_, "Top Dir");
    tools_ = sep(base_, "tools");
    fs::create_directories(top_);
    fs::create_directories(tools_);
    installer_ = sep(top_, exe("mkshortcuts"));
    fs::copy_file(native_path(MKSHORTCUTS_PATH), installer_);
    fs::copy_file(native_path(PROBE_PATH), sep(tools_, exe("shortcut")));
    report_path_ = sep(base_, "report.txt");
    set_variable("PROBE_REPORT", report_path_.c_str());
    set_variable("PROBE_EXIT", "");
    caller_path_ = get_variable("PATH");
    set_variable("PATH", (tools_ + kListSeparator + caller_path_).c_str());
  }

  void TearDown() override {
    set_variable("PATH", caller_path_.c_str());
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  RunResult install(const std::string& directory) {
    return run_program({installer_, "ignored", "arguments"}, directory);
  }

  std::vector<ShortcutRun> runs() {
    std::vector<ShortcutRun> runs;
    std::map<std::string, std::string> values;
    std::ifstream in(report_path_);
    for (std::string line; std::getline(in, line);) {
      const size_t eq = line.find('=');
      const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
      if (key == "pid") runs.push_back({});
      if (key == "cwd") runs.back().directory = value;
      if (key == "command_line") runs.back().command_line = value;
      if (key.rfind("argv", 0) == 0 && key != "argv0") runs.back().arguments.push_back(value);
    }
    return runs;
  }

  std::vector<ShortcutRun> expected_runs(const std::string& long_form) {
    const std::string short_dir = short_form(long_form);
    std::vector<ShortcutRun> runs;
    for (const char* number : {"1", "2", "3"}) {
      runs.push_back({long_form, {sep(short_dir, "mirlo.exe"), number, short_dir}});
    }
    return runs;
  }

  std::string base_, top_, tools_, installer_, report_path_, caller_path_;
};

bool operator==(const ShortcutRun& a, const ShortcutRun& b) {
  return a.directory == b.directory && a.arguments == b.arguments;
}

void PrintTo(const ShortcutRun& run, std::ostream* out) {
  *out << "in " << run.directory << ":";
  for (const std::string& a : run.arguments) *out << " [" << a << "]";
}

struct LayoutCase {
  const char* name;
  std::vector<std::string> directories;  // made below the top directory
  std::string install_directory;         // relative to it
};

class InstallerLayoutTest : public InstallerTest,
                            public testing::WithParamInterface<LayoutCase> {};

TEST_P(InstallerLayoutTest, InstallsWhereTheChangesOfDirectoryLead) {
  for (const std::string& d : GetParam().directories) fs::create_directories(sep(top_, d));
  const std::string install_dir =
      GetParam().install_directory.empty() ? top_ : sep(top_, GetParam().install_directory);

  RunResult r = install(top_);
  EXPECT_EQ(0u, r.status) << r.errors;
  EXPECT_EQ("Installing to " + short_form(install_dir) + kNewline, r.output);
  EXPECT_EQ(expected_runs(install_dir), runs());
  if (kSeparator == '\\') {
    const std::string dir = short_form(install_dir);
    int number = 0;
    for (const ShortcutRun& run : runs()) {
      const std::string quoted = "\"" + dir + "\\mirlo.exe\" " + std::to_string(++number) +
                                 " \"" + dir + "\"";
      EXPECT_NE(std::string::npos, run.command_line.find(quoted)) << run.command_line;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, InstallerLayoutTest,
    testing::Values(LayoutCase{"GccBin", {sep("gcc", "bin"), sep("Other Dir", "bin")},
                               sep("gcc", "bin")},
                    LayoutCase{"OnlyBin", {"bin"}, "bin"},
                    LayoutCase{"OnlyGcc", {"gcc"}, "gcc"},
                    LayoutCase{"Neither", {}, ""}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST_F(InstallerTest, FailingShortcutStillRunsThreeTimesAndSucceeds) {
  set_variable("PROBE_EXIT", "7");
  RunResult r = install(top_);
  EXPECT_EQ(0u, r.status);
  EXPECT_EQ("Installing to " + short_form(top_) + kNewline, r.output);
  EXPECT_EQ(expected_runs(top_), runs());
}

TEST_F(InstallerTest, MissingShortcutIsTriedThreeTimesAndSucceeds) {
  fs::remove(sep(tools_, exe("shortcut")));
  RunResult r = install(top_);
  EXPECT_EQ(0u, r.status);
  EXPECT_EQ("Installing to " + short_form(top_) + kNewline, r.output);
  // The command interpreter says so on standard error, once a run.
  EXPECT_NE("", r.errors);
}

// A directory of `length` characters below the top directory, made of
// components Windows can still stand in.
std::string directory_of_length(const std::string& top, size_t length) {
  std::string deep = top;
  while (deep.size() < length - 45) deep = sep(deep, std::string(40, 'd'));
  return sep(deep, std::string(length - deep.size() - 1, 'e'));
}

struct LengthCase {
  size_t length;
  bool installs;
};

class InstallerDirectoryLengthTest : public InstallerTest,
                                     public testing::WithParamInterface<LengthCase> {};

// The installer reads at most 255 characters of its directory; past that it
// says so and runs nothing, rather than use a directory it never read.
TEST_P(InstallerDirectoryLengthTest, ReadUpTo255CharactersRefusedPast) {
  const std::string deep = directory_of_length(top_, GetParam().length);
  ASSERT_EQ(GetParam().length, deep.size());
  fs::create_directories(deep);

  RunResult r = install(deep);
  if (GetParam().installs) {
    EXPECT_EQ(0u, r.status) << r.errors;
    EXPECT_EQ("Installing to " + short_form(deep) + kNewline, r.output);
    EXPECT_EQ(expected_runs(deep), runs());
  } else {
    EXPECT_EQ(1u, r.status);
    EXPECT_EQ("Cannot read the current directory (it may be longer than 255 characters): "
              "nothing was installed." + std::string(kNewline),
              r.output);
    EXPECT_TRUE(runs().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, InstallerDirectoryLengthTest,
                         testing::Values(LengthCase{255, true}, LengthCase{256, false},
                                         LengthCase{257, false}),
                         [](const testing::TestParamInfo<LengthCase>& info) {
                           return std::to_string(info.param.length);
                         });

// The error line for `code` as the installer's standard output shows it.
std::string error_line(int code) {
  FILE* out = tmpfile();
  print_error_line(out, code);
  rewind(out);
  std::string text;
  for (int c; (c = fgetc(out)) != EOF;) text += c == '\n' ? kNewline : std::string(1, static_cast<char>(c));
  fclose(out);
  return text;
}

// What the installer prints comes before what the runs print, into a pipe
// too, where the C runtime holds its output back until it is flushed; with
// the error line too, as the installer whose short forms fail prints it.
TEST_F(InstallerTest, OwnLinesComeBeforeTheRunsIntoAPipe) {
  const std::string failing = sep(top_, exe("mkshortcuts_no_short_form"));
  fs::copy_file(native_path(MKSHORTCUTS_NO_SHORT_FORM_PATH), failing);
  set_variable("PROBE_SAY", "shortcut");
  for (const std::string& installer : {installer_, failing}) {
    RunResult r = run_program({installer}, top_, {Output::kPipe});
    EXPECT_EQ(0u, r.status) << r.errors;
    const std::string dir = installer == failing ? top_ : short_form(top_);
    std::string runs;
    for (const char* number : {"1", "2", "3"}) {
      runs += "shortcut " + sep(dir, "mirlo.exe") + " " + number + " " + dir + kNewline;
    }
    const std::string installing = "Installing to " + dir + kNewline;
    if (installer == failing) {
      EXPECT_TRUE(r.output == error_line(2) + installing + runs ||
                  r.output == error_line(3) + installing + runs)
          << r.output;
    } else {
      EXPECT_EQ(installing + runs, r.output);
    }
  }
  set_variable("PROBE_SAY", "");
}

// Where the short form cannot be had, the system's words for why come
// first; the long form, spaces and all, is then used throughout.
TEST_F(InstallerTest, FailedShortFormIsReportedAndTheLongFormUsed) {
  const std::string installer = sep(top_, exe("mkshortcuts_no_short_form"));
  fs::copy_file(native_path(MKSHORTCUTS_NO_SHORT_FORM_PATH), installer);
  RunResult r = run_program({installer}, top_);
  EXPECT_EQ(0u, r.status) << r.errors;
  const std::string installing = "Installing to " + top_ + kNewline;
  // Not found, as a file (2) or as a path (3).
  EXPECT_TRUE(r.output == error_line(2) + installing || r.output == error_line(3) + installing)
      << r.output;
  std::vector<ShortcutRun> expected;
  for (const char* number : {"1", "2", "3"}) {
    expected.push_back({top_, {sep(top_, "mirlo.exe"), number, top_}});
  }
  EXPECT_EQ(expected, runs());
}

// At a drive's root the directory already ends with its separator: the
// editor's path gets no second one, and the directory arrives as C:\ does,
// not as C:" (the child's runtime reads \" as a quote character).
TEST_F(InstallerTest, DriveRootArrivesWhole) {
#ifndef EMPTY_DRIVE
  GTEST_SKIP() << "needs an empty drive (the Wine tests map one)";
#else
  const std::string root = std::string(EMPTY_DRIVE) + kSeparator;
  RunResult r = install(root);
  EXPECT_EQ(0u, r.status) << r.errors;
  EXPECT_EQ("Installing to " + root + kNewline, r.output);
  std::vector<ShortcutRun> expected;
  for (const char* number : {"1", "2", "3"}) expected.push_back({root, {root + "mirlo.exe", number, root}});
  EXPECT_EQ(expected, runs());
#endif
}

// Natively the directory goes through /bin/sh: whatever its name, it must
// reach `shortcut` as one exact argument and make the shell run nothing else.
TEST_F(InstallerTest, HostileDirectoryNameRunsNothingElse) {
  if (kSeparator == '\\') GTEST_SKIP() << "Windows names cannot hold these characters";
  const std::string hostile = sep(base_, "x\"$(touch PWNED)\"`id`';touch X;'y");
  fs::create_directories(hostile);

  RunResult r = install(hostile);
  EXPECT_EQ(0u, r.status) << r.errors;
  EXPECT_EQ("Installing to " + hostile + kNewline, r.output);
  EXPECT_EQ(expected_runs(hostile), runs());
  for (const std::string& dir : {base_, hostile, top_}) {
    EXPECT_FALSE(fs::exists(sep(dir, "PWNED")));
    EXPECT_FALSE(fs::exists(sep(dir, "X")));
  }
  EXPECT_EQ("", r.errors);
}

// Natively the quoted command may hold 799 bytes: each ' of the directory
// takes four. A directory of 254 characters, 44 of them quotes, gives 798
// (the command's length is always even); one more character gives 800, which
// is refused with a line, status 1 and no run at all.
TEST_F(InstallerTest, QuotedCommandUpToItsLimitRunsPastItNothingRuns) {
  if (kSeparator == '\\') GTEST_SKIP() << "Windows names cannot hold quotes";
  for (const size_t length : {254, 255}) {
    fs::remove(report_path_);
    std::string name = std::string(44, '\'') + std::string(100, 'q');
    const std::string prefix = sep(base_, "");
    std::string deep = prefix + name;
    deep = sep(deep, std::string(length - deep.size() - 1, 'q'));
    ASSERT_EQ(length, deep.size());
    fs::create_directories(deep);
    ShortcutCommand command;
    ASSERT_EQ(length == 254, format_shortcut_command(deep.c_str(), 1, kCommandStyle, command));
    if (length == 254) ASSERT_EQ(798u, command.length());

    RunResult r = install(deep);
    if (length == 254) {
      EXPECT_EQ(0u, r.status) << r.errors;
      EXPECT_EQ(expected_runs(deep), runs());
    } else {
      EXPECT_EQ(1u, r.status);
      EXPECT_EQ("Installing to " + deep + kNewline +
                    "The install directory's name is too long for the shortcut command: "
                    "nothing was installed." + kNewline,
                r.output);
      EXPECT_TRUE(runs().empty());
    }
  }
}

}  // namespace
