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

TEST_F(InstallerTest, UnreadableDirectoryIsSaidAndNothingRuns) {
  // Longer than the 255 characters the installer reads, yet short enough for
  // Windows to stand in.
  std::string deep = top_;
  while (deep.size() < 215) deep = sep(deep, std::string(40, 'd'));
  deep = sep(deep, std::string(256 - deep.size(), 'e'));
  ASSERT_EQ(257u, deep.size());
  fs::create_directories(deep);

  RunResult r = install(deep);
  EXPECT_EQ(1u, r.status);
  EXPECT_EQ("Cannot read the current directory (it may be longer than 255 characters): "
            "nothing was installed." + std::string(kNewline),
            r.output);
  EXPECT_TRUE(runs().empty());
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

}  // namespace
