#include "shortcut_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const CommandStyle kWindows = {'\\', Quoting::kDoubleQuotes};
const CommandStyle kPosix = {'/', Quoting::kPosixShell};

struct CommandCase {
  const char* directory;
  int number;
  CommandStyle style;
  const char* command;
};

class ShortcutCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(ShortcutCommandTest, EditorPathNumberAndDirectoryEachOneArgument) {
  const CommandCase& c = GetParam();
  ShortcutCommand command;
  ASSERT_TRUE(format_shortcut_command(c.directory, c.number, c.style, command));
  EXPECT_STREQ(c.command, command.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortcutCommandTest,
    testing::Values(
        CommandCase{"C:\\PKG\\gcc\\bin", 1, kWindows,
                    "shortcut \"C:\\PKG\\gcc\\bin\\mirlo.exe\" 1 \"C:\\PKG\\gcc\\bin\""},
        CommandCase{"C:\\My Package\\gcc\\bin", 3, kWindows,
                    "shortcut \"C:\\My Package\\gcc\\bin\\mirlo.exe\" 3 \"C:\\My Package\\gcc\\bin\""},
        CommandCase{"/opt/pkg/gcc/bin", 2, kPosix,
                    "shortcut '/opt/pkg/gcc/bin/mirlo.exe' 2 '/opt/pkg/gcc/bin'"},
        CommandCase{"/a b/$HOME/`id`", 1, kPosix,
                    "shortcut '/a b/$HOME/`id`/mirlo.exe' 1 '/a b/$HOME/`id`'"},
        CommandCase{"/x\"';touch X;'y", 1, kPosix,
                    "shortcut '/x\"'\\'';touch X;'\\''y/mirlo.exe' 1 '/x\"'\\'';touch X;'\\''y'"},
        CommandCase{"", 10, kWindows, "shortcut \"\\mirlo.exe\" 10 \"\""},
        // A root: one separator before the editor's name, and the backslash
        // before the closing quote doubled so that the child reads C:\.
        CommandCase{"C:\\", 1, kWindows, "shortcut \"C:\\mirlo.exe\" 1 \"C:\\\\\""},
        CommandCase{"\\\\server\\share\\", 2, kWindows,
                    "shortcut \"\\\\server\\share\\mirlo.exe\" 2 \"\\\\server\\share\\\\\""},
        CommandCase{"/", 1, kPosix, "shortcut '/mirlo.exe' 1 '/'"}));

TEST(ShortcutCommandLimitTest, LongestDirectoryFitsQuotesThatOverflowAreRefused) {
  const std::string longest(255, 'd');
  ShortcutCommand command;
  EXPECT_TRUE(format_shortcut_command(longest.c_str(), 3, kWindows, command));
  EXPECT_TRUE(format_shortcut_command(longest.c_str(), 3, kPosix, command));

  // Each ' takes four characters once quoted: 2 * (4 * 100 + 2) and the rest pass 799.
  const std::string quotes(100, '\'');
  EXPECT_FALSE(format_shortcut_command(quotes.c_str(), 3, kPosix, command));
  EXPECT_STREQ("", command.c_str());
}

}  // namespace
