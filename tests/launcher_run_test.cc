// The launcher at work: a real toolrun in a package tree whose names hold
// spaces (so short forms differ from long ones on Windows), with the probe
// as its child reporting what it received.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::string libexec() {
  std::string s = "/libexec/gcc/mingw32/3.4.5";
  for (char& c : s) c = c == '/' ? kSeparator : c;
  return s;
}

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    base_ = unused_temp_path("toolrun-test");
    top_ = sep(base_, "Tool Package");
    root_ = sep(top_, "gcc");
    bin_ = sep(root_, "bin");
    fs::create_directories(bin_);
    toolrun_ = sep(bin_, exe("toolrun"));
    probe_ = sep(bin_, exe("probe"));
    fs::copy_file(native_path(TOOLRUN_PATH), toolrun_);
    fs::copy_file(native_path(PROBE_PATH), probe_);
    report_path_ = sep(base_, "report.txt");
    set_variable("PROBE_REPORT", report_path_.c_str());
    set_variable("PROBE_OTHER", "kept; as = it was");
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  // Runs toolrun (as `launcher`) with `arguments` from the top directory.
  RunResult launch(const std::vector<std::string>& arguments, std::string launcher = "") {
    std::vector<std::string> words = {launcher.empty() ? toolrun_ : launcher};
    words.insert(words.end(), arguments.begin(), arguments.end());
    fs::remove(report_path_);
    return run_program(words, top_);
  }

  std::map<std::string, std::string> report() {
    std::map<std::string, std::string> values;
    std::ifstream in(report_path_);
    for (std::string line; std::getline(in, line);) {
      const size_t eq = line.find('=');
      values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
  }

  std::vector<std::string> child_arguments() {
    std::map<std::string, std::string> r = report();
    std::vector<std::string> argv;
    for (int i = 1; i < std::stoi(r["argc"]); ++i) argv.push_back(r["argv" + std::to_string(i)]);
    return argv;
  }

  std::string search_path(const std::string& root) {
    return root + kSeparator + "bin" + kListSeparator + root + libexec();
  }

  void touch(const std::string& path) { std::ofstream(path) << "x"; }

  // The short form of `name` relative to the top directory, as the launcher
  // standing there makes it.
  std::string relative_short_form(const std::string& name) {
    return short_form(sep(top_, name)).substr(short_form(top_).size() + 1);
  }

  std::string base_, top_, root_, bin_, toolrun_, probe_, report_path_;
};

TEST_F(LauncherTest, ChildRunsInShortBinWithOnlyTheTwoDirectoriesOnPath) {
  RunResult r = launch({"probe"});
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  std::map<std::string, std::string> seen = report();
  EXPECT_EQ(sep(short_form(root_), "bin"), seen["cwd"]);
  EXPECT_EQ(search_path(short_form(root_)), seen["path"]);
  EXPECT_EQ("kept; as = it was", seen["other"]);
  EXPECT_EQ(std::vector<std::string>{}, child_arguments());
  EXPECT_EQ("", r.output + r.errors);
}

struct ArgumentsCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program
};

class LauncherArgumentsTest : public LauncherTest,
                              public testing::WithParamInterface<ArgumentsCase> {};

