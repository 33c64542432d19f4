// The installer's error line, in the system's own words.
#include "installer_platform.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

std::string error_line(int code) {
  FILE* out = tmpfile();
  print_error_line(out, code);
  rewind(out);
  std::string text;
  for (int c; (c = fgetc(out)) != EOF;) text += static_cast<char>(c);
  fclose(out);
  return text;
}

TEST(ErrorLineTest, KnownCodeInTheSystemsWords) {
  // Windows, Wine and the C library word "file not found" each their own way.
  const std::string line = error_line(2);
  EXPECT_TRUE(line == "Failed with error 2: The system cannot find the file specified.\r\n" ||
              line == "Failed with error 2: File not found.\r\n" ||
              line == "Failed with error 2: No such file or directory\n")
      << line;
}

TEST(ErrorLineTest, CodeWithoutTextStillGivesAWholeLine) {
  if (kSeparator != '\\') GTEST_SKIP() << "the C library has a text for every code";
  const int code = static_cast<int>(0xE0001234);  // printed in signed decimal
  EXPECT_EQ("Failed with error -536866252: (the system has no text for this error)\n",
            error_line(code));
}

}  // namespace
