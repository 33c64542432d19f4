#include "toolchain_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A conversion over a fixed table of names that "exist".
struct FakeFileSystem {
  std::map<std::string, std::string> short_forms;
  std::vector<std::string> asked;

  static bool convert(void* context, const char* path, ShortForm& out) {
    FakeFileSystem& fs = *static_cast<FakeFileSystem*>(context);
    fs.asked.push_back(path);
    auto found = fs.short_forms.find(path);
    return found != fs.short_forms.end() && out.assign(found->second.c_str());
  }
  ShortFormConversion conversion() { return {convert, this}; }
};

struct CommandLineCase {
  const char* name;
  std::vector<const char*> arguments;
  std::map<std::string, std::string> existing;
  const char* expected;
};

class ChildCommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(ChildCommandLineTest, EachWordShortWhereItExistsThenOneSpace) {
  const CommandLineCase& c = GetParam();
  FakeFileSystem fs{c.existing, {}};
  ChildCommandLine line;
  ASSERT_TRUE(build_child_command_line(static_cast<int>(c.arguments.size()),
                                       c.arguments.data(), fs.conversion(), line));
  EXPECT_STREQ(c.expected, line.c_str());
  EXPECT_EQ(std::vector<std::string>(c.arguments.begin(), c.arguments.end()), fs.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildCommandLineTest,
    testing::Values(
        CommandLineCase{"NoArguments", {}, {}, ""},
        CommandLineCase{"NameOfNothing", {"x"}, {}, "x "},
        CommandLineCase{"OnlyTheThirdExists",
                        {"gcc", "-c", "My Source.c"},
                        {{"My Source.c", "MYSOUR~1.C"}},
                        "gcc -c MYSOUR~1.C "},
        CommandLineCase{"ExistingPathWithSpacesGoesShortUnquoted",
                        {"C:\\Program Files\\a.c"},
                        {{"C:\\Program Files\\a.c", "C:\\PROGRA~1\\a.c"}},
                        "C:\\PROGRA~1\\a.c "},
        CommandLineCase{"MissingNameWithSpacesGoesAsWritten",
                        {"prog", "no such file.c"},
                        {},
                        "prog no such file.c "},
        CommandLineCase{"ShortFormLongerThanTheArgument",
                        {"p", "rel"},
                        {{"rel", "C:\\WHERE\\IT\\IS\\REL"}},
                        "p C:\\WHERE\\IT\\IS\\REL "}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

// A word of n characters; n words of it and their spaces fill a line exactly.
struct LimitCase {
  const char* name;
  std::vector<size_t> word_lengths;
  bool runs;
};

class ChildCommandLineLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(ChildCommandLineLimitTest, RefusedWholeRatherThanCut) {
  const LimitCase& c = GetParam();
  std::vector<std::string> words;
  for (size_t n : c.word_lengths) words.push_back(std::string(n, 'w'));
  std::vector<const char*> arguments;
  std::string expected;
  for (const std::string& w : words) {
    arguments.push_back(w.c_str());
    expected += w + " ";
  }
  FakeFileSystem fs;
  ChildCommandLine line;
  EXPECT_EQ(c.runs, build_child_command_line(static_cast<int>(arguments.size()),
                                             arguments.data(), fs.conversion(), line));
  EXPECT_STREQ(c.runs ? expected.c_str() : "", line.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildCommandLineLimitTest,
    testing::Values(LimitCase{"ExactlyFull", {254}, true},
                    LimitCase{"SpaceWouldPassTheEnd", {255}, false},
                    LimitCase{"ManyWordsExactlyFull", {100, 100, 52}, true},
                    LimitCase{"ManyWordsOnePast", {100, 100, 53}, false},
                    LimitCase{"WordPastTheEnd", {300}, false}),
    [](const testing::TestParamInfo<LimitCase>& info) { return info.param.name; });

TEST(ChildCommandLineLimitTest, ShortFormThatPushesPastTheEndIsRefused) {
  FakeFileSystem fs{{{"f", std::string(255, 'S')}}, {}};
  const char* arguments[] = {"f"};
  ChildCommandLine line;
  EXPECT_FALSE(build_child_command_line(1, arguments, fs.conversion(), line));
  EXPECT_STREQ("", line.c_str());
}

struct BatchCase {
  const char* name;
  std::vector<const char*> arguments;
  std::map<std::string, std::string> existing;
  bool unsafe;
};

class BatchLineTest : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchLineTest, RefusedWhenABatchFilesArgumentsHoldCmdSyntax) {
  const BatchCase& c = GetParam();
  FakeFileSystem fs{c.existing, {}};
  ChildCommandLine line;
  size_t program_length = 0;
  ASSERT_TRUE(build_child_command_line(static_cast<int>(c.arguments.size()), c.arguments.data(),
                                       fs.conversion(), line, &program_length));
  EXPECT_EQ(c.unsafe, is_unsafe_batch_line(line, program_length)) << line.c_str();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchLineTest,
    testing::Values(
        BatchCase{"Ampersand", {"build.bat", "a&echo INJECTED"}, {}, true},
        BatchCase{"PipeUpperCase", {"BUILD.BAT", "x|y"}, {}, true},
        BatchCase{"RedirectionCmd", {"b.cmd", ">out"}, {}, true},
        BatchCase{"InputMixedCase", {"b.Cmd", "<in"}, {}, true},
        BatchCase{"Escape", {"b.bat", "a^"}, {}, true},
        BatchCase{"Expansion", {"b.bat", "%PATH%"}, {}, true},
        BatchCase{"DelayedExpansion", {"b.bat", "!x!"}, {}, true},
        BatchCase{"Quote", {"b.bat", "a\"b"}, {}, true},
        BatchCase{"ClosingParenthesis", {"b.bat", "x)", "else", "(y"}, {}, true},
        BatchCase{"LineEnd", {"b.bat", "a\nb"}, {}, true},
        BatchCase{"TrailingDotDropped", {"build.bat.", "a&b"}, {}, true},
        BatchCase{"TrailingSpaceDropped", {"build.bat ", "a&b"}, {}, true},
        BatchCase{"ProgramTriedUpToASpace", {"my build.bat", "a&b"}, {}, true},
        BatchCase{"ShortFormEndsInBat", {"x.batch", "a&b"}, {{"x.batch", "X~1.BAT"}}, true},
        BatchCase{"PlainArguments", {"b.bat", "-o", "C:\\out dir\\a.o", "x=1,y;z"}, {}, false},
        BatchCase{"ExeProgram", {"gcc.exe", "a&b", "%x%"}, {}, false},
        BatchCase{"BareProgram", {"bat", "a&b"}, {}, false},
        BatchCase{"BatInsideTheName", {"x.bat.exe", "a&b"}, {}, false},
        BatchCase{"WholeCommandAsOneArgument", {"build.bat a&b"}, {}, false}),
    [](const testing::TestParamInfo<BatchCase>& info) { return info.param.name; });

struct RootCase {
  const char* launcher_path;
  const char* root;
};

class ToolchainRootTest : public testing::TestWithParam<RootCase> {};

TEST_P(ToolchainRootTest, LastTwoComponentsRemoved) {
  LauncherPath root;
  ASSERT_TRUE(derive_toolchain_root(GetParam().launcher_path, root));
  EXPECT_STREQ(GetParam().root, root.c_str());
  EXPECT_EQ(strlen(GetParam().root), root.length());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolchainRootTest,
    testing::Values(RootCase{"C:\\pkg\\gcc\\bin\\toolrun.exe", "C:\\pkg\\gcc"},
                    RootCase{"C:/pkg/gcc/bin/toolrun.exe", "C:/pkg/gcc"},
                    RootCase{"C:\\pkg/gcc\\bin/toolrun.exe", "C:\\pkg/gcc"},
                    RootCase{"..\\bin\\toolrun.exe", ".."},
                    RootCase{"C:\\a\\toolrun.exe", "C:"},
                    RootCase{"C:\\pkg\\\\bin\\toolrun.exe", "C:\\pkg\\"},
                    RootCase{"C:\\pkg\\gcc\\bin\\\\toolrun.exe", "C:\\pkg\\gcc\\bin"},
                    RootCase{"C:\\toolrun.exe", ""},
                    RootCase{"bin\\toolrun.exe", ""},
                    RootCase{"\\toolrun.exe", ""},
                    RootCase{"C:toolrun.exe", ""},
                    RootCase{"toolrun", ""},
                    RootCase{"", ""},
                    RootCase{"/opt/pkg/gcc/bin/toolrun", "/opt/pkg/gcc"}));

TEST(ToolchainRootLimitTest, LongestPathTakenOnePastRefused) {
  const std::string fits = std::string(983, 'd') + "\\gcc\\bin\\toolrun";  // 999
  ASSERT_EQ(999u, fits.size());
  LauncherPath root;
  ASSERT_TRUE(derive_toolchain_root(fits.c_str(), root));
  EXPECT_EQ(std::string(983, 'd') + "\\gcc", root.c_str());

  EXPECT_FALSE(derive_toolchain_root((fits + "x").c_str(), root));
  EXPECT_STREQ("", root.c_str());
}

struct PathsCase {
  const char* root;
  PathStyle style;
  const char* bin_directory;
  const char* search_path;
};

class ToolchainPathsTest : public testing::TestWithParam<PathsCase> {};

TEST_P(ToolchainPathsTest, BinThenLibexecAndNothingElse) {
  const PathsCase& c = GetParam();
  ToolchainPaths paths;
  ASSERT_TRUE(compose_toolchain_paths(c.root, c.style, paths));
  EXPECT_STREQ(c.bin_directory, paths.bin_directory.c_str());
  EXPECT_STREQ(c.search_path, paths.search_path.c_str());
}

const PathStyle kWindows = {'\\', ';'};
const PathStyle kPosix = {'/', ':'};

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolchainPathsTest,
    testing::Values(
        PathsCase{"C:\\PKG\\GCC", kWindows, "C:\\PKG\\GCC\\bin",
                  "C:\\PKG\\GCC\\bin;C:\\PKG\\GCC\\libexec\\gcc\\mingw32\\3.4.5"},
        PathsCase{"", kWindows, "\\bin", "\\bin;\\libexec\\gcc\\mingw32\\3.4.5"},
        PathsCase{"gcc", kWindows, "gcc\\bin", "gcc\\bin;gcc\\libexec\\gcc\\mingw32\\3.4.5"},
        PathsCase{"/opt/pkg/gcc", kPosix, "/opt/pkg/gcc/bin",
                  "/opt/pkg/gcc/bin:/opt/pkg/gcc/libexec/gcc/mingw32/3.4.5"}));

TEST(ToolchainPathsLimitTest, LongestSearchPathTakenOnePastRefused) {
  // The search path is twice the root plus 4 + 1 + 26 characters.
  const size_t fixed = strlen("\\bin;\\libexec\\gcc\\mingw32\\3.4.5");
  const std::string root_fits((1999 - fixed) / 2, 'r');
  ASSERT_EQ(1999u, 2 * root_fits.size() + fixed);
  ToolchainPaths paths;
  ASSERT_TRUE(compose_toolchain_paths(root_fits.c_str(), kWindows, paths));
  EXPECT_EQ(1999u, paths.search_path.length());
  EXPECT_EQ(root_fits + "\\bin", paths.bin_directory.c_str());

  EXPECT_FALSE(compose_toolchain_paths((root_fits + "r").c_str(), kWindows, paths));
  EXPECT_STREQ("", paths.search_path.c_str());
  EXPECT_STREQ("", paths.bin_directory.c_str());
}

}  // namespace
