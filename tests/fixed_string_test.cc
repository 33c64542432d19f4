#include "../common/fixed_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FillCase {
  size_t reported;  // what the platform call returns
  bool kept;
};

class FixedStringFillTest : public testing::TestWithParam<FillCase> {};

// The Win32 convention: 0 fails, a length below the size succeeds, the size
// or more says the buffer was too small and left nothing usable in it.
TEST_P(FixedStringFillTest, KeepsOnlyALengthThatFits) {
  FixedString<8> s;
  s.assign("old");
  const bool kept = s.fill([](char* buffer, size_t size) {
    memset(buffer, 'x', size);  // what a failing call may leave behind
    return GetParam().reported;
  });
  EXPECT_EQ(GetParam().kept, kept);
  EXPECT_EQ(kept ? std::string(GetParam().reported, 'x') : std::string(), s.c_str());
  EXPECT_EQ(kept ? GetParam().reported : 0u, s.length());
}

INSTANTIATE_TEST_SUITE_P(Results, FixedStringFillTest,
                         testing::Values(FillCase{0, false}, FillCase{1, true},
                                         FillCase{7, true}, FillCase{8, false},
                                         FillCase{9, false}));

TEST(FixedStringTest, AppendPastTheEndWritesNothing) {
  FixedString<4> s;
  EXPECT_TRUE(s.append("ab"));
  EXPECT_FALSE(s.append("cd"));
  EXPECT_STREQ("ab", s.c_str());
  EXPECT_TRUE(s.append('c'));
  EXPECT_FALSE(s.append('d'));
  EXPECT_STREQ("abc", s.c_str());
  EXPECT_FALSE(s.assign("abcd"));
  EXPECT_STREQ("", s.c_str());
}

}  // namespace