// Names are looked up where the caller stands, before the launcher moves to
// bin: what exists there goes in short and still relative, the rest as
// written, and the child's runtime splits it all at spaces.
TEST_P(LauncherArgumentsTest, ExistingNamesGoShortOthersAsWritten) {
  touch(sep(top_, "My Source.c"));
  touch(sep(top_, "plain.c"));
  fs::create_directories(sep(top_, "out dir"));
  touch(sep(bin_, "only in bin.c"));

  std::vector<std::string> words = {"probe"};
  words.insert(words.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  RunResult r = launch(words);
  ASSERT_EQ(0u, r.status) << r.output << r.errors;

  std::string expected;
  for (const std::string& a : GetParam().arguments) {
    expected += (fs::exists(sep(top_, a)) ? relative_short_form(a) : a) + " ";
  }
  EXPECT_EQ(split(expected), child_arguments());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherArgumentsTest,
    testing::Values(
        ArgumentsCase{"OptionsAndMissingNames", {"-c", "-DX=1", "missing.c", "no such file.c"}},
        ArgumentsCase{"ExistingFilesAndDirectories", {"-c", "My Source.c", "-o", "out dir", "plain.c"}},
        ArgumentsCase{"OnlyInTheChildsDirectory", {"only in bin.c"}}),
    [](const testing::TestParamInfo<ArgumentsCase>& info) { return info.param.name; });

TEST_F(LauncherTest, ShortFormsHaveNoSpacesLeft) {
  if (kSeparator != '\\') GTEST_SKIP() << "natively a path is its own short form";
  touch(sep(top_, "My Source.c"));
  RunResult r = launch({"probe", "My Source.c"});
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  ASSERT_EQ(1u, child_arguments().size());
  EXPECT_NE("My Source.c", child_arguments()[0]);
  EXPECT_EQ(std::string::npos, child_arguments()[0].find(' '));
  EXPECT_TRUE(fs::exists(sep(top_, child_arguments()[0])));
}

TEST_F(LauncherTest, WildcardsExpandWhereTheCallerStands) {
  if (kSeparator != '\\') GTEST_SKIP() << "natively the caller's shell expands wildcards";
  touch(sep(top_, "My Source.c"));
  touch(sep(top_, "b.c"));
  touch(sep(top_, "x.h"));
  touch(sep(bin_, "in bin.c"));
  RunResult r = launch({"probe", "*.c", "?.h"});
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  const std::vector<std::string> seen = child_arguments();
  EXPECT_EQ((std::multiset<std::string>{relative_short_form("My Source.c"), "b.c", "x.h"}),
            std::multiset<std::string>(seen.begin(), seen.end()));
}

TEST_F(LauncherTest, LauncherInAnotherDirectoryStillUsesRootBin) {
  fs::create_directories(sep(root_, "other"));
  const std::string other = sep(sep(root_, "other"), exe("toolrun"));
  fs::copy_file(toolrun_, other);
  RunResult r = launch({"probe"}, other);
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  EXPECT_EQ(sep(short_form(root_), "bin"), report()["cwd"]);
  EXPECT_EQ(search_path(short_form(root_)), report()["path"]);
}

TEST_F(LauncherTest, RelativeLauncherPathGivesRelativeRoot) {
  const std::string relative = sep(sep("gcc", "bin"), exe("toolrun"));
  RunResult r = launch({"probe"}, relative);
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  EXPECT_EQ(sep(top_, sep("gcc", "bin")), report()["cwd"]);
  EXPECT_EQ(search_path("gcc"), report()["path"]);
}

// A program that lies only in libexec is found along the new PATH, which is
// split at the platform's list separator alone: a ';' in a POSIX name is
// just a character.
TEST_F(LauncherTest, ProgramOnlyInLibexecIsFoundAlongThePath) {
  const std::string root = sep(sep(base_, "semi;colon"), "gcc");
  const std::string libexec_dir = root + libexec();
  fs::create_directories(sep(root, "bin"));
  fs::create_directories(libexec_dir);
  const std::string launcher = sep(sep(root, "bin"), exe("toolrun"));
  fs::copy_file(toolrun_, launcher);
  fs::copy_file(probe_, sep(libexec_dir, exe("in_libexec")));
  RunResult r = launch({"in_libexec", "exit=6"}, launcher);
  EXPECT_EQ(6u, r.status) << r.output << r.errors;
  EXPECT_EQ(sep(short_form(root), "bin"), report()["cwd"]);
  EXPECT_EQ(search_path(short_form(root)), report()["path"]);
}

// Started bare, found through the caller's PATH: the root is empty, so the
// launcher tries bin at the top of the drive and stays put where there is none.
TEST_F(LauncherTest, BareLauncherHasAnEmptyRoot) {
  // The child by a path without spaces: natively a path is its own short form.
  const std::string probe = sep(base_, exe("probe"));
  fs::copy_file(probe_, probe);
  const std::string caller_path = get_variable("PATH");
  set_variable("PATH", (bin_ + kListSeparator + caller_path).c_str());
  RunResult r = launch({probe}, "toolrun");
  set_variable("PATH", caller_path.c_str());
  ASSERT_EQ(0u, r.status) << r.output << r.errors;

  const std::string drive_bin = fs::path(top_).root_name().string() + kSeparator + "bin";
  std::error_code no_such;
  const fs::path moved_to = fs::canonical(drive_bin, no_such);
  EXPECT_EQ(no_such ? top_ : moved_to.string(), report()["cwd"]);
  EXPECT_EQ(search_path(""), report()["path"]);
}

// cmd.exe reads a batch file's line as a command. The launcher drops the
// caller's quotes, so it refuses a batch file whose arguments would hold
// cmd.exe's syntax; a caller who writes the whole command as one argument
// means it as a command.
TEST_F(LauncherTest, BatchFileGetsNoCommandSyntaxFromItsArguments) {
  if (kSeparator != '\\') GTEST_SKIP() << "natively no interpreter reads the line";
  for (const char* name : {"build.bat", "build.cmd"}) std::ofstream(sep(bin_, name)) << "@echo ran %*\r\n";
  for (const char* program : {"build.bat", "BUILD.CMD.", "build.bat."}) {
    RunResult refused = launch({program, "a&echo INJECTED"});
    EXPECT_EQ(kNoChildStatus, refused.status) << program;
    EXPECT_EQ("", refused.output + refused.errors) << program;
  }
  RunResult plain = launch({"build.bat", "-o", "a.o"});
  EXPECT_EQ(0u, plain.status);
  EXPECT_EQ("ran -o a.o \r\n", plain.output);
  RunResult whole = launch({"build.bat x&echo SECOND"});
  EXPECT_EQ(0u, whole.status);
  EXPECT_EQ("ran x\r\nSECOND \r\n", whole.output);
}

class LauncherStatusTest : public LauncherTest, public testing::WithParamInterface<uint32_t> {};

TEST_P(LauncherStatusTest, ChildStatusPassesOnUnchanged) {
  const uint32_t status = GetParam();
  if (status > 255 && kNoChildStatus <= 255) GTEST_SKIP() << "natively statuses have 8 bits";
  RunResult r = launch({"probe", "exit=" + std::to_string(status)});
  EXPECT_EQ(status, r.status) << r.output << r.errors;
  EXPECT_EQ("", r.output + r.errors);
}

INSTANTIATE_TEST_SUITE_P(Statuses, LauncherStatusTest,
                         testing::Values(0u, 3u, 254u, 259u, 0xC0000005u));

TEST_F(LauncherTest, ProgramOnlyOnTheCallersPathIsNotFound) {
  const std::string elsewhere = sep(base_, "elsewhere");
  fs::create_directories(elsewhere);
  fs::copy_file(probe_, sep(elsewhere, exe("elsewhere_only")));
  const std::string caller_path = get_variable("PATH");
  set_variable("PATH", (elsewhere + kListSeparator + caller_path).c_str());
  RunResult direct = run_program({"elsewhere_only", "exit=5"}, top_);
  RunResult r = launch({"elsewhere_only", "exit=5"});
  set_variable("PATH", caller_path.c_str());

  ASSERT_EQ(5u, direct.status) << "the caller itself finds it";
  EXPECT_EQ(kNoChildStatus, r.status);
  EXPECT_EQ("", r.output + r.errors);
}

struct NoChildCase {
  const char* name;
  std::vector<std::string> arguments;
};

class LauncherNoChildTest : public LauncherTest,
                            public testing::WithParamInterface<NoChildCase> {};

TEST_P(LauncherNoChildTest, NothingStartsAndNothingIsPrinted) {
  RunResult r = launch(GetParam().arguments);
  EXPECT_EQ(kNoChildStatus, r.status);
  EXPECT_EQ("", r.output + r.errors);
  EXPECT_FALSE(fs::exists(report_path_));
}

// "probe " and one word of n characters and its space: 6 + n + 1 characters.
std::vector<std::string> line_of(size_t length) { return {"probe", std::string(length - 7, 'x')}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherNoChildTest,
    testing::Values(NoChildCase{"NoArguments", {}},
                    NoChildCase{"UnknownProgram", {"no_such_program", "x"}},
                    NoChildCase{"CommandLineOfLength256", line_of(256)}),
    [](const testing::TestParamInfo<NoChildCase>& info) { return info.param.name; });

TEST_F(LauncherTest, CommandLineOfLength255Runs) {
  RunResult r = launch(line_of(255));
  ASSERT_EQ(0u, r.status) << r.output << r.errors;
  EXPECT_EQ(std::vector<std::string>{std::string(248, 'x')}, child_arguments());
}

TEST_F(LauncherTest, OverlongLauncherPathIsRefused) {
  if (kSeparator == '\\') GTEST_SKIP() << "past what Windows itself can start";
  // A launcher path of 1000 characters, through a chain of nested directories.
  std::string dir = top_;
  while (dir.size() < 1000 - 40) dir = sep(dir, std::string(30, 'd'));
  const std::string name = std::string(1000 - dir.size() - 1, 't');
  fs::create_directories(dir);
  const std::string launcher = sep(dir, name);
  ASSERT_EQ(1000u, launcher.size());
  fs::copy_file(toolrun_, launcher);
  RunResult r = launch({"probe"}, launcher);
  EXPECT_EQ(kNoChildStatus, r.status);
  EXPECT_EQ("", r.output + r.errors);
}

}  // namespace
